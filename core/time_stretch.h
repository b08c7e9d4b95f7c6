#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace RubberBand {
class RubberBandStretcher;
}

// Slower or faster speech at the same pitch, for the player's output path.
//
// Source audio (interleaved signed 16-bit frames of the recording) goes in
// with Push(); stretched audio of about frames / speed comes out of Pull().
// The stretcher starts on a padded silence and its start delay is dropped,
// so the first output frame is the first source frame; after the last
// source frame (Push with last = true) the rest is drained up to exactly
// frames / speed in all (the stretcher's ringing after that is dropped),
// so the whole of the play is heard, for its stretched length, and
// nothing after it.
//
// Engine and options, chosen by listening to lesson speech at 0.5x to 1.5x
// and measuring (bench/audio_bench.cpp, BM_StretcherCpuPerSecondOfAudio):
// - R2 ("faster"): R3 sounds a little smoother at 0.5x but costs about
//   150 ms of CPU per second of audio here, three times the budget of 5 %
//   of a core; R2 stays within it and keeps consonants clear.
// - Transients "mixed": phase resets only above the voice's fundamental
//   range, so plosives stay crisp while vowels do not warble.
// - One channel: the speech is stretched once, on the mid (left + right) /
//   2, and written to every channel. Lessons are speech recorded in mono
//   (or as identical channels), and stretching one channel instead of two
//   halves the cost; at 1.0 nothing is stretched and stereo stays stereo.
// - Real-time mode, so a play can start anywhere at once and the speed can
//   change between plays without studying the recording first.
class TimeStretch {
 public:
  // speed: 0.5 .. 1.5 (the tempo factor; 0.5 takes twice as long).
  TimeStretch(int sampleRate, int channels, double speed);
  ~TimeStretch();
  TimeStretch(const TimeStretch&) = delete;
  TimeStretch& operator=(const TimeStretch&) = delete;

  double Speed() const { return speed_; }
  // Feeds source frames; `last` when no more follow.
  void Push(const int16_t* frames, int64_t count, bool last);
  // Stretched frames ready to be taken.
  int64_t Available() const;
  // Takes up to `count` stretched frames into `out`; returns how many.
  int64_t Pull(int16_t* out, int64_t count);
  // True once the last source frame went in and every output frame came out.
  bool Drained() const;

 private:
  void Process(const int16_t* frames, int64_t count, bool last);
  void Collect();

  int channels_;
  double speed_;
  std::unique_ptr<RubberBand::RubberBandStretcher> stretcher_;
  int64_t dropLeft_ = 0;  // start delay still to be dropped from the output
  int64_t pushed_ = 0;    // source frames taken
  int64_t emitted_ = 0;   // output frames kept
  int64_t target_ = -1;   // output frames in all, once the last source frame is in
  bool ended_ = false;
  std::vector<std::vector<float>> in_;   // deinterleaved scratch
  std::vector<std::vector<float>> out_;
  std::vector<int16_t> ready_;  // interleaved output not yet pulled
  size_t readyOffset_ = 0;      // samples of ready_ already pulled
};
