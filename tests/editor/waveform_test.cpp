// The waveform strips and "自动分段" on recordings made from speech.
#include <QFile>
#include <QProgressBar>

#include "core/auto_split.h"
#include "core/peak_cache.h"
#include "core/peak_loader.h"
#include "editor/waveform_strip.h"
#include "tests/common/wait_until.h"
#include "tests/core/spoken_lesson.h"
#include "tests/editor/editor_fixture.h"

namespace editor_test {
namespace {

class WaveformTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    oldCache_ = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache_.Path().toUtf8());
  }
  void TearDown() override {
    EditorTest::TearDown();
    qputenv("XDG_CACHE_HOME", oldCache_);
  }
  // A spoken recording made the current one, with the given sentences
  // already in the store.
  void UseRecording(const SpokenLesson& lesson, const std::vector<Line>& lines = {}) {
    ProMod::CurrentAudioPath = folder_.File("spoken.mp3");
    ProMod::CurrentMaterialPath = ProMod::CurrentAudioPath + QStringLiteral(".qvl");
    ASSERT_TRUE(WriteLessonMp3(lesson, ProMod::CurrentAudioPath));
    SetLength(static_cast<int32_t>(lesson.pcm.size() * 1000 / lesson.rate));
    Lesson(lines);
  }
  bool WaitForPeaks() {
    return WaitUntil([this] { return !ed().Loader()->Running() && ed().WaveformProgress()->isHidden(); }, 20000);
  }
  // The strip's left edge and width in the window's pixels.
  static std::pair<int, int> Span(QWidget* w) { return {w->mapTo(w->window(), QPoint(0, 0)).x(), w->width()}; }

  TempFolder cache_, folder_;
  QByteArray oldCache_;
};

SpokenLesson FourSentences() {
  return MakeSpokenLesson(spoken::Sentences().mid(0, 4), {500, 250, 1200, 400}, -20.0);
}

}  // namespace

TEST_F(WaveformTest, StripsFollowTheTimelineTheMagnifiedBarTheTableAndTheRange) {
  const SpokenLesson lesson = FourSentences();
  UseRecording(lesson, {{400, 2500, "One"}, {2600, 5000, "Two"}});
  // Worked out on another thread, with the progress shown meanwhile (the
  // results arrive through the event loop, so not before it runs).
  editor_ = std::make_unique<SetStree>(nullptr);
  EXPECT_FALSE(ed().WaveformProgress()->isHidden());
  EXPECT_EQ(ed().ShownPeaks(), nullptr);
  editor_.reset();
  Open();
  ASSERT_TRUE(WaitForPeaks());
  WaveformStrip* whole = ed().Waveform(0);
  WaveformStrip* range = ed().Waveform(1);
  ASSERT_NE(whole->Peaks(), nullptr);
  EXPECT_EQ(*whole->Peaks(), *PeakCache::Load(ProMod::CurrentAudioPath)) << "the peaks are cached";
  EXPECT_EQ(whole->ViewFrom(), 0);
  EXPECT_EQ(whole->ViewTo(), ProMod::TotalLength);
  EXPECT_EQ(Span(whole), Span(ed().QelPBar1()));
  EXPECT_EQ(Span(range), Span(ed().QelPBar2()));
  // Visible with the overlay up, before any sentence is chosen.
  EXPECT_TRUE(OverlayShown());
  EXPECT_TRUE(whole->isVisible());

  ed().SelectSentence(2);
  EXPECT_EQ(whole->RangeStart(), 2600);
  EXPECT_EQ(whole->RangeEnd(), 5000);
  EXPECT_EQ(range->RangeStart(), ed().QelPBar2()->MinValue());
  EXPECT_EQ(range->RangeEnd(), ed().QelPBar2()->MaxValue());
  EXPECT_EQ(range->ViewFrom(), 2600 - 600);
  EXPECT_EQ(range->ViewTo(), 5000 + 600);
  EXPECT_NEAR(range->XFor(2600), range->width() * 600.0 / 3600.0, 1.0);

  // Boundary moves and marker drags show at once.
  ed().Command1_Click(5);  // start 0.5 s later
  EXPECT_EQ(whole->RangeStart(), 3100);
  EXPECT_EQ(range->RangeStart(), 3100);
  DragMarker(1, 40);
  EXPECT_EQ(whole->RangeEnd(), ed().Entry(2).End);
  EXPECT_EQ(range->RangeEnd(), ed().Entry(2).End);
  const QImage shot = ed().grab().toImage();
  EXPECT_FALSE(shot.isNull());
}

