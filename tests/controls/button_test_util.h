#pragma once
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "controls/vsnet_button.h"

// Drives a button the way the platform would, without a real pointer.
struct ButtonRig {
  QWidget host;
  VsNetBut* button = nullptr;
  int mouseUps = 0;
  int mouseDowns = 0;
  float lastDownX = -1, lastDownY = -1;

  explicit ButtonRig(QSize size = QSize(90, 26)) {
    host.resize(400, 200);
    button = new VsNetBut(&host);
    button->setGeometry(QRect(QPoint(10, 10), size));
    QObject::connect(button, &VsNetBut::MouseUp, [this](int16_t&, int16_t&, float&, float&) { ++mouseUps; });
    QObject::connect(button, &VsNetBut::MouseDown, [this](int16_t&, int16_t&, float& x, float& y) {
      ++mouseDowns;
      lastDownX = x;
      lastDownY = y;
    });
    host.show();
  }

  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), this->button->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(this->button, &e);
  }
  void Move(QPoint at, Qt::MouseButtons held = Qt::NoButton) { Send(QEvent::MouseMove, at, Qt::NoButton, held); }
  void Press(QPoint at, Qt::MouseButton b = Qt::LeftButton) { Send(QEvent::MouseButtonPress, at, b, b); }
  void Release(QPoint at, Qt::MouseButton b = Qt::LeftButton) { Send(QEvent::MouseButtonRelease, at, b, Qt::NoButton); }
  void DoubleClick(QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Press(at, b);
    Release(at, b);
    Send(QEvent::MouseButtonDblClick, at, b, b);
    Release(at, b);
  }
  // The window system's report that the pointer left the button.
  void Leave() {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(button, &e);
  }
  void Key(QEvent::Type type, Qt::Key key, const QString& text = QString()) {
    QKeyEvent e(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(button, &e);
  }
  QImage Shot() const { return button->grab().toImage(); }
};

// Colours within a small distance (gradients interpolate).
inline bool Near(const QColor& a, const QColor& b, int tolerance = 12) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}
