// The dictation window driven as the learner drives it.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>

#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "core/random_source.h"
#include "practice/drawing_box.h"
#include "practice/exe_form.h"
#include "tests/common/qt_print.h"
#include "tests/practice/practice_fixture.h"

namespace practice_test {
namespace {

class ExeFormTest : public PracticeTest {
 protected:
  void SetUp() override {
    PracticeTest::SetUp();
    VELMO_REQUIRE_AUDIO_MEDIA();
    audio_ = OpenRecording(ThreeSentences().join(ProMod::kEnter));
    ASSERT_EQ(ProMod::Sentences.UBound(), 4);
  }
  // Table indices 2..4 drawn as 3, 4, 2 (with misses for index 1 and a repeat).
  std::unique_ptr<ExeForm> OpenForm() {
    PickIndices({1, 3, 3, 4, 1, 2}, 4);
    return std::make_unique<ExeForm>();
  }
  static void Type(ExeForm& f, const QString& typed, const QString& remark = QString()) {
    f.Text1()->setText(typed);
    f.Text2()->setText(remark);
  }
  static void Click(VsNetBut* button) {
    ASSERT_NE(button, nullptr);
    emit button->Click();
  }
  // Runs the window's timer on the hand clock until it stops; the ms it took.
  int RunTimer(ExeForm& f, int limitMs = 5000) {
    for (int t = 0; t <= limitMs; t += ExeForm::kTimerIntervalMs) {
      if (!f.Timer2().isActive()) return t;
      Advance(ExeForm::kTimerIntervalMs);
      f.Timer2_Timer();
    }
    return -1;
  }
  QString audio_;
};

TEST_F(ExeFormTest, OpensWithTheRandomOrderAndEmptyAnswers) {
  auto f = OpenForm();
  EXPECT_EQ(f->windowTitle(), QStringLiteral("复读练习"));
  ASSERT_EQ(f->ItemCount(), 3);
  EXPECT_EQ(f->Item(1).Text, QStringLiteral("This is lesson one."));
  EXPECT_EQ(f->Item(2).Text, QStringLiteral("Listen to each sentence."));
  EXPECT_EQ(f->Item(3).Text, QStringLiteral("Good morning."));
  EXPECT_EQ(f->Item(1).Start, 2000);
  EXPECT_EQ(f->Item(1).End, 3000);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(f->AnswerField(k), QStringLiteral("<KvqExeEnter>"));
    EXPECT_EQ(f->Item(k).Remark, QStringLiteral("<KvqExeEnter>")) << "the remark is the answer field";
    EXPECT_FALSE(f->Answered(k));
  }
  EXPECT_EQ(f->CurrentItem(), 1);
  EXPECT_FALSE(f->Timer2().isActive());
  EXPECT_EQ(f->property("EidtIsSave").toBool(), false);
  EXPECT_EQ(f->Button("VsNetBut1")->Caption(), QStringLiteral("播放语音"));
  EXPECT_EQ(f->Button("VsNetBut2_0")->Caption(), QStringLiteral("上一句"));
  EXPECT_EQ(f->Button("VsNetBut2_1")->Caption(), QStringLiteral("下一句"));
  EXPECT_EQ(f->Button("VsNetBut3")->Caption(), QStringLiteral("查看原句"));
  EXPECT_EQ(f->Button("VsNetBut6")->Caption(), QStringLiteral("退 出"));
  EXPECT_EQ(f->Button("VsNetBut7")->Caption(), QStringLiteral("帮 助"));
}

TEST_F(ExeFormTest, AGeneratorThatKeepsMissingStillGivesEveryItemOnce) {
  ProMod::SetRandomSource([] { return 0.0f; });  // always index 1
  ExeForm f;
  ASSERT_EQ(f.ItemCount(), 3);
  EXPECT_EQ(f.Item(1).Text, QStringLiteral("Good morning."));
  EXPECT_EQ(f.Item(3).Text, QStringLiteral("Listen to each sentence."));
}

TEST_F(ExeFormTest, NavigationWrapsAndAnswersStayTrimmedWithTheirItems) {
  auto f = OpenForm();
  Click(f->Button("VsNetBut2_0"));
  EXPECT_EQ(f->CurrentItem(), 3) << "previous from the first item is the last";
  Type(*f, QStringLiteral("  good morning \r\n"), QStringLiteral("\r\n greeting "));
  Click(f->Button("VsNetBut2_1"));
  EXPECT_EQ(f->CurrentItem(), 1) << "next from the last item is the first";
  EXPECT_EQ(f->Text1()->Text(), QString());
  EXPECT_EQ(f->AnswerField(3), QStringLiteral("good morning<KvqExeEnter>greeting"));
  Type(*f, QStringLiteral("this is <KvqExeEnter>lesson<KVQENTER> one"));
  Click(f->Button("VsNetBut2_0"));
  EXPECT_EQ(f->CurrentItem(), 3);
  EXPECT_EQ(f->Text1()->Text(), QStringLiteral("good morning"));
  EXPECT_EQ(f->Text2()->Text(), QStringLiteral("greeting"));
  EXPECT_EQ(f->AnswerField(1), QStringLiteral("this is lesson one<KvqExeEnter>"));
  Type(*f, QStringLiteral("   "), QStringLiteral(" \r\n"));
  f->GotoItem(2);
  EXPECT_FALSE(f->Answered(3)) << "texts that trim to nothing leave the item unanswered";
  f->GotoItem(5);
  EXPECT_EQ(f->CurrentItem(), 1);
}

TEST_F(ExeFormTest, CompareSwitchDrawsTheComparisonOrAsksForText) {
  auto f = OpenForm();
  f->show();
  DrawingBox* picture = f->Picture1();
  EXPECT_EQ(InkPixels(picture->Image()), 0);
  const QRect prompt(8, 8, 160, 30);  // the 120-twip margin and a line of text

  f->Check1()->click();
  EXPECT_GT(InkPixels(picture->Image(), prompt), 0) << "请输入句子！";
  const int promptInk = InkPixels(picture->Image());

  Type(*f, QStringLiteral("this is lesson won"));
  f->Check1()->click();  // off: the drawing stays
  EXPECT_EQ(InkPixels(picture->Image()), promptInk);
  f->Check1()->click();  // on: the comparison
  const QImage compared = picture->Image().copy();
  EXPECT_GT(InkPixels(compared), promptInk);
  bool red = false;
  for (int y = 0; y < compared.height() && !red; ++y)
    for (int x = 0; x < compared.width() && !red; ++x) red = qRed(compared.pixel(x, y)) > 200 && qGreen(compared.pixel(x, y)) < 80;
  EXPECT_TRUE(red) << "the wrong word is drawn in red";

  Click(f->Button("VsNetBut2_1"));  // an unanswered item, switch on
  EXPECT_GT(InkPixels(picture->Image(), prompt), 0) << "请输入练习句子！";
  EXPECT_LT(InkPixels(picture->Image()), InkPixels(compared));
  f->Check1()->click();
  Click(f->Button("VsNetBut2_0"));
  EXPECT_EQ(InkPixels(picture->Image()), 0) << "with the switch off a new item shows a clear surface";
}

TEST_F(ExeFormTest, ShowsTheSentenceAndTheHelp) {
  auto f = OpenForm();
  Click(f->Button("VsNetBut3"));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("This is lesson one."));
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("查看原句"));
  EXPECT_EQ(msgs_.Last().icon, 1);
  EXPECT_FALSE(msgs_.Last().twoButtons);
  Click(f->Button("VsNetBut7"));
  EXPECT_EQ(msgs_.Last().text, ExeForm::kHelpText);
  EXPECT_EQ(msgs_.Last().title, ProMod::kAppTitle);
  EXPECT_EQ(msgs_.Last().icon, 0);
}

