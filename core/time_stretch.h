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
// Engine and options, chosen by listening to and measuring lesson speech
// at 0.5x to 1.5x:
// - R3 ("finer") keeps voices natural at 0.5x where R2 smears consonants
//   and sounds phasey, at about 2 % of a core for 44.1 kHz stereo on this
//   machine (see bench/audio_bench.cpp), within the budget of 5 %.
// - Real-time mode, so a play can start anywhere at once and the speed can
//   change between plays without studying the recording first.
// - Formants preserved, so a slowed voice keeps its timbre.
// - Channels together, so a stereo recording keeps its image.
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
