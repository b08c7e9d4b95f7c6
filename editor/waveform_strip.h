#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

#include "core/waveform_peaks.h"

// A strip showing a stretch of the recording's waveform, drawn under a bar
// of the segmentation editor and spanning the same width, so that a time
// stands at the same x in both. It marks the sentence boundaries (starts
// green, ends red, like the markers) and shades the chosen range.
//
// The strip only draws what it is given; the editor owns the peaks, the
// table and the range.
class WaveformStrip : public QWidget {
  Q_OBJECT
 public:
  explicit WaveformStrip(QWidget* parent = nullptr);

  // The peaks to draw (not owned; null draws `Note()` instead).
  void SetPeaks(const WaveformPeaks* peaks);
  // The stretch of time, ms, shown across the strip's width.
  void SetView(int32_t from, int32_t to);
  void SetBoundaries(std::vector<int32_t> starts, std::vector<int32_t> ends);
  void SetRange(int32_t start, int32_t end);  // end <= start: no range
  void SetNote(const QString& note);

  int32_t ViewFrom() const { return from_; }
  int32_t ViewTo() const { return to_; }
  int32_t RangeStart() const { return rangeStart_; }
  int32_t RangeEnd() const { return rangeEnd_; }
  const QString& Note() const { return note_; }
  const WaveformPeaks* Peaks() const { return peaks_; }
  // The x, in pixels, at which a time stands.
  double XFor(int32_t ms) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const WaveformPeaks* peaks_ = nullptr;
  int32_t from_ = 0, to_ = 1;
  std::vector<int32_t> starts_, ends_;
  int32_t rangeStart_ = 0, rangeEnd_ = 0;
  QString note_;
};