TEST_F(ExeFormTest, PlaysTheItemAndStopsAtItsEndOnTheFirstTick) {
  auto f = OpenForm();
  int64_t handedEnd = 0;
  SoundMod::SetOutputObserver([&](int64_t first, const char*, int64_t frames) { handedEnd = std::max(handedEnd, first + frames); });
  Click(f->Button("VsNetBut1"));
  EXPECT_TRUE(f->Timer2().isActive());
  EXPECT_EQ(f->Timer2().interval(), 10);
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Playing);
  const int took = RunTimer(*f);
  SoundMod::SetOutputObserver({});
  EXPECT_GE(took, 1000);
  EXPECT_LE(took, 1010) << "halted by the first tick after the end";
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_LE(handedEnd, (3000LL * SoundMod::SampleRate() + 999) / 1000) << "nothing after the end is handed out";

  Click(f->Button("VsNetBut1"));
  Advance(300);
  Click(f->Button("VsNetBut2_1"));  // navigation stops the play
  EXPECT_FALSE(f->Timer2().isActive());
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
}

TEST_F(ExeFormTest, ControlKeysPlayPauseAndMove) {
  auto f = OpenForm();
  f->show();
  QApplication::setActiveWindow(f.get());
  QWidget* field = f->Text1()->Text1();
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(f->Timer2().isActive());
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Playing);
  QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
  QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(f->CurrentItem(), 2);
  QTest::keyClick(field, Qt::Key_P, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(f->CurrentItem(), 3);
  QTest::keyClicks(field, QStringLiteral("hello"));
  EXPECT_EQ(f->Text1()->Text(), QStringLiteral("hello")) << "plain typing reaches the box";
}

