// What the colour dialog draws on its own surface: the picker square and bar
// with their cursor and markers, the palette grid, the information text, the
// about page and the hot corner.
#include <QPainter>
#include <QShowEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_swatch.h"

using namespace ColorDialogMod;

namespace {

constexpr int kCursorRadius = 5;
constexpr int kMarkerLeft1 = 272, kMarkerRight1 = 275;
constexpr int kMarkerLeft2 = 294, kMarkerRight2 = 297;

// The pixels of a circle of radius 5 around (0, 0), each once, so that
// inverting them twice restores the picture.
const std::vector<QPoint>& CirclePixels() {
  static const std::vector<QPoint> pixels = [] {
    std::vector<QPoint> out;
    auto add = [&out](int x, int y) {
      const QPoint p(x, y);
      if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
    };
    int x = kCursorRadius, y = 0, err = 1 - kCursorRadius;
    while (x >= y) {
      for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
          add(sx * x, sy * y);
          add(sx * y, sy * x);
        }
      ++y;
      if (err < 0) {
        err += 2 * y + 1;
      } else {
        --x;
        err += 2 * (y - x) + 1;
      }
    }
    return out;
  }();
  return pixels;
}

void InvertPixel(QImage& image, int x, int y) {
  if (!image.valid(x, y)) return;
  auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
  line[x] ^= 0x00FFFFFFu;
}

QFont InfoFont() { return QFont(QStringLiteral("宋体"), 10); }

}  // namespace

QRect ColorDialog::InfoArea() const { return QRect(300, 110, 176, 88); }

void ColorDialog::ClearCanvas() {
  canvas_.fill(palette().color(QPalette::Window));
  cursorShown_ = false;
  markersShown_ = false;
}

// The hot corner: a raised chip with the last accepted colour and a tick.
void ColorDialog::DrawChrome() {
  QPainter p(&canvas_);
  const QRect outer = HotOuter();
  p.fillRect(outer, palette().color(QPalette::Window));
  p.setPen(QColor(255, 255, 255));
  p.drawLine(outer.topLeft(), outer.topRight());
  p.drawLine(outer.topLeft(), outer.bottomLeft());
  p.setPen(QColor(128, 128, 128));
  p.drawLine(outer.bottomLeft(), outer.bottomRight());
  p.drawLine(outer.topRight(), outer.bottomRight());
  const QRect inner = HotInner();
  p.fillRect(inner, ColourValueToQColor(LastColor));
  p.setPen(Qt::black);
  p.drawRect(inner.adjusted(0, 0, -1, -1));
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 110, 0), 2));
  const int x = inner.right() + 8, y = inner.center().y();
  p.drawPolyline(QPolygon({QPoint(x, y), QPoint(x + 4, y + 4), QPoint(x + 13, y - 5)}));
}

void ColorDialog::DrawSelFrame() {
  QPainter p(&canvas_);
  const QRect r(QPoint(9, 9), QPoint(267, 267));
  // Outer ring: dark above and left, white below and right; inner ring
  // black and light grey.
  p.setPen(QColor(128, 128, 128));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(QColor(255, 255, 255));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
  const QRect in = r.adjusted(1, 1, -1, -1);
  p.setPen(QColor(0, 0, 0));
  p.drawLine(in.topLeft(), in.topRight());
  p.drawLine(in.topLeft(), in.bottomLeft());
  p.setPen(QColor(223, 223, 223));
  p.drawLine(in.bottomLeft(), in.bottomRight());
  p.drawLine(in.topRight(), in.bottomRight());
}

void ColorDialog::XorCursorAt(const QPoint& centre) {
  for (const QPoint& d : CirclePixels()) InvertPixel(canvas_, centre.x() + d.x(), centre.y() + d.y());
}

void ColorDialog::XorMarkersAt(int row) {
  for (int y = row; y <= row + 1; ++y) {
    for (int x = kMarkerLeft1; x <= kMarkerRight1; ++x) InvertPixel(canvas_, x, y);
    for (int x = kMarkerLeft2; x <= kMarkerRight2; ++x) InvertPixel(canvas_, x, y);
  }
}

void ColorDialog::DrawPicker() {
  const QPoint at(CursorX, CursorY);
  XorCursorAt(at);
  if (cursorShown_ && shownCursor_ == at) {
    cursorShown_ = false;
  } else {
    cursorShown_ = true;
    shownCursor_ = at;
  }
  update();
}

