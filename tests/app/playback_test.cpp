// The playback and repeat engine of the main window, with the null output
// and a clock the test moves (exact), and once in real time through the
// system's sound device when there is one.
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>

#include "controls/vsnet_button.h"
#include "tests/app/main_form_fixture.h"

namespace app_test {
namespace {

class PlaybackTest : public LessonTest {
 protected:
  void SetUp() override {
    SoundMod::SetOutputObserver([this](int64_t first, const char*, int64_t frames) {
      handedFirst_ = std::min(handedFirst_, first);
      handedEnd_ = std::max(handedEnd_, first + frames);
    });
    LessonTest::SetUp();
  }
  void ResetHanded() {
    handedFirst_ = INT64_MAX;
    handedEnd_ = 0;
  }
  static int64_t Frame(int64_t ms) { return FrameAt(ms, SoundMod::SampleRate()); }
  // Plays on in poll steps until the position reaches `ms`.
  void PlayTo(int32_t ms) {
    for (int i = 0; i < 2000 && SoundMod::GetPosition() < ms; ++i) Advance(MainForm::kPollIntervalMs);
  }

  int64_t handedFirst_ = INT64_MAX;
  int64_t handedEnd_ = 0;
};

TEST_F(PlaybackTest, ClickingASentencePlaysItAndPausesWithinOnePollAfterItsEnd) {
  MainForm& f = form();
  ResetHanded();
  ClickSentenceItem(4);  // sentence 3: 3 500 .. 4 500 ms
  EXPECT_TRUE(Playing());
  EXPECT_TRUE(PauseImageShown());
  EXPECT_FALSE(PlayImageShown());
  EXPECT_EQ(f.CurrentSentence(), 3);
  EXPECT_EQ(f.NextSentence(), 4);
  EXPECT_EQ(f.PlayEnd(), 4500);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("听每一句"));
  EXPECT_TRUE(f.VsNetBut8()->isEnabled());
  ASSERT_TRUE(SentenceBarShown());
  EXPECT_EQ(f.QelPBar2()->MinValue(), 3500);
  EXPECT_EQ(f.QelPBar2()->MaxValue(), 4500);
  EXPECT_EQ(f.QelPBar2()->Value(), 3500);
  EXPECT_TRUE(f.QelPBar2()->CanDrag());
  EXPECT_FALSE(f.QelPBar1()->CanDrag());
  EXPECT_TRUE(f.Timer3()->isActive());
  EXPECT_EQ(f.Timer3()->interval(), 10);

  Advance(400);
  EXPECT_EQ(f.QelPBar1()->Value(), 3900);
  EXPECT_EQ(f.QelPBar2()->Value(), 3900);
  EXPECT_EQ(f.QelPBar2()->Caption(), QStringLiteral("第3句朗读(开始时间：0:00:03.500)：0:00:00.400/0:00:01.000"));

  const int rest = RunUntilPaused();
  EXPECT_GE(rest, 600);
  EXPECT_LE(rest, 610) << "paused by the first poll after the end";
  EXPECT_FALSE(Playing());
  EXPECT_EQ(SoundMod::GetPosition(), 4500);
  EXPECT_EQ(ProMod::PausedPosition, 4500);
  EXPECT_TRUE(PlayImageShown());
  EXPECT_FALSE(PauseImageShown());
  EXPECT_FALSE(SentenceBarShown());
  EXPECT_TRUE(f.QelPBar1()->CanDrag());
  EXPECT_EQ(f.NextSentence(), 5);
  EXPECT_EQ(f.QelPBar1()->Caption(), audio_);
  // Nothing after the sentence end reached the output.
  EXPECT_EQ(handedFirst_, Frame(3500));
  EXPECT_LE(handedEnd_, Frame(4500));

  // The play image goes on with the whole recording from there.
  QTest::mouseClick(f.ImageMp3Click(1), Qt::LeftButton);
  EXPECT_TRUE(Playing());
  EXPECT_FALSE(SentenceBarShown());
  EXPECT_EQ(f.PlayEnd(), Mono22Length());
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 4600);
  EXPECT_EQ(f.QelPBar1()->Caption(), QStringLiteral("全文朗读：0:00:04.600 / 0:00:05.175"));
}

