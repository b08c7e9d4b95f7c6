#include "controls/colour_value.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct PaletteSlot {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// Palette role standing in for each system colour index; index 25 has none.
bool SlotFor(int index, PaletteSlot* slot) {
  using P = QPalette;
  static const PaletteSlot kSlots[] = {
      {P::Active, P::Button},           // 0 scroll bar
      {P::Active, P::Dark},             // 1 desktop
      {P::Active, P::Highlight},        // 2 active caption
      {P::Inactive, P::Mid},            // 3 inactive caption
      {P::Active, P::Window},           // 4 menu
      {P::Active, P::Base},             // 5 window
      {P::Active, P::Shadow},           // 6 window frame
      {P::Active, P::WindowText},       // 7 menu text
      {P::Active, P::Text},             // 8 window text
      {P::Active, P::HighlightedText},  // 9 caption text
      {P::Active, P::Button},           // 10 active border
      {P::Inactive, P::Button},         // 11 inactive border
      {P::Active, P::Mid},              // 12 application workspace
      {P::Active, P::Highlight},        // 13 highlight
      {P::Active, P::HighlightedText},  // 14 highlight text
      {P::Active, P::Button},           // 15 button face
      {P::Active, P::Dark},             // 16 button shadow
      {P::Disabled, P::Text},           // 17 grey text
      {P::Active, P::ButtonText},       // 18 button text
      {P::Disabled, P::WindowText},     // 19 inactive caption text
      {P::Active, P::Light},            // 20 button highlight
      {P::Active, P::Shadow},           // 21 3-D dark shadow
      {P::Active, P::Midlight},         // 22 3-D light
      {P::Active, P::ToolTipText},      // 23 info text
      {P::Active, P::ToolTipBase},      // 24 info background
      {P::Active, P::NoRole},           // 25 unused
      {P::Active, P::Link},             // 26 hot light
      {P::Active, P::Highlight},        // 27 gradient active caption
      {P::Inactive, P::Mid},            // 28 gradient inactive caption
      {P::Active, P::Highlight},        // 29 menu highlight
      {P::Active, P::Window},           // 30 menu bar
  };
  if (index < 0 || index >= static_cast<int>(sizeof(kSlots) / sizeof(kSlots[0]))) return false;
  if (kSlots[index].role == P::NoRole) return false;
  *slot = kSlots[index];
  return true;
}

QColor FromLowBytes(ColourValue value) { return QColor(RedOf(value), GreenOf(value), BlueOf(value)); }

}  // namespace

bool IsKnownSystemColour(ColourValue value) {
  if (!IsSystemColourValue(value)) return false;
  ColourValue index = value & ~kSystemColourFlag;
  PaletteSlot slot{QPalette::Active, QPalette::NoRole};
  return index <= 0xFFu && SlotFor(static_cast<int>(index), &slot);
}

ColourValue ResolveColourValue(ColourValue value) {
  if (!IsKnownSystemColour(value)) return value;
  PaletteSlot slot{QPalette::Active, QPalette::NoRole};
  SlotFor(static_cast<int>(value & ~kSystemColourFlag), &slot);
  const QPalette palette = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
  return QColorToColourValue(palette.color(slot.group, slot.role));
}

QColor ColourValueToQColor(ColourValue value) { return FromLowBytes(ResolveColourValue(value)); }

ColourValue QColorToColourValue(const QColor& colour) {
  QColor rgb = colour.toRgb();
  return RgbValue(rgb.red(), rgb.green(), rgb.blue());
}
