// The segmentation editor's table work: opening, choosing, editing the text
// and remark, nudging and shifting boundaries, joining, deleting and
// restoring, inserting and appending, saving and closing.
#include "tests/editor/editor_fixture.h"

namespace editor_test {
namespace {

using ProMod::MsgBoxRequest;

// ---------------------------------------------------------------------------
// Opening and choosing

TEST_F(EditorTest, OpensOnACopyOfTheTableWithItsControlsAndTheOverlay) {
  EvenLesson(4);
  const QString before = ProMod::BaseData;
  SetStree& e = Open();
  ASSERT_EQ(e.Count(), 4);
  EXPECT_EQ(e.Entry(1).Text, "Sentence 1.");
  EXPECT_EQ(e.Entry(4).Start, 10000);
  EXPECT_EQ(e.Entry(4).Remark, "备注4");
  EXPECT_FALSE(e.Entry(2).Deleted);
  EXPECT_EQ(e.MyStree1()->LabelCount(), 4);
  EXPECT_EQ(e.MyStree1()->ItemStr(3), "Sentence 3.");
  EXPECT_EQ(e.CurrentSentence(), 0);
  EXPECT_TRUE(OverlayShown());
  EXPECT_FALSE(e.Picture2()->isEnabled());
  EXPECT_EQ(e.Label4()->text(), "选择句子进行设置");
  EXPECT_TRUE(e.VsNetButton(7)->isHidden());
  EXPECT_TRUE(e.VsNetBut2(1)->isHidden());
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_FALSE(e.HasUnsavedChanges());
  EXPECT_EQ(ProMod::BaseData, before);
  EXPECT_EQ(e.windowTitle(), "复读设置");

  const char* titles[4] = {"开头音频微调", "结尾音频微调", "此句之后全部整句提前", "此句之后全部整句延迟"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(e.Label3(i)->text(), QString::fromUtf8(titles[i]));
  const char* nudges[6] = {"提前0.1秒", "提前0.2秒", "提前0.5秒", "延迟0.1秒", "延迟0.2秒", "延迟0.5秒"};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(e.Command1(k)->Caption(), QString::fromUtf8(nudges[k % 6]));
  const char* shifts[8] = {"0.1秒", "0.2秒", "0.5秒", "1 秒", "2 秒", "5 秒", "10 秒", "20 秒"};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(e.VsNetBut8(k)->Caption(), QString::fromUtf8(shifts[k % 8]));
  EXPECT_EQ(e.VsNetNext()->Caption(), "此句尾做为下句头");
  EXPECT_EQ(e.VsNetBut2(0)->Caption(), "删除此句");
  EXPECT_EQ(e.VsNetBut2(1)->Caption(), "恢复此句");
  EXPECT_EQ(e.VsNetButton(4)->Caption(), "句前插入");
  EXPECT_EQ(e.VsNetButton(6)->Caption(), "尾部新增");
  EXPECT_EQ(e.VsNetButton(7)->Caption(), "新增一句");
  EXPECT_EQ(e.VsNetButton(5)->Caption(), "导入LRC");
  EXPECT_EQ(e.VsNetButton(1)->Caption(), "保 存");
  EXPECT_EQ(e.VsNetButton(3)->Caption(), "退 出");
  EXPECT_EQ(e.QelPBar1()->Caption(), "拉动下方两个小三角，选择范围，所选择的范围将在次进度条中放大。");
  EXPECT_EQ(e.QelPBar1()->MaxValue(), 100000);
  EXPECT_TRUE(e.QelPBar2()->CanDrag());
  EXPECT_FALSE(e.QelPBar1()->CanDrag());
  EXPECT_EQ(e.VsNetBut2(1)->geometry(), e.VsNetBut2(0)->geometry());
  EXPECT_TRUE(plain_.isEmpty());
}

TEST_F(EditorTest, ClickingASentenceShowsItAndItsRange) {
  Lesson({{12000, 15500, "Hello there.", "你好"}, {16000, 18000, "Second.", ""}});
  SetStree& e = Open();
  ClickItem(1);
  EXPECT_EQ(e.CurrentSentence(), 1);
  EXPECT_FALSE(OverlayShown());
  EXPECT_TRUE(e.Picture2()->isEnabled());
  EXPECT_EQ(e.QelText1()->Text(), "Hello there.");
  EXPECT_EQ(e.QelText2()->Text(), "你好");
  EXPECT_EQ(e.SelectionStart(), 12000);
  EXPECT_EQ(e.SelectionEnd(), 15500);
  EXPECT_TRUE(e.VsNetNext()->isEnabled());
  // Marker centres over 12 % and 15.5 % of the timeline.
  const double tw = e.TimelineWidth();
  EXPECT_NEAR(MarkerCentre(0) - SetStree::kTimelineLeft, tw * 0.12, 1.0);
  EXPECT_NEAR(MarkerCentre(1) - SetStree::kTimelineLeft, tw * 0.155, 1.0);
  EXPECT_EQ(e.QelPBar2()->MinValue(), 12000);
  EXPECT_EQ(e.QelPBar2()->MaxValue(), 15500);
  EXPECT_EQ(e.QelPBar1()->Value(), 12000);
  EXPECT_EQ(e.QelPBar2()->Caption(),
            "起点为：0:00:12.000   拉动此进度条，播放语音确认你选择的范围   终点为：0:00:15.500");
  EXPECT_FALSE(e.Loading());
  EXPECT_FALSE(e.HasUnsavedChanges());  // showing a sentence writes nothing

  ClickItem(2);  // the last one cannot be joined to a next
  EXPECT_FALSE(e.VsNetNext()->isEnabled());
  EXPECT_EQ(e.MyStree1()->LabelCurClick(), 2);
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_TRUE(plain_.isEmpty());
}

// ---------------------------------------------------------------------------
// Text and remark

TEST_F(EditorTest, TypedTextAndRemarkGoIntoTheTableAndTheList) {
  EvenLesson(2);
  SetStree& e = Open();
  ClickItem(1);
  Type(e.QelText1(), "!");
  EXPECT_EQ(e.Entry(1).Text, "Sentence 1.!");
  EXPECT_EQ(e.MyStree1()->GetLabelData(1), "Sentence 1.!");
  Type(e.QelText2(), "  ");
  EXPECT_EQ(e.Entry(1).Remark, "备注1  ");  // remarks are kept as typed
  // Only spaces: the sentence is undefined.
  e.QelText1()->setText(QStringLiteral("   "));
  EXPECT_EQ(e.Entry(1).Text, "句子未定义");
  EXPECT_EQ(e.MyStree1()->GetLabelData(1), "句子未定义");
  EXPECT_TRUE(e.HasUnsavedChanges());
  // Choosing the other sentence fills the boxes without writing anything.
  ClickItem(2);
  EXPECT_EQ(e.Entry(2).Text, "Sentence 2.");
  EXPECT_EQ(e.Entry(1).Text, "句子未定义");
  EXPECT_TRUE(msgs_.Shown().empty());
}

TEST_F(EditorTest, EditingWithoutASentenceAsksForOne) {
  EvenLesson(2);
  SetStree& e = Open();
  e.QelText1()->setText(QStringLiteral("x"));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, "请先选择一个句子。");
  EXPECT_FALSE(msgs_.Last().twoButtons);
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconStop);
  e.QelText2()->setText(QStringLiteral("y"));
  EXPECT_EQ(msgs_.Count(), 2);
  EXPECT_FALSE(e.HasUnsavedChanges());
}

// ---------------------------------------------------------------------------
// Nudging

TEST_F(EditorTest, NudgesStopAtZeroTheRecordingsEndAndThePartner) {
  SetLength(10000);
  Lesson({{200, 500, "Short.", ""}, {3000, 9900, "Long.", ""}});
  SetStree& e = Open();
  ClickItem(1);
  Click(e.Command1(5));  // start 0.5 s later: would pass the end
  EXPECT_EQ(e.Entry(1).Start, 200);
  Click(e.Command1(2));  // start 0.5 s earlier from 200: 0
  EXPECT_EQ(e.Entry(1).Start, 0);
  EXPECT_EQ(e.Entry(1).StartText, "0:00:00.000");
  EXPECT_EQ(e.SelectionStart(), 0);
  Click(e.Command1(8));  // end 0.5 s earlier: would cross the start
  EXPECT_EQ(e.Entry(1).End, 500);
  Click(e.Command1(7));  // end 0.2 s earlier: 300, 300 ms long
  EXPECT_EQ(e.Entry(1).End, 300);
  Click(e.Command1(6));  // 0.1 s more would leave 200 .. too short to keep
  EXPECT_EQ(e.Entry(1).End, 200);
  Click(e.Command1(6));  // 100 ms: the file reads an end within 60 ms as none
  EXPECT_EQ(e.Entry(1).End, 100);
  Click(e.Command1(6));
  EXPECT_EQ(e.Entry(1).End, 100);

  ClickItem(2);
  Click(e.Command1(11));  // end 0.5 s later, 100 ms before the end: the end
  EXPECT_EQ(e.Entry(2).End, 10000);
  EXPECT_EQ(e.Entry(2).EndText, "0:00:10.000");
  EXPECT_EQ(e.SelectionEnd(), 10000);
  EXPECT_EQ(e.QelPBar2()->MaxValue(), 10000);
  Click(e.Command1(3));  // start 0.1 s later
  EXPECT_EQ(e.Entry(2).Start, 3100);
  EXPECT_EQ(e.QelPBar2()->MinValue(), 3100);
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_TRUE(plain_.isEmpty());
  EXPECT_FALSE(e.Timer1()->isActive());
}

TEST_F(EditorTest, NudgesAndShiftsWithoutASentenceOrRecordingAreRefused) {
  EvenLesson(2);
  SetStree& e = Open();
  e.Command1_Click(0);
  e.VsNetBut8_Click(3);
  e.VsNetNext_Click();
  ASSERT_EQ(msgs_.Count(), 3);
  EXPECT_EQ(msgs_.Shown()[0].text, "请先选择一个句子。");
  EXPECT_EQ(msgs_.Shown()[1].text, "请先选择一个句子。");
  EXPECT_EQ(msgs_.Shown()[2].text, "请先选择一个句子。且不能为最后一句");
  ClickItem(1);
  ProMod::AudioLoaded = false;
  msgs_.Clear();
  e.Command1_Click(0);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, "音频文件不存在！");
  EXPECT_EQ(msgs_.Last().title, "播放错误");
  EXPECT_EQ(e.Entry(1).Start, 1000);
  EXPECT_FALSE(e.HasUnsavedChanges());
}

