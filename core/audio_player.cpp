#include "core/audio_player.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "core/message_service.h"
#include "core/time_stretch.h"
#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"

namespace SoundMod {
namespace {

const QString kOpenFailedText = QStringLiteral("播放MP3文件时发生错误！");
const QString kOpenFailedTitle = QStringLiteral("错误");

constexpr int kServiceIntervalMs = 10;
// Decoded in pieces of at most this many frames (about 46 ms at 44.1 kHz).
constexpr int64_t kChunkFrames = 2048;
// A run whose end the output does not report (a stalled sound server) is
// taken as finished this long after it should have been heard.
constexpr int64_t kEndGraceUSecs = 1000000;
// A device that has neither moved its heard position nor taken any audio
// for this long is treated as failed.
constexpr int64_t kStallUSecs = 1500000;

// a * b / c to the nearest whole number, a half going to the even
// neighbour; a, b, c >= 0 and c > 0.
int64_t MulDivRoundHalfEven(int64_t a, int64_t b, int64_t c) {
  const __int128 p = static_cast<__int128>(a) * b;
  int64_t q = static_cast<int64_t>(p / c);
  const int64_t r = static_cast<int64_t>(p % c);
  if (2 * r > c || (2 * r == c && (q & 1))) ++q;
  return q;
}

struct Player {
  platform::Mp3Decoder decoder;
  std::unique_ptr<platform::AudioOutput> output;
  QPointer<QTimer> timer;
  OutputMode mode = OutputMode::Automatic;
  PlayState state = PlayState::Closed;
  OutputObserver observer;

  int rate = 0;
  int channels = 0;
  int bytesPerFrame = 0;
  int64_t length = 0;  // frames

  // Position while not playing.
  int64_t restFrame = 0;

  // The current play: it ends at stopFrame. A play runs as one segment, or
  // as two when the device failed and the null output took over.
  int64_t stopFrame = 0;
  int64_t segmentStart = 0;   // frame where the current segment began
  int64_t segmentHanded = 0;  // frames of it the output has taken
  int64_t handedTotal = 0;    // frames taken since PlayFrom
  bool segmentComplete = false;  // everything up to stopFrame was handed
  int64_t completeAtUSecs = 0;
  int64_t lastHeard = -1;         // heard frame at the last service
  int64_t lastHanded = -1;        // frames handed at the last service
  int64_t lastProgressUSecs = 0;  // when either last moved
  // Slower or faster speech: source frames go through the stretcher and
  // segmentHanded counts the source frames it took; outWritten counts the
  // stretched frames the output took. At speed 1.0 there is no stretcher.
  double speed = 1.0;
  std::unique_ptr<TimeStretch> stretch;
  bool sourceDone = false;  // every source frame up to stopFrame went in
  int64_t outWritten = 0;
  std::vector<int16_t> stretched;
  std::vector<char> pending;  // decoded audio the output has not taken yet
  int64_t pendingFirst = 0;   // frame of pending's first sample
  size_t pendingOffset = 0;   // bytes of pending already taken

  int64_t FramesToMs(int64_t frames) const { return rate > 0 ? MulDivRoundHalfEven(frames, 1000, rate) : 0; }
  int64_t MsToFrames(int64_t ms) const { return MulDivRoundHalfEven(ms, rate, 1000); }

  // Output frames of this segment that have been heard.
  int64_t HeardOutputFrames() const {
    const int64_t usecs = std::max<int64_t>(0, output->HeardUSecs());
    return MulDivRoundHalfEven(usecs, rate, 1000000);
  }

  int64_t HeardFrame() const {
    const int64_t heard = HeardOutputFrames();
    if (!stretch) return segmentStart + std::min(heard, segmentHanded);
    // Stretched audio maps back to the recording's own time.
    if (heard >= outWritten && segmentComplete) return segmentStart + segmentHanded;
    const int64_t source = static_cast<int64_t>(std::llround(static_cast<double>(heard) * speed));
    return segmentStart + std::min(source, segmentHanded);
  }

