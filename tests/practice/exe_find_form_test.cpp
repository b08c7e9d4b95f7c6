// The practice records browser driven as the learner drives it.
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTest>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "practice/drawing_box.h"
#include "practice/exe_find_form.h"
#include "tests/common/qt_print.h"
#include "tests/practice/practice_fixture.h"

namespace practice_test {
namespace {

// Records of three days, in the order they were saved.
QString ThreeDays() {
  return Record(500, "Good morning.", 1500, "good morning", "", "2026/3/5") +
         Record(2000, "This is lesson one.", 3000, "this is lesson won", QStringLiteral("won"), "2026/3/7") +
         Record(3500, "Listen to each sentence.", 4500, "listen each sentence", "", "2026-3-6") +
         Record(500, "Good morning.", 1500, "good mornin", QStringLiteral("拼写"), QStringLiteral("2026年3月7日"));
}

class ExeFindFormTest : public PracticeTest {
 protected:
  void SetUp() override {
    PracticeTest::SetUp();
    VELMO_REQUIRE_AUDIO_MEDIA();
  }
  std::unique_ptr<ExeFindForm> Open(const QString& exeData) {
    audio_ = OpenRecording(ThreeSentences().join(ProMod::kEnter), exeData);
    return std::make_unique<ExeFindForm>();
  }
  static QStringList Items(const ExeFindForm& f) {
    QStringList items;
    for (int k = 1; k <= f.MyStree1()->LabelCount(); ++k) items << f.MyStree1()->ItemStr(k);
    return items;
  }
  static QStringList Days(const ExeFindForm& f) {
    QStringList days;
    for (int i = 0; i < f.Combo1()->count(); ++i) days << f.Combo1()->itemText(i);
    return days;
  }
  static void Click(VsNetBut* button) {
    ASSERT_NE(button, nullptr);
    emit button->Click();
  }
  static bool RecordButtonsEnabled(const ExeFindForm& f) {
    return f.Button("VsNetBut1")->isEnabled() && f.Button("VsNetBut2")->isEnabled() &&
           f.Button("VsNetBut4")->isEnabled() && f.Button("VsNetBut8")->isEnabled();
  }
  static bool RecordButtonsDisabled(const ExeFindForm& f) {
    return !f.Button("VsNetBut1")->isEnabled() && !f.Button("VsNetBut2")->isEnabled() &&
           !f.Button("VsNetBut4")->isEnabled() && !f.Button("VsNetBut8")->isEnabled();
  }
  static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  int RunTimer(ExeFindForm& f, int limitMs = 5000) {
    for (int t = 0; t <= limitMs; t += ExeFindForm::kTimerIntervalMs) {
      if (!f.Timer2().isActive()) return t;
      Advance(ExeFindForm::kTimerIntervalMs);
      f.Timer2_Timer();
    }
    return -1;
  }
  QString audio_;
};

TEST_F(ExeFindFormTest, AnEmptySectionListsNothingWithoutAMessage) {
  auto f = Open(QString());
  EXPECT_EQ(f->windowTitle(), QStringLiteral("练习汇总"));
  EXPECT_EQ(Days(*f), QStringList{QStringLiteral("所有练习记录")});
  EXPECT_EQ(f->MyStree1()->LabelCount(), 0);
  EXPECT_TRUE(f->MyStree1()->isEnabled());
  EXPECT_EQ(msgs_.Count(), 0);
  EXPECT_TRUE(RecordButtonsDisabled(*f));
  EXPECT_EQ(f->QelPBar2()->Caption(), QStringLiteral("请选择一条练习记录"));
}

TEST_F(ExeFindFormTest, ListsNewestDayFirstLaterSavesFirstAndFiltersByDay) {
  auto f = Open(ThreeDays());
  EXPECT_EQ(Days(*f), (QStringList{"所有练习记录", "2026年03月07日", "2026年03月06日", "2026年03月05日"}));
  EXPECT_EQ(Items(*f), (QStringList{"[2026年03月07日]\r\nGood morning.", "[2026年03月07日]\r\nThis is lesson one.",
                                    "[2026年03月06日]\r\nListen to each sentence.", "[2026年03月05日]\r\nGood morning."}));
  EXPECT_EQ(f->Records()[0].typed, QStringLiteral("good mornin"));
  f->Combo1()->setCurrentIndex(1);
  EXPECT_EQ(Items(*f), (QStringList{"Good morning.", "This is lesson one."}));
  EXPECT_TRUE(f->Shown(0));
  EXPECT_FALSE(f->Shown(2));
  f->MyStree1_LabelClick(2);
  EXPECT_EQ(f->CurrentRecord(), 1);
  EXPECT_EQ(f->QelTextMu1()->Text(), QStringLiteral("this is lesson won"));
  f->Combo1()->setCurrentIndex(3);
  EXPECT_EQ(Items(*f), QStringList{"Good morning."});
  EXPECT_EQ(f->CurrentRecord(), -1) << "every filter run forgets the record";
  EXPECT_TRUE(RecordButtonsDisabled(*f));
  EXPECT_EQ(f->QelTextMu1()->Text(), QString());
}

TEST_F(ExeFindFormTest, SelectingARecordShowsItAndSetsTheBarToItsSentence) {
  auto f = Open(ThreeDays());
  f->show();
  QTest::mouseClick(f->MyStree1(), Qt::LeftButton, {}, f->MyStree1()->CaptionRect(2).center());
  EXPECT_EQ(f->CurrentRecord(), 1);
  EXPECT_TRUE(RecordButtonsEnabled(*f));
  EXPECT_EQ(f->QelPBar2()->MinValue(), 2000);
  EXPECT_EQ(f->QelPBar2()->MaxValue(), 3000);
  EXPECT_EQ(f->QelPBar2()->Value(), 2000);
  EXPECT_EQ(f->QelPBar2()->Caption(), QStringLiteral("正在复读原句，总长为： [0:00:01.000]"));
  EXPECT_EQ(f->QelTextMu1()->Text(), QStringLiteral("this is lesson won"));
  EXPECT_EQ(f->QelTextMu2()->Text(), QStringLiteral("won"));
  EXPECT_GT(InkPixels(f->Picture1()->Image()), 0);

  Click(f->Button("VsNetBut1"));
  EXPECT_TRUE(f->Timer2().isActive());
  Advance(300);
  f->Timer2_Timer();
  f->MyStree1_LabelClick(2);  // the current record again: the play goes on
  EXPECT_TRUE(f->Timer2().isActive());
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Playing);
  const int took = RunTimer(*f);
  EXPECT_GE(took, 690);
  EXPECT_LE(took, 710);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_EQ(f->QelPBar2()->Value(), 3000);
}

TEST_F(ExeFindFormTest, DraggingTheBarPlaysFromWhereItIsReleased) {
  auto f = Open(ThreeDays());
  f->show();
  QelPBar* bar = f->QelPBar2();
  Mouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 2, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() / 2, 5), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(bar->Caption(), QStringLiteral("请选择一条练习记录"));
  EXPECT_FALSE(f->Timer2().isActive());

