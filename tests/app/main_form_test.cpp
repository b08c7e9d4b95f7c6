// The main window: start-up, browsing, choosing recordings, the messages,
// the toolbar and its child windows, the layout, the appearance file.
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

#include "controls/vsnet_button.h"
#include "tests/app/main_form_fixture.h"

namespace app_test {
namespace {

QStringList Items(MyStree* list) {
  QStringList items;
  for (int i = 1; i <= list->LabelCount(); ++i) items << list->ItemStr(i);
  return items;
}

// ---------------------------------------------------------------------------
// Start-up and browsing

TEST_F(MainFormTest, StartUpWithoutLibraryCreatesItAndShowsOnlyTheRoot) {
  ASSERT_FALSE(QFileInfo::exists(Library()));
  MainForm& f = Open();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Velmo复读机"));
  EXPECT_TRUE(QFileInfo(Library()).isDir());
  ASSERT_EQ(f.Combo1()->count(), 1);
  EXPECT_EQ(f.Combo1()->itemText(0), QStringLiteral("语音主目录"));
  EXPECT_EQ(f.MyStree1()->LabelCount(), 0);
  EXPECT_EQ(f.MyStree2()->LabelCount(), 0);
  EXPECT_TRUE(f.MyStree1()->HightLightUse());
  EXPECT_EQ(ProMod::CurrentFolder, Library() + QLatin1Char('/'));
  EXPECT_EQ(f.LinkAddresses(), QStringList{MainForm::BuiltInLink()});
  EXPECT_FALSE(f.UrlImage(0)->isHidden());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_FALSE(f.Timer1()->isActive());
  // No recording: the play image shows, disabled; the recording buttons are off.
  EXPECT_TRUE(PlayImageShown());
  EXPECT_FALSE(PauseImageShown());
  EXPECT_FALSE(f.ImageMp3Click(1)->isEnabled());
  EXPECT_FALSE(SentenceBarShown());
  for (int n : {2, 3, 4, 8}) EXPECT_FALSE(f.VsNetButton(n)->isEnabled()) << n;
  for (int n : {1, 5, 6, 7, 9}) EXPECT_TRUE(f.VsNetButton(n)->isEnabled()) << n;
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.Check1(i)->isChecked());
  EXPECT_EQ(f.LabelCheck(0)->text(), QStringLiteral("隐藏文本"));
  EXPECT_EQ(f.LabelCheck(1)->text(), QStringLiteral("单曲循环"));
  EXPECT_EQ(f.LabelCheck(2)->text(), QStringLiteral("单句循环"));
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(MainFormTest, CategoriesListTheirRecordingsAndACategoryChangeForgetsTheRecording) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  AddRecording("", "top.mp3");
  AddRecording("课本", "a.mp3");
  AddRecording("课本", "B.MP3");
  QFile(Library() + "/课本/notes.txt").open(QIODevice::WriteOnly);
  QDir().mkpath(Library() + "/空");
  MainForm& f = Open();
  EXPECT_EQ(f.Combo1()->count(), 3);
  EXPECT_EQ(Items(f.MyStree1()), QStringList{"top.mp3"});

  SelectCategory("课本");
  EXPECT_EQ(ProMod::CurrentFolder, Library() + "/课本/");
  EXPECT_EQ(Items(f.MyStree1()), (QStringList{"a.mp3", "B.MP3"}));

  WriteMaterial(Library() + "/课本/a.mp3", ThreeSentences());
  ChooseRecording(1);
  ASSERT_EQ(f.MyStree2()->LabelCount(), 5);
  ClickSentenceItem(3);
  ASSERT_TRUE(Playing());
  f.QelTextMu1()->setText("x");

