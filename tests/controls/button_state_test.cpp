#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "button_test_util.h"
#include "tests/common/wait_until.h"
#include "controls/colour_value.h"

namespace {

// Records the look at each held step of the animated press.
struct PauseRecorder {
  std::vector<VsNetBut::VisualState> looks;
  std::vector<int> rounds;
  PauseRecorder() {
    VsNetBut::SetHotKeyPause([this](VsNetBut* b, int r) {
      looks.push_back(b->State());
      rounds.push_back(r);
    });
  }
  ~PauseRecorder() { VsNetBut::SetHotKeyPause(nullptr); }
};

}  // namespace

TEST(VsNetButStates, HoverPressClickAndLeave) {
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy click(b, &VsNetBut::Click), enter(b, &VsNetBut::MouseEnter), exit(b, &VsNetBut::MouseExit);

  rig.Move({20, 10});
  EXPECT_EQ(b->State(), VsNetBut::kStateHover);
  EXPECT_TRUE(b->Hovering());
  EXPECT_EQ(enter.count(), 1);
  rig.Move({30, 12});
  EXPECT_EQ(enter.count(), 1) << "entering is reported once";

  rig.Press({30, 12});
  EXPECT_EQ(b->State(), VsNetBut::kStatePressed);
  EXPECT_EQ(rig.mouseDowns, 1);
  rig.Release({30, 12});
  EXPECT_EQ(rig.mouseUps, 1);
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(b->State(), VsNetBut::kStateHover) << "still under the pointer";

  RunEventsFor(30);  // the pointer rests over the button: nothing changes
  EXPECT_EQ(exit.count(), 0);
  EXPECT_EQ(b->State(), VsNetBut::kStateHover);
  rig.Leave();
  EXPECT_EQ(exit.count(), 1);
  EXPECT_FALSE(b->Hovering());
  EXPECT_EQ(b->State(), VsNetBut::kStateNormal);
  rig.Leave();
  EXPECT_EQ(exit.count(), 1) << "leaving is reported once";
}

TEST(VsNetButStates, DraggingOutAndReleasingOutsideIsNoClick) {
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy click(b, &VsNetBut::Click);
  rig.Press({10, 10});
  rig.Move({200, 10}, Qt::LeftButton);
  EXPECT_EQ(b->State(), VsNetBut::kStateNormal);
  rig.Move({10, 10}, Qt::LeftButton);
  EXPECT_EQ(b->State(), VsNetBut::kStatePressed);
  rig.Move({-5, 10}, Qt::LeftButton);
  rig.Release({-5, 10});
  EXPECT_EQ(click.count(), 0);
  EXPECT_EQ(rig.mouseUps, 1);
}

TEST(VsNetButStates, RightButtonNeitherChangesTheLookNorClicks) {
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy click(b, &VsNetBut::Click);
  rig.Press({10, 10}, Qt::RightButton);
  EXPECT_EQ(b->State(), VsNetBut::kStateNormal);
  EXPECT_EQ(b->LastMouseButton(), 2);
  rig.Release({10, 10}, Qt::RightButton);
  EXPECT_EQ(click.count(), 0);
  EXPECT_EQ(rig.mouseDowns, 1);
  EXPECT_EQ(rig.mouseUps, 1);
  // A double click of the right button is no click either.
  rig.DoubleClick({10, 10}, Qt::RightButton);
  EXPECT_EQ(click.count(), 0);
}

TEST(VsNetButStates, DoubleClickCountsAsTwoClicksUnlessEnabled) {
  for (int style : {VsNetBut::sbOffice2003, VsNetBut::sbUp_Down2003}) {
    ButtonRig rig;
    VsNetBut* b = rig.button;
    b->setButtonAppearance(style);
    QSignalSpy click(b, &VsNetBut::Click), dbl(b, &VsNetBut::DblClick);
    rig.DoubleClick({10, 10});
    EXPECT_EQ(click.count(), 2) << "style " << style;
    EXPECT_EQ(dbl.count(), 0);

    b->setEnableDblClick(true);
    click.clear();
    rig.DoubleClick({10, 10});
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(click.count(), style == VsNetBut::sbOffice2003 ? 1 : 2) << "style " << style;
  }
}

