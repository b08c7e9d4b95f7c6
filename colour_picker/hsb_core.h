#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

// The one HSB to RGB step behind both HsbToRgb and the drawn picker
// surfaces, so that a drawn pixel and a converted value never differ.
namespace ColorDialogMod::detail {

struct HueSector {
  int i = 0;       // 0..5
  double f = 0;    // position inside the sector
};

inline HueSector SectorOf(double hue) {
  const double hh = std::clamp(hue, 0.0, 360.0) / 60.0;
  HueSector s;
  s.i = static_cast<int>(hh);
  s.f = hh - s.i;
  if (s.i >= 6) s.i = 0;  // hue 360 is the red of hue 0
  return s;
}

// Saturation and brightness scaled to 0..255. Components are rounded to
// the nearest whole number, halves to even.
inline void SectorToRgb(const HueSector& hs, double sat, double v, int* r, int* g, int* b) {
  if (sat == 0) {
    *r = *g = *b = static_cast<int>(std::lrint(v));
    return;
  }
  const double p = (1 - sat / 255.0) * v;
  const double q = (1 - sat / 255.0 * hs.f) * v;
  const double t = (1 - (1 - hs.f) * sat / 255.0) * v;
  double rr, gg, bb;
  switch (hs.i) {
    case 0: rr = v, gg = t, bb = p; break;
    case 1: rr = q, gg = v, bb = p; break;
    case 2: rr = p, gg = v, bb = t; break;
    case 3: rr = p, gg = q, bb = v; break;
    case 4: rr = t, gg = p, bb = v; break;
    default: rr = v, gg = p, bb = q; break;
  }
  *r = std::clamp(static_cast<int>(std::lrint(rr)), 0, 255);
  *g = std::clamp(static_cast<int>(std::lrint(gg)), 0, 255);
  *b = std::clamp(static_cast<int>(std::lrint(bb)), 0, 255);
}

inline double ScaledSat(double s) { return std::clamp(s, 0.0, 100.0) * 255.0 / 100.0; }

}  // namespace ColorDialogMod::detail
