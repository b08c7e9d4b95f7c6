// Audio player benchmarks: opening a 60-minute recording (length by a full
// scan), one position query, PlayFrom to the first sample handed to the
// output, and resident memory while a 3-hour recording plays.
//
// The long recordings are made on the first run, next to the executable in
// audio_bench_data/: espeak-ng speaks a paragraph, lame encodes it at
// 128 kbit/s without bit reservoir and without a header frame, so that
// copies of it joined end to end form one valid stream, and the copies are
// joined up to 60 and 180 minutes. They are not part of the repository.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <chrono>
#include <cmath>
#include <vector>
#include <cstdio>
#include <cstdlib>

#include "core/audio_player.h"
#include "core/time_stretch.h"
#include "core/message_service.h"

namespace {

QString DataDir() { return QDir(QCoreApplication::applicationDirPath()).filePath("audio_bench_data"); }

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The recording of `minutes` minutes, made if missing; "" when it cannot be.
QString LongRecording(int minutes) {
  const QDir dir(DataDir());
  const QString path = dir.filePath(QStringLiteral("long_%1min.mp3").arg(minutes));
  if (QFile::exists(path)) return path;
  QDir().mkpath(dir.path());
  const QString chunk = dir.filePath("chunk.mp3");
  if (!QFile::exists(chunk)) {
    const QString wav = dir.filePath("chunk.wav");
    const QString text = QStringLiteral(
        "This is a long lesson made for measuring the player. Every sentence is spoken clearly, "
        "with a short pause after it, so that the learner can repeat it. The lesson goes on for "
        "a long time, one paragraph after another, as real recordings of lectures do.");
    if (!Run("espeak-ng", {"-v", "en-us", "-w", wav, text})) return {};
    if (!Run("lame", {"--quiet", "-b", "128", "--resample", "44.1", "--nores", "-t", wav, chunk})) return {};
  }
  QFile in(chunk);
  if (!in.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = in.readAll();
  // 128 kbit/s: 16 000 bytes a second.
  const qint64 wanted = qint64(minutes) * 60 * 16000;
  QFile out(path + ".part");
  if (!out.open(QIODevice::WriteOnly)) return {};
  for (qint64 written = 0; written < wanted; written += bytes.size())
    if (out.write(bytes) != bytes.size()) return {};
  out.close();
  return QFile::rename(path + ".part", path) ? path : QString();
}

int64_t StatusKb(const char* field) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  int64_t kb = -1;
  const size_t n = std::strlen(field);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, field, n) == 0) kb = std::atoll(line + n + 1);
  std::fclose(f);
  return kb;
}

void OpenOrSkip(benchmark::State& state, const QString& path) {
  SoundMod::CloseAudio();
  if (path.isEmpty() || SoundMod::OpenAudio(path) <= 0) state.SkipWithError("cannot make or open the long recording");
}

void BM_OpenAndLength60Min(benchmark::State& state) {
  const QString path = LongRecording(60);
  int32_t length = 0;
  for (auto _ : state) {
    SoundMod::CloseAudio();
    length = SoundMod::OpenAudio(path);
    if (length <= 0) {
      state.SkipWithError("cannot make or open the long recording");
      break;
    }
  }
  state.counters["length_s"] = length / 1000.0;
  SoundMod::CloseAudio();
}
BENCHMARK(BM_OpenAndLength60Min)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PositionQueryWhilePlaying(benchmark::State& state) {
  OpenOrSkip(state, LongRecording(60));
  SoundMod::PlayFrom(600000);
  int64_t sum = 0;
  for (auto _ : state) {
    sum += SoundMod::GetPosition();
    benchmark::DoNotOptimize(sum);
  }
  SoundMod::CloseAudio();
}
BENCHMARK(BM_PositionQueryWhilePlaying)->Unit(benchmark::kMicrosecond);

