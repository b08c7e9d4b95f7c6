#pragma once
#include <QImage>
#include <QWidget>
#include <memory>

#include "practice/comparison_drawing.h"

// The comparison's drawing surface in the practice windows: an image as large
// as the box that the comparison prints into, shown as it is. Text printed
// stays until the box is cleared; a new size starts with a clear image.
class DrawingBox : public QWidget {
  Q_OBJECT

 public:
  explicit DrawingBox(QWidget* parent = nullptr);
  ~DrawingBox() override;

  ChaSenMod::PrintSurface* Surface() { return surface_.get(); }
  ChaSenMod::MeasureLabel* Label5() { return &label5_; }
  const QImage& Image() const { return image_; }

  // Clears to the back colour; the print position goes to (0, 0).
  void Cls();
  // Draws the comparison with the 120-twip margins, clearing first.
  void DrawComparison(const QString& sentence, const QString& typed);
  // Prints a black text at (x, y) twips without clearing.
  void PrintAt(int32_t x, int32_t y, const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
  std::unique_ptr<ChaSenMod::PrintSurface> surface_;
  ChaSenMod::MeasureLabel label5_;
};
