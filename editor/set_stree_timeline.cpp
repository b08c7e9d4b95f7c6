// The timeline of the segmentation editor: two markers under a bar of the
// whole recording choose the range of the current sentence, a second bar
// shows that range magnified, and the range is played so the learner hears
// whether the cut is right. The window's engine hands the player the
// range's end as its stop position; Timer1 only shows where playback is
// and notices that it has ended.
#include <QFileInfo>
#include <QProgressBar>
#include <QString>
#include <algorithm>
#include <cmath>

#include "controls/qel_pbar.h"
#include "controls/twips.h"
#include "core/audio_player.h"
#include "core/peak_loader.h"
#include "editor/set_stree.h"
#include "editor/waveform_strip.h"

namespace {

// To the nearest whole number, a half to the even neighbour.
int32_t Nearest(double x) {
  const double r = std::nearbyint(x);
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (!(r < 2147483647.0)) return INT32_MAX;
  return static_cast<int32_t>(r);
}

const QString kDragging = QStringLiteral("正在拖动选择 ");

}  // namespace

void SetStree::ComputeMarkerLimits() {
  const int tl = kTimelineLeft;
  markerMinLeft_ = Nearest(tl - kMarkerSize / 2.0);
  markerMaxLeft_ = Nearest(tl - kMarkerSize / 2.0 + TimelineWidth());
}

void SetStree::PlaceMarker(int i, int32_t left) {
  markerLeft_[i] = left;
  picture1_[i]->setGeometry(twips::ToPixels(left), twips::ToPixels(kMarkerTop), twips::ToPixels(kMarkerSize),
                            twips::ToPixels(kMarkerSize));
}

int32_t SetStree::MarkerLeftFor(int32_t time) const {
  const double max = std::max<int32_t>(1, qelPBar1_->MaxValue());
  return Nearest(kTimelineLeft + Nearest(TimelineWidth() * (time / max)) - kMarkerSize / 2.0);
}

// The bars need a range of at least one millisecond inside the recording:
// a sentence lying beyond the recording, running backwards or of no length
// is shown as the nearest such range. Its stored times stay until the
// learner moves a marker or a boundary.
void SetStree::KeepRangeValid(int32_t& s, int32_t& e) const {
  const int32_t length = std::max<int32_t>(1, qelPBar1_->MaxValue());
  if (s > e) std::swap(s, e);
  s = std::clamp<int32_t>(s, 0, length - 1);
  e = std::clamp<int32_t>(e, s + 1, length);
}

void SetStree::BringMagnifiedBar(int32_t s, int32_t e) {
  KeepRangeValid(s, e);
  QelPBar* bar = qelPBar2_;
  // Back to the whole scale first, so that every assignment below is one
  // the bar accepts whatever range it showed before.
  bar->setMinValue(0);
  bar->setMaxValue(qelPBar1_->MaxValue());
  if (bar->Value() >= e || s >= bar->Value()) {
    bar->setValue(s);
    bar->setMinValue(s);
    bar->setMaxValue(e);
  }
  if (bar->Value() < e && s < bar->Value()) {
    bar->setMinValue(s);
    bar->setMaxValue(e);
    bar->setValue(s);
  }
}

QString SetStree::RangeCaption() const {
  return QStringLiteral("起点为：") + SoundMod::FormatTime(qelPBar2_->MinValue()) +
         QStringLiteral("   拉动此进度条，播放语音确认你选择的范围   终点为：") +
         SoundMod::FormatTime(qelPBar2_->MaxValue());
}

QString SetStree::DragCaption(int i, bool withPosition) const {
  const QString name = i == 0 ? QStringLiteral("起始点") : QStringLiteral("结束点");
  QString text = kDragging + QLatin1Char('"') + name + QLatin1Char('"');
  if (!withPosition) return text + QStringLiteral(" 的发音位置。");
  const int32_t at = i == 0 ? qelPBar2_->MinValue() : qelPBar2_->MaxValue();
  return text + QStringLiteral(" 的发音位置。位置为：") + SoundMod::FormatTime(at);
}

void SetStree::ShowRange(int32_t s, int32_t e) {
  KeepRangeValid(s, e);
  PlaceMarker(0, MarkerLeftFor(s));
  PlaceMarker(1, MarkerLeftFor(e));
  BringMagnifiedBar(s, e);
  qelPBar1_->setValue(s);
  qelPBar2_->setCaption(RangeCaption());
  RefreshWaveform();
}

// ---------------------------------------------------------------------------
// Marker drags

void SetStree::Picture1_MouseDown(int i, int16_t Button, float X) {
  if (current_ < 1 || current_ > Count() || Button != 1) return;
  dragAnchor_ = X;
  Halt();
  qelPBar2_->setCaption(DragCaption(i, false));
}

void SetStree::Picture1_MouseMove(int i, int16_t Button, float X) {
  if (current_ < 1 || current_ > Count() || Button != 1) return;
  i &= 1;
  int32_t d = Nearest(markerLeft_[i] + X - dragAnchor_);
  if (i == 0) {
    d = std::max(d, markerMinLeft_);
    if (d > markerLeft_[1] - kMarkerGap) d = markerLeft_[1] - kMarkerGap;
  } else {
    d = std::min(d, markerMaxLeft_);
    if (d < markerLeft_[0] + kMarkerGap) d = markerLeft_[0] + kMarkerGap;
  }
  // The time is read where the marker's centre now stands, so that the
  // caption and the stored range follow the marker without lagging a step.
  const double tw = TimelineWidth();
  double m = kMarkerSize / 2.0 + d - kTimelineLeft;
  m = std::clamp(m, 0.0, tw);
  const int32_t t = Nearest(m / tw * (qelPBar1_->MaxValue() - qelPBar1_->MinValue()) + qelPBar1_->MinValue());
  if (i == 0) {
    selStart_ = t < 1 ? 0 : t;
  } else {
    selEnd_ = std::min(t, ProMod::TotalLength);
  }
  qelPBar1_->setValue(selStart_);
  PlaceMarker(i, d);
  BringMagnifiedBar(selStart_, selEnd_);
  qelPBar2_->setCaption(DragCaption(i, true));
  RefreshWaveform();
}

