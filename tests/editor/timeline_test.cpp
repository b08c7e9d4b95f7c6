// The editor's timeline: marker drags with their limits and gap, the
// magnified bar, and playing the chosen range up to its end (through the
// null output with a clock the test moves, and once in real time through
// the sound device when there is one).
#include <QElapsedTimer>

#include "tests/editor/editor_fixture.h"

namespace editor_test {
namespace {

class TimelineTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    VELMO_REQUIRE_AUDIO_MEDIA();
    platform::SetMonotonicClock([this] { return now_; });
    SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
    const int32_t length = SoundMod::OpenAudio(audio_test::MediaPath("mono22.mp3"));
    ASSERT_GT(length, 5000);
    SetLength(length);
    SoundMod::SetOutputObserver([this](int64_t first, const char*, int64_t frames) {
      if (handedFirst_ < 0) handedFirst_ = first;
      handedEnd_ = std::max(handedEnd_, first + frames);
    });
    Lesson({{500, 1500, "Good morning.", ""}, {2000, 3000, "This is lesson one.", ""},
            {3500, 4500, "Listen to each sentence.", ""}});
  }
  void TearDown() override {
    editor_.reset();
    SoundMod::SetOutputObserver({});
    SoundMod::CloseAudio();
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
    platform::SetMonotonicClock({});
    EditorTest::TearDown();
  }
  void ResetHanded() {
    handedFirst_ = -1;
    handedEnd_ = 0;
  }
  static int64_t Frame(int64_t ms) { return (ms * SoundMod::SampleRate() + 500) / 1000; }
  // Moves the hand clock in timer-sized steps, running the timer while it runs.
  void Advance(int ms) {
    for (int done = 0; done < ms; done += SetStree::kWatchIntervalMs) {
      now_ += int64_t{SetStree::kWatchIntervalMs} * 1000;
      SoundMod::ServiceOutput();
      if (editor_->Timer1()->isActive()) editor_->Timer1_Timer();
    }
  }
  int RunUntilStopped(int limitMs = 10000) {
    for (int t = 0; t <= limitMs; t += SetStree::kWatchIntervalMs) {
      if (!editor_->Timer1()->isActive()) return t;
      Advance(SetStree::kWatchIntervalMs);
    }
    return -1;
  }
  bool Playing() const { return SoundMod::State() == SoundMod::PlayState::Playing; }

  int64_t now_ = 1'000'000'000;
  int64_t handedFirst_ = -1;
  int64_t handedEnd_ = 0;
};

TEST_F(TimelineTest, MarkersStopAtTheTimelinesEndsAndTheirTimesAtTheRecordings) {
  SetStree& e = Open();
  ClickItem(2);
  DragMarker(0, -3000);
  EXPECT_EQ(e.MarkerLeft(0), e.MarkerMinLeft());
  EXPECT_EQ(e.MarkerMinLeft(), -8);  // centred on the timeline's left end: 120 - 127.5, half to even
  EXPECT_EQ(e.Entry(2).Start, 0);
  EXPECT_EQ(e.Entry(2).StartText, "0:00:00.000");
  EXPECT_EQ(e.Entry(2).End, 3000);
  EXPECT_TRUE(e.Timer1()->isActive());  // the release plays the new range
  DragMarker(1, 3000);
  EXPECT_EQ(e.MarkerLeft(1), e.MarkerMaxLeft());
  EXPECT_EQ(e.Entry(2).End, ProMod::TotalLength);
  EXPECT_EQ(e.Entry(2).EndText, SoundMod::FormatTime(ProMod::TotalLength));
  EXPECT_EQ(e.QelPBar2()->Caption(), "起点为：0:00:00.000   拉动此进度条，播放语音确认你选择的范围   终点为：" +
                                         SoundMod::FormatTime(ProMod::TotalLength));
  EXPECT_TRUE(e.HasUnsavedChanges());
  EXPECT_TRUE(plain_.isEmpty());
}

