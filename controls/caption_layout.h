#pragma once
#include <QFont>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

// Measures and wraps caption text the way the item list shows it: lines end
// at carriage return / line feed; with wrapping on, a line breaks after
// spaces or around wide (CJK) characters, and a word longer than the whole
// width is split between characters. Character advances are cached per font,
// so measuring tens of thousands of captions costs a table lookup per
// character instead of a text-shaping pass per caption. Painting uses the
// same line breaks, so what is measured is exactly what is drawn.
class CaptionLayout {
 public:
  explicit CaptionLayout(const QFont& font);

  const QFont& Font() const { return font_; }
  // Height of one line and the baseline offset, in pixels.
  int LineHeight() const { return lineHeight_; }
  int Ascent() const { return ascent_; }

  struct Line {
    int start = 0;
    int length = 0;
    double width = 0;  // without the spaces hanging at its end
  };
  struct Extent {
    int lines = 1;
    double width = 0;  // widest line
  };

  // The lines of `text`, wrapped at `widthPx` when `wrap` is on.
  void BreakLines(const QString& text, double widthPx, bool wrap, std::vector<Line>& lines) const;
  // Line count and widest line without building the line list.
  Extent Measure(const QString& text, double widthPx, bool wrap) const;

  // Draws `text` with its top-left corner at (x, y) pixels, drawing only the
  // lines that cross the vertical band [clipTop, clipBottom).
  void Paint(QPainter& painter, const QString& text, double x, double y, double widthPx, bool wrap,
             double clipTop, double clipBottom) const;

  // Advance of the UTF-16 unit at `i` (a surrogate pair counts on its first unit).
  double AdvanceAt(const QString& text, int i) const;

  struct AdvanceTable;

 private:
  template <typename Sink>
  void Run(const QString& text, double widthPx, bool wrap, Sink&& sink) const;

  QFont font_;
  int lineHeight_ = 1;
  int ascent_ = 0;
  std::shared_ptr<AdvanceTable> table_;
};
