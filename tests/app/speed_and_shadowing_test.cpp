// The speed and shadowing controls of the main window: what the learner
// sets is what the player and the engine do, it is kept across starts, and
// shadowing hears each sentence as often as asked with a pause to speak in.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QWheelEvent>

#include "app/listening_settings.h"
#include "controls/vsnet_button.h"
#include "tests/app/main_form_fixture.h"

namespace app_test {
namespace {

class ShadowingTest : public LessonTest {
 protected:
  void TearDown() override {
    SoundMod::SetSpeed(1.0);
    LessonTest::TearDown();
  }
  void Shadow(int countIndex, int pauseIndex) {
    MainForm& f = form();
    f.ShadowCount()->setCurrentIndex(countIndex);
    emit f.ShadowCount()->activated(countIndex);
    f.ShadowPause()->setCurrentIndex(pauseIndex);
    emit f.ShadowPause()->activated(pauseIndex);
    if (!f.ShadowCheck()->isChecked()) QTest::mouseClick(f.ShadowCheck(), Qt::LeftButton);
    ASSERT_TRUE(f.ShadowCheck()->isChecked());
  }
  // Runs the poll in 10 ms steps for `ms`, noting each start and end of
  // sound (ms since the call).
  struct Heard {
    std::vector<int> starts, ends;
  };
  Heard Listen(int ms) {
    Heard heard;
    bool sounding = Playing();
    if (sounding) heard.starts.push_back(0);
    for (int t = 10; t <= ms; t += 10) {
      Advance(10);
      if (Playing() != sounding) {
        sounding = Playing();
        (sounding ? heard.starts : heard.ends).push_back(t);
      }
    }
    return heard;
  }
};

TEST_F(ShadowingTest, EachSentenceIsHeardTheSetNumberOfTimesWithItsPauseThenTheNext) {
  MainForm& f = form();
  Shadow(2, 3);  // 3 hearings, a pause of 1.5 x the sentence
  ClickSentenceItem(2);  // sentence 1: 500 .. 1 500 ms
  EXPECT_TRUE(f.QelPBar2()->Caption().endsWith(QStringLiteral("跟读 1/3")));
  const Heard heard = Listen(5900);
  // Heard 0-1000, silent 1500, heard 2500-3500, silent, heard from 5000,
  // then sentence 2 at once, without a gap.
  ASSERT_EQ(heard.ends.size(), 2u);
  ASSERT_EQ(heard.starts.size(), 3u);
  EXPECT_NEAR(heard.ends[0], 1000, 20);
  EXPECT_NEAR(heard.starts[1], 2500, 20);
  EXPECT_NEAR(heard.ends[1], 3500, 20);
  EXPECT_NEAR(heard.starts[2], 5000, 20);
  EXPECT_TRUE(f.QelPBar2()->Caption().endsWith(QStringLiteral("跟读 3/3")));
  EXPECT_EQ(f.CurrentSentence(), 1);
  Advance(150);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(f.CurrentSentence(), 2) << "handed over to the next sentence";
  EXPECT_EQ(f.MyStree2()->LabelCurClick(), 3);
  EXPECT_EQ(f.QelTextMu1()->Text(), QStringLiteral("第一课"));
  EXPECT_TRUE(f.QelPBar2()->Caption().endsWith(QStringLiteral("跟读 1/3")));
}

TEST_F(ShadowingTest, WithoutEndWithoutPauseAndTheSentenceLoopWins) {
  MainForm& f = form();
  Shadow(9, 0);  // again and again, no pause
  ClickSentenceItem(3);  // sentence 2: 2 000 .. 3 000 ms
  Listen(5050);
  EXPECT_EQ(f.CurrentSentence(), 2);
  EXPECT_TRUE(Playing()) << "no gap between hearings";
  EXPECT_TRUE(f.QelPBar2()->Caption().endsWith(QStringLiteral("跟读 6/∞")));
  // With the sentence loop ticked too, the loop decides: no count shown.
  QTest::mouseClick(f.LabelCheck(2), Qt::LeftButton);
  Listen(1000);
  EXPECT_TRUE(Playing());
  EXPECT_FALSE(f.QelPBar2()->Caption().contains(QStringLiteral("跟读")));
  // "S" stops it all, also in the middle of a pause.
  QTest::mouseClick(f.LabelCheck(2), Qt::LeftButton);
  Shadow(1, 2);
  ClickSentenceItem(3);
  Listen(1100);
  ASSERT_FALSE(Playing());
  ASSERT_TRUE(f.Timer3()->isActive()) << "in the pause";
  PressKey("s");
  EXPECT_FALSE(f.Timer3()->isActive());
  Listen(2000);
  EXPECT_FALSE(Playing());
}

TEST_F(ShadowingTest, ASentenceChosenInThePauseIsHeardWhole) {
  MainForm& f = form();
  Shadow(2, 6);  // three hearings, a pause of 3 x
  ClickSentenceItem(2);
  Listen(1500);  // in the 3 s pause after the first hearing
  ASSERT_FALSE(Playing());
  ClickSentenceItem(4);  // sentence 3: 3 500 .. 4 500 ms
  const Heard heard = Listen(3000);
  ASSERT_GE(heard.ends.size(), 1u);
  EXPECT_NEAR(heard.ends[0], 1000, 20);
  EXPECT_EQ(heard.starts.size(), 1u) << "the old pause does not start a hearing of its own";
  EXPECT_EQ(f.CurrentSentence(), 3);
  EXPECT_EQ(f.Engine().ShadowRound(), 1);
}

TEST_F(ShadowingTest, TheLastSentenceEndsTheShadowing) {
  MainForm& f = form();
  Shadow(0, 0);  // one hearing
  ClickSentenceItem(4);
  Listen(1500);
  EXPECT_FALSE(Playing());
  EXPECT_FALSE(f.Timer3()->isActive());
  EXPECT_EQ(f.CurrentSentence(), 3);
}

TEST_F(ShadowingTest, SpeedStepsByKeysButtonsAndWheelAndSlowsTheSentence) {
  MainForm& f = form();
  PressKey("]");
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 1.05);
  EXPECT_EQ(f.SpeedValue()->text(), QStringLiteral("1.05×"));
  PressKey("[[[");
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 0.9);
  QTest::mouseClick(f.SpeedButton(false), Qt::LeftButton);
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 0.85);
  const QPoint at = f.SpeedValue()->rect().center();
  QWheelEvent wheel(at, f.SpeedValue()->mapToGlobal(at), {}, QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.SpeedValue(), &wheel);
  EXPECT_NEAR(SoundMod::Speed(), 0.7, 1e-9);
  for (int i = 0; i < 20; ++i) PressKey("[");
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 0.5) << "never below 0.5";
  // At half speed a 1 000 ms sentence is heard for 2 000 ms and stops at its end.
  ClickSentenceItem(2);
  const Heard heard = Listen(2500);
  ASSERT_EQ(heard.ends.size(), 1u);
  EXPECT_NEAR(heard.ends[0], 2000, 20);
  EXPECT_EQ(SoundMod::GetPosition(), 1500);
  for (int i = 0; i < 30; ++i) QTest::mouseClick(f.SpeedButton(true), Qt::LeftButton);
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 1.5) << "never above 1.5";
}

