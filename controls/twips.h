#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>
#include <cstdint>

// Lengths in window layouts are kept in twips (1/1440 inch); at 96 dots per
// inch 15 twips make one pixel. Controls keep twips in their interfaces and
// convert only where they draw or measure, with these helpers.
namespace twips {

constexpr int kPerPixel = 15;

// Pixels for a length in twips, rounded to the nearest pixel (halves to
// the even neighbour, like every other whole-number conversion).
inline int ToPixels(double twipValue) {
  double px = std::nearbyint(twipValue / kPerPixel);  // default rounding mode: halves to even
  if (!(px > -2147483648.0)) return INT32_MIN;
  if (!(px < 2147483647.0)) return INT32_MAX;
  return static_cast<int>(px);
}
// Exact pixels (for fractional geometry such as text positions).
constexpr double ToPixelsF(double twipValue) { return twipValue / kPerPixel; }
// Twips for a length in pixels.
constexpr double FromPixels(double pixels) { return pixels * kPerPixel; }
inline int FromPixelsInt(int pixels) {
  long long t = static_cast<long long>(pixels) * kPerPixel;
  if (t > INT32_MAX) return INT32_MAX;
  if (t < INT32_MIN) return INT32_MIN;
  return static_cast<int>(t);
}

inline QPoint ToPixels(const QPoint& p) { return QPoint(ToPixels(p.x()), ToPixels(p.y())); }
inline QSize ToPixels(const QSize& s) { return QSize(ToPixels(s.width()), ToPixels(s.height())); }
inline QRect ToPixels(const QRect& r) {
  return QRect(ToPixels(r.x()), ToPixels(r.y()), ToPixels(r.width()), ToPixels(r.height()));
}

}  // namespace twips