  // Another category: the lists and paths are emptied, playback goes on.
  SelectCategory("空");
  EXPECT_EQ(f.MyStree1()->LabelCount(), 0);
  EXPECT_EQ(f.MyStree2()->LabelCount(), 0);
  EXPECT_TRUE(ProMod::CurrentAudioPath.isEmpty());
  EXPECT_TRUE(ProMod::CurrentMaterialPath.isEmpty());
  EXPECT_TRUE(f.QelTextMu1()->Text().isEmpty());
  for (int n : {2, 3, 4, 8}) EXPECT_FALSE(f.VsNetButton(n)->isEnabled()) << n;
  EXPECT_TRUE(Playing());
  EXPECT_EQ(ProMod::Sentences.Count(), 3);
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(MainFormTest, ACategoryFolderRemovedAfterStartUpGivesAnEmptyListAndAMessage) {
  QDir().mkpath(Library() + "/旧");
  MainForm& f = Open();
  QDir(Library() + "/旧").removeRecursively();
  SelectCategory("旧");
  EXPECT_EQ(f.MyStree1()->LabelCount(), 0);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_TRUE(msgs_.Last().text.startsWith(QStringLiteral("找不到分类目录")));
}

// ---------------------------------------------------------------------------
// Choosing a recording

TEST_F(MainFormTest, RecordingWithoutMaterialFileOffersOnlySegmentation) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording("", "lesson.mp3");
  MainForm& f = Open();
  ChooseRecording(1);

  EXPECT_EQ(ProMod::CurrentAudioPath, audio);
  EXPECT_EQ(ProMod::CurrentMaterialPath, audio + ".qvl");
  EXPECT_TRUE(ProMod::AudioLoaded);
  EXPECT_EQ(ProMod::TotalLength, Mono22Length());
  EXPECT_EQ(ProMod::TotalLengthText, QStringLiteral("0:00:05.175"));
  EXPECT_EQ(f.QelPBar1()->MaxValue(), Mono22Length());
  EXPECT_EQ(f.QelPBar1()->Value(), 0);
  EXPECT_TRUE(f.QelPBar1()->CanDrag());
  EXPECT_TRUE(f.ImageMp3Click(0)->isEnabled());
  EXPECT_TRUE(f.ImageMp3Click(1)->isEnabled());

  ASSERT_EQ(msgs_.Count(), 1);
  const ProMod::MsgBoxRequest& m = msgs_.Last();
  EXPECT_EQ(m.title, QStringLiteral("未找到复读文件"));
  EXPECT_FALSE(m.twoButtons);
  EXPECT_EQ(m.icon, 0);
  const QStringList lines = m.text.split("\r\n");
  ASSERT_EQ(lines.size(), 9);
  EXPECT_EQ(lines[0], QStringLiteral("未读取复读文件内容，可能文件不存在，也可能文件格式出错，"));
  EXPECT_EQ(lines[1], QStringLiteral("复读文件为：") + audio + ".qvl");
  EXPECT_EQ(lines[3], QStringLiteral("您通过\"复读设置\"进行设置。"));
  EXPECT_EQ(lines[5], QStringLiteral("如果你有此文件，请将 \"Qvl\" 文件拷至与音频相的目录下。"));
  EXPECT_EQ(lines[6], QStringLiteral("音频所在目录为： ") + Library() + "/");
  // No material server in the tests: the line names no address.
  EXPECT_EQ(lines[8], QStringLiteral("更多的音频资料请访问<Velmo女孩>网站。"));
  EXPECT_TRUE(lines[2].isEmpty() && lines[4].isEmpty() && lines[7].isEmpty());

  EXPECT_TRUE(f.VsNetButton(2)->isEnabled());
  for (int n : {3, 4, 8}) EXPECT_FALSE(f.VsNetButton(n)->isEnabled()) << n;
  EXPECT_EQ(Items(f.MyStree2()), (QStringList{MainForm::kLinkLine, QString(), MainForm::kShoppingLine}));

  // The same message on every choice; a click on any item of the empty
  // table does nothing.
  ChooseRecording(1);
  EXPECT_EQ(msgs_.Count(), 2);
  ClickSentenceItem(2);
  ClickSentenceItem(1);
  EXPECT_FALSE(Playing());
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(audio + ".qvl"));
}