  // Everything handed to the output of this segment has been heard.
  bool AllHeard() const {
    if (!stretch) return HeardFrame() >= stopFrame;
    return HeardOutputFrames() >= outWritten;
  }

  int64_t CurrentFrame() const { return state == PlayState::Playing ? HeardFrame() : restFrame; }

  void EnsureTimer() {
    if (timer) return;
    timer = new QTimer(QCoreApplication::instance());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(kServiceIntervalMs);
    QObject::connect(timer, &QTimer::timeout, [] { ServiceOutput(); });
  }

  void StopTimer() {
    if (timer) timer->stop();
  }

  // Halts the current play; the position rests at `frame`.
  void Halt(int64_t frame, PlayState next) {
    if (output) output->Stop();
    StopTimer();
    pending.clear();
    pendingOffset = 0;
    stretch.reset();
    restFrame = frame;
    state = next;
  }

  // Starts handing audio from `frame` on; false when no output can play.
  bool BeginSegment(int64_t frame) {
    pending.clear();
    pendingOffset = 0;
    segmentStart = frame;
    segmentHanded = 0;
    segmentComplete = false;
    sourceDone = false;
    outWritten = 0;
    stretch.reset();
    if (std::fabs(speed - 1.0) > 1e-9) stretch = std::make_unique<TimeStretch>(rate, channels, speed);
    lastHeard = lastHanded = -1;
    lastProgressUSecs = platform::MonotonicUSecs();
    if (!decoder.SeekToFrame(frame)) return false;
    if (!output->Start(rate, channels)) {
      // The device refused this run: keep time without it.
      if (output->IsNull()) return false;
      output = platform::CreateNullOutput();
      if (!output->Start(rate, channels)) return false;
    }
    return true;
  }

  // Hands the output as much as it takes, up to stopFrame.
  void Feed() {
    if (stretch) {
      FeedStretched();
      return;
    }
    while (!segmentComplete) {
      if (pendingOffset >= pending.size()) {
        const int64_t next = segmentStart + segmentHanded;
        const int64_t frames = std::min(kChunkFrames, stopFrame - next);
        if (frames <= 0) {
          segmentComplete = true;
          completeAtUSecs = platform::MonotonicUSecs();
          output->Finish();
          break;
        }
        pending.resize(static_cast<size_t>(frames * bytesPerFrame));
        const int64_t got = decoder.Read(pending.data(), frames);
        // A damaged stream that ends early plays on as silence, so that
        // positions still reach the end of the play.
        if (got < frames) std::fill(pending.begin() + got * bytesPerFrame, pending.end(), 0);
        pendingFirst = next;
        pendingOffset = 0;
      }
      const int64_t left = static_cast<int64_t>(pending.size() - pendingOffset);
      const int64_t room = output->BytesFree();
      if (room <= 0) break;
      const int64_t taken = output->Write(pending.data() + pendingOffset, std::min(left, room));
      if (taken <= 0) break;
      const int64_t frames = taken / bytesPerFrame;
      if (observer) observer(pendingFirst + static_cast<int64_t>(pendingOffset) / bytesPerFrame,
                             pending.data() + pendingOffset, frames);
      pendingOffset += static_cast<size_t>(taken);
      segmentHanded += frames;
      handedTotal += frames;
    }
  }

  // The same through the stretcher: source frames up to stopFrame go in,
  // stretched frames go out as the output takes them.
  void FeedStretched() {
    while (!segmentComplete) {
      if (stretch->Available() > 0) {
        const int64_t room = output->BytesFree() / bytesPerFrame;
        if (room <= 0) break;
        const int64_t n = std::min({stretch->Available(), room, kChunkFrames});
        stretched.resize(static_cast<size_t>(n * channels));
        stretch->Pull(stretched.data(), n);
        const int64_t taken = output->Write(reinterpret_cast<const char*>(stretched.data()), n * bytesPerFrame);
        outWritten += std::max<int64_t>(0, taken) / bytesPerFrame;
        if (taken < n * bytesPerFrame) break;  // the rest is lost; never happens with the room asked for
        continue;
      }
      if (sourceDone) {
        segmentComplete = true;
        completeAtUSecs = platform::MonotonicUSecs();
        output->Finish();
        break;
      }
      PushSource();
    }
  }

