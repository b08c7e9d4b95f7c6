#include "platform/audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <vector>

namespace platform {
namespace {

MonotonicClock& ClockOverride() {
  static MonotonicClock clock;
  return clock;
}

SystemOutputFactory& FactoryOverride() {
  static SystemOutputFactory factory;
  return factory;
}

// Sinks of finished runs, waiting to be destroyed. Destroying a sink runs
// the event loop (the PulseAudio back end waits there for its stream to
// go), and a run ends inside event handlers and timers that must not be
// entered again meanwhile; so a finished sink goes when the event loop next
// gets to it, and whatever is left goes when the application ends.
std::vector<QPointer<QAudioSink>>& RetiredSinks() {
  static std::vector<QPointer<QAudioSink>> sinks;
  return sinks;
}

void DestroyRetiredSinks() {
  std::vector<QPointer<QAudioSink>> sinks;
  sinks.swap(RetiredSinks());
  for (const QPointer<QAudioSink>& sink : sinks) delete sink.data();
}

// Registered when the first sink output is made, before the player adds
// its own post routine (which closes the recording and so retires the last
// sink): post routines run last added, first called.
void DestroyRetiredSinksAtTheEnd() {
  static const bool added = [] {
    qAddPostRoutine(DestroyRetiredSinks);
    return true;
  }();
  (void)added;
}

void Retire(std::unique_ptr<QAudioSink> sink) {
  if (!sink) return;
  sink->stop();
  if (!QCoreApplication::instance() || QCoreApplication::closingDown()) return;  // unique_ptr deletes it now
  auto& sinks = RetiredSinks();
  sinks.erase(std::remove_if(sinks.begin(), sinks.end(), [](const QPointer<QAudioSink>& p) { return p.isNull(); }),
              sinks.end());
  QAudioSink* raw = sink.release();
  sinks.emplace_back(raw);
  raw->deleteLater();
}

// The system's default output through QAudioSink in push mode: the player
// writes what the sink has room for (about 200 ms are queued).
//
// Every run gets a sink of its own, made in Start() and thrown away in
// Stop(). Qt 6.4's PulseAudio sink does not survive being stopped and
// started again many times: after some ten runs on one sink the sound
// crackles, turns to noise mixed with pieces of earlier runs, and its
// processed time falls behind. A fresh sink costs a new server stream (a
// few milliseconds, see bench/audio_bench.cpp), and its first sample is the
// run's first sample.
//
// The heard time is QAudioSink::processedUSecs(): with PulseAudio it is the
// server's read position minus the sink's latency, interpolated between
// timing updates, and it never passes what was written nor, here, the time
// since the run started.
class SinkOutput : public AudioOutput {
 public:
  explicit SinkOutput(const QAudioDevice& device) : device_(device) { DestroyRetiredSinksAtTheEnd(); }
  ~SinkOutput() override { Stop(); }

  bool Start(int sampleRate, int channels) override {
    Stop();
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = std::make_unique<QAudioSink>(device_, format);
    bytesPerFrame_ = format.bytesPerFrame();
    written_ = 0;
    startUSecs_ = MonotonicUSecs();
    io_ = sink_->start();
    if (!io_ || sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError) {
      Stop();
      return false;
    }
    return true;
  }

  void Stop() override {
    io_ = nullptr;
    Retire(std::move(sink_));
  }

  int64_t BytesFree() override {
    if (!io_) return 0;
    const int64_t free = sink_->bytesFree();
    return free - free % bytesPerFrame_;
  }

  int64_t Write(const char* data, int64_t bytes) override {
    if (!io_ || bytes <= 0) return 0;
    bytes = std::min(bytes, BytesFree());
    if (bytes <= 0) return 0;
    const int64_t taken = io_->write(data, bytes);
    if (taken <= 0) return 0;
    written_ += taken;
    return taken;
  }

