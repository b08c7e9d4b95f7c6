#include "core/waveform_peaks.h"

#include <algorithm>
#include <cmath>

#include "platform/mp3_decoder.h"

PeakAccumulator::PeakAccumulator(int sampleRate, int channels, int32_t binMs)
    : rate_(std::max(1, sampleRate)), channels_(std::max(1, channels)), binMs_(std::max(1, binMs)) {
  framesPerBinNum_ = int64_t{rate_} * binMs_;
  nextBoundary_ = framesPerBinNum_ / 1000;
  out_.binMs = binMs_;
}

void PeakAccumulator::CloseBin() {
  const double mean = binFrames_ > 0 ? binSquares_ / static_cast<double>(binFrames_) : 0.0;
  out_.peak.push_back(static_cast<uint16_t>(std::min(binMax_, 32767)));
  out_.rms.push_back(static_cast<uint16_t>(std::min(32767.0, std::sqrt(mean) + 0.5)));
  ++bin_;
  nextBoundary_ = (bin_ + 1) * framesPerBinNum_ / 1000;
  binMax_ = 0;
  binSquares_ = 0;
  binFrames_ = 0;
}

void PeakAccumulator::Add(const int16_t* samples, int64_t frames) {
  for (int64_t f = 0; f < frames;) {
    // The frames up to the bin's end are summed in one tight loop.
    const int64_t take = std::min(frames - f, nextBoundary_ - frames_);
    int32_t mx = binMax_;
    double sq = 0;
    const int16_t* p = samples + f * channels_;
    if (channels_ == 1) {
      for (int64_t i = 0; i < take; ++i) {
        const int32_t v = p[i];
        const int32_t a = v < 0 ? -v : v;
        mx = a > mx ? a : mx;
        sq += static_cast<double>(v * v);
      }
    } else {
      for (int64_t i = 0; i < take; ++i) {
        int32_t sum = 0;
        for (int c = 0; c < channels_; ++c) sum += p[i * channels_ + c];
        const int32_t v = sum / channels_;
        const int32_t a = v < 0 ? -v : v;
        mx = a > mx ? a : mx;
        sq += static_cast<double>(v * v);
      }
    }
    binMax_ = mx;
    binSquares_ += sq;
    binFrames_ += take;
    frames_ += take;
    f += take;
    if (frames_ >= nextBoundary_) CloseBin();
  }
}

WaveformPeaks PeakAccumulator::Finish() {
  if (binFrames_ > 0) CloseBin();
  out_.lengthMs = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, frames_ * 1000 / rate_));
  WaveformPeaks result = std::move(out_);
  out_ = WaveformPeaks{};
  out_.binMs = binMs_;
  return result;
}

WaveformPeaks PeaksFromPcm(const int16_t* samples, int64_t frames, int sampleRate, int channels) {
  PeakAccumulator acc(sampleRate, channels);
  acc.Add(samples, frames);
  return acc.Finish();
}

namespace {
bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }
}  // namespace

std::optional<WaveformPeaks> ComputePeaks(const QString& path, const PeakProgress& progress,
                                          const std::atomic<bool>* cancel) {
  platform::Mp3Decoder decoder;
  if (!decoder.Open(path)) return std::nullopt;
  const int64_t total = decoder.LengthFrames();
  PeakAccumulator acc(decoder.SampleRate(), decoder.Channels());
  constexpr int64_t kChunk = 16384;
  std::vector<int16_t> buffer(static_cast<size_t>(kChunk * decoder.Channels()));
  int64_t done = 0;
  int lastPercent = -1;
  while (done < total) {
    if (Cancelled(cancel)) return std::nullopt;
    const int64_t got = decoder.Read(reinterpret_cast<char*>(buffer.data()), std::min(kChunk, total - done));
    if (got <= 0) break;
    acc.Add(buffer.data(), got);
    done += got;
    const int percent = static_cast<int>(done * 100 / std::max<int64_t>(1, total));
    if (progress && percent != lastPercent) progress(lastPercent = percent);
  }
  // Fewer frames than announced: the file changed under us, and peaks of
  // half a recording must not pass for the whole.
  if (done < total) return std::nullopt;
  return acc.Finish();
}

std::optional<WaveformPeaks> CoarsePeaks(const QString& path, int points, const std::atomic<bool>* cancel) {
  platform::Mp3Decoder decoder;
  if (points < 1 || !decoder.Open(path)) return std::nullopt;
  const int64_t total = decoder.LengthFrames();
  const int rate = decoder.SampleRate();
  const int64_t lengthMs = total * 1000 / std::max(1, rate);
  if (lengthMs <= 0) return std::nullopt;
  WaveformPeaks out;
  out.lengthMs = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, lengthMs));
  out.binMs = static_cast<int32_t>(std::max<int64_t>(1, (lengthMs + points - 1) / points));
  const int64_t bins = (lengthMs + out.binMs - 1) / out.binMs;
  const int64_t window = std::max<int64_t>(1, rate * WaveformPeaks::kBinMs * 2 / 1000);
  std::vector<int16_t> buffer(static_cast<size_t>(window * decoder.Channels()));
  for (int64_t b = 0; b < bins; ++b) {
    if (Cancelled(cancel)) return std::nullopt;
    // Each sample is taken from the middle of its bin.
    const int64_t at = (b * out.binMs + out.binMs / 2) * rate / 1000;
    decoder.SeekToFrame(std::min(at, std::max<int64_t>(0, total - window)));
    const int64_t got = decoder.Read(reinterpret_cast<char*>(buffer.data()), window);
    const WaveformPeaks one = PeaksFromPcm(buffer.data(), std::max<int64_t>(0, got), rate, decoder.Channels());
    uint16_t pk = 0, r = 0;
    for (int32_t i = 0; i < one.Bins(); ++i) {
      pk = std::max(pk, one.peak[i]);
      r = std::max(r, one.rms[i]);
    }
    out.peak.push_back(pk);
    out.rms.push_back(r);
  }
  return out;
}