  f->MyStree1_LabelClick(3);  // 3 500 .. 4 500
  Click(f->Button("VsNetBut1"));
  const int y = bar->height() / 2;
  Mouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 4, y), Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(f->Timer2().isActive());
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
  Mouse(bar, QEvent::MouseMove, QPoint(bar->width() * 3 / 4, y), Qt::NoButton, Qt::LeftButton);
  Mouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() * 3 / 4, y), Qt::LeftButton, Qt::NoButton);
  const int32_t released = bar->Value();
  EXPECT_GT(released, 4100);
  EXPECT_LT(released, 4400);
  EXPECT_TRUE(f->Timer2().isActive());
  EXPECT_EQ(SoundMod::GetPosition(), released);
  const int took = RunTimer(*f);
  EXPECT_LE(std::abs(took - (4500 - released)), 10);
  EXPECT_EQ(SoundMod::GetPosition(), 4500);
}

TEST_F(ExeFindFormTest, SavingARemarkRewritesTheSectionInListOrder) {
  auto f = Open(ThreeDays());
  f->MyStree1_LabelClick(4);
  f->QelTextMu2()->setText(QStringLiteral("  第一次<KvqExeEnter>听写 \r\n"));
  Click(f->Button("VsNetBut8"));
  EXPECT_TRUE(f->EidtIsSave());
  EXPECT_TRUE(f->property("EidtIsSave").toBool());
  EXPECT_EQ(ProMod::ExeData,
            Record(500, "Good morning.", 1500, "good mornin", QStringLiteral("拼写"), "2026/3/7") +
                Record(2000, "This is lesson one.", 3000, "this is lesson won", QStringLiteral("won"), "2026/3/7") +
                Record(3500, "Listen to each sentence.", 4500, "listen each sentence", "", "2026/3/6") +
                Record(500, "Good morning.", 1500, "good morning", QStringLiteral("第一次听写"), "2026/3/5"));
}

