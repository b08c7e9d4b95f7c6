#pragma once
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>

#include "controls/colour_value.h"

class ColorDialog;
class QWidget;

// The colour picker's shared unit: the state every ColorBox and the single
// ColorDialog share, the colour conversions, the drawing of the picker's
// square and bar, the palette grid and the custom colour file.
//
// Colours are 0x00BBGGRR values. R, G, B run from 0 to 255, H from 0 to 360
// degrees, S and B from 0 to 100 per cent. Picker coordinates are pixels of
// the dialog's client area.
namespace ColorDialogMod {

// ---- picker modes and geometry ----

enum PickerModeValue : int16_t { kModeH = 0, kModeS = 1, kModeB = 2, kModeCustom = 3, kModeWebSafe = 4 };

constexpr int kSquareLeft = 10;
constexpr int kSquareTop = 10;
constexpr int kSquareRight = 265;   // last pixel column of the square
constexpr int kSquareBottom = 265;  // last pixel row of the square
constexpr int kSquareSize = 256;
constexpr int kBarLeft = 277;
constexpr int kBarRight = 292;  // last pixel column of the bar
constexpr int kBarWidth = kBarRight - kBarLeft + 1;
constexpr int kAxisSpan = 255;  // pixels from the start to the end of an axis

constexpr int kCellCount = 224;
constexpr int kCustomColourCount = 225;  // entry 0 is kept but never shown
constexpr int kWebSafeCount = 216;
constexpr int kCellSize = 15;
constexpr int kCellPitch = 18;
constexpr int kCellsPerRow = 16;

// ---- shared state (one set per process) ----

extern ColourValue CurrentColor;  // the value of ColorBox::Color
extern ColourValue LastColor;     // confirmed by the last OK
extern bool WebColors;            // ColorBox::WebColors and "使用网页颜色"
extern int16_t PickerMode;        // PickerModeValue
extern int16_t SelectedCell;      // 1..224
extern std::array<ColourValue, kCustomColourCount> CustomColors;
extern std::array<QRect, kCellCount + 1> CellRects;  // 1..224; index 0 unused
extern int32_t CursorX, CursorY;  // centre of the square cursor
extern float SliderY;             // row the slider markers point at

// Back to the state of a fresh process (the dialog is not touched).
void ResetState();

// ---- conversions ----

struct Hsb {
  double h = 0;  // 0..360
  double s = 0;  // 0..100
  double b = 0;  // 0..100
};
struct Cmyk {
  int c = 0, m = 0, y = 0, k = 0;
};

Hsb RgbToHsb(int red, int green, int blue);
inline Hsb RgbToHsb(ColourValue colour) { return RgbToHsb(RedOf(colour), GreenOf(colour), BlueOf(colour)); }
// Values outside their ranges are clamped; hue 360 is red, like hue 0.
ColourValue HsbToRgb(double h, double s, double b);
inline ColourValue HsbToRgb(const Hsb& v) { return HsbToRgb(v.h, v.s, v.b); }
Cmyk RgbToCmyk(int red, int green, int blue);

// A value shown in a field: the whole part, with a margin for the float
// error of a position turned back into a value (so 100 stays 100).
int TruncateValue(double value);

// Six upper-case hexadecimal digits, red first ("00050A").
QString HexText(int red, int green, int blue);

// The nearest multiple of 51 (a component of the 216 web-safe colours).
int WebSafeComponent(int component);
ColourValue WebSafeColour(ColourValue colour);
// The colour of web-safe palette cell 1..216 (red outer, green middle,
// blue inner); black for any other cell.
ColourValue SafeColorOfCell(int cell);

// What a value handed to ColorBox::Color stands for: a known system colour
// becomes its current colour; a plain colour stays as it is. false for a
// value that names no colour (an unknown system index, or bits above the
// blue byte), which the caller refuses.
bool AcceptColourValue(ColourValue value, ColourValue* accepted);

// ---- palette grid ----

// Cell 1..224: 15 × 15 pixels, 16 to a row, 3 pixels apart, from (10, 10).
QRect CellRect(int cell);
// The cell whose rectangle holds `p` strictly inside (not on its border);
// 0 when none.
int CellAt(const QPoint& p);

// ---- custom colour file ----

// usercolors.cps in the application folder.
QString CustomColorsPath();
// The 225 entries of a custom colour file: one number per line in order;
// a line that is no number, a number that is no colour and every missing
// line give black, lines after the 225th are ignored. A missing file gives
// 225 black entries.
std::array<ColourValue, kCustomColourCount> ReadCustomColors(const QString& path);
// Rewrites the whole file: 225 lines, each the entry as a signed decimal
// number with a leading space when not negative. Returns success.
bool WriteCustomColors(const QString& path, const std::array<ColourValue, kCustomColourCount>& colours);
// CustomColors from / to the application's file.
void LoadCustomColors();
bool SaveCustomColors();

// ---- picker surfaces ----

// Where the square cursor and the slider stand for the values in `mode`.
QPoint CursorFor(int mode, const Hsb& values);
float SliderYFor(int mode, const Hsb& values);
// The values a cursor and slider position stand for in `mode` (not
// truncated).
Hsb ValuesAt(int mode, const QPoint& cursor, float sliderY);

// Fills `square` (256 × 256, RGB32; reallocated when it is not) with the
// picker square of `mode`: every pixel the colour its position stands for,
// the value not on an axis taken from `values`. With `web`, every component
// is rounded to a multiple of 51.
void DrawSquare(QImage& square, int mode, const Hsb& values, bool web);
// Fills `bar` (16 × 256, RGB32) with the slider bar of `mode`, likewise.
void DrawBar(QImage& bar, int mode, const Hsb& values, bool web);
// The colour of a pixel of such an image.
ColourValue PixelColour(const QImage& image, int x, int y);

// ---- the single dialog ----

// The dialog, loaded on first use with `parent` as its owner window.
ColorDialog* Dialog(QWidget* parent = nullptr);
// The dialog when it is loaded, else nullptr.
ColorDialog* LoadedDialog();
// Releases the dialog (hidden first); the next Dialog() loads a new one.
void UnloadDialog();

}  // namespace ColorDialogMod
