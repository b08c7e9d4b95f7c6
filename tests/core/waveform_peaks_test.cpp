// Peaks from decoded audio against a direct computation, and their cache.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <random>

#include "core/peak_cache.h"
#include "core/waveform_peaks.h"
#include "platform/mp3_decoder.h"
#include "tests/common/temp_folder.h"
#include "tests/core/spoken_lesson.h"

namespace {

// Peaks the plain way: every bin's frames summed one by one.
WaveformPeaks Direct(const std::vector<int16_t>& pcm, int rate, int channels) {
  WaveformPeaks p;
  const int64_t frames = static_cast<int64_t>(pcm.size()) / channels;
  for (int64_t b = 0;; ++b) {
    const int64_t from = b * rate * 10 / 1000, to = std::min(frames, (b + 1) * rate * 10 / 1000);
    if (from >= frames) break;
    int mx = 0;
    double sq = 0;
    for (int64_t f = from; f < to; ++f) {
      int sum = 0;
      for (int c = 0; c < channels; ++c) sum += pcm[f * channels + c];
      const int v = sum / channels;
      mx = std::max(mx, std::abs(v));
      sq += double(v) * v;
    }
    p.peak.push_back(static_cast<uint16_t>(std::min(mx, 32767)));
    p.rms.push_back(static_cast<uint16_t>(std::min(32767.0, std::sqrt(sq / double(to - from)) + 0.5)));
  }
  p.lengthMs = static_cast<int32_t>(frames * 1000 / rate);
  return p;
}

std::vector<int16_t> DecodeAll(const QString& path, int* rate, int* channels) {
  platform::Mp3Decoder d;
  if (!d.Open(path)) return {};
  *rate = d.SampleRate();
  *channels = d.Channels();
  std::vector<int16_t> pcm(static_cast<size_t>(d.LengthFrames() * d.Channels()));
  d.Read(reinterpret_cast<char*>(pcm.data()), d.LengthFrames());
  return pcm;
}

// Each test gets a cache folder of its own.
class PeakCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCache_ = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache_.Path().toUtf8());
    lesson_ = MakeSpokenLesson(spoken::Sentences().mid(0, 3), {300, 500, 800}, -20.0);
    recording_ = library_.File("lesson.mp3");
    ASSERT_TRUE(WriteLessonMp3(lesson_, recording_));
  }
  void TearDown() override { qputenv("XDG_CACHE_HOME", oldCache_); }

  TempFolder cache_, library_;
  QByteArray oldCache_;
  SpokenLesson lesson_;
  QString recording_;
};

}  // namespace

TEST(WaveformPeaks, StreamedPiecesMatchTheDirectComputationInMonoAndStereo) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  for (int channels : {1, 2}) {
    for (int rate : {22050, 44100, 8000}) {
      std::vector<int16_t> pcm(static_cast<size_t>(rate * 3 / 2 + 17) * channels);
      for (int16_t& v : pcm) v = static_cast<int16_t>(sample(gen));
      PeakAccumulator acc(rate, channels);
      // Pieces of odd sizes, across bin boundaries.
      for (size_t at = 0; at < pcm.size() / channels;) {
        const size_t n = std::min<size_t>(1 + gen() % 700, pcm.size() / channels - at);
        acc.Add(pcm.data() + at * channels, static_cast<int64_t>(n));
        at += n;
      }
      EXPECT_EQ(acc.Finish(), Direct(pcm, rate, channels)) << channels << " channels at " << rate;
    }
  }
}

TEST_F(PeakCacheTest, DecodedPeaksMatchTheDirectComputationOfTheDecodedAudio) {
  int rate = 0, channels = 0;
  const std::vector<int16_t> pcm = DecodeAll(recording_, &rate, &channels);
  ASSERT_FALSE(pcm.empty());
  std::vector<int> seen;
  const std::optional<WaveformPeaks> peaks = ComputePeaks(recording_, [&](int p) { seen.push_back(p); });
  ASSERT_TRUE(peaks);
  EXPECT_EQ(*peaks, Direct(pcm, rate, channels));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  // The coarse outline covers the same length and follows the same sound.
  const std::optional<WaveformPeaks> coarse = CoarsePeaks(recording_, 50);
  ASSERT_TRUE(coarse);
  EXPECT_EQ(coarse->lengthMs, peaks->lengthMs);
  EXPECT_EQ(coarse->Bins(), (coarse->lengthMs + coarse->binMs - 1) / coarse->binMs);
  EXPECT_GT(*std::max_element(coarse->peak.begin(), coarse->peak.end()), 3000);
}

