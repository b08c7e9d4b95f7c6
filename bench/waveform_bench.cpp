// Waveform benchmarks on a 60-minute recording: the peaks computed from
// the MP3 (CPU seconds of the process), the time from opening the
// segmentation editor until the first outline is painted (without and with
// the cache), and "自动分段" once the peaks exist.
//
// The recording is made on the first run in waveform_bench_data/ next to
// the executable: espeak-ng speaks a few sentences, lame encodes them
// without bit reservoir and header frame, and copies are joined. Run from
// a Release build:
//   waveform_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

#include "core/auto_split.h"
#include "core/peak_cache.h"
#include "core/waveform_peaks.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/time_text.h"
#include "editor/set_stree.h"
#include "platform/fonts.h"
#include "platform/mp3_decoder.h"

namespace {

QString DataDir() { return QDir(QCoreApplication::applicationDirPath()).filePath("waveform_bench_data"); }

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// An hour of speech: a spoken chunk, its MP3 frames joined end to end.
QString HourRecording() {
  const QDir dir(DataDir());
  const QString path = dir.filePath("lesson_3600s.mp3");
  if (QFile::exists(path)) return path;
  QDir().mkpath(dir.path());
  const QString wav = dir.filePath("chunk.wav"), chunk = dir.filePath("chunk.mp3");
  if (!Run("espeak-ng", {"-v", "en-us", "-w", wav,
                         "Good morning. Could I see the menu, please? Of course. Here you are. Thank you. "
                         "What do you recommend? The chicken salad is very good today."}) ||
      !Run("lame", {"--quiet", "-b", "128", "--resample", "44.1", "--nores", "-t", wav, chunk}))
    return {};
  QFile in(chunk);
  if (!in.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = in.readAll();
  const int copies = 3600 * 16000 / static_cast<int>(bytes.size()) + 1;  // 128 kbit/s
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return {};
  for (int i = 0; i < copies; ++i) out.write(bytes);
  return path;
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

// The cache goes to a folder of the benchmark's own.
QTemporaryDir& CacheHome() {
  static QTemporaryDir dir;
  qputenv("XDG_CACHE_HOME", dir.path().toUtf8());
  return dir;
}

void BM_PeaksOf60MinuteMp3(benchmark::State& state) {
  const QString path = HourRecording();
  if (path.isEmpty()) return state.SkipWithError("no recording (espeak-ng and lame needed)");
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const std::optional<WaveformPeaks> peaks = ComputePeaks(path);
    state.SetIterationTime(ProcessCpuSeconds() - cpu0);
    if (!peaks) return state.SkipWithError("not decoded");
    state.counters["minutes"] = peaks->lengthMs / 60000.0;
  }
}
BENCHMARK(BM_PeaksOf60MinuteMp3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// Opening the editor on the hour until its strip has something painted.
void FirstView(benchmark::State& state, bool cached) {
  CacheHome();
  const QString path = HourRecording();
  if (path.isEmpty()) return state.SkipWithError("no recording (espeak-ng and lame needed)");
  platform::Mp3Decoder decoder;
  if (!decoder.Open(path)) return state.SkipWithError("not decoded");
  ProMod::ResetStore();
  ProMod::CurrentAudioPath = path;
  ProMod::TotalLength = static_cast<int32_t>(decoder.LengthFrames() * 1000 / decoder.SampleRate());
  ProMod::TotalLengthText = SoundMod::FormatTime(ProMod::TotalLength);
  ProMod::AudioLoaded = true;
  decoder.Close();
  if (cached && !PeakCache::Load(path)) PeakCache::LoadOrCompute(path);
  for (auto _ : state) {
    if (!cached) QFile::remove(PeakCache::FileFor(path));
    QElapsedTimer t;
    t.start();
    auto editor = std::make_unique<SetStree>(nullptr);
    editor->show();
    while (!editor->ShownPeaks() && t.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    editor->repaint();
    state.SetIterationTime(t.nsecsElapsed() / 1e9);
    if (!editor->ShownPeaks()) return state.SkipWithError("no outline");
    editor->close();
  }
  ProMod::ResetStore();
}
void BM_FirstViewOf60Minutes(benchmark::State& state) { FirstView(state, false); }
void BM_FirstViewOf60MinutesCached(benchmark::State& state) { FirstView(state, true); }
BENCHMARK(BM_FirstViewOf60Minutes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstViewOf60MinutesCached)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AutoSplit60Minutes(benchmark::State& state) {
  CacheHome();
  const QString path = HourRecording();
  if (path.isEmpty()) return state.SkipWithError("no recording (espeak-ng and lame needed)");
  const std::optional<WaveformPeaks> peaks = PeakCache::LoadOrCompute(path);
  if (!peaks) return state.SkipWithError("not decoded");
  size_t found = 0;
  for (auto _ : state) {
    const std::vector<ProposedSentence> proposal = ProposeSentences(*peaks);
    benchmark::DoNotOptimize(proposal.data());
    found = proposal.size();
  }
  state.counters["sentences"] = static_cast<double>(found);
}
BENCHMARK(BM_AutoSplit60Minutes)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  platform::RegisterFontSubstitutions();
  ProMod::SetMsgBoxPresenter([](const ProMod::MsgBoxRequest&) { return 1; });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
