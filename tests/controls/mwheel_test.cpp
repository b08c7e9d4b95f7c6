#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <memory>

#include "controls/mouse_mod.h"
#include "controls/mwheel.h"

namespace {

// A window that counts what reaches its own handlers.
class Target : public QWidget {
 public:
  int wheels = 0, presses = 0, keys = 0;

 protected:
  void wheelEvent(QWheelEvent* e) override {
    ++wheels;
    e->accept();
  }
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

bool SendWheel(QWidget* to, int delta, QPoint global = QPoint(10, 345)) {
  QWheelEvent event(QPointF(5, 5), QPointF(global), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  return QApplication::sendEvent(to, &event);
}

struct WheelLog {
  std::vector<std::pair<int, float>> turns;  // zDelta, y
  void Attach(MWheel& wheel) {
    QObject::connect(&wheel, &MWheel::WheelScroll, &wheel, [this](int16_t& shift, int16_t& delta, float& x, float& y) {
      EXPECT_EQ(shift, 0);
      EXPECT_EQ(x, 0.0f);
      turns.emplace_back(delta, y);
    });
  }
};

}  // namespace

TEST(MWheelTest, CapturesTurnsWhileEnabledAndRestoresTheWindow) {
  Target target;
  MWheel wheel;
  WheelLog log;
  log.Attach(wheel);
  EXPECT_EQ(wheel.size(), QSize(32, 32));

  // Before a window is named, enabling and disabling do nothing.
  wheel.EnableWheel();
  EXPECT_FALSE(wheel.WheelEnabled());
  wheel.DisableWheel();
  SendWheel(&target, -120);
  EXPECT_EQ(target.wheels, 1);
  EXPECT_TRUE(log.turns.empty());

  wheel.sethWndCapture(&target);
  EXPECT_FALSE(MouseMod::IsHooked(&wheel));  // naming the window does not hook it
  wheel.EnableWheel();
  wheel.EnableWheel();  // hooks once
  EXPECT_TRUE(MouseMod::IsHooked(&wheel));
  EXPECT_TRUE(target.property(MouseMod::kWheelWndProperty).isValid());
  SendWheel(&target, -120, QPoint(10, 345));
  SendWheel(&target, 120);
  SendWheel(&target, -40);  // high-resolution wheels: passed on unchanged
  ASSERT_EQ(log.turns.size(), 3u);
  EXPECT_EQ(log.turns[0], std::make_pair(-120, 345.0f));
  EXPECT_EQ(log.turns[1].first, 120);
  EXPECT_EQ(log.turns[2].first, -40);
  EXPECT_EQ(target.wheels, 1);  // the window's own handling saw none of them
  // Everything else reaches the window as before.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&target, &press);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(&target, &key);
  EXPECT_EQ(target.presses, 1);
  EXPECT_EQ(target.keys, 1);

  wheel.DisableWheel();
  EXPECT_FALSE(MouseMod::IsHooked(&wheel));
  EXPECT_FALSE(target.property(MouseMod::kWheelWndProperty).isValid());
  EXPECT_FALSE(wheel.property(MouseMod::kOldWheelProcProperty).isValid());
  SendWheel(&target, -120);
  EXPECT_EQ(target.wheels, 2);
  EXPECT_EQ(log.turns.size(), 3u);
  wheel.DisableWheel();  // again: nothing
}

TEST(MWheelTest, OneFilterServesSeveralWindowsAndEndsCleanly) {
  Target a, b;
  auto first = std::make_unique<MWheel>();
  MWheel second;
  WheelLog logA, logB;
  logA.Attach(*first);
  logB.Attach(second);
  first->sethWndCapture(&a);
  second.sethWndCapture(&b);
  first->EnableWheel();
  second.EnableWheel();
  SendWheel(&a, 120);
  SendWheel(&b, -120);
  EXPECT_EQ(logA.turns.size(), 1u);
  EXPECT_EQ(logB.turns.size(), 1u);
  // A capture control that goes away leaves its window as it was.
  first.reset();
  SendWheel(&a, 120);
  EXPECT_EQ(a.wheels, 1);
  EXPECT_FALSE(a.property(MouseMod::kWheelWndProperty).isValid());
  SendWheel(&b, 120);
  EXPECT_EQ(logB.turns.size(), 2u);
  // A watched window that goes away leaves nothing behind either.
  {
    Target gone;
    second.DisableWheel();
    second.sethWndCapture(&gone);
    second.EnableWheel();
  }
  second.DisableWheel();
  EXPECT_FALSE(MouseMod::IsHooked(&second));
  second.sethWndCapture(&b);
  second.EnableWheel();
  SendWheel(&b, -120);
  EXPECT_EQ(logB.turns.size(), 3u);
  EXPECT_EQ(MouseMod::HiWordOf(static_cast<long>(0xFF880000u)), -120);
}
