#pragma once
#include <QFont>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "controls/colour_value.h"

class PropertyBag;

// The horizontal progress bar: an integer Value between MinValue and
// MaxValue shown as a gradient fill with a centred caption whose colour
// changes exactly at the fill's right edge. With CanDrag on, the left mouse
// button sets Value.
//
// The gradient is painted once over the bar's full width (at layout and on a
// colour change) and kept as an image; a value change only changes how much
// of it the fill reveals. Lengths are twips (15 to a pixel); the fill sits one
// pixel in from the frame. Refused property values are reported in the
// platform's plain message box and leave every property as it was.
//
// Font: QWidget's font (inherited from the host like an ambient font). The
// caption is centred again whenever its text, its font or the bar's size
// changes, so hosts never need to nudge the bar to re-centre it.
class QelPBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr ColourValue kDefaultBackColor = SystemColourValue(kSysButtonFace);
  static constexpr ColourValue kDefaultBorderColor = RgbValue(0, 45, 150);
  static constexpr ColourValue kDefaultForeColor1 = SystemColourValue(kSysButtonText);
  static constexpr ColourValue kDefaultForeColor2 = RgbValue(255, 255, 255);
  static constexpr ColourValue kDefaultColorLeft = RgbValue(0, 0, 128);
  static constexpr ColourValue kDefaultColorRight = RgbValue(0, 0, 255);
  static constexpr int32_t kDefaultMaxValue = 100;
  static constexpr int32_t kDefaultMinValue = 0;
  static constexpr int32_t kDefaultValue = 50;
  static constexpr int32_t kMaxValueLimit = 300000000;
  static inline const QString kDefaultCaption = QStringLiteral("Qel进度条");

  explicit QelPBar(QWidget* parent = nullptr);

  ColourValue BackColor() const { return backColor_; }
  void setBackColor(ColourValue value);
  QFont Font() const { return font(); }  // set with QWidget::setFont
  ColourValue BorderColor() const { return borderColor_; }
  void setBorderColor(ColourValue value);
  QString Caption() const { return caption_; }
  void setCaption(const QString& value);
  int32_t MaxValue() const { return maxValue_; }
  void setMaxValue(int32_t value);
  int32_t MinValue() const { return minValue_; }
  void setMinValue(int32_t value);
  int32_t Value() const { return value_; }
  void setValue(int32_t value);
  ColourValue ForeColor1() const { return foreColor1_; }
  void setForeColor1(ColourValue value);
  ColourValue ForeColor2() const { return foreColor2_; }
  void setForeColor2(ColourValue value);
  ColourValue ColorLeft() const { return colorLeft_; }
  void setColorLeft(ColourValue value);
  ColourValue ColorRight() const { return colorRight_; }
  void setColorRight(ColourValue value);
  bool AutoPerCent() const { return autoPerCent_; }
  void setAutoPerCent(bool value);
  bool CanDrag() const { return canDrag_; }
  void setCanDrag(bool value);
  int32_t LeftPos() const { return leftPos_; }
  void setLeftPos(int32_t value);

  void Refresh() { update(); }

  // Stored properties, read and written in their fixed order with their
  // defaults. Reading validates nothing and lays nothing out.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // ---- view state, twips unless named otherwise ----
  int32_t FillWidth() const { return fillWidth_; }
  int32_t FillLeft() const { return fillLeft_; }
  QRect FillRectPixels() const;
  QRectF CaptionRectPixels() const;
  const QImage& GradientImage() const { return gradient_; }

 signals:
  void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void Click();
  // A property was set (its name), so a host can mark its stored form dirty.
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class MouseKind { Down, Move, Up };

  int ControlWidth() const;
  int ControlHeight() const;
  QSizeF CaptionSize() const;  // twips
  void Layout();
  // Runs the layout first if the size changed while the bar was hidden (a
  // hidden widget gets its resize event only when shown).
  void EnsureLayout();
  void CentreCaption();
  void PaintGradient(int widthTwips);
  void FillUpdate();
  void RequestRepaint();
  bool PercentText(QString* text) const;
  void SetCaptionText(const QString& text);
  void MouseToValue(QMouseEvent* event, MouseKind kind);
  void Refuse(const QString& text, const QString& title, bool twoButtons);
  void EmitChanged(const char* name) { emit PropertyChanged(QString::fromUtf8(name)); }

  ColourValue backColor_ = kDefaultBackColor;
  ColourValue borderColor_ = kDefaultBorderColor;
  QString caption_ = kDefaultCaption;
  int32_t maxValue_ = kDefaultMaxValue;
  int32_t minValue_ = kDefaultMinValue;
  int32_t value_ = kDefaultValue;
  ColourValue foreColor1_ = kDefaultForeColor1;
  ColourValue foreColor2_ = kDefaultForeColor2;
  ColourValue colorLeft_ = kDefaultColorLeft;
  ColourValue colorRight_ = kDefaultColorRight;
  bool autoPerCent_ = false;
  bool canDrag_ = false;
  int32_t leftPos_ = 0;

  QSize laidOutSize_{-1, -1};
  int32_t fillLeft_ = 15;
  int32_t fillWidth_ = 0;
  double captionLeft_ = 0;  // twips, control coordinates
  double captionTop_ = 0;
  QImage gradient_;         // the fill's persistent picture, from the fill's left edge
  static constexpr qint64 kRepaintMs = 40;
  QElapsedTimer lastPaint_;
  bool repaintPending_ = false;
  bool pressed_ = false;    // a button went down on the bar (for Click)
};