TEST_F(WaveformTest, AutoSplitReplacesTheTableOnlyWhenConfirmed) {
  const SpokenLesson lesson = FourSentences();
  UseRecording(lesson, {{400, 2500, "Old one"}});
  // Asked before the peaks are there (they arrive through the event loop):
  // told to wait, nothing changes.
  editor_ = std::make_unique<SetStree>(nullptr);
  ed().VsNetBut9_Click();
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, SetStree::kWaveformPending);
  EXPECT_EQ(ed().Count(), 1);
  ed().resize(ed().minimumSize());
  ed().show();
  ASSERT_TRUE(WaitForPeaks());

  msgs_.QueueAnswer(0);  // Cancel
  Click(ed().AutoSplitButton());
  ASSERT_EQ(msgs_.Count(), 2);
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_TRUE(msgs_.Last().text.contains(QStringLiteral("自动分段找到4句")));
  ASSERT_EQ(ed().Count(), 1);
  EXPECT_EQ(ed().Entry(1).Text, QStringLiteral("Old one"));
  EXPECT_FALSE(ed().HasUnsavedChanges());

  msgs_.QueueAnswer(1);
  Click(ed().AutoSplitButton());
  ASSERT_EQ(ed().Count(), 4);
  EXPECT_EQ(ed().MyStree1()->LabelCount(), 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(ed().Entry(k).Text, QStringLiteral("第%1句").arg(k));
    EXPECT_LE(ed().Entry(k).Start, lesson.truth[k - 1].start + 30);
    EXPECT_GE(ed().Entry(k).End, lesson.truth[k - 1].end - 30);
    EXPECT_LE(ed().Entry(k).End, ProMod::TotalLength);
  }
  EXPECT_EQ(ed().Waveform(0)->Peaks()->Bins(), (ProMod::TotalLength + 9) / 10);
  // Edited and saved as usual.
  ClickItem(2);
  Type(ed().QelText1(), QStringLiteral(" Could I"));
  EXPECT_TRUE(ed().HasUnsavedChanges());
  ed().VsNetBut1_Click();
  EXPECT_TRUE(ed().EidtIsSave());
  EXPECT_TRUE(ProMod::BaseData.contains(QStringLiteral("第2句 Could I")));
  EXPECT_EQ(ProMod::BaseData.count(ProMod::kEnter), 3);
}

TEST_F(WaveformTest, NothingToProposeLeavesTheTableAlone) {
  // Ten seconds of one tone.
  SpokenLesson tone;
  tone.pcm.resize(22050 * 10);
  for (size_t i = 0; i < tone.pcm.size(); ++i) tone.pcm[i] = static_cast<int16_t>(7000 * std::sin(i * 0.07));
  UseRecording(tone, {{400, 2500, "Kept"}});
  Open();
  ASSERT_TRUE(WaitForPeaks());
  ASSERT_NE(ed().ShownPeaks(), nullptr);
  Click(ed().AutoSplitButton());
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, SetStree::kNothingToSplit);
  EXPECT_FALSE(msgs_.Last().twoButtons);
  ASSERT_EQ(ed().Count(), 1);
  EXPECT_EQ(ed().Entry(1).Text, QStringLiteral("Kept"));
}

TEST_F(WaveformTest, AMissingOrVanishingRecordingOrAJunkCacheIsNoTrouble) {
  // No recording at all (the fixture's path leads nowhere).
  Open();
  EXPECT_FALSE(ed().Loader()->Running());
  EXPECT_EQ(ed().ShownPeaks(), nullptr);
  ed().VsNetBut9_Click();
  EXPECT_EQ(msgs_.Last().text, SetStree::kWaveformFailed);
  editor_.reset();

  // Removed while its peaks are worked out: the window carries on.
  const SpokenLesson lesson = FourSentences();
  UseRecording(lesson, {{400, 2500, "Kept"}});
  Open();
  QFile::remove(ProMod::CurrentAudioPath);
  ASSERT_TRUE(WaitForPeaks());
  ed().SelectSentence(1);
  EXPECT_EQ(ed().Waveform(0)->RangeStart(), 400);
  EXPECT_FALSE(QFile::exists(PeakCache::FileFor(ProMod::CurrentAudioPath)));
  editor_.reset();

  // A junk cache file is ignored, and closing the window mid-way is fine.
  ASSERT_TRUE(WriteLessonMp3(lesson, ProMod::CurrentAudioPath));
  QDir().mkpath(PeakCache::Folder());
  QFile junk(PeakCache::FileFor(ProMod::CurrentAudioPath));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(1000, '\x07'));
  junk.close();
  Open();
  editor_.reset();
  Open();
  ASSERT_TRUE(WaitForPeaks());
  ASSERT_NE(ed().ShownPeaks(), nullptr);
  EXPECT_EQ(ed().ShownPeaks()->lengthMs, ProMod::TotalLength);
  EXPECT_TRUE(PeakCache::Load(ProMod::CurrentAudioPath));
}

}  // namespace editor_test