  void PushSource() {
    const int64_t next = segmentStart + segmentHanded;
    const int64_t frames = std::min(kChunkFrames, stopFrame - next);
    if (frames <= 0) {
      stretch->Push(nullptr, 0, true);
      sourceDone = true;
      return;
    }
    pending.resize(static_cast<size_t>(frames * bytesPerFrame));
    const int64_t got = decoder.Read(pending.data(), frames);
    if (got < frames) std::fill(pending.begin() + got * bytesPerFrame, pending.end(), 0);
    const bool last = next + frames >= stopFrame;
    stretch->Push(reinterpret_cast<const int16_t*>(pending.data()), frames, last);
    if (observer) observer(next, pending.data(), frames);
    segmentHanded += frames;
    handedTotal += frames;
    sourceDone = last;
    pending.clear();
  }

  // The device went away or stopped mid-play: go on from the heard
  // position with the null output, for the rest of this recording.
  void FailOver() {
    const int64_t frame = HeardFrame();
    output->Stop();
    output = platform::CreateNullOutput();
    if (!BeginSegment(frame)) Halt(frame, PlayState::Stopped);
  }

  // True when a device stopped playing without saying so: neither does
  // the heard position move nor does it take more audio.
  bool Stalled() {
    if (output->IsNull()) return false;
    const int64_t now = platform::MonotonicUSecs();
    const int64_t heard = HeardFrame();
    if (heard != lastHeard || segmentHanded != lastHanded) {
      lastHeard = heard;
      lastHanded = segmentHanded;
      lastProgressUSecs = now;
      return false;
    }
    return now - lastProgressUSecs > kStallUSecs;
  }

  void Service() {
    if (state != PlayState::Playing || !output) return;
    if (output->Failed()) FailOver();
    if (state != PlayState::Playing) return;
    Feed();
    if (Stalled()) {
      FailOver();
      if (state != PlayState::Playing) return;
      Feed();
    }
    if (!segmentComplete) return;
    const int64_t segmentUSecs = MulDivRoundHalfEven(stretch ? outWritten : segmentHanded, 1000000, rate);
    if (AllHeard() || platform::MonotonicUSecs() - completeAtUSecs > segmentUSecs + kEndGraceUSecs)
      Halt(stopFrame, PlayState::Stopped);
  }

