#include "controls/mwheel.h"

#include <QPainter>
#include <QResizeEvent>

#include "controls/mouse_mod.h"

MWheel::MWheel(QWidget* parent) : QWidget(parent) { setFixedSize(kSizePixels, kSizePixels); }

MWheel::~MWheel() { MouseMod::UnhookWheel(this); }

void MWheel::EnableWheel() {
  if (!capture_) return;
  enabled_ = true;
  MouseMod::HookWheel(this);
}

void MWheel::DisableWheel() {
  // A watched window that has gone away is unhooked all the same.
  if (!enabled_ || (!capture_ && !MouseMod::IsHooked(this))) return;
  MouseMod::UnhookWheel(this);
  enabled_ = false;
}

void MWheel::RaiseWheel(int16_t zDelta, float yPos) {
  int16_t shift = 0;
  float xPos = 0.0f;
  emit WheelScroll(shift, zDelta, xPos, yPos);
}

void MWheel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("鼠标滚动"));
}

void MWheel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (size() != QSize(kSizePixels, kSizePixels)) resize(kSizePixels, kSizePixels);
}