TEST_F(ExeFindFormTest, DeletingAsksThenRemovesTheRecordAndKeepsTheDayEntry) {
  auto f = Open(ThreeDays());
  f->Combo1()->setCurrentIndex(2);  // 2026年03月06日
  f->MyStree1_LabelClick(1);
  msgs_.QueueAnswer(0);
  Click(f->Button("VsNetBut4"));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("您是否确定删除这项练习记录？"));
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("删除练习"));
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_EQ(f->Records().size(), 4u);
  EXPECT_FALSE(f->EidtIsSave());

  Click(f->Button("VsNetBut4"));
  EXPECT_EQ(f->Records().size(), 3u);
  EXPECT_TRUE(f->EidtIsSave());
  EXPECT_EQ(f->MyStree1()->LabelCount(), 0) << "the day's filter runs again";
  EXPECT_EQ(f->Combo1()->count(), 4) << "the day entry stays until the browser opens again";
  EXPECT_FALSE(ProMod::ExeData.contains(QStringLiteral("listen each sentence")));
  EXPECT_EQ(ProMod::ExeData.count(ProMod::kEnter), 3);
}

TEST_F(ExeFindFormTest, SameSentenceListsEveryAttemptAtIt) {
  auto f = Open(ThreeDays());
  f->MyStree1_LabelClick(4);  // Good morning. of 2026/3/5
  Click(f->Button("VsNetBut2"));
  EXPECT_EQ(Items(*f), (QStringList{"[2026年03月07日]\r\ngood mornin", "[2026年03月05日]\r\ngood morning"}));
  EXPECT_EQ(f->CurrentRecord(), 3) << "the record stays chosen";
  EXPECT_EQ(f->MyStree1()->LabelCurClick(), 2);
  EXPECT_TRUE(RecordButtonsEnabled(*f));
  f->MyStree1_LabelClick(1);
  EXPECT_EQ(f->CurrentRecord(), 0);
  EXPECT_EQ(f->QelTextMu1()->Text(), QStringLiteral("good mornin"));
  emit f->Combo1()->activated(0);  // back to all records
  EXPECT_EQ(f->MyStree1()->LabelCount(), 4);
}