// ---------------------------------------------------------------------------
// Shifting all later sentences

TEST_F(EditorTest, ShiftingTwentySecondsLaterStopsAtTheRecordingsEnd) {
  SetLength(60000);
  Lesson({{1000, 3000, "a", ""},
          {4000, 6000, "b", ""},
          {10000, 40000, "c", ""},    // long: both ends move
          {41000, 45000, "d", ""},    // short: the start stays, the end moves
          {50000, 55000, "e", ""}});  // the end stops at 60 s
  SetStree& e = Open();
  ClickItem(3);
  Click(e.VsNetBut8(15));  // later by 20 s
  EXPECT_EQ(e.Entry(1).Start, 1000);
  EXPECT_EQ(e.Entry(2).End, 6000);
  EXPECT_EQ(e.Entry(3).Start, 30000);
  EXPECT_EQ(e.Entry(3).End, 60000);
  EXPECT_EQ(e.Entry(4).Start, 41000);
  EXPECT_EQ(e.Entry(4).End, 60000);
  EXPECT_EQ(e.Entry(5).Start, 50000);
  EXPECT_EQ(e.Entry(5).End, 60000);
  EXPECT_EQ(e.Entry(5).EndText, "0:01:00.000");
  EXPECT_EQ(e.CurrentSentence(), 3);
  EXPECT_EQ(e.SelectionStart(), 30000);

  ClickItem(2);
  Click(e.VsNetBut8(7));  // earlier by 20 s: starts stop at 0, ends refuse to cross
  EXPECT_EQ(e.Entry(2).Start, 0);
  EXPECT_EQ(e.Entry(2).End, 6000);
  EXPECT_EQ(e.Entry(3).Start, 10000);
  EXPECT_EQ(e.Entry(3).End, 40000);
  EXPECT_EQ(e.Entry(1).Start, 1000);
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_TRUE(plain_.isEmpty());
}