  void Close() {
    if (state == PlayState::Closed) return;
    Halt(0, PlayState::Closed);
    output.reset();
    decoder.Close();
    rate = channels = bytesPerFrame = 0;
    length = 0;
    handedTotal = 0;
    segmentStart = segmentHanded = 0;
    stopFrame = 0;
  }
};

// Created on first use and never destroyed with the static objects: the
// audio sink must go before the application object, so the recording is
// closed by a post routine of QCoreApplication instead.
Player& ThePlayer() {
  static Player* player = new Player;
  return *player;
}

void CloseWhenApplicationEnds() {
  static bool added = false;
  if (added || !QCoreApplication::instance()) return;
  qAddPostRoutine([] { ThePlayer().Close(); });
  added = true;
}

int32_t FailOpen() {
  ProMod::ShowMsgBox(kOpenFailedText, 1, kOpenFailedTitle, 0);
  return 0;
}

}  // namespace

int32_t OpenAudio(const QString& path) {
  Player& p = ThePlayer();
  // One recording at a time under the alias: the caller closes first.
  if (p.state != PlayState::Closed) return FailOpen();
  if (path.isEmpty() || !p.decoder.Open(path)) return FailOpen();

  std::unique_ptr<platform::AudioOutput> output;
  if (p.mode != OutputMode::NullOutput) output = platform::CreateSystemOutput();
  if (!output && p.mode != OutputMode::SystemOutput) output = platform::CreateNullOutput();
  const int64_t lengthMs = p.decoder.SampleRate() > 0
                               ? MulDivRoundHalfEven(p.decoder.LengthFrames(), 1000, p.decoder.SampleRate())
                               : 0;
  if (!output || lengthMs < 1 || lengthMs > std::numeric_limits<int32_t>::max()) {
    p.decoder.Close();
    return FailOpen();
  }
  p.output = std::move(output);
  p.rate = p.decoder.SampleRate();
  p.channels = p.decoder.Channels();
  p.bytesPerFrame = p.decoder.BytesPerFrame();
  p.length = p.decoder.LengthFrames();
  p.restFrame = 0;
  p.stopFrame = 0;
  p.handedTotal = 0;
  p.state = PlayState::Stopped;
  p.EnsureTimer();
  CloseWhenApplicationEnds();
  return static_cast<int32_t>(lengthMs);
}

void PlayFrom(int32_t position, int32_t stopPosition) {
  Player& p = ThePlayer();
  if (p.state == PlayState::Closed) return;
  p.Halt(p.CurrentFrame(), PlayState::Stopped);
  p.handedTotal = 0;

  const int64_t lengthMs = p.FramesToMs(p.length);
  const int64_t startFrame = std::min(p.MsToFrames(std::clamp<int64_t>(position, 0, lengthMs)), p.length);
  int64_t stopFrame = p.length;
  if (stopPosition >= 0) stopFrame = std::min(p.MsToFrames(std::min<int64_t>(stopPosition, lengthMs)), p.length);
  stopFrame = std::max(stopFrame, startFrame);
  p.stopFrame = stopFrame;
  p.segmentStart = startFrame;
  p.segmentHanded = 0;
  if (startFrame == stopFrame || !p.BeginSegment(startFrame)) {
    p.restFrame = startFrame;
    return;
  }
  p.state = PlayState::Playing;
  p.Feed();  // the first audio goes out now, not one timer tick later
  p.EnsureTimer();
  p.timer->start();
}

void SetSpeed(double speed) {
  Player& p = ThePlayer();
  if (!std::isfinite(speed)) speed = 1.0;
  speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
  if (std::fabs(speed - 1.0) < 1e-9) speed = 1.0;
  if (speed == p.speed) return;
  p.speed = speed;
  if (p.state != PlayState::Playing) return;
  // Heard at the new speed from where the listener is now, to the same end.
  const int64_t frame = p.HeardFrame();
  const int64_t stop = p.stopFrame;
  p.Halt(frame, PlayState::Stopped);
  p.stopFrame = stop;
  if (frame >= stop || !p.BeginSegment(frame)) {
    p.restFrame = std::min(frame, stop);
    return;
  }
  p.state = PlayState::Playing;
  p.Feed();
  p.EnsureTimer();
  p.timer->start();
}

double Speed() { return ThePlayer().speed; }

void PauseAudio() {
  Player& p = ThePlayer();
  ProMod::PausedPosition = GetPosition();
  if (p.state == PlayState::Playing) p.Halt(p.HeardFrame(), PlayState::Paused);
}

void StopAudio() {
  Player& p = ThePlayer();
  if (p.state == PlayState::Playing || p.state == PlayState::Paused) p.Halt(p.CurrentFrame(), PlayState::Stopped);
}

void CloseAudio() { ThePlayer().Close(); }

int32_t GetPosition() {
  const Player& p = ThePlayer();
  if (p.state == PlayState::Closed) return 0;
  return static_cast<int32_t>(p.FramesToMs(p.CurrentFrame()));
}

PlayState State() { return ThePlayer().state; }
bool IsOpen() { return ThePlayer().state != PlayState::Closed; }

void SetOutputMode(OutputMode mode) { ThePlayer().mode = mode; }
OutputMode CurrentOutputMode() { return ThePlayer().mode; }
bool UsingNullOutput() {
  const Player& p = ThePlayer();
  return p.output && p.output->IsNull();
}

void ServiceOutput() { ThePlayer().Service(); }

int SampleRate() { return ThePlayer().rate; }
int Channels() { return ThePlayer().channels; }
int64_t LengthFrames() { return ThePlayer().length; }
int64_t FramesHandedToOutput() { return ThePlayer().handedTotal; }
void SetOutputObserver(OutputObserver observer) { ThePlayer().observer = std::move(observer); }

}  // namespace SoundMod
