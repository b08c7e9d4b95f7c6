#include "app/toolbar_icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace pictures {
namespace {

// Every icon is drawn in a 24 x 24 unit square, scaled to the size.
void Segment(QPainter& p) {
  // A waveform cut into pieces by two markers.
  p.setPen(QPen(QColor(0x1f, 0x6f, 0xc8), 1.6, Qt::SolidLine, Qt::RoundCap));
  const double heights[] = {3, 7, 5, 9, 4, 6, 8, 3, 6, 9, 5, 7, 3};
  for (int i = 0; i < 13; ++i) {
    const double x = 3 + i * 1.5;
    p.drawLine(QPointF(x, 12 - heights[i] / 1.6), QPointF(x, 12 + heights[i] / 1.6));
  }
  p.setPen(QPen(QColor(0xd2, 0x3c, 0x2a), 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8.2, 2.5), QPointF(8.2, 21.5));
  p.drawLine(QPointF(15.7, 2.5), QPointF(15.7, 21.5));
}

void Dictation(QPainter& p) {
  // Headphones over a pencil line.
  p.setPen(QPen(QColor(0x33, 0x33, 0x55), 2.0, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 3, 16, 15), 0, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2b, 0x7b, 0xd6));
  p.drawRoundedRect(QRectF(2.5, 10, 4.5, 7), 1.5, 1.5);
  p.drawRoundedRect(QRectF(17, 10, 4.5, 7), 1.5, 1.5);
  QPainterPath pencil;
  pencil.moveTo(6, 22);
  pencil.lineTo(7, 19);
  pencil.lineTo(17, 19);
  pencil.lineTo(17, 22);
  pencil.closeSubpath();
  p.setBrush(QColor(0xf0, 0xa3, 0x1e));
  p.drawPath(pencil);
  p.setBrush(QColor(0x55, 0x3a, 0x1a));
  p.drawRect(QRectF(17, 19, 2.5, 3));
}

void Records(QPainter& p) {
  // A clipboard with ticked lines.
  p.setPen(QPen(QColor(0x6b, 0x4a, 0x22), 1.2));
  p.setBrush(QColor(0xd9, 0xa8, 0x5f));
  p.drawRoundedRect(QRectF(4, 3, 16, 19), 2, 2);
  p.setBrush(Qt::white);
  p.setPen(QPen(QColor(0x99, 0x99, 0x99), 0.8));
  p.drawRect(QRectF(6, 6, 12, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x70, 0x70, 0x70));
  p.drawRoundedRect(QRectF(9, 1.5, 6, 3.5), 1, 1);
  for (int i = 0; i < 3; ++i) {
    const double y = 9 + i * 3.6;
    p.setPen(QPen(QColor(0x2e, 0x9e, 0x44), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, y), QPointF(8.5, y + 1));
    p.drawLine(QPointF(8.5, y + 1), QPointF(10.3, y - 1));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, y), QPointF(16.5, y));
  }
}

void Numbers(QPainter& p) {
  QLinearGradient fill(0, 3, 0, 21);
  fill.setColorAt(0, QColor(0x6c, 0xc0, 0x5a));
  fill.setColorAt(1, QColor(0x2f, 0x86, 0x2a));
  p.setPen(QPen(QColor(0x24, 0x6b, 0x20), 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(2, 4, 20, 16), 3, 3);
  QFont f(QStringLiteral("Arial"));
  f.setBold(true);
  f.setPixelSize(10);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(2, 4, 20, 16), Qt::AlignCenter, QStringLiteral("123"));
}

void Settings(QPainter& p) {
  // A painter's palette.
  QPainterPath palette;
  palette.addEllipse(QRectF(2, 3, 20, 18));
  QPainterPath hole;
  hole.addEllipse(QRectF(13.5, 13, 4, 4));
  palette = palette.subtracted(hole);
  p.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 1));
  p.setBrush(QColor(0xf2, 0xd7, 0xa6));
  p.drawPath(palette);
  const QColor dots[] = {QColor(0xe5, 0x39, 0x35), QColor(0xfb, 0xc0, 0x2d), QColor(0x43, 0xa0, 0x47),
                         QColor(0x1e, 0x88, 0xe5)};
  const QPointF at[] = {QPointF(7, 9), QPointF(11.5, 7), QPointF(16, 8.5), QPointF(6.5, 14)};
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    p.setBrush(dots[i]);
    p.drawEllipse(at[i], 2.1, 2.1);
  }
}

void NewMaterials(QPainter& p) {
  // A star.
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? 10.5 : 4.6;
    const double a = -M_PI / 2 + i * M_PI / 5;
    const QPointF pt(12 + r * std::cos(a), 12.8 + r * std::sin(a));
    if (i == 0)
      star.moveTo(pt);
    else
      star.lineTo(pt);
  }
  star.closeSubpath();
  QLinearGradient fill(0, 2, 0, 22);
  fill.setColorAt(0, QColor(0xff, 0xe0, 0x6a));
  fill.setColorAt(1, QColor(0xf5, 0x9e, 0x0b));
  p.setPen(QPen(QColor(0xc2, 0x6a, 0x00), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(star);
}

void Help(QPainter& p) {
  QLinearGradient fill(0, 2, 0, 22);
  fill.setColorAt(0, QColor(0x5a, 0xa9, 0xf5));
  fill.setColorAt(1, QColor(0x1c, 0x62, 0xc0));
  p.setPen(QPen(QColor(0x15, 0x4f, 0x9e), 1));
  p.setBrush(fill);
  p.drawEllipse(QRectF(2, 2, 20, 20));
  QFont f(QStringLiteral("Arial"));
  f.setBold(true);
  f.setPixelSize(15);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(2, 2.5, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
}

void Quit(QPainter& p) {
  // The power symbol.
  p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 4.5, 16, 16), 120 * 16, 300 * 16);
  p.drawLine(QPointF(12, 2.5), QPointF(12, 11.5));
}

}  // namespace

QImage ToolbarIcon(ToolIcon which, int sizePixels) {
  const int size = sizePixels > 0 ? sizePixels : 24;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size / 24.0, size / 24.0);
  switch (which) {
    case ToolIcon::Segment: Segment(p); break;
    case ToolIcon::Dictation: Dictation(p); break;
    case ToolIcon::Records: Records(p); break;
    case ToolIcon::Numbers: Numbers(p); break;
    case ToolIcon::Settings: Settings(p); break;
    case ToolIcon::NewMaterials: NewMaterials(p); break;
    case ToolIcon::Help: Help(p); break;
    case ToolIcon::Quit: Quit(p); break;
  }
  return image;
}

}  // namespace pictures
