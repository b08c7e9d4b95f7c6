// SoundMod: opening, positions, pausing, stop positions and the end of the
// recording, with a hand-moved clock (exact) and in real time through the
// null output and, when there is one, the system's sound device.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/core/audio_test_media.h"

namespace {

using audio_test::Media;
using audio_test::MediaPath;
using SoundMod::PlayState;

// Every piece handed to the output, in order.
struct Handed {
  int64_t first = 0;
  std::vector<int16_t> samples;
  int64_t frames = 0;
};

class SoundModTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VELMO_REQUIRE_AUDIO_MEDIA();
    SoundMod::CloseAudio();
    ProMod::PausedPosition = -7;
  }
  void TearDown() override {
    SoundMod::CloseAudio();
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
    SoundMod::SetOutputObserver({});
    platform::SetSystemOutputFactory({});
    platform::SetMonotonicClock({});
  }

  void RecordHanded() {
    SoundMod::SetOutputObserver([this](int64_t first, const char* data, int64_t frames) {
      Handed h;
      h.first = first;
      h.frames = frames;
      const auto* s = reinterpret_cast<const int16_t*>(data);
      h.samples.assign(s, s + frames * SoundMod::Channels());
      handed_.push_back(std::move(h));
    });
  }

  // The frame a position in ms starts at, as the player counts.
  static int64_t Frame(int64_t ms) { return audio_test::MsToFrame(ms, SoundMod::SampleRate()); }

  MsgBoxRecorder msgs_;
  std::vector<Handed> handed_;
};

// ---------------------------------------------------------------------------
// Opening and closing

TEST_F(SoundModTest, OpenReturnsTheExactLengthOfEveryKindOfFile) {
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const QStringList sameAsCbr = audio_test::WrappedMedia() << audio_test::OddNamedCopy();
  for (const QString& name : audio_test::ExactMedia() + sameAsCbr) {
    SCOPED_TRACE(name.toStdString());
    const auto info = Media(sameAsCbr.contains(name) ? QStringLiteral("cbr_stereo.mp3") : name);
    const int32_t length = SoundMod::OpenAudio(MediaPath(name));
    EXPECT_EQ(length, audio_test::FramesToMs(info.expectedFrames, info.rate));
    EXPECT_EQ(SoundMod::LengthFrames(), info.expectedFrames);
    EXPECT_TRUE(SoundMod::IsOpen());
    EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
    EXPECT_EQ(SoundMod::GetPosition(), 0);
    SoundMod::CloseAudio();
  }
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(SoundModTest, UnplayableFilesAreRefusedWithTheErrorMessage) {
  QStringList paths;
  for (const QString& name : audio_test::BadMedia()) paths << MediaPath(name);
  paths << QString() << audio_test::MediaDir();  // no path at all; a folder
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    msgs_.Clear();
    EXPECT_EQ(SoundMod::OpenAudio(path), 0);
    ASSERT_EQ(msgs_.Count(), 1);
    EXPECT_EQ(msgs_.Last().text, QStringLiteral("播放MP3文件时发生错误！"));
    EXPECT_EQ(msgs_.Last().title, QStringLiteral("错误"));
    EXPECT_FALSE(msgs_.Last().twoButtons);
    EXPECT_EQ(msgs_.Last().icon, 0);
    EXPECT_FALSE(SoundMod::IsOpen());
    EXPECT_EQ(SoundMod::GetPosition(), 0);
  }
  // Nothing is left half-open: a good file opens next.
  EXPECT_GT(SoundMod::OpenAudio(MediaPath("mono22.mp3")), 0);
}

TEST_F(SoundModTest, OpeningWhileARecordingIsOpenFailsAndKeepsTheOpenOne) {
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const int32_t length = SoundMod::OpenAudio(MediaPath("mono22.mp3"));
  ASSERT_GT(length, 0);
  SoundMod::PlayFrom(length + 10);  // rests at the end
  EXPECT_EQ(SoundMod::OpenAudio(MediaPath("cbr_stereo.mp3")), 0);
  EXPECT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(SoundMod::SampleRate(), 22050);
  EXPECT_EQ(SoundMod::GetPosition(), length);
  // Closed first, the other one opens, from the start.
  SoundMod::CloseAudio();
  EXPECT_GT(SoundMod::OpenAudio(MediaPath("cbr_stereo.mp3")), 0);
  EXPECT_EQ(SoundMod::SampleRate(), 44100);
  EXPECT_EQ(SoundMod::GetPosition(), 0);
}

