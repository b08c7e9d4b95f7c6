#pragma once
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Drives the next modal window of a test. While this object lives, `action`
// runs once on the first modal window that is shown; if that window is still
// open `watchdogMs` later it is closed, so a broken test cannot hang. Both
// timers stop with the object and the watchdog closes only the window the
// action saw, so nothing reaches a later test's windows. A guard that never
// saw a window reports a GoogleTest failure when it ends.
//
//   ModalDriver driver([](QWidget* w) { w->close(); });
//   EXPECT_EQ(form.Run(), 0);
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(QWidget*)> action, int watchdogMs = 5000);
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  bool Acted() const { return acted_; }

 private:
  std::function<void(QWidget*)> action_;
  QTimer poll_;
  QTimer watchdog_;
  QPointer<QWidget> window_;
  bool acted_ = false;
};
