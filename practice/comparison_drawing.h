#pragma once
#include <QFont>
#include <QString>
#include <cstdint>

#include "controls/colour_value.h"

class QPaintDevice;

namespace ChaSenMod {

// A drawing surface: any paint device that can be painted outside a paint
// event (an image, a widget's backing image), with the state text output
// works with: a font, a back colour for clearing, a drawing colour and a
// current position. Positions and sizes are twips.
class PrintSurface {
 public:
  explicit PrintSurface(QPaintDevice* device = nullptr, const QFont& font = QFont());

  QPaintDevice* Device() const { return device_; }
  void setDevice(QPaintDevice* device) { device_ = device; }
  QFont Font() const { return font_; }
  void setFont(const QFont& font) { font_ = font; }
  ColourValue BackColor() const { return backColor_; }
  void setBackColor(ColourValue colour) { backColor_ = colour; }
  ColourValue ForeColor() const { return foreColor_; }
  void setForeColor(ColourValue colour) { foreColor_ = colour; }
  int32_t CurrentX() const { return currentX_; }
  void setCurrentX(int32_t x) { currentX_ = x; }
  int32_t CurrentY() const { return currentY_; }
  void setCurrentY(int32_t y) { currentY_ = y; }

  // The device's size in twips; 0 without a device.
  int32_t ScaleWidth() const;
  int32_t ScaleHeight() const;

  // Fills the device with the back colour and puts the position at (0, 0).
  void Cls();
  // Draws the text in the drawing colour with its top left corner at the
  // current position. Each line of a text with line breaks starts at the
  // same x, one text height below the one before. Afterwards the current
  // position is at the end of the last line.
  void Print(const QString& text);

 private:
  QPaintDevice* device_;
  QFont font_;
  ColourValue backColor_ = RgbValue(255, 255, 255);
  ColourValue foreColor_ = RgbValue(0, 0, 0);
  int32_t currentX_ = 0;
  int32_t currentY_ = 0;
};

// A hidden label that sizes itself to its caption: its width and height
// measure a text in its font at the resolution of a paint device (the screen
// when none is set). Sizes are twips; a caption with line breaks is as wide
// as its widest line and one text height per line tall.
class MeasureLabel {
 public:
  MeasureLabel() = default;
  explicit MeasureLabel(const QFont& font) : font_(font) {}

  QFont Font() const { return font_; }
  void setFont(const QFont& font) { font_ = font; }
  QPaintDevice* Device() const { return device_; }
  void setDevice(QPaintDevice* device) { device_ = device; }
  QString Caption() const { return caption_; }
  void setCaption(const QString& caption) { caption_ = caption; }

  int32_t Width() const;
  int32_t Height() const;

 private:
  QFont font_;
  QPaintDevice* device_ = nullptr;
  QString caption_;
};

// Colours of the drawing.
inline constexpr ColourValue kMatchColour = RgbValue(0, 0, 0);        // black
inline constexpr ColourValue kSentenceMissColour = RgbValue(0, 128, 0);  // dark green
inline constexpr ColourValue kTypedMissColour = RgbValue(255, 0, 0);   // red

// The message shown when a surface is given without a measuring label.
inline const QString kNoMeasureLabelText = QStringLiteral("PrintObj 和TempLabel必须同时存在！无法绘图");

// Draws the comparison of the typed text with the sentence (AlignAnswer):
// the sentence tokens from (x0, y0), then below them the typed tokens, each
// line wrapped at the surface's width with rows 1.3 times the measured text
// height. Matching tokens are black, a sentence token that was not typed
// right is dark green, a wrong typed token red; a typed token that differs
// only in capitals has exactly its wrongly cased letters red. Fillers show
// as spaces in the sentence line and as "-" in the typed line.
//
// Without a surface nothing is drawn. Without a measuring label the
// platform's plain message box says so and nothing is drawn. The label is
// set to the surface's font and device, so tokens are measured exactly as
// they are drawn. x0 and y0 are twips.
void DrawComparison(const QString& sentenceText, const QString& typedText, PrintSurface* PrintObj,
                    MeasureLabel* TempLabel, int32_t x0, int32_t y0, bool clearFirst);

}  // namespace ChaSenMod
