#pragma once
#include <QColor>
#include <cstdint>

// Colours travel through the controls' interfaces as 32-bit values:
// red in the low byte, then green, then blue (0x00BBGGRR). A value with the
// top bit set names a system colour by the index in its low bits; such a
// value is translated to the current palette colour only when it is used.
using ColourValue = uint32_t;

constexpr ColourValue kSystemColourFlag = 0x80000000u;

// Builds 0x00BBGGRR from its channels (each clamped to 0..255).
constexpr ColourValue RgbValue(int red, int green, int blue) {
  auto clamp = [](int v) { return static_cast<ColourValue>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}
constexpr int RedOf(ColourValue value) { return static_cast<int>(value & 0xFFu); }
constexpr int GreenOf(ColourValue value) { return static_cast<int>((value >> 8) & 0xFFu); }
constexpr int BlueOf(ColourValue value) { return static_cast<int>((value >> 16) & 0xFFu); }

constexpr bool IsSystemColourValue(ColourValue value) { return (value & kSystemColourFlag) != 0; }
// The system colour with index `index` (0x80000000 | index).
constexpr ColourValue SystemColourValue(int index) { return kSystemColourFlag | static_cast<ColourValue>(index); }

// Well-known system colour indices (the classic desktop colour slots).
enum SystemColourIndex : int {
  kSysScrollBar = 0, kSysDesktop = 1, kSysActiveCaption = 2, kSysInactiveCaption = 3, kSysMenu = 4,
  kSysWindow = 5, kSysWindowFrame = 6, kSysMenuText = 7, kSysWindowText = 8, kSysCaptionText = 9,
  kSysActiveBorder = 10, kSysInactiveBorder = 11, kSysAppWorkspace = 12, kSysHighlight = 13,
  kSysHighlightText = 14, kSysButtonFace = 15, kSysButtonShadow = 16, kSysGrayText = 17, kSysButtonText = 18,
  kSysInactiveCaptionText = 19, kSysButtonHighlight = 20, kSys3dDarkShadow = 21, kSys3dLight = 22,
  kSysInfoText = 23, kSysInfoBackground = 24,
  // 25 is an unused slot.
  kSysHotLight = 26, kSysGradientActiveCaption = 27, kSysGradientInactiveCaption = 28, kSysMenuHighlight = 29,
  kSysMenuBar = 30,
};

// True when `value` is a system colour whose index has a palette colour.
bool IsKnownSystemColour(ColourValue value);

// The plain 0x00BBGGRR value of `value`: system colours with a known index
// are looked up in the application's current palette; every other value is
// returned unchanged (so an unknown system index keeps its top bit).
ColourValue ResolveColourValue(ColourValue value);

// The colour to draw with. A known system colour comes from the current
// palette; anything else is read from its three low bytes (an unknown
// system index therefore draws as the colour its low bytes spell).
QColor ColourValueToQColor(ColourValue value);

// The 0x00BBGGRR value of an opaque colour.
ColourValue QColorToColourValue(const QColor& colour);