TEST_F(PeakCacheTest, TheCacheIsReusedAndRefreshedWhenTheRecordingChanges) {
  const std::optional<WaveformPeaks> first = PeakCache::LoadOrCompute(recording_);
  ASSERT_TRUE(first);
  const QString cacheFile = PeakCache::FileFor(recording_);
  EXPECT_TRUE(cacheFile.startsWith(cache_.Path() + QStringLiteral("/Velmo/peaks/")));
  EXPECT_TRUE(QFileInfo::exists(cacheFile));
  // Nothing is put beside the recordings.
  EXPECT_EQ(QDir(library_.Path()).entryList(QDir::Files), QStringList{QStringLiteral("lesson.mp3")});

  // Reused: peaks planted in the cache come back instead of a computation.
  WaveformPeaks planted = *first;
  planted.peak[0] = 12345;
  ASSERT_TRUE(PeakCache::Save(recording_, planted));
  EXPECT_EQ(PeakCache::LoadOrCompute(recording_)->peak[0], 12345);

  // A new recording under the same name: computed again.
  const SpokenLesson other = MakeSpokenLesson(spoken::Sentences().mid(3, 2), {200, 400}, -20.0);
  ASSERT_TRUE(WriteLessonMp3(other, recording_));
  const std::optional<WaveformPeaks> second = PeakCache::LoadOrCompute(recording_);
  ASSERT_TRUE(second);
  EXPECT_NE(second->lengthMs, first->lengthMs);
  EXPECT_EQ(*PeakCache::Load(recording_), *second);

  // Same size, newer time: computed again too.
  ASSERT_TRUE(PeakCache::Save(recording_, planted));
  QFile f(recording_);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
  f.close();
  EXPECT_EQ(*PeakCache::LoadOrCompute(recording_), *second);
}

TEST_F(PeakCacheTest, AJunkOrDamagedCacheFileIsIgnoredAndReplaced) {
  const WaveformPeaks good = *PeakCache::LoadOrCompute(recording_);
  const QString cacheFile = PeakCache::FileFor(recording_);
  QFile f(cacheFile);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray valid = f.readAll();
  f.close();
  QByteArray flipped = valid;
  flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x40);
  for (const QByteArray& junk : {QByteArray("not peaks at all"), QByteArray(), valid.left(valid.size() - 7), flipped,
                                 QByteArray(5'000'000, '\xff')}) {
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(junk);
    f.close();
    EXPECT_FALSE(PeakCache::Load(recording_));
    EXPECT_EQ(*PeakCache::LoadOrCompute(recording_), good);
    EXPECT_TRUE(PeakCache::Load(recording_));
  }
}

TEST_F(PeakCacheTest, ARecordingThatVanishesOrIsCutShortWhileReadGivesNoCachedPeaks) {
  // Removed while being read: whatever comes back, nothing is cached for a
  // file that is not there.
  bool removed = false;
  PeakCache::LoadOrCompute(recording_, [&](int) {
    if (!removed) removed = QFile::remove(recording_);
  });
  EXPECT_TRUE(removed);
  EXPECT_FALSE(QFileInfo::exists(PeakCache::FileFor(recording_)));
  EXPECT_FALSE(ComputePeaks(recording_));
  EXPECT_FALSE(CoarsePeaks(recording_, 10));

  // Cut short under the reader.
  ASSERT_TRUE(WriteLessonMp3(lesson_, recording_));
  bool cut = false;
  const std::optional<WaveformPeaks> partial = ComputePeaks(recording_, [&](int) {
    if (!cut) cut = QFile::resize(recording_, 4000);
  });
  EXPECT_TRUE(cut);
  EXPECT_FALSE(partial);
  EXPECT_FALSE(QFileInfo::exists(PeakCache::FileFor(recording_)));

  // Cancelled: nothing.
  ASSERT_TRUE(WriteLessonMp3(lesson_, recording_));
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(PeakCache::LoadOrCompute(recording_, {}, &cancel));
  EXPECT_FALSE(QFileInfo::exists(PeakCache::FileFor(recording_)));
  // Not audio at all.
  ASSERT_TRUE(library_.Write("junk.mp3", QByteArray(3000, 'x')));
  EXPECT_FALSE(PeakCache::LoadOrCompute(library_.File("junk.mp3")));
}