TEST_F(MainFormTest, RecordingWithThreeSentencesListsThemBetweenTheLinkLines) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording("", "lesson.mp3");
  WriteMaterial(audio, ThreeSentences());
  MainForm& f = Open();
  ChooseRecording(1);
  EXPECT_EQ(msgs_.Count(), 0);
  MyStree* list = f.MyStree2();
  ASSERT_EQ(list->LabelCount(), 5);
  EXPECT_EQ(list->ItemStr(1), MainForm::kLinkLine);
  EXPECT_EQ(list->ItemStr(3), QStringLiteral("This is lesson one."));
  EXPECT_EQ(list->ItemStr(5), MainForm::kShoppingLine);
  EXPECT_EQ(list->GetLabelItemData(2), QStringLiteral("早上好"));
  EXPECT_EQ(list->GetLabelItemData(3), QStringLiteral("第一课"));
  EXPECT_EQ(list->GetLabelItemData(4), QStringLiteral("听每一句"));
  for (int n : {2, 3, 4}) EXPECT_TRUE(f.VsNetButton(n)->isEnabled()) << n;
  EXPECT_FALSE(f.VsNetButton(8)->isEnabled()) << "no sentence chosen yet";
  EXPECT_FALSE(Playing()) << "playback waits for the user";
  EXPECT_EQ(f.CurrentSentence(), 0);
  EXPECT_EQ(f.NextSentence(), 2);
  EXPECT_TRUE(f.QelTextMu1()->Text().isEmpty());

  // Hiding the texts masks the sentences but never the link lines.
  QTest::mouseClick(f.Check1(0), Qt::LeftButton);
  EXPECT_TRUE(list->ShowHideCaptial());
  EXPECT_EQ(f.LabelCheck(0)->text(), QStringLiteral("显示文本"));
  EXPECT_EQ(list->HideStr(1), MainForm::kLinkLine);
  EXPECT_EQ(list->HideStr(5), MainForm::kShoppingLine);
  EXPECT_NE(list->HideStr(3), list->ItemStr(3));
  // A recording chosen while hidden keeps its link lines readable too.
  ChooseRecording(1);
  EXPECT_EQ(list->HideStr(1), MainForm::kLinkLine);
  EXPECT_EQ(list->HideStr(list->LabelCount()), MainForm::kShoppingLine);
}

TEST_F(MainFormTest, TheLinkLinesOpenOnlyAddressesThatExist) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  WriteMaterial(AddRecording("", "lesson.mp3"), ThreeSentences());
  MainForm& f = Open();
  ChooseRecording(1);
  ClickSentenceItem(1);
  ClickSentenceItem(5);
  EXPECT_TRUE(opened_.isEmpty()) << "only the built-in link is known";
  EXPECT_FALSE(Playing());
  QTest::mouseClick(f.UrlImage(0), Qt::LeftButton);
  EXPECT_TRUE(opened_.isEmpty()) << "without a material server there is no built-in link";
}

TEST_F(MainFormTest, UnplayableRecordingStillListsItsSentencesButPlaysNothing) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording("", "broken.mp3", "random.mp3");
  WriteMaterial(audio, ThreeSentences());
  const QByteArray material = ReadBytes(audio + ".qvl");
  MainForm& f = Open();
  ChooseRecording(1);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("播放MP3文件时发生错误！"));
  EXPECT_FALSE(ProMod::AudioLoaded);
  EXPECT_TRUE(ProMod::TotalLengthText.isEmpty());
  EXPECT_FALSE(f.QelPBar1()->CanDrag());
  EXPECT_FALSE(f.ImageMp3Click(1)->isEnabled());
  EXPECT_EQ(f.MyStree2()->LabelCount(), 5);

  ClickSentenceItem(3);
  for (const char* key : {"r", "a", "s", "h", "s"}) QTest::keyClicks(f.MyStree2(), key);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_TRUE(PlayImageShown());
  // The windows that need sound refuse.
  msgs_.Clear();
  f.OpenDictation();
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("未正确选择语音文件！无法进行复读练习。"));
  EXPECT_EQ(ReadBytes(audio + ".qvl"), material);
}

TEST_F(MainFormTest, RecordingThatVanishedBeforeTheChoiceChangesNothing) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString kept = AddRecording("", "a.mp3");
  WriteMaterial(kept, ThreeSentences());
  const QString gone = AddRecording("", "b.mp3");
  MainForm& f = Open();
  ChooseRecording(1);
  ClickSentenceItem(3);
  QFile::remove(gone);
  ChooseRecording(2);
  EXPECT_EQ(ProMod::CurrentAudioPath, kept);
  EXPECT_EQ(ProMod::Sentences.Count(), 3);
  EXPECT_EQ(f.MyStree1()->LabelCurClick(), 1) << "the list points at the open recording again";
  EXPECT_EQ(f.MyStree2()->LabelCount(), 5);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(msgs_.Count(), 0);
  EXPECT_FALSE(QFileInfo::exists(gone + ".qvl"));
}

