// What the learner types or was listening to is never lost: the remark box
// always belongs to the sentence its save writes, an edited remark is not
// replaced behind the learner's back, and playback goes on where it was
// paused after a child window saved and reloaded the recording.
#include <QDialog>
#include <QTimer>

#include "controls/vsnet_button.h"
#include "tests/app/main_form_fixture.h"

namespace app_test {
namespace {

class RemarkTest : public LessonTest {
 protected:
  QString StoredRemark(int index) {
    // What the material file holds, read back as the window would.
    ProMod::LoadMaterialFile();
    ProMod::BuildSentenceTable();
    return ProMod::Sentences[index].Remark;
  }
};

TEST_F(RemarkTest, KeyAShowsTheRemarkOfTheSentenceItMakesCurrent) {
  MainForm& f = form();
  ClickSentenceItem(4);  // sentence 3
  RunUntilPaused();
  ASSERT_EQ(f.QelTextMu1()->Text(), QStringLiteral("听每一句"));
  PressKey("a");
  EXPECT_EQ(f.CurrentSentence(), 1);
  EXPECT_EQ(f.RemarkSentence(), 2);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("早上好"));
  // So the save writes sentence 1's own remark back, and sentence 3 keeps its.
  QTest::mouseClick(f.VsNetBut8(), Qt::LeftButton);
  EXPECT_EQ(StoredRemark(2), QStringLiteral("早上好"));
  EXPECT_EQ(StoredRemark(4), QStringLiteral("听每一句"));
}

TEST_F(RemarkTest, ClickingAnotherSentenceAsksAboutAnEditedRemark) {
  MainForm& f = form();
  ClickSentenceItem(2);
  f.QelTextMu1()->setText(QStringLiteral("记住这句"));
  msgs_.QueueAnswer(1);  // OK: save
  ClickSentenceItem(3);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("备注已修改，是否保存？"));
  EXPECT_TRUE(msgs_.Last().twoButtons);
  EXPECT_EQ(f.RemarkSentence(), 3);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("第一课"));
  EXPECT_EQ(StoredRemark(2), QStringLiteral("记住这句"));

  f.QelTextMu1()->setText(QStringLiteral("不要了"));
  msgs_.QueueAnswer(0);  // Cancel: discard
  ClickSentenceItem(4);
  EXPECT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("听每一句"));
  EXPECT_EQ(StoredRemark(3), QStringLiteral("第一课"));

  // An unchanged box asks nothing; a click on the same sentence neither.
  ClickSentenceItem(2);
  f.QelTextMu1()->setText(QStringLiteral("again"));
  ClickSentenceItem(2);
  EXPECT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("again"));
}

TEST_F(RemarkTest, ARemarkEditedDuringAFailedSaveStaysInTheBox) {
  MainForm& f = form();
  ClickSentenceItem(3);
  f.QelTextMu1()->setText(QStringLiteral("要保存的"));
  // A material path whose folder is a file cannot be written, even by root.
  ProMod::CurrentMaterialPath = audio_ + QStringLiteral("/x.qvl");
  QTest::mouseClick(f.VsNetBut8(), Qt::LeftButton);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconError);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("要保存的"));
  EXPECT_EQ(f.RemarkSentence(), 3);
}

TEST_F(RemarkTest, OnlyTheRecordingListHasAHighlightBar) {
  EXPECT_TRUE(form().MyStree1()->HightLightUse());
  EXPECT_FALSE(form().MyStree2()->HightLightUse());
}

// A child window that plays a little of the recording itself and asks for
// a save, as the editor and the dictation window do.
class PlayingChild : public QDialog {
 public:
  PlayingChild(QWidget* parent, MainForm* form) : QDialog(parent), form_(form) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    SoundMod::PlayFrom(100, 300);
    SoundMod::PauseAudio();
    form_->setEidtIsSave(true);
    QTimer::singleShot(0, this, &QDialog::accept);
  }

 private:
  MainForm* form_;
};

TEST_F(RemarkTest, PlayGoesOnWhereItWasPausedAfterAChildWindowSaved) {
  MainForm& f = form();
  PressKey("a");
  Advance(2340);
  MainForm::SetChildWindowFactory(
      [&](MainForm::ChildWindow, QWidget* parent) -> QDialog* { return new PlayingChild(parent, &f); });
  f.OpenSegmentation();
  EXPECT_FALSE(Playing());
  EXPECT_EQ(f.QelPBar1()->Value(), 2340);
  QTest::mouseClick(f.ImageMp3Click(1), Qt::LeftButton);
  EXPECT_TRUE(Playing());
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 2440);
}

}  // namespace
}  // namespace app_test