TEST_F(ShadowingTest, SpeedChangedInThePauseBetweenHearingsIsHeardNext) {
  MainForm& f = form();
  Shadow(2, 2);  // three hearings, pause 1 x
  ClickSentenceItem(2);
  Listen(1200);  // in the pause
  ASSERT_FALSE(Playing());
  f.SetSpeechSpeed(0.5);
  const Heard heard = Listen(3500);
  ASSERT_GE(heard.starts.size(), 1u);
  ASSERT_GE(heard.ends.size(), 1u);
  EXPECT_NEAR(heard.ends[0] - heard.starts[0], 2000, 30) << "the second hearing at half speed";
}

TEST_F(ShadowingTest, SettingsSurviveARestartAndJunkGivesTheDefaults) {
  MainForm& f = form();
  Shadow(4, 5);  // 5 hearings, pause 2.5 x
  f.SetSpeechSpeed(0.75);
  form_.reset();
  SoundMod::SetSpeed(1.0);
  MainForm& again = Open();
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 0.75);
  EXPECT_EQ(again.SpeedValue()->text(), QStringLiteral("0.75×"));
  EXPECT_TRUE(again.ShadowCheck()->isChecked());
  EXPECT_EQ(again.ShadowCount()->currentData().toInt(), 5);
  EXPECT_DOUBLE_EQ(again.ShadowPause()->currentData().toDouble(), 2.5);
  EXPECT_FALSE(QFile::exists(app_.File("FaceSet.ini"))) << "FaceSet.ini keeps only its own keys";

  form_.reset();
  QFile junk(ListeningSettings::FilePath());
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
  junk.write("[Listening]\nSpeed=7\n[Shadowing]\nOn=maybe\nCount=-3\nPause=x\n\x01\x02garbage");
  junk.close();
  const ListeningSettings read = ListeningSettings::Read();
  EXPECT_DOUBLE_EQ(read.speed, 1.0);
  EXPECT_FALSE(read.shadowing.on);
  EXPECT_EQ(read.shadowing.count, 3);
  EXPECT_DOUBLE_EQ(read.shadowing.pause, 1.0);
  MainForm& third = Open();
  EXPECT_DOUBLE_EQ(SoundMod::Speed(), 1.0);
  EXPECT_FALSE(third.ShadowCheck()->isChecked());
}

}  // namespace
}  // namespace app_test