TEST_F(MainFormTest, HugeAndBrokenSentenceTablesAreListedWithoutHarm) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  // 40 000 sentences: the table stops at its highest index, the list at its
  // item limit.
  const QString big = AddRecording("", "a.mp3");
  QStringList lines;
  for (int i = 0; i < 40000; ++i) lines << Line(i % 5000, QStringLiteral("s%1").arg(i), i % 5000 + 100);
  WriteMaterial(big, lines);
  // Ends before starts, beyond the recording, starts beyond the recording.
  const QString odd = AddRecording("", "b.mp3");
  WriteMaterial(odd, {Line(3000, "backwards", 1000, "r1"), Line(4000, "past the end", 9000, "r2"),
                      Line(8000, "after the end", 9000, "r3"), Line(6000, "late start", 0)});
  const QByteArray oddBytes = ReadBytes(odd + ".qvl");
  MainForm& f = Open();
  ChooseRecording(1);
  EXPECT_EQ(ProMod::Sentences.UBound(), 32767);
  EXPECT_EQ(f.MyStree2()->LabelCount(), MyStree::kMaxItems);
  f.MyStree2_LabelClick(MyStree::kMaxItems);
  EXPECT_TRUE(Playing());

  PlainMessageRecorder plain;
  ChooseRecording(2);
  ASSERT_EQ(ProMod::Sentences.Count(), 4);
  for (int item = 2; item <= 5; ++item) {
    SCOPED_TRACE(item);
    f.MyStree2_LabelClick(item);
    RunUntilPaused();
    EXPECT_FALSE(f.Timer3()->isActive());
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(PlayImageShown());
    EXPECT_LE(SoundMod::GetPosition(), ProMod::TotalLength);
    QTest::keyClicks(f.MyStree2(), "r");
    RunUntilPaused();
  }
  EXPECT_TRUE(plain.shown.empty()) << plain.shown.front().text.toStdString();
  EXPECT_EQ(ReadBytes(odd + ".qvl"), oddBytes);
}

// ---------------------------------------------------------------------------
// Toolbar, child windows, help

// What a child window saw while it was open (the window itself is gone
// once the procedure returns).
struct ChildSeen {
  int shown = 0;
  QString title;
  bool playing = false;
};

// A child window that stands in for the editors: it may change the store
// and ask for a save, then closes itself.
class FakeChild : public QDialog {
 public:
  FakeChild(QWidget* parent, MainForm* form, bool save, QString newBase, ChildSeen* seen = nullptr)
      : QDialog(parent), form_(form), save_(save), newBase_(std::move(newBase)), seen_(seen) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    if (seen_) {
      ++seen_->shown;
      seen_->title = windowTitle();
      seen_->playing = SoundMod::State() == SoundMod::PlayState::Playing || form_->Timer3()->isActive();
    }
    if (!newBase_.isNull()) ProMod::BaseData = newBase_;
    if (save_) form_->setEidtIsSave(true);
    QTimer::singleShot(0, this, &QDialog::accept);
  }

 private:
  MainForm* form_;
  bool save_;
  QString newBase_;
  ChildSeen* seen_;
};

TEST_F(MainFormTest, ChildWindowSavesAndReloadsOnlyWhenAsked) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording("", "lesson.mp3");
  WriteMaterial(audio, ThreeSentences());
  const QByteArray before = ReadBytes(audio + ".qvl");
  MainForm& f = Open();
  ChooseRecording(1);
  ClickSentenceItem(3);
  ASSERT_TRUE(Playing());

  ChildSeen seen;
  bool save = false;
  QString newBase;
  MainForm::SetChildWindowFactory([&](MainForm::ChildWindow which, QWidget* parent) -> QDialog* {
    EXPECT_EQ(which, MainForm::ChildWindow::SetStree);
    return new FakeChild(parent, &f, save, newBase, &seen);
  });

  // Closed without saving: paused, nothing written, nothing reloaded.
  newBase = Line(100, "changed", 900);
  QTest::mouseClick(f.VsNetButton(2), Qt::LeftButton);
  EXPECT_EQ(seen.shown, 1);
  EXPECT_FALSE(seen.playing);
  EXPECT_EQ(seen.title, QStringLiteral("语音分段 -- ") + audio);
  EXPECT_EQ(ReadBytes(audio + ".qvl"), before);
  EXPECT_EQ(f.MyStree2()->LabelCount(), 5);
  EXPECT_FALSE(f.EidtIsSave());
  EXPECT_FALSE(Playing());
  EXPECT_TRUE(PlayImageShown()) << "the play image resumes";

  // Saved: written, and the recording reloaded from the saved file.
  save = true;
  newBase = Line(100, "one", 900) + ProMod::kEnter + Line(1000, "two", 1900, "r");
  QTest::mouseClick(f.VsNetButton(2), Qt::LeftButton);
  EXPECT_FALSE(f.EidtIsSave());
  const QString saved = ProMod::ReadTextFile(audio + ".qvl");
  EXPECT_TRUE(saved.contains(newBase));
  EXPECT_EQ(Items(f.MyStree2()), (QStringList{MainForm::kLinkLine, "one", "two", MainForm::kShoppingLine}));
  EXPECT_EQ(f.MyStree2()->GetLabelItemData(3), "r");
  EXPECT_EQ(ProMod::Sentences.Count(), 2);
  EXPECT_FALSE(Playing());
  EXPECT_EQ(msgs_.Count(), 0);

  // A save that leaves no sentences shows the missing-material message.
  newBase = QString("");
  QTest::mouseClick(f.VsNetButton(2), Qt::LeftButton);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("未找到复读文件"));
}

