// The picker's square and bar and the positions on them. Both surfaces are
// filled scan line by scan line: every pixel gets the colour its position
// stands for, through the same conversion the fields use, so a colour read
// back from a pixel is exactly the colour of the values it marks.
#include <algorithm>
#include <array>
#include <cmath>

#include "colour_picker/colour_dialog_mod.h"
#include "colour_picker/hsb_core.h"

namespace ColorDialogMod {

namespace {

using detail::HueSector;
using detail::SectorOf;
using detail::SectorToRgb;

constexpr double kHueRange = 360.0;
constexpr double kPercentRange = 100.0;

int ClampAxis(double pixel) {
  if (!std::isfinite(pixel)) return kSquareTop;
  return std::clamp(static_cast<int>(std::nearbyint(pixel)), kSquareTop, kSquareBottom);
}

float ClampSlider(double pixel) {
  if (!std::isfinite(pixel)) return kSquareTop;
  return static_cast<float>(std::clamp(pixel, static_cast<double>(kSquareTop), static_cast<double>(kSquareBottom)));
}

// Values along the axes, as ValuesAt computes them for pixel offsets 0..255.
double AlongX(int offset, double range) { return offset * range / kAxisSpan; }
double UpY(int offset, double range) { return (kAxisSpan - offset) * range / kAxisSpan; }
double DownSlider(int offset, double range) { return range - offset * range / kAxisSpan; }

const std::array<uint8_t, 256>& WebTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(WebSafeComponent(c));
    return t;
  }();
  return table;
}

inline QRgb Pixel(const HueSector& hs, double sat, double v, const uint8_t* web) {
  int r, g, b;
  SectorToRgb(hs, sat, v, &r, &g, &b);
  if (web) r = web[r], g = web[g], b = web[b];
  return 0xFF000000u | (static_cast<QRgb>(r) << 16) | (static_cast<QRgb>(g) << 8) | static_cast<QRgb>(b);
}

void Prepare(QImage& image, int width, int height) {
  if (image.width() != width || image.height() != height || image.format() != QImage::Format_RGB32)
    image = QImage(width, height, QImage::Format_RGB32);
}

}  // namespace

QPoint CursorFor(int mode, const Hsb& v) {
  switch (mode) {
    case kModeS:
      return QPoint(ClampAxis(kSquareLeft + v.h * kAxisSpan / kHueRange),
                    ClampAxis(kSquareTop + (kPercentRange - v.b) * kAxisSpan / kPercentRange));
    case kModeB:
      return QPoint(ClampAxis(kSquareLeft + v.h * kAxisSpan / kHueRange),
                    ClampAxis(kSquareTop + (kPercentRange - v.s) * kAxisSpan / kPercentRange));
    default:
      return QPoint(ClampAxis(kSquareLeft + v.s * kAxisSpan / kPercentRange),
                    ClampAxis(kSquareTop + (kPercentRange - v.b) * kAxisSpan / kPercentRange));
  }
}

float SliderYFor(int mode, const Hsb& v) {
  switch (mode) {
    case kModeS: return ClampSlider(kSquareTop + (kPercentRange - v.s) * kAxisSpan / kPercentRange);
    case kModeB: return ClampSlider(kSquareTop + (kPercentRange - v.b) * kAxisSpan / kPercentRange);
    default: return ClampSlider(kSquareTop + (kHueRange - v.h) * kAxisSpan / kHueRange);
  }
}

Hsb ValuesAt(int mode, const QPoint& cursor, float sliderY) {
  const int x = std::clamp(cursor.x(), kSquareLeft, kSquareRight) - kSquareLeft;
  const int y = std::clamp(cursor.y(), kSquareTop, kSquareBottom) - kSquareTop;
  const double slider = std::clamp(static_cast<double>(sliderY), 10.0, 265.0) - kSquareTop;
  Hsb v;
  switch (mode) {
    case kModeS:
      v.h = AlongX(x, kHueRange);
      v.b = UpY(y, kPercentRange);
      v.s = kPercentRange - slider * kPercentRange / kAxisSpan;
      break;
    case kModeB:
      v.h = AlongX(x, kHueRange);
      v.s = UpY(y, kPercentRange);
      v.b = kPercentRange - slider * kPercentRange / kAxisSpan;
      break;
    default:
      v.s = AlongX(x, kPercentRange);
      v.b = UpY(y, kPercentRange);
      v.h = kHueRange - slider * kHueRange / kAxisSpan;
      break;
  }
  return v;
}

void DrawSquare(QImage& square, int mode, const Hsb& values, bool web) {
  Prepare(square, kSquareSize, kSquareSize);
  const uint8_t* table = web ? WebTable().data() : nullptr;
  if (mode != kModeS && mode != kModeB) {
    // Saturation across, brightness up, for the one hue of the bar.
    const HueSector hs = SectorOf(values.h);
    std::array<double, kSquareSize> sat{};
    for (int x = 0; x < kSquareSize; ++x) sat[x] = detail::ScaledSat(AlongX(x, kPercentRange));
    for (int y = 0; y < kSquareSize; ++y) {
      auto* line = reinterpret_cast<QRgb*>(square.scanLine(y));
      const double v = detail::ScaledSat(UpY(y, kPercentRange));
      for (int x = 0; x < kSquareSize; ++x) line[x] = Pixel(hs, sat[x], v, table);
    }
    return;
  }
  // Hue across; brightness (mode S) or saturation (mode B) up; the other
  // one is the bar's value.
  std::array<HueSector, kSquareSize> hues{};
  for (int x = 0; x < kSquareSize; ++x) hues[x] = SectorOf(AlongX(x, kHueRange));
  const double fixed = detail::ScaledSat(mode == kModeS ? values.s : values.b);
  for (int y = 0; y < kSquareSize; ++y) {
    auto* line = reinterpret_cast<QRgb*>(square.scanLine(y));
    const double up = detail::ScaledSat(UpY(y, kPercentRange));
    const double sat = mode == kModeS ? fixed : up;
    const double v = mode == kModeS ? up : fixed;
    for (int x = 0; x < kSquareSize; ++x) line[x] = Pixel(hues[x], sat, v, table);
  }
}

void DrawBar(QImage& bar, int mode, const Hsb& values, bool web) {
  Prepare(bar, kBarWidth, kSquareSize);
  const uint8_t* table = web ? WebTable().data() : nullptr;
  const HueSector fixedHue = SectorOf(values.h);
  for (int y = 0; y < kSquareSize; ++y) {
    QRgb colour;
    if (mode == kModeS)
      colour = Pixel(fixedHue, detail::ScaledSat(DownSlider(y, kPercentRange)), detail::ScaledSat(values.b), table);
    else if (mode == kModeB)
      colour = Pixel(fixedHue, detail::ScaledSat(values.s), detail::ScaledSat(DownSlider(y, kPercentRange)), table);
    else
      colour = Pixel(SectorOf(DownSlider(y, kHueRange)), 255.0, 255.0, table);
    auto* line = reinterpret_cast<QRgb*>(bar.scanLine(y));
    std::fill(line, line + kBarWidth, colour);
  }
}

ColourValue PixelColour(const QImage& image, int x, int y) {
  if (!image.valid(x, y)) return 0;
  const QRgb p = image.pixel(x, y);
  return RgbValue(qRed(p), qGreen(p), qBlue(p));
}

}  // namespace ColorDialogMod
