#include "tests/common/modal_driver.h"

#include <gtest/gtest.h>

#include <QApplication>

ModalDriver::ModalDriver(std::function<void(QWidget*)> action, int watchdogMs) : action_(std::move(action)) {
  watchdog_.setSingleShot(true);
  watchdog_.setInterval(watchdogMs);
  QObject::connect(&watchdog_, &QTimer::timeout, [this] {
    if (window_ && window_->isVisible()) {
      ADD_FAILURE() << "a modal window was still open after the watchdog's time; closed it";
      window_->close();
    }
  });
  poll_.setInterval(1);
  QObject::connect(&poll_, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || acted_) return;
    poll_.stop();
    acted_ = true;
    window_ = modal;
    watchdog_.start();
    action_(modal);
  });
  poll_.start();
}

ModalDriver::~ModalDriver() {
  poll_.stop();
  watchdog_.stop();
  if (!acted_) ADD_FAILURE() << "no modal window was shown while the driver waited for one";
}