TEST_F(EditorTest, ShiftingMovesDeletedSentencesToo) {
  EvenLesson(3);
  SetStree& e = Open();
  ClickItem(2);
  Click(e.VsNetBut2(0));
  ClickItem(1);
  Click(e.VsNetBut8(11));  // 1 s later
  EXPECT_EQ(e.Entry(2).Start, 5000);
  EXPECT_EQ(e.Entry(2).End, 7000);
  EXPECT_TRUE(e.Entry(2).Deleted);
}

// ---------------------------------------------------------------------------
// Joining

TEST_F(EditorTest, JoiningAsksWhenTheNextSentenceWouldEndBeforeItsStart) {
  SetLength(20000);
  Lesson({{1000, 5000, "a", ""}, {4000, 5040, "b", ""}, {8000, 9000, "c", ""}});
  SetStree& e = Open();
  ClickItem(1);
  msgs_.QueueAnswer(0);  // Cancel
  Click(e.VsNetNext());
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, "设置后开头在结尾之后，如果你确定要设置，下句的结尾将设为最后。");
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconWarning);
  EXPECT_EQ(e.Entry(2).Start, 4000);
  EXPECT_EQ(e.Entry(2).End, 5040);

  Click(e.VsNetNext());  // OK
  EXPECT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(e.Entry(2).Start, 5000);
  EXPECT_EQ(e.Entry(2).StartText, "0:00:05.000");
  EXPECT_EQ(e.Entry(2).End, 20000);
  EXPECT_EQ(e.Entry(2).EndText, "0:00:20.000");

  ClickItem(2);  // the next selection shows the new range
  EXPECT_EQ(e.SelectionStart(), 5000);
  EXPECT_EQ(e.SelectionEnd(), 20000);
}

