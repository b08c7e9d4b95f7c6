#pragma once
// Recordings made in the tests: espeak-ng speaks each sentence, the
// silence it leaves around the speech is cut away, the sentences are joined
// with pauses of known length and white noise is mixed in below the speech.
// The sentence times are then known to the sample.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "core/auto_split.h"

struct SpokenLesson {
  int rate = 22050;
  std::vector<int16_t> pcm;                 // mono
  std::vector<ProposedSentence> truth;      // where each sentence's speech is, ms
};

namespace spoken {

inline bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The samples of a 16-bit mono WAV file as espeak-ng writes it.
inline std::vector<int16_t> ReadWav(const QString& path, int* rate) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray b = f.readAll();
  if (b.size() < 44 || !b.startsWith("RIFF")) return {};
  int32_t r = 0;
  std::memcpy(&r, b.constData() + 24, 4);
  *rate = r;
  for (int at = 12; at + 8 <= b.size();) {
    uint32_t size = 0;
    std::memcpy(&size, b.constData() + at + 4, 4);
    if (b.mid(at, 4) == "data") {
      const int n = static_cast<int>(std::min<qint64>(size, b.size() - at - 8) / 2);
      std::vector<int16_t> s(n);
      std::memcpy(s.data(), b.constData() + at + 8, n * 2);
      return s;
    }
    at += 8 + static_cast<int>(size);
  }
  return {};
}

// One sentence's speech, trimmed to where it is audible (any 2 ms stretch
// within 45 dB of the sentence's loudest).
inline std::vector<int16_t> Speak(const QString& sentence, int* rate) {
  static std::map<QString, std::pair<int, std::vector<int16_t>>> spoken;
  auto it = spoken.find(sentence);
  if (it != spoken.end()) {
    *rate = it->second.first;
    return it->second.second;
  }
  QTemporaryDir dir;
  const QString wav = dir.filePath("s.wav");
  if (!Run("espeak-ng", {"-v", "en-us", "-w", wav, sentence})) return {};
  std::vector<int16_t> s = ReadWav(wav, rate);
  const int w = std::max(1, *rate / 500);
  double loudest = 0;
  std::vector<double> level;
  for (size_t i = 0; i + w <= s.size(); i += w) {
    double sq = 0;
    for (int k = 0; k < w; ++k) sq += double(s[i + k]) * s[i + k];
    level.push_back(std::sqrt(sq / w));
    loudest = std::max(loudest, level.back());
  }
  const double limit = loudest * std::pow(10.0, -45 / 20.0);
  size_t first = 0, last = level.size();
  while (first < last && level[first] < limit) ++first;
  while (last > first && level[last - 1] < limit) --last;
  std::vector<int16_t> trimmed(s.begin() + first * w, s.begin() + last * w);
  spoken[sentence] = {*rate, trimmed};
  return trimmed;
}

inline const QStringList& Sentences() {
  static const QStringList list = {
      "Good morning everybody.",
      "Could I see the menu please?",
      "The chicken salad is very good today.",
      "We will meet at the station at nine.",
      "My brother works in a large hospital.",
      "Please open your books to page twelve.",
      "It has been raining since yesterday afternoon.",
      "Thank you very much for your help.",
  };
  return list;
}

}  // namespace spoken

// Sentences spoken one after another with the given pauses (ms) before each
// one (the first is the lead-in), noise `noiseDb` below the speech's mean
// level (no noise for 0), and `tailMs` of pause at the end.
inline SpokenLesson MakeSpokenLesson(const QStringList& sentences, const std::vector<int>& pausesMs, double noiseDb,
                                     int tailMs = 500, unsigned seed = 7) {
  SpokenLesson lesson;
  double speechSq = 0;
  int64_t speechN = 0;
  for (int k = 0; k < sentences.size(); ++k) {
    int rate = 22050;
    const std::vector<int16_t> s = spoken::Speak(sentences[k], &rate);
    lesson.rate = rate;
    lesson.pcm.insert(lesson.pcm.end(), int64_t(pausesMs[k]) * rate / 1000, 0);
    const int32_t start = static_cast<int32_t>(int64_t(lesson.pcm.size()) * 1000 / rate);
    lesson.pcm.insert(lesson.pcm.end(), s.begin(), s.end());
    const int32_t end = static_cast<int32_t>(int64_t(lesson.pcm.size()) * 1000 / rate);
    lesson.truth.push_back({start, end});
    for (int16_t v : s) speechSq += double(v) * v;
    speechN += static_cast<int64_t>(s.size());
  }
  lesson.pcm.insert(lesson.pcm.end(), int64_t(tailMs) * lesson.rate / 1000, 0);
  if (noiseDb != 0 && speechN > 0) {
    const double sigma = std::sqrt(speechSq / speechN) * std::pow(10.0, noiseDb / 20.0);
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0.0, sigma);
    for (int16_t& v : lesson.pcm) v = static_cast<int16_t>(std::clamp(v + noise(gen), -32768.0, 32767.0));
  }
  return lesson;
}

// The lesson as an MP3 file (lame from a WAV file); false when it failed.
inline bool WriteLessonMp3(const SpokenLesson& lesson, const QString& mp3Path) {
  QTemporaryDir dir;
  const QString wav = dir.filePath("lesson.wav");
  QFile f(wav);
  if (!f.open(QIODevice::WriteOnly)) return false;
  const uint32_t data = static_cast<uint32_t>(lesson.pcm.size() * 2);
  auto u32 = [&f](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&f](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  f.write("RIFF");
  u32(36 + data);
  f.write("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(lesson.rate);
  u32(lesson.rate * 2);
  u16(2);
  u16(16);
  f.write("data");
  u32(data);
  f.write(reinterpret_cast<const char*>(lesson.pcm.data()), data);
  f.close();
  return spoken::Run("lame", {"--quiet", "-b", "64", wav, mp3Path});  // with the gapless tag
}
