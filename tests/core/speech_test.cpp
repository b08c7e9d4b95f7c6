#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/audio_output.h"
#include "platform/speech.h"

using platform::AudioOutput;
using platform::SpeechEngine;

namespace {

// Records what the engine hands to an output. Without an inner output it
// takes everything at once and reports it heard once finished; with one it
// passes everything on.
struct OutputLog {
  int starts = 0, stops = 0, finishes = 0;
  int rate = 0, channels = 0;
  int64_t bytes = 0;
  int64_t firstWriteUSecs = -1;
  std::function<void()> onWrite;  // runs after every write
  bool failed = false;
  bool stalled = false;  // heard time never moves
};

class LoggingOutput : public AudioOutput {
 public:
  LoggingOutput(std::shared_ptr<OutputLog> log, std::unique_ptr<AudioOutput> inner = nullptr)
      : log_(std::move(log)), inner_(std::move(inner)) {}
  bool Start(int sampleRate, int channels) override {
    ++log_->starts;
    log_->rate = sampleRate;
    log_->channels = channels;
    finished_ = false;
    return inner_ ? inner_->Start(sampleRate, channels) : true;
  }
  void Stop() override {
    ++log_->stops;
    if (inner_) inner_->Stop();
  }
  int64_t BytesFree() override { return inner_ ? inner_->BytesFree() : (1 << 24); }
  int64_t Write(const char* data, int64_t bytes) override {
    const int64_t taken = inner_ ? inner_->Write(data, bytes) : bytes;
    if (log_->firstWriteUSecs < 0 && taken > 0) log_->firstWriteUSecs = platform::MonotonicUSecs();
    log_->bytes += taken;
    if (log_->onWrite) log_->onWrite();
    return taken;
  }
  void Finish() override {
    ++log_->finishes;
    finished_ = true;
    if (inner_) inner_->Finish();
  }
  int64_t HeardUSecs() const override {
    if (inner_) return inner_->HeardUSecs();
    if (log_->stalled || !finished_) return 0;
    return log_->bytes / 2 * 1000000 / std::max(log_->rate, 1);
  }
  bool Failed() const override { return log_->failed || (inner_ && inner_->Failed()); }
  bool IsNull() const override { return inner_ ? inner_->IsNull() : true; }

 private:
  std::shared_ptr<OutputLog> log_;
  std::unique_ptr<AudioOutput> inner_;
  bool finished_ = false;
};

std::unique_ptr<SpeechEngine> EngineOn(const std::shared_ptr<OutputLog>& log,
                                       std::function<std::unique_ptr<AudioOutput>()> inner = {}) {
  return platform::CreateEspeakEngine(
      [log, inner] { return std::make_unique<LoggingOutput>(log, inner ? inner() : nullptr); });
}

int64_t DurationUSecs(const OutputLog& log) { return log.bytes / 2 * 1000000 / log.rate; }

// Moves the clock by a fixed step at every reading, so the null output and
// the stall watch run fast.
class SteppingClock {
 public:
  explicit SteppingClock(int64_t stepUSecs) {
    platform::SetMonotonicClock([this, stepUSecs] { return now_ += stepUSecs; });
  }
  ~SteppingClock() { platform::SetMonotonicClock({}); }

 private:
  int64_t now_ = 1000000;
};

}  // namespace

TEST(Speech, VoicesHaveReadableNamesAndRatesFollowTheScale) {
  auto engine = platform::CreateEspeakEngine();
  const auto voices = engine->Voices();
  ASSERT_FALSE(voices.empty()) << "espeak-ng-data is not installed";
  bool america = false;
  for (const auto& v : voices) {
    EXPECT_FALSE(v.description.contains('_')) << v.description.toStdString();
    america = america || v.description == "English (America)";
  }
  EXPECT_TRUE(america);
  EXPECT_EQ(platform::ReadableVoiceName("English_(Great_Britain)"), "English (Great Britain)");
  EXPECT_EQ(platform::ReadableVoiceName("Cherokee_"), "Cherokee");

  EXPECT_EQ(platform::WordsPerMinute(0), 175);
  EXPECT_EQ(platform::WordsPerMinute(-4), 113);
  EXPECT_EQ(platform::WordsPerMinute(4), 272);
  EXPECT_EQ(platform::WordsPerMinute(-40), 113);
  EXPECT_EQ(engine->Rate(), 0);
  engine->setRate(-9);
  EXPECT_EQ(engine->Rate(), -4);
  engine->setRate(99);
  EXPECT_EQ(engine->Rate(), 4);
  EXPECT_FALSE(engine->setVoice(-1));
  EXPECT_FALSE(engine->setVoice(static_cast<int>(voices.size())));
}

