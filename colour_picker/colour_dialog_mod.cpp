#include "colour_picker/colour_dialog_mod.h"

#include <QPointer>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/hsb_core.h"
#include "core/material_store.h"
#include "core/number_text.h"
#include "platform/app_paths.h"

namespace ColorDialogMod {

ColourValue CurrentColor = 0;
ColourValue LastColor = 0;
bool WebColors = false;
int16_t PickerMode = kModeH;
int16_t SelectedCell = 1;
std::array<ColourValue, kCustomColourCount> CustomColors{};
std::array<QRect, kCellCount + 1> CellRects = [] {
  std::array<QRect, kCellCount + 1> rects{};
  for (int cell = 1; cell <= kCellCount; ++cell) rects[cell] = CellRect(cell);
  return rects;
}();
int32_t CursorX = kSquareLeft;
int32_t CursorY = kSquareBottom;
float SliderY = kSquareTop;

void ResetState() {
  CurrentColor = 0;
  LastColor = 0;
  WebColors = false;
  PickerMode = kModeH;
  SelectedCell = 1;
  CustomColors.fill(0);
  CursorX = kSquareLeft;
  CursorY = kSquareBottom;
  SliderY = kSquareTop;
}

// ---- conversions ----------------------------------------------------------

Hsb RgbToHsb(int red, int green, int blue) {
  const double r = std::clamp(red, 0, 255), g = std::clamp(green, 0, 255), b = std::clamp(blue, 0, 255);
  const double mx = std::max({r, g, b});
  const double mn = std::min({r, g, b});
  Hsb out;
  out.b = mx * 100.0 / 255.0;
  out.s = mx == 0 ? 0.0 : 100.0 - mn * 100.0 / mx;
  if (out.s == 0) return out;
  const double d = mx - mn;
  const double rr = (mx - r) / d, gg = (mx - g) / d, bb = (mx - b) / d;
  double h;
  if (mx == r)
    h = bb - gg;
  else if (mx == g)
    h = 2 + rr - bb;
  else
    h = 4 + gg - rr;
  h *= 60.0;
  if (h < 0) h += 360.0;
  out.h = h;
  return out;
}

ColourValue HsbToRgb(double h, double s, double b) {
  if (!std::isfinite(h)) h = 0;
  if (!std::isfinite(s)) s = 0;
  if (!std::isfinite(b)) b = 0;
  int red, green, blue;
  detail::SectorToRgb(detail::SectorOf(h), detail::ScaledSat(s), detail::ScaledSat(b), &red, &green, &blue);
  return RgbValue(red, green, blue);
}

Cmyk RgbToCmyk(int red, int green, int blue) {
  Cmyk out;
  out.c = 255 - red;
  out.m = 255 - green;
  out.y = 255 - blue;
  out.k = std::min({out.c, out.m, out.y});
  if (out.k >= 1) {
    out.c -= out.k;
    out.m -= out.k;
    out.y -= out.k;
  }
  return out;
}

int TruncateValue(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::floor(value + 1e-3));
}

QString HexText(int red, int green, int blue) {
  auto two = [](int c) { return QStringLiteral("%1").arg(std::clamp(c, 0, 255), 2, 16, QLatin1Char('0')).toUpper(); };
  return two(red) + two(green) + two(blue);
}

int WebSafeComponent(int component) {
  const int c = std::clamp(component, 0, 255);
  return static_cast<int>(std::nearbyint(c / 51.0)) * 51;
}

ColourValue WebSafeColour(ColourValue colour) {
  return RgbValue(WebSafeComponent(RedOf(colour)), WebSafeComponent(GreenOf(colour)),
                  WebSafeComponent(BlueOf(colour)));
}

ColourValue SafeColorOfCell(int cell) {
  if (cell < 1 || cell > kWebSafeCount) return 0;
  const int n = cell - 1;
  return RgbValue(n / 36 * 51, n / 6 % 6 * 51, n % 6 * 51);
}