TEST_F(ExeFindFormTest, HelpAndKeys) {
  auto f = Open(ThreeDays());
  f->show();
  QApplication::setActiveWindow(f.get());
  Click(f->Button("VsNetBut7"));
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("快捷键：Ctrl+S,暂停；  Ctrl+A,播放；"));
  EXPECT_EQ(msgs_.Last().title, ProMod::kAppTitle);
  QTest::keyClick(f->QelTextMu2()->Text1(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(f->Timer2().isActive()) << "no record: the keys do nothing";
  f->MyStree1_LabelClick(1);
  QTest::keyClick(f->QelTextMu2()->Text1(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(f->Timer2().isActive());
  EXPECT_EQ(SoundMod::State(), SoundMod::PlayState::Playing);
  QTest::keyClick(f->QelTextMu2()->Text1(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
  f->close();
  EXPECT_NE(SoundMod::State(), SoundMod::PlayState::Playing);
}

TEST_F(ExeFindFormTest, JunkAndRecordsOfLostSentencesAreListedOrKeptNeverLost) {
  const QString junk = QStringLiteral("garbage without fields");
  const QString badDate = QStringLiteral("[0:00:01.000]x[0:00:02.000]y<KvqExeEnter><KvqExeEnter>someday");
  const QString lost = Record(9000, "A sentence cut away long ago.", 9900, "a sentence", "", "2025/12/31");
  auto f = Open(junk + ProMod::kEnter + ThreeDays() + badDate + ProMod::kEnter + lost);
  EXPECT_EQ(msgs_.Count(), 0);
  ASSERT_EQ(f->Records().size(), 5u);
  EXPECT_EQ(f->Records()[4].sentence, QStringLiteral("A sentence cut away long ago."));
  EXPECT_EQ(f->KeptPieces(), (QStringList{junk, badDate}));
  f->MyStree1_LabelClick(5);
  EXPECT_EQ(f->QelPBar2()->MinValue(), 9000);
  Click(f->Button("VsNetBut1"));
  EXPECT_FALSE(f->Timer2().isActive()) << "a sentence beyond the recording's end has nothing to play";
  Click(f->Button("VsNetBut8"));
  EXPECT_TRUE(ProMod::ExeData.endsWith(junk + ProMod::kEnter + badDate + ProMod::kEnter));
  EXPECT_TRUE(ProMod::ExeData.contains(QStringLiteral("A sentence cut away long ago.")));
}

TEST_F(ExeFindFormTest, OnlyUndatableRecordsAreToldAndLeftAlone) {
  const QString section = QStringLiteral("[0:00:01.000]x[0:00:02.000]y<KvqExeEnter><KvqExeEnter>03/07/26<KVQENTER>");
  auto f = Open(section);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("未读到任何有效记录。"));
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("练习记录"));
  EXPECT_EQ(msgs_.Last().icon, 2);
  EXPECT_EQ(f->Combo1()->count(), 0);
  EXPECT_FALSE(f->MyStree1()->isEnabled());
  f->close();
  EXPECT_FALSE(f->EidtIsSave());
  EXPECT_EQ(ProMod::ExeData, section);
}

TEST_F(ExeFindFormTest, FiftyThousandRecordsListTheFirst30001AndKeepTheRest) {
  QString section;
  for (int i = 0; i < 50000; ++i)
    section += Record(500, QStringLiteral("S%1").arg(i), 1500, "t", "", i < 40000 ? "2026/3/7" : "2026/3/8");
  auto f = Open(section);
  ASSERT_EQ(static_cast<int>(f->Records().size()), 30001);
  EXPECT_EQ(f->KeptPieces().size(), 19999);
  EXPECT_EQ(f->MyStree1()->LabelCount(), 30001);
  EXPECT_EQ(f->Records()[0].sentence, QStringLiteral("S30000")) << "later saves first";
  f->MyStree1_LabelClick(1);
  Click(f->Button("VsNetBut8"));
  EXPECT_EQ(ProMod::ExeData.count(ProMod::kEnter), 50000);
  EXPECT_TRUE(ProMod::ExeData.endsWith(Record(500, "S49999", 1500, "t", "", "2026/3/8")));
}

TEST_F(ExeFindFormTest, TakesTheLookOfTheMainWindowsListAndSentenceBar) {
  QWidget host;
  auto* list = new MyStree(&host);
  list->setObjectName(QStringLiteral("MyStree1"));
  list->setBackGroundColor1(RgbValue(1, 2, 3));
  list->setBackGroundColor2(RgbValue(4, 5, 6));
  list->setBorderColor(RgbValue(7, 8, 9));
  list->setLabelColorClick(RgbValue(10, 11, 12));
  list->setLabelColorMoveIn(RgbValue(13, 14, 15));
  list->setLabelColorMoveOut(RgbValue(16, 17, 18));
  list->setLabelFontSize(15);
  auto* bar = new QelPBar(&host);
  bar->setObjectName(QStringLiteral("QelPBar2"));
  bar->setColorLeft(RgbValue(20, 21, 22));
  bar->setColorRight(RgbValue(23, 24, 25));
  bar->setBackColor(RgbValue(26, 27, 28));
  audio_ = OpenRecording(ThreeSentences().join(ProMod::kEnter), ThreeDays());
  auto* f = new ExeFindForm(&host);
  EXPECT_TRUE(f->MyStree1()->HightLightUse());
  EXPECT_EQ(f->MyStree1()->BackGroundColor1(), RgbValue(1, 2, 3));
  EXPECT_EQ(f->MyStree1()->BackGroundColor2(), RgbValue(4, 5, 6));
  EXPECT_EQ(f->MyStree1()->BorderColor(), RgbValue(7, 8, 9));
  EXPECT_EQ(f->MyStree1()->LabelColorClick(), RgbValue(10, 11, 12));
  EXPECT_EQ(f->MyStree1()->LabelColorMoveIn(), RgbValue(13, 14, 15));
  EXPECT_EQ(f->MyStree1()->LabelColorMoveOut(), RgbValue(16, 17, 18));
  EXPECT_EQ(f->MyStree1()->LabelFontSize(), 15);
  EXPECT_EQ(f->QelPBar2()->ColorLeft(), RgbValue(20, 21, 22));
  EXPECT_EQ(f->QelPBar2()->ColorRight(), RgbValue(23, 24, 25));
  EXPECT_EQ(f->QelPBar2()->BackColor(), RgbValue(26, 27, 28));
  EXPECT_EQ(f->QelPBar2()->MaxValue(), ProMod::TotalLength);
  delete f;
}

}  // namespace
}  // namespace practice_test
