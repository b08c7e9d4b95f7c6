#include "app/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace pictures {
namespace {

QPixmap Canvas(const QSize& size, qreal ratio) {
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A glossy round button face; `paintSymbol` draws on top, centred in a
// unit square scaled to the face.
template <typename Symbol>
QPixmap RoundButton(const QSize& size, qreal ratio, bool enabled, Symbol paintSymbol) {
  QPixmap pixmap = Canvas(size, ratio);
  if (size.isEmpty()) return pixmap;
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal d = std::min(size.width(), size.height()) - 2.0;
  const QRectF face((size.width() - d) / 2.0, (size.height() - d) / 2.0, d, d);
  const QColor top = enabled ? QColor(0x4f, 0x9c, 0xf0) : QColor(0xc8, 0xc8, 0xc8);
  const QColor bottom = enabled ? QColor(0x1c, 0x5f, 0xb8) : QColor(0x9a, 0x9a, 0x9a);
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  p.setPen(QPen(bottom.darker(130), std::max(1.0, d / 24)));
  p.setBrush(fill);
  p.drawEllipse(face);
  // Soft highlight in the upper half.
  QRectF gloss = face.adjusted(d * 0.14, d * 0.06, -d * 0.14, -d * 0.5);
  QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
  shine.setColorAt(0, QColor(255, 255, 255, 150));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shine);
  p.drawEllipse(gloss);
  p.translate(face.topLeft());
  p.scale(d, d);
  p.setBrush(enabled ? Qt::white : QColor(0xf0, 0xf0, 0xf0));
  paintSymbol(p);
  return pixmap;
}

}  // namespace

QPixmap PlayButton(const QSize& size, qreal ratio, bool enabled) {
  return RoundButton(size, ratio, enabled, [](QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(0.38, 0.27);
    triangle.lineTo(0.76, 0.5);
    triangle.lineTo(0.38, 0.73);
    triangle.closeSubpath();
    p.drawPath(triangle);
  });
}

QPixmap PauseButton(const QSize& size, qreal ratio, bool enabled) {
  return RoundButton(size, ratio, enabled, [](QPainter& p) {
    p.drawRoundedRect(QRectF(0.31, 0.28, 0.13, 0.44), 0.03, 0.03);
    p.drawRoundedRect(QRectF(0.56, 0.28, 0.13, 0.44), 0.03, 0.03);
  });
}

QPixmap LinkBanner(const QSize& size, qreal ratio) {
  QPixmap pixmap = Canvas(size, ratio);
  if (size.isEmpty()) return pixmap;
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
  QLinearGradient fill(r.topLeft(), r.topRight());
  fill.setColorAt(0, QColor(0xff, 0x8a, 0x65));
  fill.setColorAt(1, QColor(0xf0, 0x62, 0x92));
  p.setPen(QPen(QColor(0xc2, 0x3b, 0x5f), 1));
  p.setBrush(fill);
  p.drawRoundedRect(r, r.height() * 0.2, r.height() * 0.2);

  // A speech bubble at the left.
  const qreal h = r.height();
  const QRectF bubble(r.left() + h * 0.2, r.top() + h * 0.2, h * 0.6, h * 0.46);
  QPainterPath path;
  path.addRoundedRect(bubble, h * 0.1, h * 0.1);
  QPainterPath tail;
  tail.moveTo(bubble.left() + bubble.width() * 0.25, bubble.bottom() - 1);
  tail.lineTo(bubble.left() + bubble.width() * 0.2, bubble.bottom() + h * 0.16);
  tail.lineTo(bubble.left() + bubble.width() * 0.5, bubble.bottom() - 1);
  path = path.united(tail);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.setBrush(QColor(0xf0, 0x62, 0x92));
  for (int i = 0; i < 3; ++i)
    p.drawEllipse(QPointF(bubble.left() + bubble.width() * (0.28 + 0.22 * i), bubble.center().y()), h * 0.035,
                  h * 0.035);

  const QRectF textArea(bubble.right() + h * 0.2, r.top(), r.right() - bubble.right() - h * 0.3, h);
  QFont title(QStringLiteral("Noto Sans CJK SC"));
  title.setBold(true);
  title.setPixelSize(std::max(8, static_cast<int>(h * 0.34)));
  QFont line(QStringLiteral("Noto Sans CJK SC"));
  line.setPixelSize(std::max(7, static_cast<int>(h * 0.22)));
  p.setPen(Qt::white);
  p.setFont(title);
  p.drawText(QRectF(textArea.left(), r.top() + h * 0.1, textArea.width(), h * 0.45),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmo女孩"));
  p.setFont(line);
  p.drawText(QRectF(textArea.left(), r.top() + h * 0.55, textArea.width(), h * 0.35),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("更多音频资料 · 电子书 · 软件"));
  return pixmap;
}

}  // namespace pictures