void ColorDialog::MoveCursor(const QPoint& p) {
  if (cursorShown_) XorCursorAt(shownCursor_);
  cursorShown_ = false;
  CursorX = p.x();
  CursorY = p.y();
  DrawPicker();
}

void ColorDialog::MoveSlider(double y) {
  if (markersShown_) XorMarkersAt(shownMarkerRow_);
  SliderY = static_cast<float>(y);
  shownMarkerRow_ = static_cast<int>(std::lrint(SliderY));
  XorMarkersAt(shownMarkerRow_);
  markersShown_ = true;
  update();
}

void ColorDialog::RedrawSquare() {
  DrawSquare(square_, PickerMode, hsb_, WebColors);
  const bool had = cursorShown_;
  if (had) XorCursorAt(shownCursor_);
  {
    QPainter p(&canvas_);
    p.drawImage(kSquareLeft, kSquareTop, square_);
  }
  if (had) XorCursorAt(shownCursor_);
  update(QRect(kSquareLeft - kCursorRadius, kSquareTop - kCursorRadius, kSquareSize + 2 * kCursorRadius,
               kSquareSize + 2 * kCursorRadius));
}

void ColorDialog::RedrawBar() {
  DrawBar(bar_, PickerMode, hsb_, WebColors);
  QPainter p(&canvas_);
  p.drawImage(kBarLeft, kSquareTop, bar_);
  update(QRect(kBarLeft, kSquareTop, kBarWidth, kSquareSize));
}

// The whole picker page for hsb_ at the current cursor and slider.
void ColorDialog::RedrawPickerPage() {
  ClearCanvas();
  DrawChrome();
  DrawSelFrame();
  RedrawSquare();
  RedrawBar();
  MoveSlider(SliderY);
  DrawPicker();
  update();
}

// ---- picking -------------------------------------------------------------------

void ColorDialog::LoadMode(int16_t pickerMode) {
  if (pickerMode < kModeH || pickerMode > kModeWebSafe) return;
  PickerMode = pickerMode;
  if (pickerMode > kModeB) return;
  const ColourValue colour = lblSelColor_->Color();
  hsb_ = RgbToHsb(colour);
  const QPoint cursor = CursorFor(pickerMode, hsb_);
  CursorX = cursor.x();
  CursorY = cursor.y();
  SliderY = SliderYFor(pickerMode, hsb_);
  if (page_ == kPagePicker) RedrawPickerPage();
  SetSelected(colour);
  FillRgbFields(colour);
  FillHsbFields(hsb_);
}

// Reads the selected colour back from the drawn pixels: the square under the
// cursor in mode H, the bar at the slider in modes S and B. The surface that
// depends on the moved value is drawn again first.
void ColorDialog::Pick() {
  hsb_ = ValuesAt(PickerMode, QPoint(CursorX, CursorY), SliderY);
  if (drag_ == Drag::Slider)
    RedrawSquare();
  else if (PickerMode != kModeH)
    RedrawBar();
  ColourValue colour;
  if (PickerMode == kModeH)
    colour = PixelColour(square_, CursorX - kSquareLeft, CursorY - kSquareTop);
  else
    colour = PixelColour(bar_, 0, static_cast<int>(std::lrint(SliderY)) - kSquareTop);
  SetSelected(colour);
  FillRgbFields(colour);
  FillHsbFields(hsb_);
}

// Shows the values on the picker and selects their colour (rounded to a
// web-safe colour when those are asked for).
void ColorDialog::ApplyValues(const Hsb& values) {
  hsb_ = values;
  const int mode = PickerMode <= kModeB ? PickerMode : static_cast<int16_t>(kModeH);
  const QPoint cursor = CursorFor(mode, hsb_);
  CursorX = cursor.x();
  CursorY = cursor.y();
  SliderY = SliderYFor(mode, hsb_);
  if (page_ == kPagePicker && PickerMode <= kModeB) RedrawPickerPage();
  ColourValue colour = HsbToRgb(values);
  if (WebColors) colour = WebSafeColour(colour);
  SetSelected(colour);
  FillRgbFields(colour);
}

// ---- palette page ----------------------------------------------------------------