TEST_F(PlaybackTest, SentenceLoopPlaysTheSentenceAgainUntilUnticked) {
  MainForm& f = form();
  QTest::mouseClick(f.LabelCheck(2), Qt::LeftButton);
  ASSERT_TRUE(f.Check1(2)->isChecked());
  ClickSentenceItem(3);  // 2 000 .. 3 000
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    Advance(round == 0 ? 990 : 980);
    EXPECT_EQ(SoundMod::GetPosition(), 2990);
    ResetHanded();
    Advance(10);  // the end, and at once the start again
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(SentenceBarShown());
    EXPECT_TRUE(PauseImageShown()) << "a loop is playback";
    EXPECT_EQ(SoundMod::GetPosition(), 2000);
    EXPECT_EQ(f.CurrentSentence(), 2);
    Advance(10);
    EXPECT_EQ(handedFirst_, Frame(2000));
    EXPECT_EQ(SoundMod::GetPosition(), 2010);
  }
  QTest::mouseClick(f.Check1(2), Qt::LeftButton);
  EXPECT_GE(RunUntilPaused(), 0);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_FALSE(SentenceBarShown());
}

TEST_F(PlaybackTest, ASentenceEndingWithTheRecordingLoopsToo) {
  WriteMaterial(audio_, {Line(500, "first", 1500), QStringLiteral("[0:00:04.600]the last one")});
  ChooseRecording(1);
  MainForm& f = form();
  ASSERT_EQ(ProMod::Sentences[3].End, Mono22Length());
  QTest::mouseClick(f.Check1(1), Qt::LeftButton);  // the recording loop must not take over
  QTest::mouseClick(f.Check1(2), Qt::LeftButton);
  ClickSentenceItem(3);
  Advance(580);
  Advance(20);
  EXPECT_TRUE(Playing());
  EXPECT_TRUE(SentenceBarShown());
  EXPECT_LT(SoundMod::GetPosition(), 4700);
  EXPECT_GE(SoundMod::GetPosition(), 4600);
}

TEST_F(PlaybackTest, RecordingLoopRestartsAtZeroAndTheListFollowsFromTheFirstSentence) {
  MainForm& f = form();
  QTest::mouseClick(f.LabelCheck(1), Qt::LeftButton);
  ASSERT_TRUE(f.Check1(1)->isChecked());
  EXPECT_TRUE(f.MyStree2()->LabeItemStrShow());
  PressKey("a");
  EXPECT_TRUE(Playing());
  EXPECT_FALSE(SentenceBarShown());
  EXPECT_TRUE(PauseImageShown());
  for (int lap = 0; lap < 2; ++lap) {
    SCOPED_TRACE(lap);
    PlayTo(400);
    EXPECT_EQ(f.MyStree2()->LabelCurClick(), lap == 0 ? 0 : 4);
    PlayTo(600);  // inside sentence 1
    EXPECT_EQ(f.MyStree2()->LabelCurClick(), 2);
    EXPECT_EQ(f.CurrentSentence(), 1) << "the highlighted sentence is the current one";
    EXPECT_EQ(f.NextSentence(), 3);
    EXPECT_EQ(f.QelTextMu1()->Text(), lap == 0 ? QStringLiteral("早上好") : QStringLiteral("note 0"));
    EXPECT_EQ(f.RemarkSentence(), 2);
    // A remark being typed is the learner's: the follow moves on without it.
    const QString note = QStringLiteral("note %1").arg(lap);
    f.QelTextMu1()->setText(note);
    PlayTo(2100);
    EXPECT_EQ(f.MyStree2()->LabelCurClick(), 3);
    EXPECT_EQ(f.QelTextMu1()->Text(), note);
    EXPECT_EQ(f.RemarkSentence(), 2) << "the box still belongs to sentence 1";
    QTest::mouseClick(f.VsNetBut8(), Qt::LeftButton);
    EXPECT_EQ(ProMod::Sentences[2].Remark, note);
    EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("第一课")) << "saved: the box follows again";
    PlayTo(3600);
    EXPECT_EQ(f.MyStree2()->LabelCurClick(), 4);
    EXPECT_EQ(f.CurrentSentence(), 3);
    EXPECT_EQ(f.NextSentence(), 4) << "no sentence after the last";
    EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("听每一句"));
    PlayTo(5100);
    EXPECT_EQ(f.RemarkSentence(), 4) << "the follow stopped after the last sentence";
    Advance(80);  // past the end: back to 0
    EXPECT_TRUE(Playing());
    EXPECT_LT(SoundMod::GetPosition(), 20);
    EXPECT_EQ(f.NextSentence(), 2);
    EXPECT_EQ(f.QelPBar1()->Value(), 0);
  }
}