TEST_F(MainFormTest, ChildWindowsAreRefusedWithoutARecordingExceptNumberPractice) {
  MainForm& f = Open();
  std::vector<MainForm::ChildWindow> made;
  MainForm::SetChildWindowFactory([&](MainForm::ChildWindow which, QWidget* parent) -> QDialog* {
    made.push_back(which);
    auto* dialog = new QDialog(parent);
    QTimer::singleShot(0, dialog, &QDialog::reject);
    return dialog;
  });
  f.OpenSegmentation();
  f.OpenDictation();
  f.OpenRecords();
  ASSERT_EQ(msgs_.Count(), 3);
  EXPECT_EQ(msgs_.Shown()[0].text, QStringLiteral("未正确选择语音文件！无法进行语音分段。"));
  EXPECT_EQ(msgs_.Shown()[1].text, QStringLiteral("未正确选择语音文件！无法进行复读练习。"));
  EXPECT_EQ(msgs_.Shown()[2].text, QStringLiteral("未正确选择语音文件！无法查看练习。"));
  for (const auto& m : msgs_.Shown()) {
    EXPECT_EQ(m.title, QStringLiteral("复读设置"));
    EXPECT_EQ(m.icon, 2);
    EXPECT_FALSE(m.twoButtons);
  }
  EXPECT_TRUE(made.empty()) << "a refused window is never made";

  QTest::mouseClick(f.VsNetButton(5), Qt::LeftButton);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0], MainForm::ChildWindow::NumberExeForm);
  EXPECT_EQ(msgs_.Count(), 3);

  // The settings dialog: afterwards the appearance file is read again.
  ASSERT_TRUE(ProMod::WriteTextFile(app_.File("FaceSet.ini"), QStringLiteral("字号=20")));
  QTest::mouseClick(f.VsNetButton(1), Qt::LeftButton);
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[1], MainForm::ChildWindow::SetForm);
  EXPECT_EQ(f.MyStree2()->LabelFontSize(), 20);

  // "最新资料" without a server to ask.
  QTest::mouseClick(f.VsNetButton(9), Qt::LeftButton);
  ASSERT_EQ(msgs_.Count(), 4);
  EXPECT_EQ(msgs_.Last().text, QStringLiteral("未读到任何最新的音频资料，站长正在更新，请过段时间再试。"));
}

TEST_F(MainFormTest, ChildWindowKeepsUnsavableChangesInMemory) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = AddRecording("", "lesson.mp3");
  WriteMaterial(audio, ThreeSentences());
  MainForm& f = Open();
  ChooseRecording(1);
  // The material file cannot be replaced: a folder stands in its place.
  QFile::remove(audio + ".qvl");
  QDir().mkpath(audio + ".qvl");
  const QString changed = Line(100, "changed", 900);
  MainForm::SetChildWindowFactory([&](MainForm::ChildWindow, QWidget* parent) -> QDialog* {
    return new FakeChild(parent, &f, true, changed);
  });
  f.OpenDictation();
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("错误"));
  EXPECT_EQ(ProMod::BaseData, changed) << "not thrown away by a reload";
}

