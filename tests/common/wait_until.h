#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` have passed and says
// whether it held, so that a GoogleTest assertion reports a timeout:
//   ASSERT_TRUE(WaitUntil([&] { return list.HoverIndex() == 0; }, 200));
// (QTest's QTRY_ macros report to QTest, which a GoogleTest body never hears.)
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() >= timeoutMs) return done();
    QTest::qWait(1);
  }
  return true;
}

// Runs the event loop for `ms` milliseconds (timers fire meanwhile).
inline void RunEventsFor(int ms) { QTest::qWait(ms); }
