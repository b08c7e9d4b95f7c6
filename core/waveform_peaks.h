#pragma once
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The loudness outline of a recording, used to draw its waveform and to
// find the pauses between sentences.
//
// The decoded audio is cut into bins of kBinMs milliseconds; each bin keeps
// the largest absolute sample (for drawing) and the root mean square of its
// samples (for the pauses), both on the 16-bit sample scale 0 .. 32767.
// Channels are mixed to their mean first. The last bin may be shorter.
struct WaveformPeaks {
  static constexpr int32_t kBinMs = 10;
  int32_t binMs = kBinMs;
  int32_t lengthMs = 0;  // the recording's length the bins cover
  std::vector<uint16_t> peak;
  std::vector<uint16_t> rms;

  int32_t Bins() const { return static_cast<int32_t>(peak.size()); }
  bool Empty() const { return peak.empty(); }
  bool operator==(const WaveformPeaks& o) const {
    return binMs == o.binMs && lengthMs == o.lengthMs && peak == o.peak && rms == o.rms;
  }
};

// Builds peaks from PCM fed in pieces of any size: interleaved signed
// 16-bit samples, `channels` per frame, at `sampleRate` frames a second.
class PeakAccumulator {
 public:
  PeakAccumulator(int sampleRate, int channels, int32_t binMs = WaveformPeaks::kBinMs);
  void Add(const int16_t* samples, int64_t frames);
  // The peaks of everything added; `lengthMs` from the frames added.
  WaveformPeaks Finish();

 private:
  void CloseBin();
  int rate_;
  int channels_;
  int32_t binMs_;
  int64_t framesPerBinNum_;  // bin boundaries fall at frame floor(k * rate * binMs / 1000)
  int64_t frames_ = 0;
  int64_t nextBoundary_ = 0;
  int64_t bin_ = 0;
  int32_t binMax_ = 0;
  double binSquares_ = 0;
  int64_t binFrames_ = 0;
  WaveformPeaks out_;
};

// The peaks of PCM already in memory (for tests and tools that have it).
WaveformPeaks PeaksFromPcm(const int16_t* samples, int64_t frames, int sampleRate, int channels);

// Progress of a computation in percent (0 .. 100). Called on the computing
// thread.
using PeakProgress = std::function<void(int percent)>;

// Decodes the recording with a decoder of its own and returns its peaks.
// Nothing when the file cannot be decoded, when `cancel` becomes true, or
// when the audio ends before the length the file announced (it was cut
// short or replaced while being read).
std::optional<WaveformPeaks> ComputePeaks(const QString& path, const PeakProgress& progress = {},
                                          const std::atomic<bool>* cancel = nullptr);

// A first rough outline, quick even for an hour of audio: `points` short
// samples spread evenly over the recording, each one bin of the result
// (whose bins are then as long as the recording divided by `points`).
std::optional<WaveformPeaks> CoarsePeaks(const QString& path, int points,
                                         const std::atomic<bool>* cancel = nullptr);