TEST_F(PlaybackTest, WithoutTheLoopTheRecordingStopsAtItsEndAndPlaysAgainFromTheStart) {
  MainForm& f = form();
  PressKey("A");
  EXPECT_GE(RunUntilPaused(), Mono22Length());
  EXPECT_FALSE(Playing());
  EXPECT_EQ(f.QelPBar1()->Value(), 0);
  EXPECT_EQ(f.QelPBar1()->Caption(), audio_);
  EXPECT_TRUE(PlayImageShown());
  QTest::mouseClick(f.ImageMp3Click(1), Qt::LeftButton);
  Advance(100);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(SoundMod::GetPosition(), 100);
}

TEST_F(PlaybackTest, DraggingTheWholeBarSeeksAndTheListFollowsFromTheDrop) {
  MainForm& f = form();
  QelPBar* bar = f.QelPBar1();
  PressKey("a");
  Advance(300);
  // Press at 10 % (inside sentence 1), drag to 50 % (inside sentence 2).
  const int y = bar->height() / 2;
  Mouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 10, y), Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_EQ(f.CurrentSentence(), 1);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("早上好"));
  Mouse(bar, QEvent::MouseMove, QPoint(bar->width() / 2, y), Qt::NoButton, Qt::LeftButton);
  const int32_t dropped = bar->Value();
  ASSERT_GT(dropped, 2000);
  ASSERT_LT(dropped, 3000);
  EXPECT_EQ(bar->Caption(), QStringLiteral("全文朗读：") + SoundMod::FormatTime(dropped) + "/0:00:05.175");
  Mouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() / 2, y), Qt::LeftButton, Qt::NoButton);
  EXPECT_TRUE(Playing());
  EXPECT_TRUE(PauseImageShown());
  EXPECT_EQ(SoundMod::GetPosition(), dropped);
  Advance(10);
  EXPECT_EQ(f.MyStree2()->LabelCurClick(), 3);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("第一课"));

  // Dropped between sentences 1 and 2: sentence 1 is current, the list
  // follows when sentence 2 starts.
  Drag(bar, 0.33, 0.35);  // about 1 800 ms
  ASSERT_GT(bar->Value(), 1500);
  ASSERT_LT(bar->Value(), 2000);
  EXPECT_EQ(f.CurrentSentence(), 1);
  EXPECT_EQ(f.NextSentence(), 3);
  Advance(300);
  EXPECT_EQ(f.MyStree2()->LabelCurClick(), 3);

  // A right button press does nothing.
  Mouse(bar, QEvent::MouseButtonPress, QPoint(5, y), Qt::RightButton, Qt::RightButton);
  Mouse(bar, QEvent::MouseButtonRelease, QPoint(5, y), Qt::RightButton, Qt::NoButton);
  EXPECT_TRUE(Playing());
}

TEST_F(PlaybackTest, DraggingTheSentenceBarPlaysFromTheDropToTheSentenceEnd) {
  MainForm& f = form();
  ClickSentenceItem(3);  // 2 000 .. 3 000
  Advance(200);
  QelPBar* bar = f.QelPBar2();
  EXPECT_FALSE(f.QelPBar1()->CanDrag());
  const int y = bar->height() / 2;
  Mouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 4, y), Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  Mouse(bar, QEvent::MouseMove, QPoint(bar->width() / 2, y), Qt::NoButton, Qt::LeftButton);
  const int32_t dropped = bar->Value();
  ASSERT_GE(dropped, 2490);
  ASSERT_LE(dropped, 2510);
  EXPECT_EQ(bar->Caption(),
            QStringLiteral("第2句朗读：") + SoundMod::FormatTime(dropped - 2000) + QStringLiteral("/0:00:01.000"));
  ResetHanded();
  Mouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() / 2, y), Qt::LeftButton, Qt::NoButton);
  EXPECT_TRUE(Playing());
  EXPECT_TRUE(SentenceBarShown());
  EXPECT_EQ(bar->MinValue(), 2000);
  EXPECT_EQ(bar->MaxValue(), 3000);
  const int took = RunUntilPaused();
  EXPECT_NEAR(took, 3000 - dropped, 10);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_EQ(handedFirst_, Frame(dropped));
  EXPECT_LE(handedEnd_, Frame(3000)) << "nothing beyond the sentence end";
}

