// The editor opened from the main window's "语音分段": a nudge and a new
// sentence, "保 存", "退 出"; the main window then writes the material file
// and lists the new sentences.
#include <QTimer>

#include "tests/app/main_form_fixture.h"
#include "editor/set_stree.h"

namespace app_test {
namespace {

class EditorRoundTripTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    // The main window reads the editor's EidtIsSave when it has closed.
    MainForm::SetChildWindowFactory([this](MainForm::ChildWindow which, QWidget* parent) -> QDialog* {
      if (which != MainForm::ChildWindow::SetStree) return nullptr;
      QDialog* dialog = CreateSetStree(parent);
      QObject::connect(dialog, &QDialog::finished, form_.get(),
                       [this, dialog] { form_->setEidtIsSave(dialog->property("EidtIsSave").toBool()); });
      return dialog;
    });
  }
  // Runs `steps` on the editor once it is shown modally.
  void WhenOpen(std::function<void(SetStree&)> steps) {
    QTimer::singleShot(0, [steps] {
      auto* editor = qobject_cast<SetStree*>(QApplication::activeModalWidget());
      if (!editor) {
        ADD_FAILURE() << "the editor is not open";
        if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
        return;
      }
      steps(*editor);
    });
  }
};

TEST_F(EditorRoundTripTest, SavedSentencesReachTheFileAndTheSentenceList) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording(QString(), QStringLiteral("lesson.mp3"));
  WriteMaterial(audio, ThreeSentences());
  Open();
  ChooseRecording(1);
  ASSERT_EQ(form().MyStree2()->LabelCount(), 5);  // link line, three sentences, shopping line
  QString caption;
  WhenOpen([&](SetStree& e) {
    caption = e.windowTitle();
    EXPECT_EQ(e.Count(), 3);
    // The editor's list looks like the main window's sentence list.
    EXPECT_EQ(e.MyStree1()->LabelFontName(), form().MyStree2()->LabelFontName());
    EXPECT_EQ(e.QelPBar1()->ColorLeft(), form().QelPBar1()->ColorLeft());
    EXPECT_EQ(e.QelPBar2()->BackColor(), form().QelPBar2()->BackColor());
    e.MyStree1_LabelClick(2);
    e.Command1_Click(3);  // start 0.1 s later: 2 100
    e.QelText1()->setText(QStringLiteral("This is lesson two."));
    e.AppendSentence();
    e.QelText1()->setText(QStringLiteral("The end."));
    e.Command1_Click(5);  // start 0.5 s later than the last one's end (4 500)
    e.VsNetBut1_Click();
    e.VsNetBut3_Click();
  });
  form().OpenSegmentation();
  EXPECT_EQ(caption, QStringLiteral("语音分段 -- ") + audio);
  const QString file = ProMod::ReadTextFile(audio + ".qvl");
  EXPECT_TRUE(file.contains("[0:00:02.100]This is lesson two.[0:00:03.000]第一课"));
  EXPECT_TRUE(file.contains("[0:00:05.000]The end.[" + SoundMod::FormatTime(ProMod::TotalLength) + "]备注未定义"));
  ASSERT_EQ(form().MyStree2()->LabelCount(), 6);
  EXPECT_EQ(form().MyStree2()->ItemStr(3), "This is lesson two.");
  EXPECT_EQ(form().MyStree2()->ItemStr(5), "The end.");
  EXPECT_EQ(ProMod::Sentences[3].Start, 2100);
}

TEST_F(EditorRoundTripTest, LeavingWithoutSavingWritesNothing) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording(QString(), QStringLiteral("lesson.mp3"));
  WriteMaterial(audio, ThreeSentences());
  const QByteArray before = ReadBytes(audio + ".qvl");
  Open();
  ChooseRecording(1);
  WhenOpen([](SetStree& e) {
    e.MyStree1_LabelClick(1);
    e.VsNetBut2_Click(0);
    e.VsNetBut3_Click();  // asks; the recorder answers OK
  });
  form().OpenSegmentation();
  EXPECT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(ReadBytes(audio + ".qvl"), before);
  EXPECT_EQ(form().MyStree2()->LabelCount(), 5);
}

}  // namespace
}  // namespace app_test