TEST(Speech, SpokenPcmGrowsAsTheRateFalls) {
  auto log = std::make_shared<OutputLog>();
  auto engine = EngineOn(log);
  int64_t previous = 0;
  for (int rate : {4, 0, -4}) {
    log->bytes = 0;
    engine->setRate(rate);
    ASSERT_TRUE(engine->Speak("12,345,678"));
    EXPECT_GT(log->bytes, previous * 11 / 10) << "rate " << rate;
    previous = log->bytes;
  }
  EXPECT_EQ(log->channels, 1);
  EXPECT_EQ(log->rate, 22050);
  EXPECT_EQ(log->starts, 3);
  EXPECT_EQ(log->finishes, 3);
  EXPECT_FALSE(engine->Speaking());

  // Nothing to say: no sound and no run.
  EXPECT_TRUE(engine->Speak("  "));
  EXPECT_EQ(log->starts, 3);
}

TEST(Speech, OneUtteranceAtATimeAndCancelEndsItAtOnce) {
  auto log = std::make_shared<OutputLog>();
  auto engine = EngineOn(log);
  int nested = -1;
  log->onWrite = [&] {
    if (nested < 0) nested = engine->Speak("9") ? 1 : 0;
  };
  EXPECT_TRUE(engine->Speak("one two three"));
  EXPECT_EQ(nested, 0);

  log->onWrite = [&] { engine->Cancel(); };
  log->bytes = 0;
  EXPECT_FALSE(engine->Speak("one two three four five six seven eight nine ten"));
  EXPECT_LT(log->bytes, 22050 * 2);  // stopped after the first piece, well inside a second
  EXPECT_FALSE(engine->Speaking());
  // The next utterance is not affected.
  log->onWrite = nullptr;
  EXPECT_TRUE(engine->Speak("7"));
}

TEST(Speech, AFailedOrStalledOutputEndsTheUtteranceWithoutHanging) {
  SteppingClock clock(50000);
  auto log = std::make_shared<OutputLog>();
  auto engine = EngineOn(log);
  log->failed = true;
  EXPECT_FALSE(engine->Speak("seven"));
  log->failed = false;
  log->stalled = true;
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_FALSE(engine->Speak("seven"));
  EXPECT_LT(elapsed.elapsed(), 5000);
  EXPECT_GE(log->stops, 2);
}

TEST(Speech, SpeaksThroughTheNullOutputInRealTimeWhileTimersRun) {
  auto log = std::make_shared<OutputLog>();
  auto engine = EngineOn(log, [] { return platform::CreateNullOutput(); });
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  QElapsedTimer elapsed;
  elapsed.start();
  ASSERT_TRUE(engine->Speak("7"));
  const int64_t spokenMs = DurationUSecs(*log) / 1000;
  EXPECT_GT(spokenMs, 200);
  EXPECT_GE(elapsed.elapsed(), spokenMs - 60);  // it returned once heard
  EXPECT_GT(ticks, 2);                          // the event loop kept turning
}

TEST(Speech, SpeaksThroughTheVirtualSoundDevice) {
  if (!platform::CreateSystemOutput()) GTEST_SKIP() << "no sound device (start scripts/virtual_sound.sh)";
  auto log = std::make_shared<OutputLog>();
  auto engine = EngineOn(log, [] { return platform::CreateSystemOutput(); });
  ASSERT_TRUE(engine->Speak("42"));
  const int64_t fast = log->bytes;
  engine->setRate(-4);
  log->bytes = 0;
  QElapsedTimer elapsed;
  elapsed.start();
  ASSERT_TRUE(engine->Speak("42"));
  EXPECT_GT(log->bytes, fast);
  EXPECT_GE(elapsed.elapsed(), DurationUSecs(*log) / 1000 - 100);
}