TEST_F(PlaybackTest, KeysReachTheWindowFirstAndThenTheFocusedControl) {
  MainForm& f = form();
  QPlainTextEdit* field = qobject_cast<QPlainTextEdit*>(f.QelTextMu1()->Text1());
  ASSERT_NE(field, nullptr);
  PressKey("a");
  Advance(1000);
  // Letters typed into the remark box are text: "s", "a", "r" and "h" do
  // not pause, restart, replay or hide.
  field->setFocus();
  QTest::keyClicks(field, "sarh");
  EXPECT_TRUE(Playing());
  EXPECT_FALSE(f.Check1(0)->isChecked());
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("sarh早上好"));
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 1100);
  // Elsewhere the keys work: "S" pauses and resumes where it paused.
  QTest::keyClicks(f.MyStree2(), "S");
  EXPECT_FALSE(Playing());
  EXPECT_EQ(ProMod::PausedPosition, 1100);
  Advance(500);
  QTest::keyClicks(f.MyStree2(), "S");
  EXPECT_TRUE(Playing());
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 1200);

  // "R" plays the current sentence; "A" does nothing in sentence mode.
  ASSERT_EQ(f.CurrentSentence(), 1);
  PressKey("r");
  EXPECT_TRUE(SentenceBarShown());
  EXPECT_EQ(f.PlayEnd(), 1500);
  Advance(200);
  EXPECT_EQ(SoundMod::GetPosition(), 700);
  PressKey("a");
  EXPECT_TRUE(SentenceBarShown());
  EXPECT_EQ(f.PlayEnd(), 1500);
  Advance(100);
  EXPECT_EQ(SoundMod::GetPosition(), 800);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("sarh早上好")) << "an edited remark is never replaced";

  // "H" toggles hiding like a click on its label.
  PressKey("h");
  EXPECT_TRUE(f.Check1(0)->isChecked());
  EXPECT_TRUE(f.MyStree2()->ShowHideCaptial());
  EXPECT_EQ(f.LabelCheck(0)->text(), QStringLiteral("显示文本"));
  PressKey("H");
  EXPECT_FALSE(f.Check1(0)->isChecked());
  EXPECT_EQ(f.LabelCheck(0)->text(), QStringLiteral("隐藏文本"));
  // Other keys and Ctrl+S do nothing.
  QTest::keyClick(f.MyStree2(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyClicks(f.MyStree2(), "xz1");
  EXPECT_TRUE(Playing());
}

TEST_F(PlaybackTest, KeysWithNothingLoadedChangeNothing) {
  SelectCategory(QStringLiteral("语音主目录"));
  form_.reset();
  ProMod::ResetStore();
  SoundMod::CloseAudio();
  MainForm& f = Open();
  for (const char* key : {"r", "a", "s", "R", "A", "S"}) QTest::keyClicks(&f, key);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_TRUE(PlayImageShown());
  EXPECT_EQ(f.CurrentSentence(), 0);
  f.SaveRemark_Click();
  f.PlayPara(2, 100, 200);
  f.PlayImage_Click();
  f.Timer3_Timer();
  EXPECT_FALSE(Playing());
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(PlaybackTest, PauseImageShowsTheWholeRecordingCaption) {
  MainForm& f = form();
  ClickSentenceItem(2);
  Advance(300);
  QTest::mouseClick(f.ImageMp3Click(0), Qt::LeftButton);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_FALSE(SentenceBarShown());
  EXPECT_TRUE(f.QelPBar1()->CanDrag());
  EXPECT_EQ(f.QelPBar1()->Caption(), QStringLiteral("全文朗读：0:00:00.800 / 0:00:05.175"));
  // Resuming plays the whole recording on from the pause.
  QTest::mouseClick(f.ImageMp3Click(1), Qt::LeftButton);
  Advance(1000);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(SoundMod::GetPosition(), 1800);
  EXPECT_EQ(f.PlayEnd(), Mono22Length());
}

TEST_F(PlaybackTest, ASentenceStartingAtZeroEntersSentenceMode) {
  WriteMaterial(audio_, {Line(0, "from the start", 800), Line(1000, "next", 2000)});
  ChooseRecording(1);
  MainForm& f = form();
  ClickSentenceItem(2);
  EXPECT_TRUE(SentenceBarShown());
  EXPECT_EQ(f.QelPBar2()->MinValue(), 0);
  EXPECT_EQ(f.QelPBar2()->MaxValue(), 800);
  EXPECT_FALSE(f.QelPBar1()->CanDrag());
  EXPECT_NEAR(RunUntilPaused(), 800, 10);
  EXPECT_EQ(SoundMod::GetPosition(), 800);
}

// ---------------------------------------------------------------------------
// Remark save

TEST_F(PlaybackTest, SavingARemarkRewritesEverySentenceLineFollowedByTheSeparator) {
  MainForm& f = form();
  // Practice records and settings of the file survive the save.
  const QString exe = QStringLiteral("rec1<KvqExeEnter>x<KVQENTER>");
  ASSERT_TRUE(ProMod::WriteTextFile(audio_ + ".qvl", ProMod::kSetOpen + "set" + ProMod::kSetClose + ProMod::kBaseOpen +
                                                         ThreeSentences().join(ProMod::kEnter) + ProMod::kBaseClose +
                                                         ProMod::kExeOpen + exe + ProMod::kExeClose));
  ChooseRecording(1);
  ClickSentenceItem(3);
  f.QelTextMu1()->setText(QStringLiteral("  新的备注\r\n第二行  "));
  QTest::mouseClick(f.VsNetBut8(), Qt::LeftButton);
  const QString expectedBase = Line(500, "Good morning.", 1500, QStringLiteral("早上好")) + ProMod::kEnter +
                               Line(2000, "This is lesson one.", 3000, QStringLiteral("新的备注\r\n第二行")) +
                               ProMod::kEnter + Line(3500, "Listen to each sentence.", 4500, QStringLiteral("听每一句")) +
                               ProMod::kEnter;
  EXPECT_EQ(ProMod::BaseData, expectedBase);
  const QString file = ProMod::ReadTextFile(audio_ + ".qvl");
  EXPECT_EQ(file, "\r\n" + ProMod::kSetOpen + "set" + ProMod::kSetClose + ProMod::kBaseOpen + expectedBase +
                      ProMod::kBaseClose + ProMod::kExeOpen + exe + ProMod::kExeClose);
  EXPECT_EQ(f.MyStree2()->GetLabelItemData(3), QStringLiteral("第一课")) << "the list is not rebuilt";
  // Reloaded, the remark is there and the sentences keep their times.
  ChooseRecording(1);
  ASSERT_EQ(ProMod::Sentences.Count(), 3);
  EXPECT_EQ(ProMod::Sentences[3].Remark, QStringLiteral("新的备注\r\n第二行"));
  EXPECT_EQ(ProMod::Sentences[3].Start, 2000);
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(PlaybackTest, RemarksThatLookLikeTimesOrSeparatorsCannotBreakTheFile) {
  MainForm& f = form();
  ClickSentenceItem(2);
  f.QelTextMu1()->setText(QStringLiteral("[注意] [0:00:09.000] a<KVQENTER>b </KVQTABBASEDATA>"));
  QTest::mouseClick(f.VsNetBut8(), Qt::LeftButton);
  ChooseRecording(1);
  ASSERT_EQ(ProMod::Sentences.Count(), 3);
  EXPECT_EQ(ProMod::Sentences[2].Start, 500);
  EXPECT_EQ(ProMod::Sentences[2].End, 1500);
  EXPECT_EQ(ProMod::Sentences[2].Text, QStringLiteral("Good morning."));
  EXPECT_EQ(ProMod::Sentences[2].Remark, QStringLiteral("［注意］ ［0:00:09.000］ a＜KVQENTER>b ＜/KVQTABBASEDATA>"));
  EXPECT_EQ(ProMod::Sentences[4].Text, QStringLiteral("Listen to each sentence."));
}

TEST_F(PlaybackTest, NoRemarkIsSavedWithoutACurrentSentence) {
  MainForm& f = form();
  const QByteArray before = ReadBytes(audio_ + ".qvl");
  EXPECT_FALSE(f.VsNetBut8()->isEnabled());
  f.QelTextMu1()->setText("x");
  f.SaveRemark_Click();
  ClickSentenceItem(1);  // the link line
  f.SaveRemark_Click();
  EXPECT_EQ(ReadBytes(audio_ + ".qvl"), before);
}

// ---------------------------------------------------------------------------
// Real time, through the system's sound device when there is one.

TEST_F(PlaybackTest, RealTimeSentenceEndsAtItsEndOnTheDevice) {
  platform::SetMonotonicClock({});
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
  ChooseRecording(1);
  MainForm& f = form();
  ResetHanded();
  QElapsedTimer clock;
  clock.start();
  ClickSentenceItem(3);  // 2 000 .. 3 000
  while (f.Timer3()->isActive() && clock.elapsed() < 8000) QTest::qWait(5);
  const qint64 took = clock.elapsed();
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_GE(took, 950);
  EXPECT_LT(took, 4000);
  EXPECT_EQ(SoundMod::GetPosition(), 3000);
  EXPECT_LE(handedEnd_, Frame(3000));
  EXPECT_TRUE(PlayImageShown());
}

}  // namespace
}  // namespace app_test
