#include "practice/message_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace {

void Information(QPainter& p) {
  // Speech bubble: rounded body with a tail at the lower left.
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(2, 2, 28, 21), 7, 7);
  QPainterPath tail;
  tail.moveTo(7, 19);
  tail.lineTo(5, 30);
  tail.lineTo(15, 21);
  tail.closeSubpath();
  const QPainterPath shape = bubble.united(tail);
  QLinearGradient fill(0, 2, 0, 30);
  fill.setColorAt(0, QColor(255, 255, 255));
  fill.setColorAt(1, QColor(214, 228, 250));
  p.setPen(QPen(QColor(30, 80, 170), 1.6));
  p.setBrush(fill);
  p.drawPath(shape);
  // Smiling face.
  const QRectF face(9.5, 4.5, 13, 13);
  p.setPen(QPen(QColor(30, 80, 170), 1.2));
  p.setBrush(QColor(255, 214, 60));
  p.drawEllipse(face);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawEllipse(QPointF(13.8, 9.3), 1.0, 1.3);
  p.drawEllipse(QPointF(18.2, 9.3), 1.0, 1.3);
  p.setPen(QPen(QColor(40, 40, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(12.5, 8.5, 7, 6), 200 * 16, 140 * 16);
}

void Warning(QPainter& p) {
  QPolygonF triangle;
  triangle << QPointF(16, 2.5) << QPointF(30, 28.5) << QPointF(2, 28.5);
  QLinearGradient fill(0, 2, 0, 29);
  fill.setColorAt(0, QColor(255, 236, 110));
  fill.setColorAt(1, QColor(240, 190, 20));
  p.setPen(QPen(QColor(120, 90, 0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPolygon(triangle);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 20));
  QPolygonF bar;
  bar << QPointF(14.4, 10) << QPointF(17.6, 10) << QPointF(16.8, 20.5) << QPointF(15.2, 20.5);
  p.drawPolygon(bar);
  p.drawEllipse(QPointF(16, 24.3), 1.8, 1.8);
}

void Stop(QPainter& p) {
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) {
    const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
    octagon << QPointF(16 + 14.5 * std::cos(a), 16 + 14.5 * std::sin(a));
  }
  p.setPen(QPen(QColor(120, 0, 0), 1.2));
  p.setBrush(QColor(214, 30, 30));
  p.drawPolygon(octagon);
  // Raised hand: four fingers, a thumb and the palm, in white.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  const double fingers[4][2] = {{10.4, 9.5}, {13.6, 7.2}, {16.8, 7.6}, {20.0, 9.6}};
  for (const auto& f : fingers) p.drawRoundedRect(QRectF(f[0], f[1], 2.8, 10), 1.4, 1.4);
  p.drawRoundedRect(QRectF(10.4, 15, 12.4, 10), 3.5, 3.5);
  QPainterPath thumb;
  thumb.moveTo(21, 18.5);
  thumb.lineTo(24.5, 14.2);
  thumb.quadTo(26.4, 13.6, 26, 15.6);
  thumb.lineTo(22.2, 22.5);
  thumb.closeSubpath();
  p.drawPath(thumb);
}

void Error(QPainter& p) {
  QRadialGradient fill(QPointF(12, 11), 18);
  fill.setColorAt(0, QColor(255, 110, 100));
  fill.setColorAt(1, QColor(200, 20, 20));
  p.setPen(QPen(QColor(120, 0, 0), 1.2));
  p.setBrush(fill);
  p.drawEllipse(QRectF(2, 2, 28, 28));
  p.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
  p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

}  // namespace

QImage DrawMessageIcon(int index, int size) {
  if (size < 1) size = 1;
  if (size > 1024) size = 1024;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  switch (index) {
    case 1: Warning(p); break;
    case 2: Stop(p); break;
    case 3: Error(p); break;
    default: Information(p); break;
  }
  return image;
}