TEST(VsNetButStates, SplitButtonReleaseLeftAndRightOfTheDropDownPart) {
  ButtonRig rig(QSize(60, 22));
  VsNetBut* b = rig.button;
  b->setButtonAppearance(VsNetBut::sbUp_Down2003);
  EXPECT_EQ(b->DropDownRect(), QRect(48, 0, 12, 22));
  QSignalSpy click(b, &VsNetBut::Click), drop(b, &VsNetBut::DropDownClick);

  rig.Press({50, 10});
  rig.Release({50, 10});
  EXPECT_EQ(drop.count(), 1);
  EXPECT_EQ(click.count(), 0);
  EXPECT_EQ(rig.mouseUps, 0);

  rig.Press({20, 10});
  rig.Release({20, 10});
  EXPECT_EQ(drop.count(), 1);
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(rig.mouseUps, 1);

  // Released away from the button: no click of either part.
  rig.Press({20, 10});
  rig.Release({90, 10});
  rig.Press({50, 10});
  rig.Release({50, 40});
  EXPECT_EQ(drop.count(), 1);
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(rig.mouseUps, 3);
}

TEST(VsNetButKeyboard, SpaceActsAsALeftPressAndReleaseAtOneOne) {
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy click(b, &VsNetBut::Click);
  int keyDowns = 0, presses = 0;
  QObject::connect(b, &VsNetBut::KeyDown, [&](int16_t& k, int16_t&) { keyDowns += k == 32; });
  QObject::connect(b, &VsNetBut::KeyPress, [&](int16_t& k) { presses += k == 32; });
  rig.Key(QEvent::KeyPress, Qt::Key_Space, " ");
  EXPECT_EQ(b->State(), VsNetBut::kStatePressed);
  EXPECT_EQ(rig.lastDownX, 1);
  EXPECT_EQ(rig.lastDownY, 1);
  EXPECT_EQ(keyDowns, 1);
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(click.count(), 0);
  rig.Key(QEvent::KeyRelease, Qt::Key_Space, " ");
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(b->State(), VsNetBut::kStateNormal);
  // A release without its press is no click.
  rig.Key(QEvent::KeyPress, Qt::Key_A, "a");
  rig.Key(QEvent::KeyRelease, Qt::Key_Space, " ");
  EXPECT_EQ(click.count(), 1);
}

TEST(VsNetButKeyboard, ArrowKeysMoveTheFocus) {
  QWidget window;
  auto* first = new VsNetBut(&window);
  auto* second = new VsNetBut(&window);
  first->setGeometry(0, 0, 80, 24);
  second->setGeometry(0, 30, 80, 24);
  window.show();
  QApplication::setActiveWindow(&window);
  if (!QTest::qWaitForWindowActive(&window)) GTEST_SKIP() << "no active window here";
  first->setFocus();
  QTest::keyClick(first, Qt::Key_Down);
  EXPECT_TRUE(second->hasFocus());
  QTest::keyClick(second, Qt::Key_Left);
  EXPECT_TRUE(first->hasFocus());
}

TEST(VsNetButKeyboard, AccessKeysOfCaptions) {
  EXPECT_EQ(VsNetBut::AccessKeyOf(QString::fromUtf8("保存(&S)")), QChar('S'));
  EXPECT_EQ(VsNetBut::AccessKeyOf("&open"), QChar('O'));
  EXPECT_TRUE(VsNetBut::AccessKeyOf("A&&B").isNull());
  EXPECT_TRUE(VsNetBut::AccessKeyOf("end&").isNull());
  EXPECT_TRUE(VsNetBut::AccessKeyOf("").isNull());
  // The key is the letter shown underlined: "&&" is a plain "&".
  EXPECT_EQ(VsNetBut::AccessKeyOf("A&&B&c"), QChar('C'));
  VsNetBut b;
  b.setCaption(QString::fromUtf8("确定(&k)"));
  EXPECT_EQ(b.AccessKey(), QChar('K'));
}