TEST_F(EditorTest, JoiningRefusesTheLastSentenceAndAnEndAtTheRecordingsEnd) {
  SetLength(10000);
  Lesson({{1000, 2000, "a", ""}, {3000, 9950, "b", ""}, {9960, 10000, "c", ""}});
  SetStree& e = Open();
  ClickItem(1);
  Click(e.VsNetNext());
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_EQ(e.Entry(2).Start, 2000);
  EXPECT_EQ(e.Entry(2).End, 9950);
  ClickItem(2);
  Click(e.VsNetNext());
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, "此句结尾已相当后面了，设置失败。");
  EXPECT_EQ(e.Entry(3).Start, 9960);
  ClickItem(3);
  e.VsNetNext_Click();  // the button is disabled; the procedure refuses too
  EXPECT_EQ(msgs_.Last().text, "请先选择一个句子。且不能为最后一句");
}

// ---------------------------------------------------------------------------
// Delete, restore, insert, append, save

TEST_F(EditorTest, DeletedSentencesAreLeftOutWhenSaving) {
  EvenLesson(5);
  SetStree& e = Open();
  ClickItem(2);
  Click(e.VsNetBut2(0));
  EXPECT_TRUE(e.Entry(2).Deleted);
  EXPECT_EQ(e.MyStree1()->GetLabelData(2), "此句已被临时删除");
  EXPECT_TRUE(OverlayShown());
  EXPECT_FALSE(e.Picture2()->isEnabled());
  EXPECT_FALSE(e.VsNetBut2(1)->isHidden());
  EXPECT_EQ(e.Label4()->text(), "此句已被临时删除。如要恢复请点击<恢复此句>。");
  ClickItem(4);
  Click(e.VsNetBut2(0));
  EXPECT_TRUE(ProMod::BaseData.contains("Sentence 2."));  // nothing reaches the store before saving

  Click(e.VsNetButton(1));
  ASSERT_EQ(msgs_.Count(), 1);  // the notice once, for two deleted sentences
  EXPECT_EQ(msgs_.Last().text,
            "发现有些句子已被临时删除，在窗口关闭时前句子还会临时保存，窗口关闭后，句子将不删除。\r\n"
            "如果恢复，请点击句子后再点击<恢复此句>。");
  EXPECT_EQ(msgs_.Last().title, "保存");
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconWarning);
  EXPECT_TRUE(e.EidtIsSave());
  EXPECT_TRUE(e.property("EidtIsSave").toBool());
  const QStringList lines = ProMod::BaseData.split(ProMod::kEnter);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "[0:00:01.000]Sentence 1.[0:00:03.000]备注1");
  EXPECT_EQ(lines[1], "[0:00:07.000]Sentence 3.[0:00:09.000]备注3");
  EXPECT_EQ(lines[2], "[0:00:13.000]Sentence 5.[0:00:15.000]备注5");
  EXPECT_FALSE(e.HasUnsavedChanges());
  EXPECT_EQ(e.Count(), 5);  // the editor keeps them while it is open

  // Restoring puts the sentence back in the list and into the next save.
  ClickItem(2);
  Click(e.VsNetBut2(1));
  EXPECT_FALSE(e.Entry(2).Deleted);
  EXPECT_EQ(e.MyStree1()->GetLabelData(2), "Sentence 2.");
  EXPECT_FALSE(OverlayShown());
  EXPECT_TRUE(e.VsNetBut2(1)->isHidden());
  EXPECT_TRUE(e.HasUnsavedChanges());
}