void BM_PlayFromToFirstSampleHanded(benchmark::State& state) {
  OpenOrSkip(state, LongRecording(60));
  std::chrono::steady_clock::time_point first;
  bool seen = false;
  SoundMod::SetOutputObserver([&](int64_t, const char*, int64_t) {
    if (!seen) first = std::chrono::steady_clock::now();
    seen = true;
  });
  const int32_t length = 3600 * 1000;
  for (auto _ : state) {
    const int32_t at = static_cast<int32_t>(QRandomGenerator::global()->bounded(length - 10000));
    seen = false;
    const auto start = std::chrono::steady_clock::now();
    SoundMod::PlayFrom(at);
    // The first audio normally goes out inside PlayFrom; otherwise wait for it.
    while (!seen && std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    state.SetIterationTime(std::chrono::duration<double>(first - start).count());
    SoundMod::StopAudio();
  }
  SoundMod::SetOutputObserver({});
  SoundMod::CloseAudio();
}
BENCHMARK(BM_PlayFromToFirstSampleHanded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// From PlayFrom until the position moves, that is until the output reports
// the first sample heard (through a sound device: the server's start-up and
// latency included). Plays start at random places, one after another, each
// cutting the previous one short, as clicks on sentences do.
void BM_PlayFromToFirstSampleHeard(benchmark::State& state) {
  OpenOrSkip(state, LongRecording(60));
  state.SetLabel(SoundMod::UsingNullOutput() ? "null output" : "sound device");
  const int32_t length = 3600 * 1000;
  for (auto _ : state) {
    const int32_t at = static_cast<int32_t>(QRandomGenerator::global()->bounded(length - 10000));
    const auto start = std::chrono::steady_clock::now();
    SoundMod::PlayFrom(at);
    while (SoundMod::GetPosition() <= at && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    SoundMod::PauseAudio();
  }
  SoundMod::CloseAudio();
}
BENCHMARK(BM_PlayFromToFirstSampleHeard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// CPU time the speed stretcher needs for one second of 44.1 kHz stereo
// speech (the argument is the speed in hundredths).
void BM_StretcherCpuPerSecondOfAudio(benchmark::State& state) {
  const double speed = state.range(0) / 100.0;
  std::vector<int16_t> second(44100 * 2);
  for (size_t i = 0; i < second.size(); ++i)
    second[i] = static_cast<int16_t>(8000 * std::sin(i * 0.031) + 3000 * std::sin(i * 0.0071));
  std::vector<int16_t> out(8192 * 2);
  for (auto _ : state) {
    TimeStretch stretch(44100, 2, speed);
    for (size_t f = 0; f < 44100; f += 2048) {
      const auto n = static_cast<int64_t>(std::min<size_t>(2048, 44100 - f));
      stretch.Push(second.data() + f * 2, n, f + n >= 44100);
      while (stretch.Pull(out.data(), 8192) > 0) {
      }
    }
  }
}
BENCHMARK(BM_StretcherCpuPerSecondOfAudio)->Arg(50)->Arg(125)->Unit(benchmark::kMillisecond)->Iterations(10);

// From a change of speed while playing until the output has been handed
// audio at the new speed (and, on a device, the position moves again).
void BM_SpeedChangeWhilePlaying(benchmark::State& state) {
  OpenOrSkip(state, LongRecording(60));
  state.SetLabel(SoundMod::UsingNullOutput() ? "null output" : "sound device");
  double speed = 0.75;
  for (auto _ : state) {
    SoundMod::SetSpeed(1.0);
    SoundMod::PlayFrom(60000);
    while (SoundMod::GetPosition() <= 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const int32_t before = SoundMod::GetPosition();
    const auto start = std::chrono::steady_clock::now();
    SoundMod::SetSpeed(speed);
    while (SoundMod::GetPosition() <= before + 1 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    SoundMod::PauseAudio();
    speed = speed == 0.75 ? 1.25 : 0.75;
  }
  SoundMod::SetSpeed(1.0);
  SoundMod::CloseAudio();
}
BENCHMARK(BM_SpeedChangeWhilePlaying)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ResidentMemoryPlaying3Hours(benchmark::State& state) {
  const QString path = LongRecording(180);
  for (auto _ : state) {
    const int64_t before = StatusKb("VmRSS");
    OpenOrSkip(state, path);
    // Play at several places, a second of playback each.
    for (int32_t at : {0, 3600000, 7200000, 10700000}) {
      SoundMod::PlayFrom(at);
      QElapsedTimer t;
      t.start();
      while (t.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    state.counters["rss_before_open_MB"] = before / 1024.0;
    state.counters["rss_playing_MB"] = StatusKb("VmRSS") / 1024.0;
    state.counters["rss_peak_MB"] = StatusKb("VmHWM") / 1024.0;
    SoundMod::CloseAudio();
  }
}
BENCHMARK(BM_ResidentMemoryPlaying3Hours)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ProMod::SetMsgBoxPresenter([](const ProMod::MsgBoxRequest& r) {
    std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
    return 1;
  });
  ::benchmark::Initialize(&argc, argv);
  if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  SoundMod::CloseAudio();
  return 0;
}
