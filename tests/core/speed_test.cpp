// Slower and faster speech: a sentence is heard for its length / speed, at
// the same pitch, and nothing after its end; at 1.0 the samples are those
// of the recording. Measured on what an output device is handed, with a
// clock the test moves by hand.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <memory>
#include <vector>

#include "core/audio_player.h"
#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"

namespace {

// A WAV file of a sine tone.
QByteArray ToneWav(int rate, int channels, double hz, double seconds, double amplitude = 0.5) {
  const int frames = static_cast<int>(rate * seconds);
  QByteArray data;
  data.reserve(frames * channels * 2);
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) data.append(reinterpret_cast<const char*>(&v), 2);
  }
  auto le = [](QByteArray& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  QByteArray wav("RIFF");
  le(wav, 36 + data.size(), 4);
  wav.append("WAVEfmt ");
  le(wav, 16, 4);
  le(wav, 1, 2);
  le(wav, channels, 2);
  le(wav, rate, 4);
  le(wav, rate * channels * 2, 4);
  le(wav, channels * 2, 2);
  le(wav, 16, 2);
  wav.append("data");
  le(wav, data.size(), 4);
  return wav + data;
}

// An output that keeps time like a device and keeps what it is handed.
class CaptureOutput : public platform::AudioOutput {
 public:
  explicit CaptureOutput(std::vector<int16_t>* heard) : heard_(heard) {}
  bool Start(int rate, int channels) override {
    rate_ = rate;
    channels_ = channels;
    written_ = 0;
    start_ = platform::MonotonicUSecs();
    running_ = true;
    ++runs;
    return true;
  }
  void Stop() override { running_ = false; }
  int64_t BytesFree() override {
    if (!running_) return 0;
    const int64_t allowed = (platform::MonotonicUSecs() - start_ + 100000) * rate_ / 1000000;
    return std::max<int64_t>(0, allowed - written_) * channels_ * 2;
  }
  int64_t Write(const char* data, int64_t bytes) override {
    const int64_t frames = std::min(bytes, BytesFree()) / (channels_ * 2);
    const auto* s = reinterpret_cast<const int16_t*>(data);
    heard_->insert(heard_->end(), s, s + frames * channels_);
    written_ += frames;
    return frames * channels_ * 2;
  }
  void Finish() override {}
  int64_t HeardUSecs() const override {
    if (!running_) return 0;
    return std::min(platform::MonotonicUSecs() - start_, (written_ * 1000000 + rate_ - 1) / rate_);
  }
  bool Failed() const override { return false; }
  bool IsNull() const override { return false; }
  static inline int runs = 0;

 private:
  std::vector<int16_t>* heard_;
  int rate_ = 44100, channels_ = 2;
  int64_t written_ = 0, start_ = 0;
  bool running_ = false;
};

// The tone's frequency from its zero crossings (channel 0).
double Frequency(const std::vector<int16_t>& samples, int channels, int rate, size_t from, size_t to) {
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = from + 1; i < to; ++i) {
    const int16_t a = samples[(i - 1) * channels], b = samples[i * channels];
    if ((a < 0) != (b < 0)) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) / 2.0 * rate / static_cast<double>(last - first);
}

class SpeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("lame").isEmpty()) GTEST_SKIP() << "lame is not installed";
    platform::SetMonotonicClock([this] { return now_; });
    platform::SetSystemOutputFactory([this] { return std::make_unique<CaptureOutput>(&heard_); });
    SoundMod::SetOutputMode(SoundMod::OutputMode::SystemOutput);
  }
  void TearDown() override {
    SoundMod::CloseAudio();
    SoundMod::SetSpeed(1.0);
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
    SoundMod::SetOutputObserver({});
    platform::SetSystemOutputFactory({});
    platform::SetMonotonicClock({});
  }
  // A tone recording; returns its length in ms.
  int32_t OpenTone(int rate = 44100, int channels = 2, double hz = 1000) {
    const QString wav = folder_.File("tone.wav"), mp3 = folder_.File(QStringLiteral("tone%1.mp3").arg(rate));
    QFile f(wav);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ToneWav(rate, channels, hz, 4.0));
    f.close();
    QProcess lame;
    lame.start("lame", {"--quiet", "-b", rate < 16000 ? "32" : "128", "--nores", wav, mp3});
    EXPECT_TRUE(lame.waitForFinished(60000));
    path_ = mp3;
    return SoundMod::OpenAudio(mp3);
  }
  // Moves the clock in 10 ms steps until the play ends; returns the ms.
  int PlayOut(int limitMs = 20000) {
    for (int t = 0; t <= limitMs; t += 10) {
      if (SoundMod::State() != SoundMod::PlayState::Playing) return t;
      now_ += 10000;
      SoundMod::ServiceOutput();
    }
    return -1;
  }

  TempFolder folder_;
  MsgBoxRecorder msgs_;
  QString path_;
  std::vector<int16_t> heard_;
  int64_t now_ = 5'000'000'000;
};