TEST_F(EditorTest, SavingWhenEverySentenceIsDeletedSavesTheEmptyTextAfterTwoNotices) {
  EvenLesson(2);
  SetStree& e = Open();
  for (int i = 1; i <= 2; ++i) {
    ClickItem(i);
    Click(e.VsNetBut2(0));
  }
  Click(e.VsNetButton(1));
  ASSERT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(msgs_.Last().text, "未读取到任何有效句子，如果这样保存将清除以前所有的内容。");
  EXPECT_EQ(msgs_.Last().title, "保存");
  EXPECT_EQ(ProMod::BaseData, "");
  EXPECT_TRUE(e.EidtIsSave());
}

TEST_F(EditorTest, InsertingBeforeTheFirstAndAppendingAfterTheLast) {
  EvenLesson(3);
  SetStree& e = Open();
  ClickItem(1);
  Click(e.VsNetButton(4));
  ASSERT_EQ(e.Count(), 4);
  EXPECT_EQ(e.Entry(1).Text, "句子未定义");
  EXPECT_EQ(e.Entry(1).Remark, "备注未定义");
  EXPECT_EQ(e.Entry(1).Start, 0);  // the gap before the first sentence
  EXPECT_EQ(e.Entry(1).End, 1000);
  EXPECT_EQ(e.Entry(1).EndText, "0:00:01.000");
  EXPECT_EQ(e.Entry(2).Text, "Sentence 1.");
  EXPECT_EQ(e.Entry(4).Text, "Sentence 3.");
  EXPECT_EQ(e.MyStree1()->LabelCount(), 4);
  EXPECT_EQ(e.MyStree1()->ItemStr(1), "句子未定义");
  EXPECT_EQ(e.MyStree1()->ItemStr(2), "Sentence 1.");
  EXPECT_EQ(e.CurrentSentence(), 1);
  EXPECT_EQ(e.QelText1()->Text(), "句子未定义");

  ClickItem(3);
  Click(e.VsNetButton(6));
  ASSERT_EQ(e.Count(), 5);
  EXPECT_EQ(e.Entry(5).Text, "句子未定义");
  EXPECT_EQ(e.MyStree1()->ItemStr(5), "句子未定义");
  EXPECT_EQ(e.CurrentSentence(), 5);
  EXPECT_EQ(e.MyStree1()->LabelCurClick(), 3);  // the list keeps the item clicked
  EXPECT_EQ(e.Entry(5).Start, 9000);                // from where the last one ended
  EXPECT_EQ(e.Entry(5).End, 100000);
  EXPECT_EQ(e.SelectionEnd(), 100000);
  EXPECT_FALSE(e.VsNetNext()->isEnabled());

  // Between two sentences the new one fills the gap; where they touch, or
  // after a last one that reaches the end, nothing is left, so the new
  // one spans the whole recording.
  ClickItem(3);  // 4 000 .. 6 000, after one ending at 3 000
  Click(e.VsNetButton(4));
  EXPECT_EQ(e.Entry(3).Start, 3000);
  EXPECT_EQ(e.Entry(3).End, 4000);
  ClickItem(2);  // 1 000 .. 3 000, after the new first one ending at 1 000
  Click(e.VsNetButton(4));
  EXPECT_EQ(e.Entry(2).Start, 0);
  EXPECT_EQ(e.Entry(2).End, 100000);
  Click(e.VsNetButton(6));
  EXPECT_EQ(e.Count(), 8);
  EXPECT_EQ(e.Entry(8).Start, 0);
  EXPECT_EQ(e.Entry(8).End, 100000);
}

