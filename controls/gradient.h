#pragma once
#include <QPoint>
#include <cstdint>
#include <vector>

#include "controls/colour_value.h"

class QImage;
class QPainter;
class QPaintDevice;

// Paints a linear two-colour gradient at any angle over a whole surface as a
// sweep of parallel one-pixel lines, one colour per line.
//
// Angle is counter-clockwise on screen from the positive x axis: 0 puts
// Color1 at the left edge, 90 at the bottom, 180 at the right, 270 at the top.
class clsGradient {
 public:
  static constexpr ColourValue kDefaultColor1 = 0xFFFFD0u;  // RGB 208, 255, 255
  static constexpr ColourValue kDefaultColor2 = 0x400000u;  // RGB 0, 0, 64
  static constexpr float kDefaultAngle = 315.0f;

  // A system colour value (top bit set, index below 25) is stored as the
  // palette's current colour of that index; any other value as given.
  ColourValue Color1() const { return color1_; }
  void setColor1(ColourValue lData);
  ColourValue Color2() const { return color2_; }
  void setColor2(ColourValue lData);
  // Stored reduced into [0, 360): -45 becomes 315, 720 becomes 0.
  float Angle() const { return angle_; }
  void setAngle(float fData);

  // Paints over the whole device (W x H = its size in pixels). Returns true
  // when at least one line was drawn; a surface 1 pixel (or less) wide or
  // high is left alone. A QImage in a 32-bit RGB format is written
  // directly; any other device is painted through a QPainter (a widget only
  // from inside its paint event).
  bool Draw(QPaintDevice* picObj) const;
  // Paints the area (0, 0)-(W, H) through an active painter.
  bool Draw(QPainter& painter, int W, int H) const;

  // Colour table from lColor1 to lColor2 with lSteps entries (at least 2):
  // entry i lies i/lSteps of the way, the last entry is lColor2 exactly.
  // Returns the number of entries.
  static int32_t BlendColors(ColourValue lColor1, ColourValue lColor2, int32_t lSteps,
                             std::vector<ColourValue>& laRetColors);

  // One line of the sweep: drawn from `from` towards `to`, `to` itself left out.
  struct SweepLine {
    QPoint from, to;
    ColourValue colour;
  };
  // The lines a drawing of a W x H surface consists of, in drawing order.
  std::vector<SweepLine> SweepLines(int W, int H) const;

  // Rasterises one line into a 32-bit image the way the platform's line
  // drawing does: every pixel from `from` up to but not including `to`,
  // clipped to the image.
  static void DrawLinePixels(QImage& image, QPoint from, QPoint to, uint32_t argb);

 private:
  int DrawGradientLines(QImage& image, int W, int H) const;

  ColourValue color1_ = kDefaultColor1;
  ColourValue color2_ = kDefaultColor2;
  float angle_ = kDefaultAngle;
};