TEST_F(SoundModTest, WithoutARecordingCommandsDoNothingAndCloseIsHarmless) {
  SoundMod::CloseAudio();
  SoundMod::CloseAudio();
  SoundMod::PlayFrom(1000);
  SoundMod::PlayFrom(1000, 2000);
  SoundMod::StopAudio();
  SoundMod::PauseAudio();
  SoundMod::ServiceOutput();
  EXPECT_EQ(ProMod::PausedPosition, 0);  // the position read while closed
  EXPECT_EQ(SoundMod::GetPosition(), 0);
  EXPECT_EQ(SoundMod::State(), PlayState::Closed);
  EXPECT_EQ(SoundMod::FramesHandedToOutput(), 0);
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(SoundModTest, OutputModesChooseTheDeviceOrTheNullOutput) {
  // No device: Automatic keeps time without one; SystemOutput refuses.
  platform::SetSystemOutputFactory([] { return std::unique_ptr<platform::AudioOutput>(); });
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  ASSERT_GT(SoundMod::OpenAudio(MediaPath("mono22.mp3")), 0);
  EXPECT_TRUE(SoundMod::UsingNullOutput());
  SoundMod::CloseAudio();
  SoundMod::SetOutputMode(SoundMod::OutputMode::SystemOutput);
  EXPECT_EQ(SoundMod::OpenAudio(MediaPath("mono22.mp3")), 0);
  EXPECT_EQ(msgs_.Count(), 1);
  EXPECT_FALSE(SoundMod::IsOpen());
  // The real factory: Automatic uses the device exactly when there is one.
  platform::SetSystemOutputFactory({});
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  ASSERT_GT(SoundMod::OpenAudio(MediaPath("mono22.mp3")), 0);
  EXPECT_EQ(SoundMod::UsingNullOutput(), !platform::SystemOutputAvailable());
  SoundMod::CloseAudio();
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  ASSERT_GT(SoundMod::OpenAudio(MediaPath("mono22.mp3")), 0);
  EXPECT_TRUE(SoundMod::UsingNullOutput());
}

// ---------------------------------------------------------------------------
// Positions with a hand-moved clock: the null output keeps exact time.

class SoundModClockTest : public SoundModTest {
 protected:
  void SetUp() override {
    SoundModTest::SetUp();
    if (IsSkipped()) return;
    platform::SetMonotonicClock([this] { return now_; });
    SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  }
  int32_t Open(const QString& name) {
    const int32_t length = SoundMod::OpenAudio(MediaPath(name));
    EXPECT_GT(length, 0);
    return length;
  }
  void Advance(int64_t ms) {
    now_ += ms * 1000;
    SoundMod::ServiceOutput();
  }
  // Advances in small steps until playback ends; checks that the position
  // never goes back and never passes `limit`.
  void PlayOut(int32_t limit, int stepMs = 7) {
    int32_t last = SoundMod::GetPosition();
    for (int i = 0; i < 100000 && SoundMod::State() == PlayState::Playing; ++i) {
      Advance(stepMs);
      const int32_t pos = SoundMod::GetPosition();
      ASSERT_GE(pos, last);
      ASSERT_LE(pos, limit);
      last = pos;
    }
  }
  // Handed pieces must join up from `start` and end exactly at `stop`.
  void ExpectHandedExactly(int64_t start, int64_t stop) {
    ASSERT_FALSE(handed_.empty());
    int64_t next = start;
    for (const Handed& h : handed_) {
      EXPECT_EQ(h.first, next);
      next = h.first + h.frames;
    }
    EXPECT_EQ(next, stop);
    EXPECT_EQ(SoundMod::FramesHandedToOutput(), stop - start);
  }

  int64_t now_ = 1000000000;
};

TEST_F(SoundModClockTest, PositionFollowsTheClockAndPauseKeepsIt) {
  Open("cbr_stereo.mp3");
  SoundMod::PlayFrom(1000);
  EXPECT_EQ(SoundMod::State(), PlayState::Playing);
  EXPECT_EQ(SoundMod::GetPosition(), 1000);
  Advance(250);
  EXPECT_EQ(SoundMod::GetPosition(), 1250);
  Advance(1);
  EXPECT_EQ(SoundMod::GetPosition(), 1251);

  SoundMod::PauseAudio();
  EXPECT_EQ(ProMod::PausedPosition, 1251);
  EXPECT_EQ(SoundMod::State(), PlayState::Paused);
  Advance(500);
  EXPECT_EQ(SoundMod::GetPosition(), 1251);
  SoundMod::PauseAudio();  // pausing again reads the same position
  EXPECT_EQ(ProMod::PausedPosition, 1251);
  SoundMod::StopAudio();
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), 1251);

  // Resuming is a new play from the paused position.
  SoundMod::PlayFrom(ProMod::PausedPosition);
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 1351);
  // A new play while playing starts over from its own position.
  SoundMod::PlayFrom(3000);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  Advance(40);
  EXPECT_EQ(SoundMod::GetPosition(), 3040);
}