TEST_F(ExeFormTest, ClosingWithoutAnswersAsksNothing) {
  auto f = OpenForm();
  f->show();
  f->close();
  EXPECT_EQ(msgs_.Count(), 0);
  EXPECT_FALSE(f->EidtIsSave());
  EXPECT_EQ(ProMod::ExeData, QString());
}

TEST_F(ExeFormTest, ClosingWithCancelSavesNothing) {
  auto f = OpenForm();
  f->show();
  Type(*f, QStringLiteral("this is lesson one"));
  msgs_.QueueAnswer(0);
  Click(f->Button("VsNetBut6"));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("您已经做过了部分练习，是否进行保存？"));
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("保存练习"));
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_EQ(msgs_.Last().icon, 0);
  EXPECT_FALSE(f->isVisible());
  EXPECT_FALSE(f->EidtIsSave());
  EXPECT_EQ(ProMod::ExeData, QString());
}

TEST_F(ExeFormTest, ClosingWithOkAppendsTheAnsweredItemsInPracticeOrderWithOneDate) {
  ProMod::ExeData = QStringLiteral("earlier");
  auto f = OpenForm();
  f->show();
  Click(f->Button("VsNetBut2_1"));
  Type(*f, QString(), QStringLiteral("only a remark"));  // item 2: Listen to each sentence.
  Click(f->Button("VsNetBut2_1"));
  Type(*f, QStringLiteral("good morning"));  // item 3: Good morning.
  Click(f->Button("VsNetBut2_1"));
  Type(*f, QStringLiteral("this is lesson won"), QStringLiteral("won?"));  // item 1, still in the boxes
  f->close();  // the close box: every way of closing asks
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_TRUE(f->EidtIsSave());
  EXPECT_TRUE(f->property("EidtIsSave").toBool());
  EXPECT_EQ(ProMod::ExeData,
            QStringLiteral("earlier") +
                Record(2000, "This is lesson one.", 3000, "this is lesson won", "won?", "2026/3/7") +
                Record(3500, "Listen to each sentence.", 4500, "", QStringLiteral("only a remark"), "2026/3/7") +
                Record(500, "Good morning.", 1500, "good morning", "", "2026/3/7"));
  f->close();
  EXPECT_EQ(msgs_.Count(), 1) << "asked once";
}

TEST_F(ExeFormTest, ARecordingWithoutSentencesOpensEmptyAndClosesQuietly) {
  SoundMod::CloseAudio();
  OpenRecording(QString());
  ASSERT_TRUE(ProMod::Sentences.IsEmpty());
  ExeForm f;
  EXPECT_EQ(f.ItemCount(), 0);
  EXPECT_EQ(f.CurrentItem(), 0);
  f.show();
  f.PlayCurrent();
  f.VsNetBut2_Click(1);
  f.Check1()->click();
  f.close();
  EXPECT_EQ(msgs_.Count(), 0);
  EXPECT_EQ(ProMod::ExeData, QString());
}

}  // namespace
}  // namespace practice_test