void SetStree::Picture1_MouseUp(int i, int16_t Button) {
  if (current_ < 1 || current_ > Count()) return;
  qelPBar2_->setCaption(RangeCaption());
  int32_t start = qelPBar2_->MinValue(), end = qelPBar2_->MaxValue();
  // A range shorter than the material file keeps an end for is widened
  // away from the marker the learner let go of.
  if (end - start < kShortestSentenceMs) {
    if ((i & 1) == 0) {
      start = std::max(0, end - kShortestSentenceMs);
      end = std::min(ProMod::TotalLength, start + kShortestSentenceMs);
    } else {
      end = std::min(ProMod::TotalLength, start + kShortestSentenceMs);
      start = std::max(0, end - kShortestSentenceMs);
    }
  }
  SentenceRecord& e = table_[current_];
  e.Start = start;
  e.StartText = SoundMod::FormatTime(start);
  e.End = end;
  e.EndText = SoundMod::FormatTime(end);
  selStart_ = start;
  selEnd_ = end;
  RefreshWaveform();
  StartWatch(selStart_);
}

// ---------------------------------------------------------------------------
// The magnified bar and the watch

void SetStree::QelPBar2_MouseDown(int16_t Button) {
  if (current_ < 1 || current_ > Count() || Button != 1) return;
  Halt();
}

void SetStree::QelPBar2_MouseUp(int16_t) {
  if (current_ < 1 || current_ > Count()) return;
  StartWatch(qelPBar2_->Value());
}

void SetStree::StartWatch(int32_t from) {
  // Nothing to hear from the range's end on: playback stays halted.
  if (engine_.PlayRange(from, selEnd_)) timer1_.start();
}

void SetStree::Timer1_Timer() {
  if (current_ < 1 || current_ > Count()) {
    timer1_.stop();
    return;
  }
  const ListeningEngine::Tick tick = engine_.Poll();
  qelPBar2_->setValue(tick.position);
  qelPBar1_->setValue(qelPBar2_->Value());
  if (tick.position >= selEnd_ || tick.position >= ProMod::TotalLength || !engine_.Playing()) {
    timer1_.stop();
    if (engine_.Playing()) engine_.Pause();
  }
}

// ---------------------------------------------------------------------------
// The waveform strips
//
// The peaks come from a worker thread (PeakLoader); the window stays usable
// meanwhile, showing a coarse outline and the progress until they are all
// there.

void SetStree::StartWaveform() {
  for (WaveformStrip* strip : waveform_) strip->SetNote(QStringLiteral("没有可显示的波形"));
  const QString path = ProMod::CurrentAudioPath;
  if (!ProMod::AudioLoaded || path.isEmpty() || !QFileInfo(path).isFile()) {
    peaksFailed_ = true;
    return;
  }
  for (WaveformStrip* strip : waveform_) strip->SetNote(QStringLiteral("正在计算波形…"));
  waveformProgress_->setValue(0);
  waveformProgress_->show();
  connect(loader_, &PeakLoader::CoarseReady, this, [this] {
    coarse_ = loader_->Coarse();
    RefreshWaveform();
  });
  connect(loader_, &PeakLoader::Progress, waveformProgress_, &QProgressBar::setValue);
  connect(loader_, &PeakLoader::Finished, this, [this](bool ok) { PeaksArrived(ok); });
  loader_->Start(path);
}

void SetStree::PeaksArrived(bool ok) {
  waveformProgress_->hide();
  peaksFailed_ = !ok;
  if (ok) {
    peaks_ = loader_->Peaks();
    coarse_.reset();
  } else {
    for (WaveformStrip* strip : waveform_) strip->SetNote(QStringLiteral("无法读取录音的波形"));
  }
  RefreshWaveform();
}

const WaveformPeaks* SetStree::ShownPeaks() const {
  if (peaks_) return &*peaks_;
  return coarse_ ? &*coarse_ : nullptr;
}

void SetStree::RefreshWaveform() {
  if (!waveform_[0]) return;
  std::vector<int32_t> starts, ends;
  for (int k = 1; k <= Count(); ++k) {
    if (table_[k].Deleted) continue;
    starts.push_back(table_[k].Start);
    ends.push_back(table_[k].End);
  }
  const WaveformPeaks* peaks = ShownPeaks();
  const int32_t length = std::max<int32_t>(1, qelPBar1_->MaxValue());
  const bool chosen = current_ >= 1 && current_ <= Count();
  WaveformStrip* whole = waveform_[0];
  whole->SetPeaks(peaks);
  whole->SetView(0, length);
  whole->SetBoundaries(starts, ends);
  whole->SetRange(chosen ? selStart_ : 0, chosen ? selEnd_ : 0);
  // The range's strip spans what the magnified bar spans, widened on both
  // sides by a quarter of the range (a quarter second at least) so the
  // pauses around the sentence show.
  const int32_t s = qelPBar2_->MinValue(), e = qelPBar2_->MaxValue();
  const int32_t margin = std::max<int32_t>(250, (e - s) / 4);
  WaveformStrip* range = waveform_[1];
  range->SetPeaks(peaks);
  range->SetView(std::max(0, s - margin), std::min(length, e + margin));
  range->SetBoundaries(std::move(starts), std::move(ends));
  range->SetRange(s, e);
}