TEST_F(SoundModClockTest, NothingPastTheStopPositionReachesTheOutput) {
  Open("cbr_stereo.mp3");
  platform::Mp3Decoder reference;
  ASSERT_TRUE(reference.Open(MediaPath("cbr_stereo.mp3")));
  RecordHanded();
  // Both ends fall on half frames at 44.1 kHz (44 320.5 and 57 550.5): the
  // player takes the even neighbour.
  SoundMod::PlayFrom(1005, 1305);
  PlayOut(1305);
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), 1305);
  ExpectHandedExactly(Frame(1005), Frame(1305));
  // And what was handed is the recording's audio at those frames.
  const int64_t frames = Frame(1305) - Frame(1005);
  std::vector<int16_t> expected(static_cast<size_t>(frames * 2));
  ASSERT_TRUE(reference.SeekToFrame(Frame(1005)));
  ASSERT_EQ(reference.Read(reinterpret_cast<char*>(expected.data()), frames), frames);
  std::vector<int16_t> got;
  for (const Handed& h : handed_) got.insert(got.end(), h.samples.begin(), h.samples.end());
  EXPECT_EQ(got, expected);
  // The position stays at rest there.
  Advance(300);
  EXPECT_EQ(SoundMod::GetPosition(), 1305);
}

TEST_F(SoundModClockTest, PlaybackRestsExactlyAtTheLengthAtTheEnd) {
  // 44.1 kHz and 22.05 kHz: the length in ms is rounded, the end must still
  // read as exactly that number.
  for (const QString& name : {QStringLiteral("vbr_xing.mp3"), QStringLiteral("mono22.mp3")}) {
    SCOPED_TRACE(name.toStdString());
    const int32_t length = Open(name);
    handed_.clear();
    RecordHanded();
    SoundMod::PlayFrom(length - 120);
    PlayOut(length, 3);
    EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
    EXPECT_EQ(SoundMod::GetPosition(), length);
    ExpectHandedExactly(Frame(length - 120), SoundMod::LengthFrames());
    SoundMod::CloseAudio();
  }
}

TEST_F(SoundModClockTest, OutOfRangePositionsAreClamped) {
  const int32_t length = Open("mono22.mp3");
  // Before the start: from 0.
  SoundMod::PlayFrom(-500);
  EXPECT_EQ(SoundMod::GetPosition(), 0);
  Advance(50);
  EXPECT_EQ(SoundMod::GetPosition(), 50);
  // Beyond the end: nothing plays, the position is the length.
  SoundMod::PlayFrom(length + 1000);
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), length);
  EXPECT_EQ(SoundMod::FramesHandedToOutput(), 0);
  // A stop at or before the start: nothing plays, the position is the start.
  SoundMod::PlayFrom(2000, 1500);
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), 2000);
  SoundMod::PlayFrom(2000, 2000);
  EXPECT_EQ(SoundMod::GetPosition(), 2000);
  EXPECT_EQ(SoundMod::FramesHandedToOutput(), 0);
  // A stop beyond the end: the end.
  SoundMod::PlayFrom(length - 60, length + 5000);
  PlayOut(length);
  EXPECT_EQ(SoundMod::GetPosition(), length);
}

