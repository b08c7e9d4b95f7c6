#include "editor/waveform_strip.h"

#include <QPainter>
#include <algorithm>

namespace {
const QColor kBack(250, 250, 244);
const QColor kRangeBack(255, 236, 180);
const QColor kWave(70, 90, 150);
const QColor kStart(0, 160, 0);
const QColor kEnd(200, 0, 0);
}  // namespace

WaveformStrip::WaveformStrip(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void WaveformStrip::SetPeaks(const WaveformPeaks* peaks) {
  peaks_ = peaks && !peaks->Empty() ? peaks : nullptr;
  update();
}

void WaveformStrip::SetView(int32_t from, int32_t to) {
  from_ = from;
  to_ = std::max(from + 1, to);
  update();
}

void WaveformStrip::SetBoundaries(std::vector<int32_t> starts, std::vector<int32_t> ends) {
  starts_ = std::move(starts);
  ends_ = std::move(ends);
  update();
}

void WaveformStrip::SetRange(int32_t start, int32_t end) {
  rangeStart_ = start;
  rangeEnd_ = end;
  update();
}

void WaveformStrip::SetNote(const QString& note) {
  note_ = note;
  update();
}

double WaveformStrip::XFor(int32_t ms) const {
  return (static_cast<double>(ms) - from_) * width() / (static_cast<double>(to_) - from_);
}

void WaveformStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  p.fillRect(rect(), kBack);
  if (rangeEnd_ > rangeStart_) {
    const double x0 = std::clamp(XFor(rangeStart_), 0.0, double(w)), x1 = std::clamp(XFor(rangeEnd_), 0.0, double(w));
    p.fillRect(QRectF(x0, 0, std::max(1.0, x1 - x0), h), kRangeBack);
  }
  const int mid = h / 2;
  if (peaks_) {
    // Scaled to the recording's loudest, so quiet recordings still show.
    const uint16_t loudest = std::max<uint16_t>(1, *std::max_element(peaks_->peak.begin(), peaks_->peak.end()));
    const double scale = (h / 2 - 1) / static_cast<double>(loudest);
    const double msPerPixel = (static_cast<double>(to_) - from_) / std::max(1, w);
    p.setPen(kWave);
    const int32_t bins = peaks_->Bins();
    for (int x = 0; x < w; ++x) {
      const double t0 = from_ + x * msPerPixel, t1 = t0 + msPerPixel;
      int32_t b0 = static_cast<int32_t>(t0 / peaks_->binMs), b1 = static_cast<int32_t>(t1 / peaks_->binMs);
      b0 = std::clamp(b0, 0, bins);
      b1 = std::clamp(std::max(b1, b0 + 1), 0, bins);
      uint16_t top = 0;
      for (int32_t b = b0; b < b1; ++b) top = std::max(top, peaks_->peak[b]);
      const int half = static_cast<int>(top * scale);
      if (b0 < b1) p.drawLine(x, mid - half, x, mid + half);
    }
  } else if (!note_.isEmpty()) {
    p.setPen(Qt::darkGray);
    p.drawText(rect(), Qt::AlignCenter, note_);
  }
  p.setPen(QColor(200, 200, 200));
  p.drawLine(0, mid, w, mid);
  for (const auto& [times, colour] : {std::pair{&starts_, kStart}, std::pair{&ends_, kEnd}}) {
    p.setPen(colour);
    for (int32_t t : *times) {
      const double x = XFor(t);
      if (x >= -1 && x <= w + 1) p.drawLine(QPointF(x, 0), QPointF(x, h));
    }
  }
  p.setPen(Qt::black);
  p.drawRect(0, 0, w - 1, h - 1);
}
