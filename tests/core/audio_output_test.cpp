// The sound outputs: the null output's timekeeping and the system device's
// handling of short runs.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <vector>

#include "platform/audio_output.h"

namespace {

class NullOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetMonotonicClock([this] { return now_; }); }
  void TearDown() override { platform::SetMonotonicClock({}); }
  int64_t now_ = 5000000;
};

TEST_F(NullOutputTest, TakesAudioAtRealTimeSpeedAndReportsWhatTheClockSaysWasHeard) {
  auto out = platform::CreateNullOutput();
  ASSERT_TRUE(out->IsNull());
  EXPECT_EQ(out->BytesFree(), 0);  // nothing before a run
  ASSERT_TRUE(out->Start(8000, 2));
  // 100 ms ahead of the clock, in whole frames.
  EXPECT_EQ(out->BytesFree(), 800 * 4);
  const std::vector<char> audio(16000 * 4, 1);
  EXPECT_EQ(out->Write(audio.data(), 2000 * 4), 800 * 4);  // never more than free
  EXPECT_EQ(out->BytesFree(), 0);
  EXPECT_EQ(out->HeardUSecs(), 0);
  now_ += 50000;
  EXPECT_EQ(out->HeardUSecs(), 50000);
  EXPECT_EQ(out->BytesFree(), 400 * 4);
  // Heard time stops at what was given, even when the clock runs on.
  now_ += 1000000;
  EXPECT_EQ(out->HeardUSecs(), 100000);
  // A new run starts from zero; Stop ends it.
  ASSERT_TRUE(out->Start(44100, 1));
  EXPECT_EQ(out->HeardUSecs(), 0);
  EXPECT_EQ(out->BytesFree(), 4410 * 2);
  out->Stop();
  EXPECT_EQ(out->BytesFree(), 0);
  EXPECT_EQ(out->HeardUSecs(), 0);
  EXPECT_FALSE(out->Failed());
}

TEST_F(NullOutputTest, AllOfAnOddLengthRunCountsAsHeard) {
  // 1 frame at 44.1 kHz is 22.68 us: a run of 7 frames is heard in full
  // after 159 us, and converting back gives all 7 frames.
  auto out = platform::CreateNullOutput();
  ASSERT_TRUE(out->Start(44100, 2));
  const std::vector<char> audio(7 * 4, 0);
  ASSERT_EQ(out->Write(audio.data(), 7 * 4), 7 * 4);
  now_ += 10000;
  const int64_t heard = out->HeardUSecs();
  EXPECT_EQ((heard * 44100 + 500000) / 1000000, 7);
}

TEST(SystemOutputTest, ARunShorterThanTheDeviceBufferIsPlayedOut) {
  auto out = platform::CreateSystemOutput();
  if (!out) GTEST_SKIP() << "no sound device (start scripts/virtual_sound.sh)";
  ASSERT_TRUE(out->Start(44100, 2));
  const int64_t empty = out->BytesFree();
  ASSERT_GT(empty, 30 * 44 * 4);
  // 30 ms of audio: less than the server waits for before it starts.
  const std::vector<char> audio(1323 * 4, 0);
  ASSERT_EQ(out->Write(audio.data(), static_cast<int64_t>(audio.size())), static_cast<int64_t>(audio.size()));
  out->Finish();
  // The server takes everything (the buffer empties again) and the heard
  // time reaches the run's length.
  QElapsedTimer t;
  t.start();
  while (out->BytesFree() < empty && t.elapsed() < 2000) QTest::qWait(10);
  EXPECT_EQ(out->BytesFree(), empty);
  EXPECT_GE(out->HeardUSecs(), 30000);
  EXPECT_LE(t.elapsed(), 1000);
  out->Stop();
  EXPECT_FALSE(out->Failed());
}

TEST(SystemOutputTest, HeardTimeNeverRunsAheadOfTheClock) {
  auto out = platform::CreateSystemOutput();
  if (!out) GTEST_SKIP() << "no sound device (start scripts/virtual_sound.sh)";
  const std::vector<char> audio(8820 * 4, 0);  // 200 ms
  // A fresh run and runs that follow it on the same output, each until its
  // audio has been played.
  for (int run = 0; run < 3; ++run) {
    QElapsedTimer t;  // from just before the run starts
    t.start();
    ASSERT_TRUE(out->Start(44100, 2));
    out->Write(audio.data(), std::min<int64_t>(out->BytesFree(), static_cast<int64_t>(audio.size())));
    for (int i = 0; i < 35; ++i) {
      QTest::qWait(7);
      const int64_t heard = out->HeardUSecs();
      EXPECT_LE(heard, t.nsecsElapsed() / 1000) << "run " << run << " after " << t.elapsed() << " ms";
    }
  }
  out->Stop();
}

}  // namespace
