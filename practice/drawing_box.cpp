#include "practice/drawing_box.h"

#include <QPainter>

namespace {
constexpr int32_t kMargin = 120;  // twips from the left and top edges
}

DrawingBox::DrawingBox(QWidget* parent) : QWidget(parent) {
  image_ = QImage(1, 1, QImage::Format_RGB32);
  image_.fill(Qt::white);
  surface_ = std::make_unique<ChaSenMod::PrintSurface>(&image_, font());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

DrawingBox::~DrawingBox() = default;

void DrawingBox::Cls() {
  surface_->setFont(font());
  surface_->Cls();
  update();
}

void DrawingBox::DrawComparison(const QString& sentence, const QString& typed) {
  surface_->setFont(font());
  ChaSenMod::DrawComparison(sentence, typed, surface_.get(), &label5_, kMargin, kMargin, true);
  update();
}

void DrawingBox::PrintAt(int32_t x, int32_t y, const QString& text) {
  surface_->setFont(font());
  surface_->setCurrentX(x);
  surface_->setCurrentY(y);
  surface_->setForeColor(RgbValue(0, 0, 0));
  surface_->Print(text);
  update();
}

void DrawingBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
  p.setPen(QColor(0, 44, 150));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DrawingBox::resizeEvent(QResizeEvent*) {
  const QSize size = this->size().expandedTo(QSize(1, 1));
  if (image_.size() == size) return;
  image_ = QImage(size, QImage::Format_RGB32);
  surface_->setDevice(&image_);
  Cls();
}
