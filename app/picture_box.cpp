#include "app/picture_box.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(Painter painter, QWidget* parent) : QWidget(parent), painter_(std::move(painter)) {
  setAttribute(Qt::WA_TranslucentBackground);
  setCursor(Qt::PointingHandCursor);
}

QPixmap PictureBox::Picture() const {
  const qreal ratio = devicePixelRatioF();
  if (cache_.isNull() || cache_.devicePixelRatio() != ratio || cache_.deviceIndependentSize().toSize() != size())
    cache_ = painter_ ? painter_(size(), ratio, isEnabled()) : QPixmap();
  return cache_;
}

void PictureBox::paintEvent(QPaintEvent*) {
  const QPixmap picture = Picture();
  if (picture.isNull()) return;
  QPainter p(this);
  p.drawPixmap(0, 0, picture);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = pressed_;
  pressed_ = false;
  if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Click();
}

void PictureBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    cache_ = QPixmap();
    update();
  }
  QWidget::changeEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  cache_ = QPixmap();
  QWidget::resizeEvent(event);
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = pressed_;
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Click();
}