// An output that plays by the test's clock and can fail on demand.
class FakeDeviceOutput : public platform::AudioOutput {
 public:
  FakeDeviceOutput(bool failStart, int64_t failAfterUSecs, int64_t stallAfterUSecs = INT64_MAX)
      : failStart_(failStart), failAfter_(failAfterUSecs), stallAfter_(stallAfterUSecs) {}
  bool Start(int rate, int channels) override {
    if (failStart_) return false;
    rate_ = rate;
    bpf_ = channels * 2;
    written_ = 0;
    start_ = platform::MonotonicUSecs();
    running_ = true;
    return true;
  }
  void Stop() override { running_ = false; }
  int64_t BytesFree() override { return running_ ? std::max<int64_t>(0, rate_ / 5 - written_) * bpf_ : 0; }
  int64_t Write(const char*, int64_t bytes) override {
    const int64_t frames = std::min(bytes, BytesFree()) / bpf_;
    written_ += frames;
    return frames * bpf_;
  }
  void Finish() override {}
  int64_t HeardUSecs() const override {
    if (!running_) return 0;
    const int64_t elapsed = std::min(platform::MonotonicUSecs() - start_, stallAfter_);
    return std::min(elapsed, written_ * 1000000 / rate_);
  }
  bool Failed() const override { return running_ && platform::MonotonicUSecs() - start_ >= failAfter_; }
  bool IsNull() const override { return false; }

 private:
  bool failStart_;
  int64_t failAfter_;
  int64_t stallAfter_;
  int rate_ = 0, bpf_ = 4;
  int64_t written_ = 0, start_ = 0;
  bool running_ = false;
};

TEST_F(SoundModClockTest, ADeviceFailingMidPlayIsReplacedAndPlaybackStillEnds) {
  platform::SetSystemOutputFactory([] { return std::make_unique<FakeDeviceOutput>(false, 120000); });
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  Open("cbr_stereo.mp3");
  EXPECT_FALSE(SoundMod::UsingNullOutput());
  RecordHanded();
  SoundMod::PlayFrom(500, 1000);
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 600);
  PlayOut(1000, 10);
  EXPECT_TRUE(SoundMod::UsingNullOutput());
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), 1000);
  // After the failure the audio went out again from the heard position, so
  // pieces may repeat, but none reaches past the stop.
  for (const Handed& h : handed_) EXPECT_LE(h.first + h.frames, Frame(1000));
  EXPECT_EQ(handed_.back().first + handed_.back().frames, Frame(1000));
}

TEST_F(SoundModClockTest, ADeviceThatSilentlyStopsPlayingIsReplaced) {
  // The device stops consuming 200 ms into the play without reporting an
  // error; 1.5 s later the null output takes over from where it stood.
  platform::SetSystemOutputFactory([] { return std::make_unique<FakeDeviceOutput>(false, INT64_MAX, 200000); });
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  Open("cbr_stereo.mp3");
  SoundMod::PlayFrom(1000, 1500);
  Advance(1000);
  EXPECT_EQ(SoundMod::GetPosition(), 1200);
  EXPECT_FALSE(SoundMod::UsingNullOutput());
  PlayOut(1500, 10);
  EXPECT_TRUE(SoundMod::UsingNullOutput());
  EXPECT_EQ(SoundMod::GetPosition(), 1500);
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
}

TEST_F(SoundModClockTest, ADeviceRefusingToStartIsReplacedByTheNullOutput) {
  platform::SetSystemOutputFactory([] { return std::make_unique<FakeDeviceOutput>(true, 0); });
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  Open("mono22.mp3");
  SoundMod::PlayFrom(100, 400);
  EXPECT_TRUE(SoundMod::UsingNullOutput());
  PlayOut(400);
  EXPECT_EQ(SoundMod::GetPosition(), 400);
}

// ---------------------------------------------------------------------------
// Real time, through the null output and through the system's device (the
// test environment provides a virtual one; without it those cases skip).

enum class Out { Null, Device };