void ColorDialog::DrawCell(int cell, ColourValue colour) {
  const QRect r = CellRect(cell);
  if (r.isNull()) return;
  QPainter p(&canvas_);
  p.fillRect(r, ColourValueToQColor(colour));
  p.setPen(Qt::black);
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

void ColorDialog::DrawCustomPalette() {
  LoadCustomColors();
  ClearCanvas();
  DrawChrome();
  for (int cell = 1; cell <= kCellCount; ++cell) DrawCell(cell, CustomColors[cell]);
  DrawSafePicker(SelectedCell, false);
}

void ColorDialog::DrawWebSafePalette() {
  ClearCanvas();
  DrawChrome();
  for (int cell = 1; cell <= kCellCount; ++cell) DrawCell(cell, GetSafeColor(static_cast<int16_t>(cell)));
  DrawSafePicker(SelectedCell, false);
}

void ColorDialog::DrawSafePicker(int16_t cell, bool erase) {
  const QRect cellRect = CellRect(cell);
  if (cellRect.isNull()) return;
  const QRect outer = cellRect.adjusted(-3, -3, 3, 3);
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  QPainter p(&canvas_);
  auto ring = [&p](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  };
  if (erase) {
    const QColor back = palette().color(QPalette::Window);
    ring(outer, back, back);
    ring(inner, back, back);
  } else {
    ring(outer, QColor(128, 128, 128), QColor(255, 255, 255));
    ring(inner, QColor(64, 64, 64), QColor(212, 208, 200));
  }
  update(outer);
}

void ColorDialog::SelectCell(int cell) {
  if (cell < 1 || cell > kCellCount) return;
  if (cell != SelectedCell) DrawSafePicker(SelectedCell, true);
  SelectedCell = static_cast<int16_t>(cell);
  DrawSafePicker(SelectedCell, false);
  const ColourValue colour = page_ == kPageCustom ? CustomColors[cell] : GetSafeColor(static_cast<int16_t>(cell));
  SetSelected(colour);
  PrintInfo(colour);
}

void ColorDialog::PrintInfo(ColourValue colour) {
  const QRect area = InfoArea();
  QPainter p(&canvas_);
  p.fillRect(area, palette().color(QPalette::Window));
  p.setFont(InfoFont());
  p.setPen(Qt::black);
  const int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
  const QStringList lines = {QStringLiteral("R: %1").arg(r), QStringLiteral("G: %1").arg(g),
                             QStringLiteral("B: %1").arg(b), QStringLiteral("Hex: #") + GetHexVal(r, g, b)};
  const int lineHeight = p.fontMetrics().height() + 4;
  for (int i = 0; i < lines.size(); ++i)
    p.drawText(QRect(area.left() + 4, area.top() + i * lineHeight, area.width() - 4, lineHeight),
               Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
  update(area);
}

void ColorDialog::DrawAboutPage() {
  ClearCanvas();
  DrawChrome();
  QPainter p(&canvas_);
  const QRect box(10, 10, 282, 258);
  p.fillRect(box, QColor(255, 255, 255));
  p.setPen(QColor(128, 128, 128));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.setPen(QColor(0, 45, 150));
  p.setFont(QFont(QStringLiteral("宋体"), 12, QFont::Bold));
  p.drawText(QRect(box.left(), box.top() + 14, box.width(), 24), Qt::AlignHCenter, QString::fromUtf8(kCaption));
  p.setPen(Qt::black);
  p.setFont(QFont(QStringLiteral("宋体"), 9));
  const QString text = QStringLiteral(
      "拾色器：按色相(H)、饱和度(S)或亮度(B)在方块和色条上取色，也可直接输入数值。\n"
      "增强色：224个自定义颜色，保存在程序目录的 usercolors.cps 中。选中一格，按“<<保存”存入在拾色器选好的颜色。\n"
      "普通色：216种网页安全色。\n"
      "使用网页颜色：取到的都是网页安全色。\n"
      "右上角色块是上次确定的颜色：单击色块取回，单击其右侧取回并确定。");
  const QStringList paragraphs = text.split(QLatin1Char('\n'));
  int y = box.top() + 48;
  for (const QString& paragraph : paragraphs) {
    const QRect room(box.left() + 12, y, box.width() - 24, box.bottom() - y);
    const QRect used = p.boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, paragraph);
    p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, paragraph);
    y += used.height() + 6;
  }
  update();
}

void ColorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DrawChrome();  // the last accepted colour may have changed meanwhile
  update();
}
