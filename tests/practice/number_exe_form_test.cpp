#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "controls/qel_pbar.h"
#include "controls/vsnet_button.h"
#include "platform/audio_output.h"
#include "practice/number_exe_form.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/practice/number_test_support.h"

using numbers_test::FakeSpeech;
using numbers_test::FixedRandom;

static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

const QString kNoVoices = QStringLiteral("没有语单包，请先安装语音包！");
const QStringList kVoices = {"Afrikaans", "Assamese", "English (America)", "Kannada", "English (Great Britain)"};
constexpr float kTop = 0.99999994f;

// The draw of kind k among six entries: round(rnd x 5) = k.
float Kind(int k) { return k / 5.0f; }

void SendKey(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent event(type, key, mods);
  QApplication::sendEvent(target, &event);
}

void TickOnly(QListWidget* list, std::initializer_list<int> rows) {
  for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Unchecked);
  for (int r : rows) list->item(r)->setCheckState(Qt::Checked);
}

struct FormFixture : ::testing::Test {
  void Open(const QStringList& voices = kVoices) {
    speech = std::make_unique<FakeSpeech>(voices);
    form = std::make_unique<NumberExeForm>();
  }
  QStringList Spoken() const { return speech->log->texts; }

  MsgBoxRecorder messages;
  FixedRandom rnd{{}, 0.0f};
  std::unique_ptr<FakeSpeech> speech;
  std::unique_ptr<NumberExeForm> form;
};

}  // namespace

TEST_F(FormFixture, OpensWithKindsVoicesSpeedBarAndASilentNumber) {
  Open();
  EXPECT_EQ(messages.Count(), 0);
  EXPECT_EQ(form->windowTitle(), "数字听力练习");

  const char* const kinds[] = {"整数（右侧选择位数）", "小数（下方选择整数位数，小数固定三位。）",
                               "分数（下方选择分子分母位数）", "百分数（100%内）",
                               "年份（1501-2100年,系统可能读会读成整数）", "月份"};
  ASSERT_EQ(form->List1()->count(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(form->List1()->item(i)->text(), QString::fromUtf8(kinds[i]));
    EXPECT_EQ(form->List1()->item(i)->checkState() == Qt::Checked, i == 0) << i;
  }
  EXPECT_EQ(form->List1()->item(0)->data(Qt::UserRole).toInt(), 3);
  EXPECT_EQ(form->List1()->item(1)->data(Qt::UserRole).toInt(), 2);
  EXPECT_EQ(form->List1()->item(2)->data(Qt::UserRole).toInt(), 2);
  EXPECT_FALSE(form->List1()->item(3)->data(Qt::UserRole).isValid());
  EXPECT_EQ(form->List1()->currentRow(), 0);
  EXPECT_FALSE(form->Frame1()->isHidden());
  EXPECT_TRUE(form->Option1(2)->isChecked());  // "百": three digits
  const char* const options[] = {"个", "十", "百", "千", "万", "十万", "百万", "千万"};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(form->Option1(k)->text(), QString::fromUtf8(options[k]));

  ASSERT_EQ(form->List2()->count(), kVoices.size());
  const bool ticked[] = {false, false, true, false, true};
  for (int i = 0; i < kVoices.size(); ++i) {
    EXPECT_EQ(form->List2()->item(i)->text(), kVoices[i]);
    EXPECT_EQ(form->List2()->item(i)->checkState() == Qt::Checked, ticked[i]) << i;
  }

  EXPECT_EQ(form->QelPBar1()->MinValue(), 1);
  EXPECT_EQ(form->QelPBar1()->MaxValue(), 9);
  EXPECT_EQ(form->QelPBar1()->Value(), 5);
  EXPECT_TRUE(form->QelPBar1()->CanDrag());
  EXPECT_EQ(form->QelPBar1()->Caption(), "当语速为： 5");
  EXPECT_EQ(form->QelPBar1()->width(), form->List2()->width());

  // With rnd = 0 the integer kind gives 0: an empty number, shown as nothing.
  EXPECT_EQ(form->NumberText(), "");
  EXPECT_TRUE(Spoken().isEmpty());
  EXPECT_FALSE(form->PanelShown());
}

TEST_F(FormFixture, WithoutVoicesEveryOpeningAndSpeakRequestTellsTheUser) {
  Open({});
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages.Last().text, kNoVoices);
  EXPECT_EQ(messages.Last().title, "错误");
  EXPECT_EQ(messages.Last().icon, ProMod::kIconStop);
  EXPECT_FALSE(messages.Last().twoButtons);
  EXPECT_EQ(form->List1()->count(), 0);
  EXPECT_EQ(form->List2()->count(), 0);

  form->VsNetBut1()->Click();
  SendKey(form->VsNetBut1(), QEvent::KeyPress, Qt::Key_Return);
  SendKey(form->VsNetBut1(), QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);  // new number, then speak
  emit form->VsNetBut2()->Click();
  ASSERT_EQ(messages.Count(), 5);
  for (const auto& shown : messages.Shown()) EXPECT_EQ(shown.text, kNoVoices);
  EXPECT_EQ(form->NumberText(), "");
  EXPECT_TRUE(Spoken().isEmpty());
}