class SoundModRealTimeTest : public SoundModTest, public ::testing::WithParamInterface<Out> {
 protected:
  void SetUp() override {
    SoundModTest::SetUp();
    if (IsSkipped()) return;
    if (GetParam() == Out::Device) {
      if (!platform::SystemOutputAvailable()) GTEST_SKIP() << "no sound device (start scripts/virtual_sound.sh)";
      SoundMod::SetOutputMode(SoundMod::OutputMode::SystemOutput);
    } else {
      SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
    }
    length_ = SoundMod::OpenAudio(MediaPath("cbr_stereo.mp3"));
    ASSERT_GT(length_, 0);
    ASSERT_EQ(SoundMod::UsingNullOutput(), GetParam() == Out::Null);
  }
  // Runs the event loop until playback has stopped; the time it took, in ms.
  static int64_t WaitUntilStopped(int timeoutMs = 3000) {
    QElapsedTimer t;
    t.start();
    while (SoundMod::State() == PlayState::Playing && t.elapsed() < timeoutMs) QTest::qWait(5);
    return t.elapsed();
  }

  int32_t length_ = 0;
};

// The heard position trails the clock by the device's latency (tens of ms)
// and the poll's timing; it never runs ahead of it.
constexpr int kBehindMs = 120;
constexpr int kAheadMs = 15;

TEST_P(SoundModRealTimeTest, PositionAdvancesInRealTimeAndPauseKeepsIt) {
  QElapsedTimer clock;
  SoundMod::PlayFrom(500);
  clock.start();
  QTest::qWait(300);
  const int32_t pos = SoundMod::GetPosition();
  const int64_t elapsed = clock.elapsed();
  EXPECT_GE(pos, 500 + elapsed - kBehindMs);
  EXPECT_LE(pos, 500 + elapsed + kAheadMs);

  SoundMod::PauseAudio();
  const int32_t paused = ProMod::PausedPosition;
  EXPECT_GE(paused, pos);
  EXPECT_EQ(SoundMod::State(), PlayState::Paused);
  QTest::qWait(100);
  EXPECT_EQ(SoundMod::GetPosition(), paused);
}

TEST_P(SoundModRealTimeTest, AShortRangeTakesItsTimeAndStopsExactlyAtItsEnd) {
  RecordHanded();
  SoundMod::PlayFrom(2000, 2250);
  const int64_t took = WaitUntilStopped();
  EXPECT_EQ(SoundMod::GetPosition(), 2250);
  EXPECT_GE(took, 250 - 30);
  EXPECT_LE(took, 250 + 400);
  int64_t last = 0;
  for (const Handed& h : handed_) last = std::max(last, h.first + h.frames);
  EXPECT_EQ(last, Frame(2250));
  EXPECT_EQ(SoundMod::FramesHandedToOutput(), Frame(2250) - Frame(2000));
}

TEST_P(SoundModRealTimeTest, AtHalfSpeedARangeTakesTwiceItsTimeAndStillStopsAtItsEnd) {
  RecordHanded();
  SoundMod::SetSpeed(0.5);
  SoundMod::PlayFrom(2000, 2400);
  const int64_t took = WaitUntilStopped();
  SoundMod::SetSpeed(1.0);
  EXPECT_EQ(SoundMod::GetPosition(), 2400);
  EXPECT_GE(took, 800 - 30);
  EXPECT_LE(took, 800 + 400);
  int64_t last = 0;
  for (const Handed& h : handed_) last = std::max(last, h.first + h.frames);
  EXPECT_EQ(last, Frame(2400)) << "nothing after the end goes to the stretcher";
}

TEST_P(SoundModRealTimeTest, RangesShorterThanTheDeviceBufferArePlayedOut) {
  // A device starts only once its pre-buffer is full; 30 ms would never get
  // there without the output filling up with silence.
  SoundMod::PlayFrom(1000, 1030);
  const int64_t took = WaitUntilStopped();
  EXPECT_EQ(SoundMod::GetPosition(), 1030);
  EXPECT_LE(took, 600);  // well before the player's own give-up time
}

TEST_P(SoundModRealTimeTest, PlaybackToTheEndRestsAtTheLength) {
  SoundMod::PlayFrom(length_ - 150);
  WaitUntilStopped();
  EXPECT_EQ(SoundMod::State(), PlayState::Stopped);
  EXPECT_EQ(SoundMod::GetPosition(), length_);
}

INSTANTIATE_TEST_SUITE_P(Outputs, SoundModRealTimeTest, ::testing::Values(Out::Null, Out::Device),
                         [](const ::testing::TestParamInfo<Out>& info) {
                           return info.param == Out::Null ? "NullOutput" : "SoundDevice";
                         });

}  // namespace