TEST(VsNetButKeyboard, AccessKeyPressIsAnimatedThenClicks) {
  PauseRecorder pauses;
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy click(b, &VsNetBut::Click);
  b->AccessKeyPress();
  EXPECT_EQ(pauses.looks, (std::vector<VsNetBut::VisualState>{VsNetBut::kStateHover, VsNetBut::kStatePressed}));
  EXPECT_EQ(pauses.rounds, (std::vector<int>{3000, 4000}));
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(b->State(), VsNetBut::kStateNormal);

  b->setHotKeyDynamicEffect(false);
  pauses.looks.clear();
  b->AccessKeyPress();
  EXPECT_TRUE(pauses.looks.empty());
  EXPECT_EQ(click.count(), 2);

  // After a right click the key still clicks; a split button clicks too.
  rig.Press({5, 5}, Qt::RightButton);
  rig.Release({5, 5}, Qt::RightButton);
  b->AccessKeyPress();
  EXPECT_EQ(click.count(), 3);
  b->setButtonAppearance(VsNetBut::sbUp_Down2003);
  b->AccessKeyPress();
  EXPECT_EQ(click.count(), 4);
  // A disabled button ignores its key.
  b->setEnabled(false);
  b->AccessKeyPress();
  EXPECT_EQ(click.count(), 4);
}

TEST(VsNetButKeyboard, AltLetterEnterAndEscReachTheirButtons) {
  PauseRecorder pauses;
  QWidget window;
  auto* save = new VsNetBut(&window);
  save->setCaption(QString::fromUtf8("保存(&S)"));
  save->setGeometry(0, 0, 90, 24);
  auto* ok = new VsNetBut(&window);
  ok->setDefault(true);
  ok->setGeometry(0, 30, 90, 24);
  auto* cancel = new VsNetBut(&window);
  cancel->setCancel(true);
  cancel->setGeometry(0, 60, 90, 24);
  window.show();
  QApplication::setActiveWindow(&window);
  if (!QTest::qWaitForWindowActive(&window)) GTEST_SKIP() << "no active window here";
  QSignalSpy saved(save, &VsNetBut::Click), oked(ok, &VsNetBut::Click), cancelled(cancel, &VsNetBut::Click);
  cancel->setFocus();
  QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(saved.count(), 1);
  QTest::keyClick(&window, Qt::Key_Return);
  EXPECT_EQ(oked.count(), 1);
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_EQ(cancelled.count(), 1);
  EXPECT_EQ(pauses.looks.size(), 6u) << "each press animated";
}

TEST(VsNetButStates, CheckedGradientButtonThroughHoverPressAndLeave) {
  ButtonRig rig(QSize(80, 30));
  VsNetBut* b = rig.button;
  b->setCheck(true);
  auto top = [&] { return rig.Shot().pixelColor(40, 1); };
  auto bottom = [&] { return rig.Shot().pixelColor(40, 28); };
  EXPECT_TRUE(Near(top(), ColourValueToQColor(VsNetBut::kDefaultCheckedColorStar)));
  EXPECT_TRUE(Near(bottom(), ColourValueToQColor(VsNetBut::kDefaultCheckedColorEnd)));
  rig.Move({40, 15});
  EXPECT_TRUE(Near(top(), ColourValueToQColor(b->CheckOverColorStar())));
  EXPECT_TRUE(Near(bottom(), ColourValueToQColor(b->CheckOverColorEnd())));
  rig.Press({40, 15});
  EXPECT_TRUE(Near(top(), ColourValueToQColor(b->DownColorStar())));
  rig.Release({40, 15});
  rig.Leave();
  EXPECT_TRUE(Near(top(), ColourValueToQColor(VsNetBut::kDefaultCheckedColorStar)));

  // The flat look: checked at rest, hovered when checked.
  b->setOffice2003Style(false);
  EXPECT_EQ(rig.Shot().pixelColor(40, 15), ColourValueToQColor(b->CheckedColorXP()));
  rig.Move({40, 15});
  EXPECT_EQ(rig.Shot().pixelColor(40, 15), ColourValueToQColor(b->DownColorXP()));
  b->setCheck(false);
  EXPECT_EQ(rig.Shot().pixelColor(40, 15), ColourValueToQColor(b->OverColorXP()));
}
