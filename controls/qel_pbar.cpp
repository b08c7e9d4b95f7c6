#include "controls/qel_pbar.h"

#include <QTimer>

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/gradient.h"
#include "controls/property_bag.h"
#include "controls/twips.h"
#include "controls/vb_input.h"
#include "platform/plain_message.h"

namespace {

const QString kTitleValueError = QStringLiteral("数值错误");
const QString kMsgSameAsMin = QStringLiteral("最大值不能与最小值相同！请重新输入！");
const QString kMsgMaxBelowLeft = QStringLiteral("最大值数值必须大于左偏值！请重新输入！");
const QString kMsgLeftAboveMax = QStringLiteral("数值必须小于最大值！请重新输入！");
const QString kTitleDrag = QStringLiteral("拖动设置失败");
const QString kMsgDrag = QStringLiteral("左移值不等于最小值无法设为拖动");

// Nearest whole number (halves to even) as a 32-bit value; false when the
// value does not fit. Widths are kept in 32 bits: a bar more than 2 184
// pixels wide is more than 32 767 twips wide.
bool ToInt32(double value, int32_t* out) {
  if (!std::isfinite(value)) return false;
  const double r = std::nearbyint(value);
  if (r < -2147483648.0 || r > 2147483647.0) return false;
  *out = static_cast<int32_t>(r);
  return true;
}

int32_t ClampToInt32(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int32_t>(std::max(-2147483648.0, std::min(2147483647.0, std::nearbyint(value))));
}

}  // namespace

QelPBar::QelPBar(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Layout();
}

int QelPBar::ControlWidth() const { return twips::FromPixelsInt(width()); }
int QelPBar::ControlHeight() const { return twips::FromPixelsInt(height()); }

QSizeF QelPBar::CaptionSize() const {
  // The caption sizes itself to its text, one line per line break.
  const QFontMetricsF fm(font());
  QString text = caption_;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const QStringList lines = text.split(QLatin1Char('\n'));
  double widest = 0;
  for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
  return QSizeF(twips::FromPixels(std::ceil(widest)), twips::FromPixels(fm.height() * lines.size()));
}

// ---------------------------------------------------------------------------
// Layout, fill and gradient

void QelPBar::EnsureLayout() {
  if (laidOutSize_ != size()) Layout();
}

void QelPBar::Layout() {
  laidOutSize_ = size();
  const int W = ControlWidth();
  // 1-4. Fill one pixel in from the frame; captions centred, on top of each other.
  fillLeft_ = 15;
  fillWidth_ = std::max(0, W - 30);
  CentreCaption();
  // 5. The fill starts at the left offset. A bar whose range is empty (only
  // possible from stored properties) starts at the left edge.
  const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
  if (range != 0) fillLeft_ += ClampToInt32(static_cast<double>(W - 15) * leftPos_ / static_cast<double>(range));
  // 6-7. Gradient over the bar's full inner width, then the fill for the value.
  PaintGradient(W - 30);
  FillUpdate();
}

void QelPBar::CentreCaption() {
  // Both captions lie on top of each other at the centre of the control,
  // whatever the fill's offset; a new text or font is centred again at once.
  const QSizeF caption = CaptionSize();
  captionLeft_ = (ControlWidth() - caption.width()) / 2.0;
  captionTop_ = (ControlHeight() - caption.height()) / 2.0;
  RequestRepaint();
}

void QelPBar::PaintGradient(int widthTwips) {
  EnsureLayout();
  const int w = twips::ToPixels(widthTwips), h = twips::ToPixels(ControlHeight() - 30);
  if (w <= 0 || h <= 0) {
    gradient_ = QImage();
    update();
    return;
  }
  gradient_ = QImage(w, h, QImage::Format_RGB32);
  gradient_.fill(ColourValueToQColor(colorLeft_));
  clsGradient painter;
  painter.setAngle(0);
  painter.setColor1(colorLeft_);
  painter.setColor2(colorRight_);
  painter.Draw(&gradient_);
  update();
}

