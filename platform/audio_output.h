#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// Where decoded audio goes: interleaved signed 16-bit PCM, pushed by the
// player from the user-interface thread. One output object serves one open
// recording; every play is a run: Start(), then Write() as long as
// BytesFree() allows, then either Stop() or, after the last sample,
// Finish() and waiting until HeardUSecs() has caught up.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Begins a new run in the given format; whatever an earlier run had
  // queued is dropped and the heard time restarts at 0. False when the
  // output cannot play.
  virtual bool Start(int sampleRate, int channels) = 0;
  // Halts the run at once, dropping what is queued but not yet heard.
  virtual void Stop() = 0;
  // Bytes the output takes now (a whole number of frames).
  virtual int64_t BytesFree() = 0;
  // Queues audio; returns the bytes taken (never more than BytesFree()).
  virtual int64_t Write(const char* data, int64_t bytes) = 0;
  // Nothing more follows in this run: everything queued must be played out
  // even when it is shorter than the device's start-up threshold.
  virtual void Finish() = 0;
  // Microseconds of this run's audio that have reached the listener. Cheap:
  // polled every 10 ms and more.
  virtual int64_t HeardUSecs() const = 0;
  // True once the device has gone away during the run; the run's audio
  // then has to go elsewhere.
  virtual bool Failed() const = 0;
  // True for the silent output that only keeps time.
  virtual bool IsNull() const = 0;
};

// Monotonic time in microseconds. The null output keeps time with it;
// tests replace it to move time by hand. An empty function restores the
// steady clock.
using MonotonicClock = std::function<int64_t()>;
void SetMonotonicClock(MonotonicClock clock);
int64_t MonotonicUSecs();

// The system's default sound output (Qt Multimedia QAudioSink), or nullptr
// when the system has no audio output device.
std::unique_ptr<AudioOutput> CreateSystemOutput();
// Whether the system has a default audio output device (ignores the test
// factory below).
bool SystemOutputAvailable();

// An output without a device: it takes audio at real-time speed, as a
// sound card would, keeping a little ahead of the clock, and reports as
// heard what the clock says has played. Positions therefore advance
// exactly as with a device.
std::unique_ptr<AudioOutput> CreateNullOutput();

// Tests replace how the system output is made (for example with one that
// fails in the middle of a run). An empty factory restores the real one.
using SystemOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;
void SetSystemOutputFactory(SystemOutputFactory factory);

}  // namespace platform
