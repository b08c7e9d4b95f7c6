// What the listener hears: playback through the system's sound device,
// recorded from the device's monitor with parec, compared sample for
// sample with the decoded recording. Needs the virtual sound device of
// scripts/virtual_sound.sh (44.1 kHz stereo, the test file's own format, so
// the server passes samples through unchanged); skips without it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/audio_player.h"
#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/core/audio_test_media.h"

namespace {

using SoundMod::PlayState;

// Records the default sink's monitor as raw 16-bit stereo at 44.1 kHz.
class MonitorRecorder {
 public:
  bool Start() {
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (parec.isEmpty()) return false;
    process_.start(parec, {"-d", "@DEFAULT_MONITOR@", "--format=s16le", "--rate=44100", "--channels=2", "--raw",
                           "--latency-msec=20"});
    if (!process_.waitForStarted(3000)) return false;
    // The stream is up once silence starts to arrive.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000 && process_.state() == QProcess::Running) {
      QTest::qWait(10);
      Drain();
      if (bytes_.size() >= 4 * 441) return true;
    }
    return false;
  }
  // Stops recording; the interleaved samples recorded.
  std::vector<int16_t> Finish() {
    Drain();
    process_.terminate();
    process_.waitForFinished(3000);
    Drain();
    std::vector<int16_t> samples(static_cast<size_t>(bytes_.size() / 4 * 2));
    std::copy_n(bytes_.constData(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
  }
  ~MonitorRecorder() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(3000);
    }
  }

 private:
  void Drain() { bytes_.append(process_.readAllStandardOutput()); }
  QProcess process_;
  QByteArray bytes_;
};

bool AllZero(const int16_t* begin, const int16_t* end) {
  return std::all_of(begin, end, [](int16_t s) { return s == 0; });
}

// True when heard[from, to) is silence, then the start of `wanted`, then
// silence: a play cut short. Silence alone also passes (cut before its
// first sound).
bool SilenceAroundAPrefix(const std::vector<int16_t>& heard, int64_t from, int64_t to,
                          const std::vector<int16_t>& wanted) {
  const auto begin = heard.begin() + from, end = heard.begin() + to;
  const auto firstHeard = std::find_if(begin, end, [](int16_t s) { return s != 0; });
  if (firstHeard == end) return true;
  const auto lastHeard = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(firstHeard),
                                      [](int16_t s) { return s != 0; }).base();
  const auto firstWanted = std::find_if(wanted.begin(), wanted.end(), [](int16_t s) { return s != 0; });
  const int64_t skew = ((firstWanted - wanted.begin()) - (firstHeard - begin)) % 2;
  if (skew != 0) return false;  // not on the same channel
  const int64_t n = lastHeard - firstHeard;
  if (n > wanted.end() - firstWanted) return false;
  return std::equal(firstHeard, lastHeard, firstWanted);
}

// Where `wanted` (without its silent edges) next occurs in `heard` at or
// after sample `from`; -1 when it does not. Returns the index of the
// first sample of the whole of `wanted`, silent edges included.
// Whether `heard` holds the samples [core, last) from `at` on. On a loaded
// machine the sound server may slip silence between two pieces it was
// handed (an underrun): such inserted silence, whole frames of 0 up to half
// a second, is passed over; any other difference is not. Gives the end of
// the match in `heard`, or -1.
int64_t MatchFrom(const std::vector<int16_t>& heard, int64_t at, std::vector<int16_t>::const_iterator core,
                  std::vector<int16_t>::const_iterator last) {
  const auto size = static_cast<int64_t>(heard.size());
  int64_t h = at;
  for (auto w = core; w != last;) {
    if (h >= size) return -1;
    if (heard[static_cast<size_t>(h)] == *w) {
      ++h;
      ++w;
      continue;
    }
    // Only at a frame boundary, and only silence, can have been inserted.
    if ((w - core) % 2 != 0) return -1;
    int64_t gap = h;
    while (gap + 1 < size && gap - h < 44100 && heard[static_cast<size_t>(gap)] == 0 &&
           heard[static_cast<size_t>(gap) + 1] == 0)
      gap += 2;
    if (gap == h) return -1;
    h = gap;
  }
  return h;
}

// Finds the play in what was heard from `from` on; `end` receives where it ends.
int64_t FindPlay(const std::vector<int16_t>& heard, int64_t from, const std::vector<int16_t>& wanted,
                 int64_t* end) {
  auto first = std::find_if(wanted.begin(), wanted.end(), [](int16_t s) { return s != 0; });
  if (first == wanted.end()) return -1;
  auto last = std::find_if(wanted.rbegin(), wanted.rend(), [](int16_t s) { return s != 0; }).base();
  const int64_t lead = (first - wanted.begin()) / 2 * 2;  // whole frames
  const auto core = wanted.begin() + lead;
  const int64_t coreSize = last - core;
  for (int64_t at = std::max<int64_t>(from + lead, lead); at + coreSize <= static_cast<int64_t>(heard.size());
       at += 2) {
    if (heard[static_cast<size_t>(at) + (first - core)] != *first) continue;
    const int64_t matched = MatchFrom(heard, at, core, last);
    if (matched < 0) continue;
    *end = matched + static_cast<int64_t>(wanted.end() - last);
    return at - lead;
  }
  return -1;
}

class HeardAudioTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SoundMod::CloseAudio();
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  }
};

TEST_F(HeardAudioTest, EveryPlayIsHeardExactlyAsDecodedFiftyTimesOver) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  if (!platform::SystemOutputAvailable()) GTEST_SKIP() << "no sound device (start scripts/virtual_sound.sh)";
  MonitorRecorder monitor;
  if (!monitor.Start()) GTEST_SKIP() << "the sound device's monitor cannot be recorded (parec)";

  MsgBoxRecorder boxes;
  const QString path = audio_test::MediaPath("cbr_stereo.mp3");
  platform::Mp3Decoder reference;
  ASSERT_TRUE(reference.Open(path));
  ASSERT_EQ(reference.SampleRate(), 44100);
  ASSERT_EQ(reference.Channels(), 2);
  SoundMod::CloseAudio();
  SoundMod::SetOutputMode(SoundMod::OutputMode::SystemOutput);
  const int32_t length = SoundMod::OpenAudio(path);
  ASSERT_GT(length, 2000);

  // Short sentences all over the recording, each a different piece, so
  // that a piece of an earlier play heard again shows. Most fit the
  // device's buffer (200 ms) at once; every 10th is longer and is fed while
  // it plays; every 7th is cut short by a pause, as a click on another
  // sentence does.
  struct Play {
    int64_t startFrame, stopFrame;
    bool cutShort;
  };
  std::vector<Play> plays;
  constexpr int kPlays = 52;
  for (int i = 0; i < kPlays; ++i) {
    const int32_t start = 200 + (i * 733) % (length - 800);
    const int32_t stop = start + (i % 10 == 9 ? 500 : 120 + (i % 5) * 17);
    SoundMod::PlayFrom(start, stop);
    ASSERT_EQ(SoundMod::State(), PlayState::Playing) << "play " << i;
    const bool cutShort = i % 7 == 3;
    QElapsedTimer t;
    t.start();
    if (cutShort) {
      QTest::qWait(80);
      SoundMod::PauseAudio();
    } else {
      while (SoundMod::State() == PlayState::Playing && t.elapsed() < 3000) QTest::qWait(5);
      EXPECT_EQ(SoundMod::GetPosition(), stop) << "play " << i;
    }
    plays.push_back({audio_test::MsToFrame(start, 44100), audio_test::MsToFrame(stop, 44100), cutShort});
    QTest::qWait(60);  // a gap of silence between plays
  }
  QTest::qWait(300);
  const std::vector<int16_t> heard = monitor.Finish();
  EXPECT_EQ(boxes.Count(), 0);

  // Every whole play is found, in order, sample for sample; outside the
  // plays there is only silence (no noise, no piece of an earlier play).
  auto decoded = [&](const Play& play) {
    const int64_t frames = play.stopFrame - play.startFrame;
    std::vector<int16_t> samples(static_cast<size_t>(frames * 2));
    EXPECT_TRUE(reference.SeekToFrame(play.startFrame));
    EXPECT_EQ(reference.Read(reinterpret_cast<char*>(samples.data()), frames), frames);
    return samples;
  };
  int64_t cursor = 0;
  int found = 0;
  for (size_t i = 0; i < plays.size(); ++i) {
    if (plays[i].cutShort) continue;  // checked with the play after it
    const std::vector<int16_t> wanted = decoded(plays[i]);
    int64_t end = 0;
    const int64_t at = FindPlay(heard, cursor, wanted, &end);
    ASSERT_GE(at, 0) << "play " << i << " was not heard as decoded (" << found << " plays before it were)";
    // Before it: silence, and the start of the play cut short before it.
    if (i > 0 && plays[i - 1].cutShort)
      EXPECT_TRUE(SilenceAroundAPrefix(heard, cursor, at, decoded(plays[i - 1]))) << "before play " << i;
    else
      EXPECT_TRUE(AllZero(heard.data() + cursor, heard.data() + at)) << "noise before play " << i;
    cursor = end;
    ++found;
  }
  EXPECT_TRUE(AllZero(heard.data() + cursor, heard.data() + heard.size())) << "noise after the last play";
  EXPECT_EQ(found, kPlays - kPlays / 7);
}

}  // namespace