TEST_F(SpeedTest, AtNormalSpeedTheOutputIsTheRecordingSampleForSample) {
  ASSERT_GT(OpenTone(), 3000);
  SoundMod::SetSpeed(1.0);
  SoundMod::PlayFrom(500, 2500);
  PlayOut();
  platform::Mp3Decoder decoder;
  ASSERT_TRUE(decoder.Open(path_));
  const int64_t first = 22050, frames = 88200;  // 500 ms .. 2 500 ms at 44.1 kHz
  ASSERT_TRUE(decoder.SeekToFrame(first));
  std::vector<int16_t> expected(static_cast<size_t>(frames * 2));
  ASSERT_EQ(decoder.Read(reinterpret_cast<char*>(expected.data()), frames), frames);
  EXPECT_TRUE(heard_ == expected);
}

TEST_F(SpeedTest, ASentenceTakesItsLengthOverTheSpeedAtTheSamePitchAndStopsAtItsEnd) {
  ASSERT_GT(OpenTone(), 3000);
  for (double speed : {0.5, 0.75, 1.25}) {
    SCOPED_TRACE(speed);
    heard_.clear();
    int64_t handedEnd = 0;
    SoundMod::SetOutputObserver([&](int64_t first, const char*, int64_t frames) {
      handedEnd = std::max(handedEnd, first + frames);
    });
    SoundMod::SetSpeed(speed);
    SoundMod::PlayFrom(500, 3500);
    const int took = PlayOut();
    EXPECT_NEAR(took, 3000 / speed, 20);  // within two polls
    EXPECT_EQ(SoundMod::GetPosition(), 3500);
    EXPECT_EQ(handedEnd, 3500 * 441 / 10) << "no source frame after the end";
    const double heardMs = heard_.size() / 2 / 44.1;
    EXPECT_NEAR(heardMs, 3000 / speed, 10);
    const double hz = Frequency(heard_, 2, 44100, heard_.size() / 2 / 4, heard_.size() / 2 * 3 / 4);
    EXPECT_NEAR(hz, 1000, 10);
  }
}

TEST_F(SpeedTest, APositionMidwayIsInTheRecordingsOwnTime) {
  ASSERT_GT(OpenTone(), 3000);
  SoundMod::SetSpeed(0.5);
  SoundMod::PlayFrom(1000, 3000);
  for (int i = 0; i < 100; ++i) {
    now_ += 10000;
    SoundMod::ServiceOutput();
  }
  // One second heard at half speed is half a second of the recording.
  EXPECT_NEAR(SoundMod::GetPosition(), 1500, 15);
}

TEST_F(SpeedTest, ChangingTheSpeedWhilePlayingGoesOnFromTheHeardPositionAtOnce) {
  ASSERT_GT(OpenTone(), 3000);
  SoundMod::SetSpeed(1.0);
  SoundMod::PlayFrom(0, 3000);
  for (int i = 0; i < 100; ++i) {
    now_ += 10000;
    SoundMod::ServiceOutput();
  }
  const int runs = CaptureOutput::runs;
  SoundMod::SetSpeed(0.5);
  EXPECT_EQ(CaptureOutput::runs, runs + 1) << "a new run starts without waiting for a poll";
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Playing);
  EXPECT_NEAR(SoundMod::GetPosition(), 1000, 10);
  EXPECT_NEAR(PlayOut(), 4000, 30);  // the last 2 s of the range at half speed
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  // Changing it while paused plays the next play at the new speed.
  SoundMod::SetSpeed(1.25);
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Stopped);
  SoundMod::PlayFrom(0, 1000);
  EXPECT_NEAR(PlayOut(), 800, 20);
}

TEST_F(SpeedTest, OddRatesAndChannelsPlayWithoutAClickAtTheStart) {
  for (auto [rate, channels] : {std::pair{8000, 1}, std::pair{48000, 2}}) {
    SCOPED_TRACE(rate);
    SoundMod::CloseAudio();
    heard_.clear();
    const int32_t length = OpenTone(rate, channels, 440);
    ASSERT_GT(length, 3000);
    SoundMod::SetSpeed(0.75);
    SoundMod::PlayFrom(1000, 2000);
    EXPECT_NEAR(PlayOut(), 1333, 20);
    ASSERT_FALSE(heard_.empty());
    // The first 10 ms are no louder than the tone itself.
    const size_t head = static_cast<size_t>(rate / 100 * channels);
    int peakHead = 0, peakRest = 0;
    for (size_t i = 0; i < heard_.size(); ++i) (i < head ? peakHead : peakRest) =
        std::max(i < head ? peakHead : peakRest, std::abs(int{heard_[i]}));
    EXPECT_LE(peakHead, peakRest * 11 / 10);
  }
}

TEST_F(SpeedTest, SpeedsOutsideTheRangeAreClamped) {
  SoundMod::SetSpeed(0.1);
  EXPECT_EQ(SoundMod::Speed(), SoundMod::kMinSpeed);
  SoundMod::SetSpeed(9);
  EXPECT_EQ(SoundMod::Speed(), SoundMod::kMaxSpeed);
  SoundMod::SetSpeed(std::nan(""));
  EXPECT_GE(SoundMod::Speed(), SoundMod::kMinSpeed);
  EXPECT_LE(SoundMod::Speed(), SoundMod::kMaxSpeed);
}

}  // namespace
