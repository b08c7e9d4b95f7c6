#pragma once
// The audio files made at build time by tests/media and their expected
// lengths (manifest.txt: file, rate, channels, expected frames, frames of
// lame's own decode).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <map>

#ifndef VELMO_TEST_MEDIA_DIR
#define VELMO_TEST_MEDIA_DIR ""
#endif

namespace audio_test {

struct MediaInfo {
  QString path;
  int rate = 0;
  int channels = 0;
  int64_t expectedFrames = 0;  // 0: no exact expectation
  int64_t lameFrames = 0;
};

inline QString MediaDir() { return QString::fromUtf8(VELMO_TEST_MEDIA_DIR); }
inline QString MediaPath(const QString& name) { return QDir(MediaDir()).filePath(name); }
inline bool HaveMedia() { return !MediaDir().isEmpty() && QFile::exists(MediaPath("manifest.txt")); }

inline std::map<QString, MediaInfo> Manifest() {
  std::map<QString, MediaInfo> result;
  QFile f(MediaPath("manifest.txt"));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return result;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith('#')) continue;
    const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
    if (parts.size() != 5) continue;
    MediaInfo info;
    info.path = MediaPath(parts[0]);
    info.rate = parts[1].toInt();
    info.channels = parts[2].toInt();
    info.expectedFrames = parts[3].toLongLong();
    info.lameFrames = parts[4].toLongLong();
    result[parts[0]] = info;
  }
  return result;
}

inline MediaInfo Media(const QString& name) { return Manifest()[name]; }

// The files that hold audio with an exact expected length.
inline QStringList ExactMedia() {
  return {"cbr_stereo.mp3", "vbr_xing.mp3", "vbr_no_xing.mp3", "mono22.mp3", "id3_picture.mp3"};
}
// cbr_stereo.mp3's stream behind 1 KB and 60 KB of junk, in a RIFF/WAVE
// file (format 0x55), and after a tag followed by padding it does not count:
// each decodes exactly as cbr_stereo.mp3.
inline QStringList WrappedMedia() {
  return {"junk_1k.mp3", "junk_60k.mp3", "riff_mpeg.mp3", "id3_padding.mp3"};
}
// Files the player must refuse, as they are on disk ("missing.mp3" is not).
// second_half.mp3 has its first frame beyond the first 64 KB.
inline QStringList BadMedia() {
  return {"missing.mp3", "empty.mp3", "random.mp3", "wav_renamed.mp3", "tag_only.mp3", "second_half.mp3"};
}
inline QString OddNamedCopy() { return QStringLiteral("课文 \"第一课\" it's.mp3"); }

// Nearest whole millisecond, a half to the even neighbour.
inline int64_t FramesToMs(int64_t frames, int rate) {
  const int64_t q = frames * 1000 / rate;
  const int64_t r = frames * 1000 % rate;
  return q + ((2 * r > rate || (2 * r == rate && (q & 1))) ? 1 : 0);
}

// The frame a position in ms starts at, as the player counts: the nearest
// whole frame, a half to the even neighbour.
inline int64_t MsToFrame(int64_t ms, int rate) {
  const int64_t q = ms * rate / 1000;
  const int64_t r = ms * rate % 1000;
  return q + ((2 * r > 1000 || (2 * r == 1000 && (q & 1))) ? 1 : 0);
}

}  // namespace audio_test

#define VELMO_REQUIRE_AUDIO_MEDIA()                                                       \
  do {                                                                                    \
    if (!audio_test::HaveMedia()) GTEST_SKIP() << "audio test files were not generated"; \
  } while (0)