  void Finish() override {
    // The server starts a stream only once its pre-buffer is full. A run
    // shorter than that would never be heard, so it is followed by silence
    // up to the buffer size; the player never counts silence as heard
    // audio of the recording.
    if (!io_) return;
    const int64_t missing = sink_->bufferSize() - written_;
    if (missing <= 0) return;
    int64_t pad = std::min(missing, BytesFree());
    pad -= pad % bytesPerFrame_;
    if (pad <= 0) return;
    const std::vector<char> silence(static_cast<size_t>(pad), 0);
    const int64_t taken = io_->write(silence.data(), pad);
    if (taken > 0) written_ += taken;
  }

  int64_t HeardUSecs() const override {
    if (!io_) return 0;
    // Until the server has reported its latency, processedUSecs() counts
    // what the server has read, which runs ahead of what has been heard by
    // up to the latency (tens of ms). Nothing can have been heard sooner
    // than it takes to play it.
    return std::min<int64_t>(sink_->processedUSecs(), MonotonicUSecs() - startUSecs_);
  }

  bool Failed() const override {
    if (!io_) return false;
    const QAudio::Error error = sink_->error();
    return error == QAudio::FatalError || error == QAudio::IOError || error == QAudio::OpenError ||
           sink_->state() == QAudio::StoppedState;
  }

  bool IsNull() const override { return false; }

 private:
  QAudioDevice device_;
  std::unique_ptr<QAudioSink> sink_;  // the current run's; none between runs
  QIODevice* io_ = nullptr;            // owned by the sink
  int bytesPerFrame_ = 4;
  int64_t written_ = 0;
  int64_t startUSecs_ = 0;
};

// Keeps time without a device. It accepts audio up to kAheadUSecs ahead of
// the clock, like a device buffer, and reports as heard the time elapsed
// since the run began, but never more than it was given.
class NullOutput : public AudioOutput {
 public:
  static constexpr int64_t kAheadUSecs = 100000;

  bool Start(int sampleRate, int channels) override {
    if (sampleRate <= 0 || channels <= 0) return false;
    rate_ = sampleRate;
    bytesPerFrame_ = channels * 2;
    written_ = 0;
    startUSecs_ = MonotonicUSecs();
    running_ = true;
    return true;
  }

  void Stop() override { running_ = false; }

  int64_t BytesFree() override {
    if (!running_) return 0;
    const int64_t elapsed = MonotonicUSecs() - startUSecs_;
    const int64_t allowed = (elapsed + kAheadUSecs) * rate_ / 1000000;
    return std::max<int64_t>(0, allowed - written_) * bytesPerFrame_;
  }

  int64_t Write(const char*, int64_t bytes) override {
    if (!running_ || bytes <= 0) return 0;
    const int64_t frames = std::min(bytes, BytesFree()) / bytesPerFrame_;
    written_ += frames;
    return frames * bytesPerFrame_;
  }

  void Finish() override {}

  int64_t HeardUSecs() const override {
    if (!running_) return 0;
    const int64_t elapsed = std::max<int64_t>(0, MonotonicUSecs() - startUSecs_);
    // Rounded up so that a run heard to its end reports all of its frames.
    const int64_t given = (written_ * 1000000 + rate_ - 1) / rate_;
    return std::min(elapsed, given);
  }

  bool Failed() const override { return false; }
  bool IsNull() const override { return true; }

 private:
  int rate_ = 44100;
  int bytesPerFrame_ = 4;
  int64_t written_ = 0;  // frames
  int64_t startUSecs_ = 0;
  bool running_ = false;
};

}  // namespace

void SetMonotonicClock(MonotonicClock clock) { ClockOverride() = std::move(clock); }

int64_t MonotonicUSecs() {
  const MonotonicClock& clock = ClockOverride();
  if (clock) return clock();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SetSystemOutputFactory(SystemOutputFactory factory) { FactoryOverride() = std::move(factory); }

std::unique_ptr<AudioOutput> CreateSystemOutput() {
  if (FactoryOverride()) return FactoryOverride()();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return nullptr;
  return std::make_unique<SinkOutput>(device);
}

bool SystemOutputAvailable() { return !QMediaDevices::defaultAudioOutput().isNull(); }

std::unique_ptr<AudioOutput> CreateNullOutput() { return std::make_unique<NullOutput>(); }

}  // namespace platform