TEST_F(MainFormTest, HelpAndQuit) {
  MainForm& f = Open();
  QTest::mouseClick(f.VsNetButton(7), Qt::LeftButton);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().title, QStringLiteral("Velmo复读机"));
  EXPECT_EQ(msgs_.Last().icon, 0);
  QStringList lines = msgs_.Last().text.split("\r\n");
  ASSERT_EQ(lines.size(), 7);
  // The library here is not in the program's folder: the message names it.
  EXPECT_EQ(lines[0], QStringLiteral("文件存储：您只需把您的Mp3文件拷到<") + QDir::toNativeSeparators(Library()) +
                          QStringLiteral(">目录下即可。"));
  EXPECT_EQ(lines[6], QStringLiteral("快 捷 键：S,播放/暂停；  A,全文播放；  R,句子播放；  H,隐藏文本"));
  platform::SetApplicationFolder(QCoreApplication::applicationDirPath());
  f.ShowHelp();
  EXPECT_EQ(msgs_.Last().text.split("\r\n")[0],
            QStringLiteral("文件存储：您只需把您的Mp3文件拷到程序目录上的<语音>目录下即可。"));
  platform::SetApplicationFolder(app_.Path());
  QTest::mouseClick(f.LabelCheck(0), Qt::LeftButton);
  f.ShowHelp();
  lines = msgs_.Last().text.split("\r\n");
  EXPECT_TRUE(lines[6].endsWith(QStringLiteral("H,显示文本")));

  QTest::mouseClick(f.VsNetButton(6), Qt::LeftButton);
  EXPECT_FALSE(f.isVisible());
}

// ---------------------------------------------------------------------------
// Layout