bool QelPBar::PercentText(QString* text) const {
  const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
  if (range == 0) return false;
  const double percent = static_cast<double>(static_cast<int64_t>(value_) - minValue_) / static_cast<double>(range) * 100.0;
  // One decimal place, halves rounded away from zero.
  double rounded = std::round(percent * 10.0) / 10.0;
  if (rounded == 0.0) rounded = 0.0;  // no "-0.0"
  *text = QString::number(rounded, 'f', 1) + QLatin1Char('%');
  return true;
}

void QelPBar::SetCaptionText(const QString& text) {
  if (text == caption_) return;
  caption_ = text;
  EnsureLayout();
  CentreCaption();
}

void QelPBar::FillUpdate() {
  EnsureLayout();
  // Any step that cannot be carried out ends the update; what was set stays.
  const float onePercent = static_cast<float>((ControlWidth() - 30) / 100.0);
  const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
  const int64_t span = static_cast<int64_t>(value_) - minValue_;
  if (range == 0) return;
  int32_t width = 0;
  if (!ToInt32(static_cast<double>(onePercent) * static_cast<double>(span) / static_cast<double>(range) * 100.0, &width))
    return;
  if (width < 0) return;
  fillWidth_ = width;
  RequestRepaint();
  if (autoPerCent_) {
    QString text;
    if (PercentText(&text)) SetCaptionText(text);
  }
}

QRect QelPBar::FillRectPixels() const {
  return QRect(twips::ToPixels(fillLeft_), 1, twips::ToPixels(fillWidth_),
               std::max(0, twips::ToPixels(ControlHeight() - 30)));
}

QRectF QelPBar::CaptionRectPixels() const {
  const QSizeF size = CaptionSize();
  return QRectF(twips::ToPixelsF(captionLeft_), twips::ToPixelsF(captionTop_), twips::ToPixelsF(size.width()),
                twips::ToPixelsF(size.height()));
}

// ---------------------------------------------------------------------------
// Properties

void QelPBar::setBackColor(ColourValue value) {
  backColor_ = value;
  update();
  EmitChanged("BackColor");
}

void QelPBar::setBorderColor(ColourValue value) {
  borderColor_ = value;
  update();
  EmitChanged("BorderColor");
}

void QelPBar::setCaption(const QString& value) {
  if (autoPerCent_) return;
  SetCaptionText(value);
  EmitChanged("Caption");
}

void QelPBar::setMaxValue(int32_t value) {
  if (value > kMaxValueLimit) value = kMaxValueLimit;
  if (value == minValue_) {
    Refuse(kMsgSameAsMin, kTitleValueError, true);
    return;
  }
  if (value < leftPos_) {
    Refuse(kMsgMaxBelowLeft, kTitleValueError, true);
    return;
  }
  if (value_ > value) value_ = value;
  maxValue_ = value;
  FillUpdate();
  EmitChanged("MaxValue");
}

void QelPBar::setMinValue(int32_t value) {
  if (value < 0) value = 0;
  if (value == maxValue_) {
    Refuse(kMsgSameAsMin, kTitleValueError, true);
    return;
  }
  if (value_ < value) value_ = value;
  minValue_ = value;
  FillUpdate();
  EmitChanged("MinValue");
}

void QelPBar::setValue(int32_t value) {
  if (value > maxValue_)
    value_ = maxValue_;
  else if (value < leftPos_)
    value_ = leftPos_;
  else
    value_ = value;
  FillUpdate();
  RequestRepaint();
  EmitChanged("Value");
}

void QelPBar::setForeColor1(ColourValue value) {
  foreColor1_ = value;
  update();
  EmitChanged("ForeColor1");
}

void QelPBar::setForeColor2(ColourValue value) {
  foreColor2_ = value;
  update();
  EmitChanged("ForeColor2");
}

void QelPBar::setColorLeft(ColourValue value) {
  colorLeft_ = value;
  PaintGradient(ControlWidth());  // across the whole control width
  EmitChanged("ColorLeft");
}

void QelPBar::setColorRight(ColourValue value) {
  colorRight_ = value;
  PaintGradient(ControlWidth());
  EmitChanged("ColorRight");
}

void QelPBar::setAutoPerCent(bool value) {
  autoPerCent_ = value;
  QString text;
  if (value && PercentText(&text)) SetCaptionText(text);
  EmitChanged("AutoPerCent");
}