TEST_F(EditorTest, AnEmptyTableOffersNewSentence) {
  SetStree& e = Open();
  EXPECT_EQ(e.Count(), 0);
  EXPECT_TRUE(OverlayShown());
  ASSERT_FALSE(e.VsNetButton(7)->isHidden());
  EXPECT_GT(e.VsNetButton(7)->y(), e.Label4()->y());
  Click(e.VsNetButton(7));
  ASSERT_EQ(e.Count(), 1);
  EXPECT_EQ(e.CurrentSentence(), 1);
  EXPECT_EQ(e.Entry(1).Start, 0);
  EXPECT_EQ(e.Entry(1).End, 100000);
  EXPECT_FALSE(OverlayShown());
  EXPECT_TRUE(e.VsNetButton(7)->isHidden());
  EXPECT_EQ(e.MyStree1()->LabelCount(), 1);
  // Without any sentence the markers and buttons that need one do nothing.
  EXPECT_TRUE(plain_.isEmpty());
}

TEST_F(EditorTest, ButtonsThatNeedASentenceDoNothingWithoutOne) {
  EvenLesson(2);
  SetStree& e = Open();
  e.VsNetBut2_Click(0);
  e.VsNetBut2_Click(1);
  e.VsNetBut4_Click();
  e.Picture1_MouseDown(0, 1, 100);
  e.Picture1_MouseMove(0, 1, 900);
  e.Picture1_MouseUp(0, 1);
  e.QelPBar2_MouseDown(1);
  e.QelPBar2_MouseUp(1);
  EXPECT_EQ(e.Count(), 2);
  EXPECT_FALSE(e.HasUnsavedChanges());
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_TRUE(msgs_.Shown().empty());
  // The overlay covers the panel: its buttons cannot be reached.
  EXPECT_FALSE(e.VsNetButton(6)->isEnabled());
  EXPECT_FALSE(e.Command1(0)->isEnabled());
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(EditorTest, ClosingWithoutChangesAsksNothing) {
  EvenLesson(2);
  SetStree& e = Open();
  ClickItem(1);
  Click(e.VsNetButton(3));
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_FALSE(e.isVisible());
  EXPECT_FALSE(e.EidtIsSave());
}

TEST_F(EditorTest, ClosingWithUnsavedChangesAsksAndKeepsTheStore) {
  EvenLesson(2);
  const QString before = ProMod::BaseData;
  SetStree& e = Open();
  ClickItem(1);
  Click(e.Command1(3));
  msgs_.QueueAnswer(0);
  Click(e.VsNetButton(3));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, "分段的修改还没有保存，退出后这些修改将丢失。确定要退出吗？");
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_TRUE(e.isVisible());  // Cancel: still editing
  e.close();                   // the close box asks too; OK leaves
  EXPECT_EQ(msgs_.Count(), 2);
  EXPECT_FALSE(e.isVisible());
  EXPECT_EQ(ProMod::BaseData, before);
  EXPECT_FALSE(e.EidtIsSave());
}

TEST_F(EditorTest, ClosingAfterSavingAsksNothing) {
  EvenLesson(2);
  SetStree& e = Open();
  ClickItem(1);
  Click(e.Command1(3));
  Click(e.VsNetButton(1));
  Click(e.VsNetButton(3));
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_TRUE(e.EidtIsSave());
  EXPECT_TRUE(ProMod::BaseData.startsWith("[0:00:01.100]Sentence 1.[0:00:03.000]"));
}

// ---------------------------------------------------------------------------
// The import button before anything is read

TEST_F(EditorTest, ImportCancelledOrMissingFileChangesNothing) {
  EvenLesson(2);
  SetStree& e = Open();
  ClickItem(2);
  QStringList asked;
  SetStree::SetSubtitleFileChooser([&](QWidget* owner) {
    asked << (owner == &e ? "editor" : "other");
    return QString();
  });
  Click(e.VsNetButton(5));
  SetStree::SetSubtitleFileChooser([&](QWidget*) { return QStringLiteral("/nowhere/missing.lrc"); });
  Click(e.VsNetButton(5));
  EXPECT_EQ(asked, QStringList{"editor"});
  EXPECT_EQ(e.Count(), 2);
  EXPECT_EQ(e.CurrentSentence(), 2);
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_FALSE(e.HasUnsavedChanges());
}

}  // namespace
}  // namespace editor_test
