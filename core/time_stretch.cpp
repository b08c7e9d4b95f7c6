#include "core/time_stretch.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kBlock = 1024;  // frames handed to the stretcher at a time

int16_t ToSample(float value) {
  const float scaled = std::round(value * 32768.0f);
  return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

TimeStretch::TimeStretch(int sampleRate, int channels, double speed)
    : channels_(std::max(1, channels)), speed_(speed) {
  using RB = RubberBand::RubberBandStretcher;
  const RB::Options options = RB::OptionProcessRealTime | RB::OptionEngineFaster | RB::OptionTransientsMixed;
  stretcher_ = std::make_unique<RB>(static_cast<size_t>(std::max(1, sampleRate)), 1, options, 1.0 / speed_);
  stretcher_->setMaxProcessSize(kBlock);
  in_.assign(1, std::vector<float>(kBlock, 0.0f));
  out_.assign(1, std::vector<float>(kBlock, 0.0f));
  // Silence ahead of the first frame lets the stretcher settle; the output
  // that belongs to it is dropped, so the first frame heard is the first
  // frame of the play.
  dropLeft_ = static_cast<int64_t>(stretcher_->getStartDelay());
  std::vector<int16_t> silence(stretcher_->getPreferredStartPad() * static_cast<size_t>(channels_), 0);
  Process(silence.data(), static_cast<int64_t>(stretcher_->getPreferredStartPad()), false);
}

TimeStretch::~TimeStretch() = default;

void TimeStretch::Push(const int16_t* frames, int64_t count, bool last) {
  if (ended_) return;
  count = std::max<int64_t>(0, count);
  pushed_ += count;
  if (last) target_ = std::llround(static_cast<double>(pushed_) / speed_);
  Process(frames, count, last);
  ended_ = last;
}

void TimeStretch::Process(const int16_t* frames, int64_t count, bool last) {
  int64_t done = 0;
  do {
    const size_t n = static_cast<size_t>(std::min<int64_t>(kBlock, count - done));
    if (frames == nullptr && n > 0) return;
    for (size_t f = 0; f < n; ++f) {
      float mid = 0.0f;
      for (int c = 0; c < channels_; ++c) mid += frames[(static_cast<size_t>(done) + f) * channels_ + c];
      in_[0][f] = mid / (32768.0f * static_cast<float>(channels_));
    }
    float* channels[1] = {in_[0].data()};
    done += static_cast<int64_t>(n);
    stretcher_->process(channels, n, last && done >= count);
    Collect();
  } while (done < count);
}

void TimeStretch::Collect() {
  for (;;) {
    const int available = stretcher_->available();
    if (available < 0 && target_ > emitted_) {
      // The stretcher finished a little short: the play still lasts its
      // stretched length, ending in silence.
      ready_.insert(ready_.end(), static_cast<size_t>((target_ - emitted_) * channels_), int16_t{0});
      emitted_ = target_;
    }
    if (available <= 0) return;
    const size_t n = std::min<size_t>(static_cast<size_t>(available), kBlock);
    float* channels[1] = {out_[0].data()};
    const size_t got = stretcher_->retrieve(channels, n);
    if (got == 0) return;
    size_t from = 0;
    if (dropLeft_ > 0) {
      from = static_cast<size_t>(std::min<int64_t>(dropLeft_, static_cast<int64_t>(got)));
      dropLeft_ -= static_cast<int64_t>(from);
    }
    size_t to = got;
    if (target_ >= 0) to = static_cast<size_t>(std::clamp<int64_t>(target_ - emitted_ + static_cast<int64_t>(from), static_cast<int64_t>(from), static_cast<int64_t>(got)));
    for (size_t f = from; f < to; ++f)
      ready_.insert(ready_.end(), static_cast<size_t>(channels_), ToSample(out_[0][f]));
    emitted_ += static_cast<int64_t>(to - from);
  }
}

int64_t TimeStretch::Available() const {
  return static_cast<int64_t>(ready_.size() - readyOffset_) / channels_;
}

int64_t TimeStretch::Pull(int16_t* out, int64_t count) {
  const int64_t n = std::min(count, Available());
  const size_t samples = static_cast<size_t>(n) * static_cast<size_t>(channels_);
  std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyOffset_), samples, out);
  readyOffset_ += samples;
  if (readyOffset_ == ready_.size()) {
    ready_.clear();
    readyOffset_ = 0;
  } else if (readyOffset_ > (1u << 16)) {
    ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readyOffset_));
    readyOffset_ = 0;
  }
  return n;
}

bool TimeStretch::Drained() const {
  return ended_ && Available() == 0 && (emitted_ >= target_ || stretcher_->available() < 0);
}