TEST_F(TimelineTest, MarkersKeepTheirGapWhenDraggedOntoEachOther) {
  SetStree& e = Open();
  ClickItem(2);
  const int endLeft = e.MarkerLeft(1);
  // While dragging, the caption tells which marker moves.
  QWidget* m = e.Picture1(0);
  Mouse(m, QEvent::MouseButtonPress, m->rect().center(), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(e.QelPBar2()->Caption(), "正在拖动选择 \"起始点\" 的发音位置。");
  Mouse(m, QEvent::MouseMove, m->rect().center() + QPoint(2000, 0), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(e.MarkerLeft(0), endLeft - SetStree::kMarkerGap);
  EXPECT_TRUE(e.QelPBar2()->Caption().startsWith("正在拖动选择 \"起始点\" 的发音位置。位置为："));
  EXPECT_EQ(e.Entry(2).Start, 2000);  // the table changes only at the release
  Mouse(m, QEvent::MouseButtonRelease, m->rect().center(), Qt::LeftButton, Qt::NoButton);
  // Too close to keep: the start gives way, the end stays.
  EXPECT_EQ(e.Entry(2).End, 3000);
  EXPECT_EQ(e.Entry(2).Start, 3000 - SetStree::kShortestSentenceMs);

  ClickItem(1);
  DragMarker(1, -2000);
  EXPECT_EQ(e.MarkerLeft(1), e.MarkerLeft(0) + SetStree::kMarkerGap);
  EXPECT_EQ(e.Entry(1).Start, 500);
  EXPECT_EQ(e.Entry(1).End, 500 + SetStree::kShortestSentenceMs);
  EXPECT_TRUE(plain_.isEmpty());
}

TEST_F(TimelineTest, ReleasingAMarkerPlaysTheRangeAndPausesAtItsEnd) {
  SetStree& e = Open();
  ClickItem(2);
  ResetHanded();
  DragMarker(1, 0, 1, Qt::RightButton);  // a right-button release commits and plays
  EXPECT_EQ(e.Entry(2).Start, 2000);
  EXPECT_EQ(e.Entry(2).End, 3000);
  ASSERT_TRUE(e.Timer1()->isActive());
  EXPECT_TRUE(Playing());
  Advance(500);
  EXPECT_NEAR(e.QelPBar2()->Value(), 2500, 30);
  EXPECT_EQ(e.QelPBar1()->Value(), e.QelPBar2()->Value());
  const int took = RunUntilStopped();
  EXPECT_GE(took, 0);
  EXPECT_FALSE(Playing());
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_EQ(handedFirst_, Frame(2000));
  EXPECT_LE(handedEnd_, Frame(3000));  // nothing after the end is heard
  EXPECT_EQ(e.QelPBar2()->Value(), 3000);
}

TEST_F(TimelineTest, TheMagnifiedBarPlaysFromWhereItIsReleased) {
  SetStree& e = Open();
  ClickItem(3);
  QelPBar* bar = e.QelPBar2();
  const int y = bar->height() / 2;
  ResetHanded();
  Mouse(bar, QEvent::MouseButtonPress, {bar->width() / 2, y}, Qt::LeftButton, Qt::LeftButton);
  Mouse(bar, QEvent::MouseButtonRelease, {bar->width() / 2, y}, Qt::LeftButton, Qt::NoButton);
  ASSERT_TRUE(e.Timer1()->isActive());
  EXPECT_NEAR(handedFirst_, Frame(4000), Frame(20));
  RunUntilStopped();
  EXPECT_EQ(SoundMod::GetPosition(), 4500);
  EXPECT_LE(handedEnd_, Frame(4500));

  // Pressing the bar halts a range that plays.
  Mouse(bar, QEvent::MouseButtonPress, {0, y}, Qt::LeftButton, Qt::LeftButton);
  Mouse(bar, QEvent::MouseButtonRelease, {0, y}, Qt::LeftButton, Qt::NoButton);
  ASSERT_TRUE(Playing());
  Advance(100);
  Mouse(bar, QEvent::MouseButtonPress, {bar->width() / 4, y}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(e.Timer1()->isActive());

  // Released at its right end: nothing is left to hear.
  ResetHanded();
  Mouse(bar, QEvent::MouseMove, {bar->width() + 50, y}, Qt::NoButton, Qt::LeftButton);
  Mouse(bar, QEvent::MouseButtonRelease, {bar->width() + 50, y}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(bar->Value(), 4500);
  Advance(50);
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_FALSE(Playing());
  EXPECT_EQ(handedEnd_, 0);
}

TEST_F(TimelineTest, EditingHaltsARangeThatPlays) {
  SetStree& e = Open();
  ClickItem(1);
  DragMarker(0, 0, 1);
  ASSERT_TRUE(Playing());
  Advance(200);
  Click(e.Command1(9));  // end 0.1 s later
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_EQ(e.Entry(1).End, 1600);
  DragMarker(0, 0, 1);
  ASSERT_TRUE(Playing());
  ClickItem(3);  // another sentence
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(e.Timer1()->isActive());
}

TEST_F(TimelineTest, ClosingHaltsPlayback) {
  SetStree& e = Open();
  ClickItem(1);
  DragMarker(0, 0, 1);
  ASSERT_TRUE(Playing());
  e.close();
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(e.Timer1()->isActive());
}

TEST_F(TimelineTest, RealTimeRangeEndsAtItsEndOnTheDevice) {
  SoundMod::CloseAudio();
  platform::SetMonotonicClock({});
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  ASSERT_GT(SoundMod::OpenAudio(audio_test::MediaPath("mono22.mp3")), 5000);
  SetStree& e = Open();
  ClickItem(2);
  ResetHanded();
  QElapsedTimer clock;
  clock.start();
  DragMarker(1, 0, 1);
  while (e.Timer1()->isActive() && clock.elapsed() < 8000) QTest::qWait(5);
  const qint64 took = clock.elapsed();
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_GE(took, 950);
  EXPECT_LT(took, 4000);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_LE(handedEnd_, Frame(3000));
}

}  // namespace
}  // namespace editor_test