TEST_F(FormFixture, EachKindHandsItsSpokenTextToTheEngine) {
  Open();
  TickOnly(form->List1(), {0, 1, 2, 3, 4, 5});
  struct Case {
    std::vector<float> draws;  // kind, the generator's draws, then the voice
    const char* shown;
    const char* spoken;
  };
  const Case cases[] = {
      {{Kind(0), 0.12345f, 0.5f}, "123", "123"},
      {{Kind(1), 0.0f, 0.045f, 0.5f}, ".045", "point 0 4 5"},
      {{Kind(1), 0.5f, kTop, 0.5f}, "50.1000", "50.1000"},
      {{Kind(2), 0.04f, 0.5f, 0.03f, 0.5f}, "3/4", "three fourths"},
      {{Kind(2), 0.02f, 0.1f, 0.5f}, "1/2", "one half"},
      {{Kind(3), 0.4567f, 0.07f, 0.5f}, "46.07%", "46.07%"},
      {{Kind(4), 0.5f, 0.5f}, "1750", "1750"},
      {{Kind(5), 0.5f, 0.5f}, "July", "July"},
  };
  for (const Case& c : cases) {
    rnd.Set(c.draws);
    emit form->VsNetBut2()->Click();
    EXPECT_EQ(form->NumberText(), QString::fromUtf8(c.shown));
    ASSERT_FALSE(Spoken().isEmpty());
    EXPECT_EQ(Spoken().last(), QString::fromUtf8(c.spoken));
    EXPECT_EQ(speech->log->voiceOf.back(), 2);  // int(0.5 x 5): "English (America)"
  }
  // A fraction shows numerator, bar and denominator on three lines, framed.
  rnd.Set({Kind(2), 0.04f, 0.5f, 0.03f});
  form->NewNumber(false);
  EXPECT_EQ(form->Label1()->text(), QStringLiteral("3\n————\n4"));
  const QRect label = form->Label1()->geometry();
  const QRect shape = form->Picture1()->Shape1();
  EXPECT_EQ(shape.left(), label.left() * 15 - 180);
  EXPECT_EQ(shape.top(), label.top() * 15 - 120);
  EXPECT_EQ(shape.width(), label.width() * 15 + 360);
  EXPECT_EQ(shape.height(), label.height() * 15 + 240);
}