void QelPBar::setCanDrag(bool value) {
  // Dragging maps the whole width to the range, so it needs the fill to
  // start at the minimum. Switching dragging off is always allowed.
  if (value && leftPos_ > minValue_) {
    Refuse(kMsgDrag, kTitleDrag, false);
    return;
  }
  canDrag_ = value;
  EmitChanged("CanDrag");
}

void QelPBar::setLeftPos(int32_t value) {
  if (value > maxValue_) {
    Refuse(kMsgLeftAboveMax, kTitleValueError, true);
    return;
  }
  EnsureLayout();
  if (value < minValue_) value = minValue_;
  if (value > value_) value = value_;
  const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
  int32_t shift = 0;
  if (range != 0)
    shift = ClampToInt32(static_cast<double>(ControlWidth() - 15) *
                         static_cast<double>(static_cast<int64_t>(value) - leftPos_) / static_cast<double>(range));
  leftPos_ = value;
  // The caption stays where it is on screen.
  fillLeft_ = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, int64_t{fillLeft_} + shift)));
  FillUpdate();
  if (minValue_ < leftPos_) canDrag_ = false;
  update();
  EmitChanged("LeftPos");
}

void QelPBar::Refuse(const QString& text, const QString& title, bool twoButtons) {
  platform::PlainMessage message;
  message.text = text;
  message.title = title;
  message.twoButtons = twoButtons;
  platform::ShowPlainMessage(message);  // the answer changes nothing: the value is refused either way
}

void QelPBar::ReadProperties(const PropertyBag& bag) {
  backColor_ = ReadColourProperty(bag, QStringLiteral("BackColor"), kDefaultBackColor);
  setFont(ReadFontProperty(bag, QStringLiteral("Font")));
  borderColor_ = ReadColourProperty(bag, QStringLiteral("BorderColor"), kDefaultBorderColor);
  caption_ = ReadTextProperty(bag, QStringLiteral("Caption"), kDefaultCaption);
  maxValue_ = ReadInt32Property(bag, QStringLiteral("MaxValue"), kDefaultMaxValue);
  minValue_ = ReadInt32Property(bag, QStringLiteral("MinValue"), kDefaultMinValue);
  value_ = ReadInt32Property(bag, QStringLiteral("Value"), kDefaultValue);
  foreColor1_ = ReadColourProperty(bag, QStringLiteral("ForeColor1"), kDefaultForeColor1);
  foreColor2_ = ReadColourProperty(bag, QStringLiteral("ForeColor2"), kDefaultForeColor2);
  colorLeft_ = ReadColourProperty(bag, QStringLiteral("ColorLeft"), kDefaultColorLeft);
  colorRight_ = ReadColourProperty(bag, QStringLiteral("ColorRight"), kDefaultColorRight);
  autoPerCent_ = ReadBoolProperty(bag, QStringLiteral("AutoPerCent"), false);
  canDrag_ = ReadBoolProperty(bag, QStringLiteral("CanDrag"), false);
  leftPos_ = ReadInt32Property(bag, QStringLiteral("LeftPos"), 0);
  update();
}

void QelPBar::WriteProperties(PropertyBag& bag) const {
  const QFont ambient = parentWidget() ? parentWidget()->font() : QApplication::font();
  WriteColourProperty(bag, QStringLiteral("BackColor"), backColor_, kDefaultBackColor);
  WriteFontProperty(bag, QStringLiteral("Font"), font(), ambient);
  WriteColourProperty(bag, QStringLiteral("BorderColor"), borderColor_, kDefaultBorderColor);
  WriteTextProperty(bag, QStringLiteral("Caption"), caption_, kDefaultCaption);
  WriteInt32Property(bag, QStringLiteral("MaxValue"), maxValue_, kDefaultMaxValue);
  WriteInt32Property(bag, QStringLiteral("MinValue"), minValue_, kDefaultMinValue);
  WriteInt32Property(bag, QStringLiteral("Value"), value_, kDefaultValue);
  WriteColourProperty(bag, QStringLiteral("ForeColor1"), foreColor1_, kDefaultForeColor1);
  WriteColourProperty(bag, QStringLiteral("ForeColor2"), foreColor2_, kDefaultForeColor2);
  WriteColourProperty(bag, QStringLiteral("ColorLeft"), colorLeft_, kDefaultColorLeft);
  WriteColourProperty(bag, QStringLiteral("ColorRight"), colorRight_, kDefaultColorRight);
  WriteBoolProperty(bag, QStringLiteral("AutoPerCent"), autoPerCent_, false);
  WriteBoolProperty(bag, QStringLiteral("CanDrag"), canDrag_, false);
  WriteInt32Property(bag, QStringLiteral("LeftPos"), leftPos_, 0);
}