bool AcceptColourValue(ColourValue value, ColourValue* accepted) {
  if (IsSystemColourValue(value)) {
    if (!IsKnownSystemColour(value)) return false;
    *accepted = ResolveColourValue(value);
    return true;
  }
  if (value > 0xFFFFFFu) return false;
  *accepted = value;
  return true;
}

// ---- palette grid -----------------------------------------------------------

QRect CellRect(int cell) {
  if (cell < 1 || cell > kCellCount) return QRect();
  const int n = cell - 1;
  return QRect(10 + n % kCellsPerRow * kCellPitch, 10 + n / kCellsPerRow * kCellPitch, kCellSize, kCellSize);
}

int CellAt(const QPoint& p) {
  // Rows and columns are regular, so the candidate cell is found directly.
  const int col = (p.x() - 10) / kCellPitch, row = (p.y() - 10) / kCellPitch;
  if (p.x() < 10 || p.y() < 10 || col >= kCellsPerRow || row >= kCellCount / kCellsPerRow) return 0;
  const int cell = row * kCellsPerRow + col + 1;
  const QRect r = CellRect(cell);
  // Strictly inside the rectangle from its corner to the corner 15 pixels on.
  const bool inside = p.x() > r.left() && p.x() < r.left() + kCellSize && p.y() > r.top() &&
                      p.y() < r.top() + kCellSize;
  return inside ? cell : 0;
}

// ---- custom colour file -----------------------------------------------------

QString CustomColorsPath() { return platform::ApplicationFolder() + QStringLiteral("/usercolors.cps"); }

std::array<ColourValue, kCustomColourCount> ReadCustomColors(const QString& path) {
  std::array<ColourValue, kCustomColourCount> colours{};
  const QString text = ProMod::ReadTextFile(path);
  if (text.isEmpty()) return colours;
  // The text starts with a line break, so the first piece is empty.
  int entry = -1;
  qsizetype from = 0;
  while (entry < kCustomColourCount && from <= text.size()) {
    qsizetype end = text.indexOf(QStringLiteral("\r\n"), from);
    if (end < 0) end = text.size();
    if (entry >= 0) {
      bool ok = false;
      const int32_t number = ProMod::RoundToInt32(ProMod::LeadingNumber(QStringView(text).mid(from, end - from)), &ok);
      ColourValue colour = 0;
      if (ok && AcceptColourValue(static_cast<ColourValue>(number), &colour)) colours[entry] = colour;
    }
    ++entry;
    from = end + 2;
  }
  return colours;
}

bool WriteCustomColors(const QString& path, const std::array<ColourValue, kCustomColourCount>& colours) {
  QStringList lines;
  lines.reserve(kCustomColourCount);
  for (ColourValue colour : colours) {
    const auto number = static_cast<int32_t>(colour);
    lines << (number >= 0 ? QStringLiteral(" ") : QString()) + QString::number(number);
  }
  return ProMod::WriteTextFile(path, lines.join(QStringLiteral("\r\n")));
}

void LoadCustomColors() { CustomColors = ReadCustomColors(CustomColorsPath()); }

bool SaveCustomColors() { return WriteCustomColors(CustomColorsPath(), CustomColors); }

// ---- the single dialog ------------------------------------------------------

namespace {
QPointer<ColorDialog>& DialogSlot() {
  static QPointer<ColorDialog> dialog;
  return dialog;
}
}  // namespace

ColorDialog* Dialog(QWidget* parent) {
  QPointer<ColorDialog>& slot = DialogSlot();
  if (!slot) {
    slot = new ColorDialog(parent);
  } else if (parent && slot->parentWidget() != parent && !slot->isVisible()) {
    slot->setParent(parent, slot->windowFlags());
  }
  return slot;
}

ColorDialog* LoadedDialog() { return DialogSlot(); }

void UnloadDialog() {
  QPointer<ColorDialog>& slot = DialogSlot();
  if (!slot) return;
  ColorDialog* dialog = slot;
  slot = nullptr;
  dialog->hide();
  // Inside one of its own handlers (a ColorChange handler asking for a
  // reload) the window is still on the call stack: release it afterwards.
  if (dialog->InsideHandler())
    dialog->deleteLater();
  else
    delete dialog;
}

}  // namespace ColorDialogMod