TEST_F(FormFixture, KindsAreRedrawnUntilATickedOneAndNoTickMeansIntegers) {
  Open();
  TickOnly(form->List1(), {4});
  rnd.Set({Kind(0), Kind(5), Kind(2), Kind(4), 0.0f});
  form->NewNumber(false);
  EXPECT_EQ(form->NumberText(), "1501");
  EXPECT_EQ(rnd.Used(), 5u);

  TickOnly(form->List1(), {});
  rnd.Set({Kind(0), kTop});
  form->NewNumber(false);
  EXPECT_EQ(form->List1()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(form->NumberText(), "1,000");  // three digits at the top: 10^3
}

TEST_F(FormFixture, DigitOptionsFollowTheHighlightedKind) {
  Open();
  form->show();
  form->List1()->setCurrentRow(2);
  EXPECT_FALSE(form->Frame1()->isHidden());
  EXPECT_TRUE(form->Option1(1)->isChecked());
  for (int k = 0; k < 8; ++k) EXPECT_EQ(form->Option1(k)->isEnabled(), k < 4) << k;
  QTest::mouseClick(form->Option1(0), Qt::LeftButton, Qt::NoModifier, QPoint(6, form->Option1(0)->height() / 2));
  EXPECT_EQ(form->List1()->item(2)->data(Qt::UserRole).toInt(), 1);

  TickOnly(form->List1(), {2});
  rnd.Set({Kind(2), 0.5f, 0.5f, 0.3f});
  form->NewNumber(false);
  EXPECT_EQ(form->NumberText(), "3/5");  // one digit now

  for (int row : {3, 4, 5}) {
    form->List1()->setCurrentRow(row);
    EXPECT_TRUE(form->Frame1()->isHidden()) << row;
  }
  form->List1()->setCurrentRow(0);
  for (int k = 0; k < 8; ++k) EXPECT_TRUE(form->Option1(k)->isEnabled());
  EXPECT_TRUE(form->Option1(2)->isChecked());
  QTest::mouseClick(form->Option1(7), Qt::LeftButton, Qt::NoModifier, QPoint(6, form->Option1(7)->height() / 2));
  EXPECT_EQ(form->List1()->item(0)->data(Qt::UserRole).toInt(), 8);
  form->List1()->setCurrentRow(1);
  EXPECT_TRUE(form->Option1(1)->isChecked());
}

TEST_F(FormFixture, VoicesAreDrawnAmongTheTickedOnes) {
  Open();
  // int(rnd x 5): 0 and 1 are not ticked, 4 is.
  rnd.Set({0.0f, 0.2f, 0.9f});
  form->SpeakNumber();
  EXPECT_EQ(speech->log->voiceOf.back(), 4);

  TickOnly(form->List2(), {});
  form->SpeakNumber();
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages.Last().text, "至少要选择一种发音！");
  EXPECT_EQ(messages.Last().title, "选择发音");
  EXPECT_EQ(messages.Last().icon, ProMod::kIconStop);
  EXPECT_EQ(Spoken().size(), 1);
}

TEST_F(FormFixture, ASingleVoiceIsTickedAndUsed) {
  Open({"Afrikaans"});
  EXPECT_EQ(form->List2()->item(0)->checkState(), Qt::Unchecked);
  form->SpeakNumber();
  EXPECT_EQ(form->List2()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(speech->log->voiceOf.back(), 0);
  EXPECT_EQ(messages.Count(), 0);
}

TEST_F(FormFixture, AVoiceThatFailsToLoadIsToldAndTheWindowGoesOn) {
  Open();
  speech->log->failingVoice = 2;
  rnd.Set({0.5f}, 0.9f);
  form->SpeakNumber();
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages.Last().text, "此发音无法播放，请换一种发音！");
  rnd.Set({0.9f});
  form->SpeakNumber();
  EXPECT_EQ(messages.Count(), 1);
  EXPECT_EQ(Spoken().size(), 2);
}