// ---------------------------------------------------------------------------
// Painting and input

// A bar that follows playback changes its value and caption every 10 ms;
// it is drawn at most every kRepaintMs, which the eye cannot tell from
// every change, and the last change is always drawn.
void QelPBar::RequestRepaint() {
  if (repaintPending_) return;
  const qint64 since = lastPaint_.isValid() ? lastPaint_.elapsed() : kRepaintMs;
  if (since >= kRepaintMs) {
    update();
    return;
  }
  repaintPending_ = true;
  QTimer::singleShot(static_cast<int>(kRepaintMs - since), this, [this] {
    repaintPending_ = false;
    update();
  });
}

void QelPBar::paintEvent(QPaintEvent*) {
  lastPaint_.start();
  QPainter painter(this);
  painter.fillRect(rect(), ColourValueToQColor(backColor_));
  if (width() > 0 && height() > 0) {
    painter.setPen(ColourValueToQColor(borderColor_));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
  }
  const QRectF captionRect = CaptionRectPixels();
  painter.setFont(font());
  painter.setPen(ColourValueToQColor(foreColor1_));
  painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, caption_);

  // The fill lies over the back caption and clips the front caption, so the
  // caption changes colour exactly at the fill's right edge.
  const QRect fill = FillRectPixels();
  if (fill.width() <= 0 || fill.height() <= 0) return;
  painter.save();
  painter.setClipRect(fill);
  painter.fillRect(fill, ColourValueToQColor(colorLeft_));
  if (!gradient_.isNull()) painter.drawImage(fill.topLeft(), gradient_);
  painter.setPen(ColourValueToQColor(foreColor2_));
  painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, caption_);
  painter.restore();
}

void QelPBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void QelPBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    EnsureLayout();
    CentreCaption();
    EmitChanged("Font");
  }
}

void QelPBar::MouseToValue(QMouseEvent* event, MouseKind kind) {
  const int W = ControlWidth();
  float x = static_cast<float>(twips::FromPixels(event->position().x()));
  float y = static_cast<float>(twips::FromPixels(event->position().y()));
  if (x < 0) x = 0;
  if (x > W) x = static_cast<float>(W);
  int16_t button = kind == MouseKind::Move ? vbinput::MouseButtons(event->buttons()) : vbinput::MouseButton(event->button());
  int16_t shift = vbinput::ShiftState(event->modifiers());
  if (kind != MouseKind::Up && button == 1 && W > 0) {
    // The whole control width maps to the range; no clamping by the Value rules.
    const double range = static_cast<double>(static_cast<int64_t>(maxValue_) - minValue_);
    const double v = std::floor(static_cast<double>(x) * range / W + minValue_);
    value_ = static_cast<int32_t>(std::max<double>(INT32_MIN, std::min<double>(INT32_MAX, v)));
    if (value_ < leftPos_) leftPos_ = value_;
    FillUpdate();
  }
  switch (kind) {
    case MouseKind::Down: emit MouseDown(button, shift, x, y); break;
    case MouseKind::Move: emit MouseMove(button, shift, x, y); break;
    case MouseKind::Up: emit MouseUp(button, shift, x, y); break;
  }
}

void QelPBar::mousePressEvent(QMouseEvent* event) {
  pressed_ = true;
  if (canDrag_) MouseToValue(event, MouseKind::Down);
}

void QelPBar::mouseMoveEvent(QMouseEvent* event) {
  if (canDrag_) MouseToValue(event, MouseKind::Move);
}

void QelPBar::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = pressed_;
  pressed_ = false;
  if (canDrag_) {
    MouseToValue(event, MouseKind::Up);
    return;
  }
  if (wasPressed && rect().contains(event->position().toPoint())) emit Click();
}