void ExpectInside(const MainForm& f, const QWidget* w, const char* name) {
  const QRect r = w->geometry();
  const QRect inside = w->parentWidget() == &f ? f.rect() : w->parentWidget()->rect();
  EXPECT_TRUE(inside.contains(r)) << name << " " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

TEST_F(MainFormTest, LayoutFitsEverySizeFromTheMinimumUp) {
  MainForm& f = Open();
  for (QSize size : {QSize(800, 600), QSize(1280, 800), QSize(1920, 1080), QSize(1000, 640)}) {
    SCOPED_TRACE(size.width());
    f.resize(size);
    EXPECT_EQ(f.size(), size);
    const TwipRect list1 = f.Geometry(f.MyStree1()), list2 = f.Geometry(f.MyStree2());
    const TwipRect remark = f.Geometry(f.QelTextMu1()), save = f.Geometry(f.VsNetBut8());
    const TwipRect image = f.Geometry(f.ImageMp3Click(0)), bar1 = f.Geometry(f.QelPBar1());
    const TwipRect bar2 = f.Geometry(f.QelPBar2()), pic1 = f.Geometry(f.Picture1());
    EXPECT_EQ(list2.Left, list1.Right() + 60);
    EXPECT_EQ(list2.Right(), size.width() * 15 - 60);
    EXPECT_EQ(list1.Bottom(), pic1.Bottom() - 60);
    EXPECT_EQ(remark.Top, list2.Bottom() + 30);
    EXPECT_EQ(save.Left, remark.Right() + 60);
    EXPECT_EQ(save.Right(), list2.Right());
    EXPECT_EQ(image.Top, remark.Bottom() + 30);
    EXPECT_EQ(bar1.Top, image.Top);
    EXPECT_EQ(bar1.Right(), list2.Right());
    EXPECT_EQ(image.Bottom(), pic1.Bottom() - 60);
    // The sentence bar sits in the middle of the whole-recording bar.
    EXPECT_NEAR(bar2.Left + bar2.Width / 2.0, bar1.Left + bar1.Width / 2.0, 1);
    EXPECT_NEAR(bar2.Top + bar2.Height / 2.0, bar1.Top + bar1.Height / 2.0, 1);
    EXPECT_NEAR(bar2.Width, 0.8 * bar1.Width, 1);
    EXPECT_EQ(f.Geometry(f.UrlImage(0)).Right(), size.width() * 15);
    // Everything inside the window; the toolbar buttons left of the link image.
    for (QWidget* w : f.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      ExpectInside(f, w, w->objectName().toUtf8().constData());
    for (int n : {1, 2, 3, 4, 5, 6, 7, 9}) {
      ExpectInside(f, f.VsNetButton(n), "toolbar button");
      EXPECT_LT(f.Geometry(f.VsNetButton(n)).Right(), f.Geometry(f.UrlImage(0)).Left) << n;
    }
    // The check boxes and their labels in a row above the sentence list.
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(f.Geometry(f.LabelCheck(i)).Left, f.Geometry(f.Check1(i)).Right() + 60);
      EXPECT_LE(f.Geometry(f.LabelCheck(i)).Bottom(), list2.Top);
    }
  }
  // Never smaller than 12 000 x 9 000 twips.
  f.resize(300, 200);
  EXPECT_EQ(f.size(), QSize(800, 600));
}

// ---------------------------------------------------------------------------
// Appearance file

TEST_F(MainFormTest, DesignColoursApplyWithoutAFile) {
  MainForm& f = Open();
  EXPECT_EQ(f.MyStree1()->HightLightColor(), 65535u);
  EXPECT_EQ(f.MyStree1()->LabelColorMoveIn(), 65535u);
  EXPECT_EQ(f.MyStree2()->HightLightColor(), 65535u);
  EXPECT_EQ(f.QelPBar1()->BackColor(), 8438015u);
  EXPECT_EQ(f.QelPBar1()->ColorLeft(), 33023u);
  EXPECT_EQ(f.QelPBar1()->ColorRight(), 255u);
  EXPECT_EQ(f.QelPBar1()->BorderColor(), 0u);
  EXPECT_EQ(f.QelPBar2()->BackColor(), 16761087u);
  EXPECT_EQ(f.QelPBar2()->ColorLeft(), 16744703u);
  EXPECT_EQ(f.QelPBar2()->ColorRight(), 16744576u);
  EXPECT_EQ(f.QelPBar2()->BorderColor(), 0u);
  EXPECT_EQ(f.QelTextMu1()->BorderColor(), 0u);
  EXPECT_EQ(f.MyStree2()->LabelFontSize(), MyStree::kDefaultLabelFontSize);
}

TEST_F(MainFormTest, AppearanceFileSetsTheListsBarsAndRemarkBorder) {
  const QByteArray ini =
      "文件选择框--背景色1=1\r\n文件选择框--背景色2=2\r\n文件选择框--边框色=3\r\n文件选择框--文字基本色=4\r\n"
      "文件选择框--文字移入色=5\r\n文件选择框--文字选中色=6\r\n文件选择框--文字选中背景=7\r\n"
      "句子选择框--背景色1=11\r\n句子选择框--背景色2=12\r\n句子选择框--边框色=13\r\n句子选择框--文字基本色=14\r\n"
      "句子选择框--文字移入色=15\r\n句子选择框--文字选中色=16\r\n"
      "主进度条左边色=21\r\n主进度条右边色=22\r\n主进度条背景色=23\r\n主进度条文字色1=24\r\n主进度条文字色2=25\r\n"
      "主进度边框色=255\r\n次进度边框色=31\r\n次进度条文字色2=32\r\n次进度条文字色1=33\r\n次进度条背景色=34\r\n"
      "次进度条右边色=35\r\n次进度条左边色=36\r\n句子选择框背景色角度=45\r\n文件选择框背景色角度=90.5\r\n"
      "字号=10.5\r\n 字体 = 宋体 \r\na=b=c\r\n";
  ASSERT_TRUE(ProMod::WriteTextFile(app_.File("FaceSet.ini"), QString::fromUtf8(ini)));
  MainForm& f = Open();
  MyStree* files = f.MyStree1();
  MyStree* sentences = f.MyStree2();
  EXPECT_EQ(files->BackGroundColor1(), 1u);
  EXPECT_EQ(files->BackGroundColor2(), 2u);
  EXPECT_EQ(files->BorderColor(), 3u);
  EXPECT_EQ(files->LabelColorMoveOut(), 4u);
  EXPECT_EQ(files->LabelColorMoveIn(), 5u);
  EXPECT_EQ(files->LabelColorClick(), 6u);
  EXPECT_EQ(files->HightLightColor(), 7u);
  EXPECT_EQ(files->BackGroundAngel(), 90) << "90.5 goes to the even neighbour";
  EXPECT_EQ(sentences->BackGroundColor1(), 11u);
  EXPECT_EQ(sentences->BackGroundColor2(), 12u);
  EXPECT_EQ(sentences->BorderColor(), 13u);
  EXPECT_EQ(sentences->LabelColorMoveOut(), 14u);
  EXPECT_EQ(sentences->LabelColorMoveIn(), 15u);
  EXPECT_EQ(sentences->LabelColorClick(), 16u);
  EXPECT_EQ(sentences->HightLightColor(), 65535u) << "the sentence list has no highlight key";
  EXPECT_EQ(sentences->BackGroundAngel(), 45);
  EXPECT_EQ(sentences->LabelFontSize(), 10);
  EXPECT_EQ(sentences->LabelFontName(), QStringLiteral("宋体"));
  EXPECT_EQ(files->LabelFontName(), MyStree::kDefaultFontName) << "the font keys are the sentence list's";
  QelPBar* whole = f.QelPBar1();
  QelPBar* part = f.QelPBar2();
  EXPECT_EQ(whole->ColorLeft(), 21u);
  EXPECT_EQ(whole->ColorRight(), 22u);
  EXPECT_EQ(whole->BackColor(), 23u);
  EXPECT_EQ(whole->ForeColor1(), 24u);
  EXPECT_EQ(whole->ForeColor2(), 25u);
  EXPECT_EQ(whole->BorderColor(), 255u);
  EXPECT_EQ(f.QelTextMu1()->BorderColor(), 255u) << "the remark box follows the main bar's frame";
  EXPECT_EQ(part->BorderColor(), 31u);
  EXPECT_EQ(part->ForeColor2(), 32u);
  EXPECT_EQ(part->ForeColor1(), 33u);
  EXPECT_EQ(part->BackColor(), 34u);
  EXPECT_EQ(part->ColorRight(), 35u);
  EXPECT_EQ(part->ColorLeft(), 36u);

  // Reading again gives the same appearance.
  f.ReadAppearance();
  EXPECT_EQ(files->HightLightColor(), 7u);
  EXPECT_EQ(sentences->LabelFontSize(), 10);
  EXPECT_EQ(f.QelTextMu1()->BorderColor(), 255u);
}

TEST_F(MainFormTest, AppearanceFileOddValues) {
  ASSERT_TRUE(ProMod::WriteTextFile(app_.File("FaceSet.ini"),
                                    "字号=11.5\r\n字体=x=y\r\n主进度条左边色=1e12\r\n字号=99999\r\n"
                                    "句子选择框--背景色1=abc\r\n次进度条右边色=-2147483640\r\n"
                                    "句子选择框背景色角度=-400\r\n文件选择框--边框色=4294967295"));
  PlainMessageRecorder plain;
  MainForm& f = Open();
  EXPECT_EQ(f.MyStree2()->LabelFontSize(), 12);
  EXPECT_EQ(f.MyStree2()->LabelFontName(), "x");
  EXPECT_EQ(f.QelPBar1()->ColorLeft(), 33023u) << "an out-of-range line is ignored";
  EXPECT_EQ(f.MyStree1()->BorderColor(), MyStree::kDefaultBorderColor);
  EXPECT_EQ(f.MyStree2()->BackGroundColor1(), 0u) << "no leading number reads as 0";
  EXPECT_EQ(f.QelPBar2()->ColorRight(), 0x80000008u) << "system colours as they read";
  EXPECT_EQ(f.MyStree2()->BackGroundAngel(), -400);
  EXPECT_TRUE(plain.shown.empty());
}

TEST_F(MainFormTest, AppearanceFileOfJunkOrHugeFontsIsHarmless) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  WriteMaterial(AddRecording("", "lesson.mp3"), ThreeSentences());
  QByteArray junk;
  for (int i = 0; i < 200000; ++i) junk.append(static_cast<char>((i * 7919 + 13) % 256));
  junk.append("\r\n字号=0\r\n");
  app_.Write("FaceSet.ini", junk);
  {
    MainForm& f = Open();
    ChooseRecording(1);
    f.grab();
    EXPECT_EQ(f.MyStree2()->LabelCount(), 5);
  }
  form_.reset();
  ASSERT_TRUE(ProMod::WriteTextFile(app_.File("FaceSet.ini"), "字号=32767\r\n字号=-32768\r\n字号=600"));
  MainForm& f = Open();
  ChooseRecording(1);
  f.grab();
  EXPECT_EQ(f.MyStree2()->LabelFontSize(), 600);
  f.MyStree2_LabelClick(2);
  EXPECT_TRUE(Playing());
}

}  // namespace
}  // namespace app_test