TEST_F(FormFixture, KeysDrawSpeakAndShowTheNumberWhileCtrlIsHeld) {
  Open();
  form->show();
  QWidget* focus = form->VsNetBut1();
  rnd.Set({Kind(0), 0.5f, 0.5f}, 0.5f);
  SendKey(focus, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(form->NumberText(), "500");
  ASSERT_EQ(Spoken(), QStringList{"500"});

  SendKey(focus, QEvent::KeyPress, Qt::Key_Return);
  SendKey(focus, QEvent::KeyPress, Qt::Key_Enter);
  EXPECT_EQ(Spoken(), (QStringList{"500", "500", "500"}));

  SendKey(focus, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_TRUE(form->PanelShown());
  EXPECT_TRUE(form->Picture1()->hasFocus() || QApplication::focusWidget() == form->Picture1() ||
              form->focusWidget() == form->Picture1());
  // While the panel shows, Shift draws nothing.
  SendKey(form->Picture1(), QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier);
  SendKey(form->Picture1(), QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(form->NumberText(), "500");
  EXPECT_EQ(Spoken().size(), 3);
  SendKey(form->Picture1(), QEvent::KeyRelease, Qt::Key_Control);
  EXPECT_FALSE(form->PanelShown());
  EXPECT_EQ(form->focusWidget(), form->VsNetBut1());

  // Ctrl+Shift is not a plain Shift.
  SendKey(focus, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(Spoken().size(), 3);
}

TEST_F(FormFixture, SpeedBarSetsTheRateAndHelpTellsTheKeys) {
  Open();
  form->show();
  QelPBar* bar = form->QelPBar1();
  const int w = bar->width();
  // A press alone (past the right end) sets the value, the rate and the caption.
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(w + 5, 5));
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(w + 5, 5));
  EXPECT_EQ(bar->Value(), 9);
  EXPECT_EQ(speech->log->rate, 4);
  EXPECT_EQ(bar->Caption(), "当语速为： 9");
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(w / 2, 5));
  QMouseEvent move(QEvent::MouseMove, QPointF(0, 5), bar->mapToGlobal(QPointF(0, 5)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(0, 5));
  EXPECT_EQ(bar->Value(), 1);
  EXPECT_EQ(speech->log->rate, -4);
  EXPECT_EQ(bar->Caption(), "当语速为： 1");

  emit form->VsNetBut6()->Click();
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages.Last().text, "快捷键：单击Shift键，产生新数字；  Enter,播放语音；  按住Ctrl键,显示数示。");
  EXPECT_EQ(messages.Last().title, ProMod::kAppTitle);
  EXPECT_EQ(messages.Last().icon, ProMod::kIconInformation);
}

TEST_F(FormFixture, RequestsDuringAnUtteranceAreRefusedAndClosingEndsIt) {
  Open();
  form->show();
  rnd.Set({0.5f}, 0.5f);
  // Keys and clicks that reach the window while it speaks.
  speech->log->duringSpeak = [this] {
    SendKey(form->VsNetBut1(), QEvent::KeyPress, Qt::Key_Return);
    SendKey(form->VsNetBut1(), QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    emit form->VsNetBut1()->Click();
    form->SpeakNumber();
  };
  const QString before = form->NumberText();
  form->SpeakNumber();
  EXPECT_EQ(Spoken().size(), 1);
  EXPECT_EQ(form->NumberText(), before);
  EXPECT_EQ(messages.Count(), 0);

  // The close box mid-utterance ends it without a failure message.
  speech->log->duringSpeak = [this] { form->close(); };
  form->SpeakNumber();
  EXPECT_EQ(speech->log->cancels, 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(messages.Count(), 0);
}

TEST_F(FormFixture, TheWindowDeletedMidUtteranceLeavesNothingBehind) {
  Open();
  form->show();
  NumberExeForm* raw = form.release();
  QPointer<NumberExeForm> guard(raw);
  speech->log->duringSpeak = [raw] { delete raw; };
  raw->SpeakNumber();
  EXPECT_TRUE(guard.isNull());
  EXPECT_EQ(speech->log->cancels, 1);
  EXPECT_FALSE(speech->log->alive);  // the engine went with the window
  EXPECT_EQ(messages.Count(), 0);
}

TEST_F(FormFixture, OpensCentredOnItsHostAndTheFactoryMakesIt) {
  speech = std::make_unique<FakeSpeech>(kVoices);
  QWidget host;
  host.setGeometry(100, 80, 1200, 900);
  host.show();
  std::unique_ptr<QDialog> dialog(CreateNumberExeForm(&host));
  auto* number = qobject_cast<NumberExeForm*>(dialog.get());
  ASSERT_NE(number, nullptr);
  const QRect frame = host.frameGeometry();
  const int w = NumberExeForm::kWindowWidth / 15, h = NumberExeForm::kWindowHeight / 15;
  EXPECT_EQ(number->pos().x(), frame.left() + (frame.width() - w) / 2);
  EXPECT_EQ(number->pos().y(), frame.top() + (frame.height() - h) / 2 - 20);
  EXPECT_TRUE(number->isModal());
}

TEST(NumberExeFormEspeak, InstalledEnglishVoicesAreTickedAndSpeakThroughTheNullOutput) {
  platform::SetSpeechEngineFactory(
      [] { return platform::CreateEspeakEngine([] { return platform::CreateNullOutput(); }); });
  MsgBoxRecorder messages;
  FixedRandom rnd({}, 0.5f);
  {
    NumberExeForm form;
    ASSERT_GT(form.List2()->count(), 1) << "espeak-ng-data is not installed";
    for (int i = 0; i < form.List2()->count(); ++i) {
      const QString name = form.List2()->item(i)->text();
      const bool ticked = form.List2()->item(i)->checkState() == Qt::Checked;
      if (name.startsWith("English")) EXPECT_TRUE(ticked) << name.toStdString();
      if (name == "Assamese" || name == "Kannada" || name == "German") EXPECT_FALSE(ticked) << name.toStdString();
    }
    TickOnly(form.List1(), {2});
    rnd.Set({Kind(2), 0.02f, 0.1f}, 0.5f);
    form.NewNumber(false);
    ASSERT_EQ(form.NumberText(), "1/2");
    form.SpeakNumber();
    EXPECT_EQ(messages.Count(), 0);
  }
  platform::SetSpeechEngineFactory({});
}
