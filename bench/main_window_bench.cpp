// Main window benchmarks: start-up to the first painted frame (empty library,
// and a library whose first category holds 500 recordings), choosing a
// recording with 2 000 sentences until the sentence list is painted, the
// time from a sentence's end to the pause (the 10 ms poll included), with a
// count of the audio frames past the end that reached the output, and the
// share of one core the window uses idle and while playing (reported in
// milliseconds of CPU per second: 15 ms is 1.5 %).
//
// The recordings are made on the first run in main_window_bench_data/ next to
// the executable: espeak-ng speaks a paragraph, lame encodes it without bit
// reservoir and header frame, and copies are joined into longer recordings.
// Run from a Release build:
//   main_window_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "app/main_form.h"
#include "controls/my_stree.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/time_text.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"

namespace {

QString DataDir() { return QDir(QCoreApplication::applicationDirPath()).filePath("main_window_bench_data"); }

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A spoken paragraph as MP3 frames that can be joined end to end.
QString Chunk() {
  const QDir dir(DataDir());
  const QString chunk = dir.filePath("chunk.mp3");
  if (QFile::exists(chunk)) return chunk;
  QDir().mkpath(dir.path());
  const QString wav = dir.filePath("chunk.wav");
  if (!Run("espeak-ng", {"-v", "en-us", "-w", wav,
                         "Good morning. Could I see the menu, please? Of course. Here you are. Thank you. "
                         "What do you recommend? The chicken salad is very good today."}))
    return {};
  if (!Run("lame", {"--quiet", "-b", "128", "--resample", "44.1", "--nores", "-t", wav, chunk})) return {};
  return chunk;
}

// A recording of at least `seconds`, made of joined copies of the chunk.
QString Recording(int seconds) {
  const QString path = QDir(DataDir()).filePath(QStringLiteral("lesson_%1s.mp3").arg(seconds));
  if (QFile::exists(path)) return path;
  const QString chunk = Chunk();
  if (chunk.isEmpty()) return {};
  QFile in(chunk);
  if (!in.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = in.readAll();
  // 128 kbit/s: 16 000 bytes a second.
  const int copies = std::max(1, seconds * 16000 / static_cast<int>(bytes.size()) + 1);
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return {};
  for (int i = 0; i < copies; ++i) out.write(bytes);
  return path;
}

// A material file with `n` sentences spread evenly over `lengthMs`. Their
// lengths differ in the last digit, so that their ends fall at every point
// between two polls.
void WriteMaterial(const QString& audio, int n, int32_t lengthMs) {
  QStringList lines;
  const int32_t step = lengthMs / n;
  for (int i = 0; i < n; ++i) {
    const int32_t start = i * step + 50, end = (i + 1) * step - 50 + (i * 3) % 10;
    lines << ProMod::FormatSentenceLine(
        start, QStringLiteral("Sentence %1: could you tell me the way to the station, please?").arg(i + 1), end,
        QStringLiteral("备注 %1").arg(i));
  }
  ProMod::WriteTextFile(audio + ".qvl", ProMod::kSetOpen + ProMod::kSetClose + ProMod::kBaseOpen +
                                            lines.join(ProMod::kEnter) + ProMod::kBaseClose + ProMod::kExeOpen +
                                            ProMod::kExeClose);
}

// Runs the event loop until `widget` has had a paint event.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
  ~PaintWatch() override {
    if (widget_) widget_->removeEventFilter(this);
  }
  bool WaitForPaint(int timeoutMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!painted_ && t.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return painted_;
  }
  void Reset() { painted_ = false; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_ && event->type() == QEvent::Paint) painted_ = true;
    return false;
  }

 private:
  QPointer<QWidget> widget_;
  bool painted_ = false;
};

void StartUp(benchmark::State& state, int recordings) {
  QTemporaryDir app;
  platform::SetApplicationFolder(app.path());
  QDir().mkpath(app.filePath("语音"));
  for (int i = 0; i < recordings; ++i) {
    QFile f(app.filePath(QStringLiteral("语音/第%1课 Lesson %1.mp3").arg(i + 1, 3, 10, QLatin1Char('0'))));
    f.open(QIODevice::WriteOnly);
  }
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    auto form = std::make_unique<MainForm>();
    PaintWatch watch(form.get());
    form->show();
    if (!watch.WaitForPaint()) state.SkipWithError("the window was never painted");
    state.SetIterationTime(t.nsecsElapsed() / 1e9);
    if (form->MyStree1()->LabelCount() != recordings) state.SkipWithError("wrong recording count");
    form.reset();
    QCoreApplication::processEvents();
  }
  platform::SetApplicationFolder(QString());
}

void BM_StartUpEmptyLibrary(benchmark::State& state) { StartUp(state, 0); }
void BM_StartUp500Recordings(benchmark::State& state) { StartUp(state, 500); }
BENCHMARK(BM_StartUpEmptyLibrary)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartUp500Recordings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A library with one recording of at least `seconds` (a link to the made
// recording) and a material file of `sentences` sentences over `lengthMs`,
// played through the null output. Empty when the recording cannot be made.
QString PrepareLesson(const QTemporaryDir& app, int seconds, int sentences, int32_t lengthMs) {
  const QString source = Recording(seconds);
  if (source.isEmpty()) return {};
  platform::SetApplicationFolder(app.path());
  QDir().mkpath(app.filePath("语音"));
  const QString audio = app.filePath("语音/lesson.mp3");
  QFile::link(source, audio);
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  WriteMaterial(audio, sentences, lengthMs);
  return audio;
}

// Choosing a recording of `state.range(0)` seconds with 2 000 sentences.
void BM_ChooseRecording2000Sentences(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  QTemporaryDir app;
  if (PrepareLesson(app, seconds, 2000, seconds * 1000).isEmpty()) {
    state.SkipWithError("espeak-ng or lame missing");
    return;
  }
  MainForm form;
  form.resize(1280, 800);
  form.show();
  PaintWatch watch(form.MyStree2());
  watch.WaitForPaint();
  for (auto _ : state) {
    watch.Reset();
    QElapsedTimer t;
    t.start();
    form.MyStree1_LabelClick(1);
    if (!watch.WaitForPaint()) state.SkipWithError("the sentence list was never painted");
    state.SetIterationTime(t.nsecsElapsed() / 1e9);
    if (form.MyStree2()->LabelCount() != 2002) state.SkipWithError("wrong item count");
  }
  SoundMod::CloseAudio();
  platform::SetApplicationFolder(QString());
}
BENCHMARK(BM_ChooseRecording2000Sentences)
    ->Arg(60)
    ->Arg(3600)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// From a sentence's end to the pause: the sentence plays in real time
// through the null output; the pause comes from the window's poll.
void BM_SentenceEndToPause(benchmark::State& state) {
  QTemporaryDir app;
  if (PrepareLesson(app, 30, 20, 20000).isEmpty()) {  // sentences of 900 ms
    state.SkipWithError("espeak-ng or lame missing");
    return;
  }
  MainForm form;
  form.show();
  form.MyStree1_LabelClick(1);
  int64_t pastEnd = 0;
  int64_t endFrame = 0;
  SoundMod::SetOutputObserver([&](int64_t first, const char*, int64_t frames) {
    if (first + frames > endFrame) pastEnd += first + frames - std::max(first, endFrame);
  });
  int item = 2;
  double worst = 0;
  for (auto _ : state) {
    const SentenceRecord s = ProMod::Sentences[item];
    endFrame = (int64_t{s.End} * SoundMod::SampleRate() + 500) / 1000;
    QElapsedTimer t;
    t.start();
    form.MyStree2_LabelClick(item);
    while (form.Timer3()->isActive() && t.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double latency = t.nsecsElapsed() / 1e9 - (s.End - s.Start) / 1000.0;
    state.SetIterationTime(std::max(0.0, latency));
    worst = std::max(worst, latency);
    if (SoundMod::GetPosition() != s.End) state.SkipWithError("did not stop at the sentence end");
    item = item < ProMod::Sentences.UBound() ? item + 1 : 2;
  }
  state.counters["frames_past_end"] = static_cast<double>(pastEnd);
  state.counters["worst_ms"] = worst * 1000.0;
  SoundMod::SetOutputObserver({});
  SoundMod::CloseAudio();
  platform::SetApplicationFolder(QString());
}
BENCHMARK(BM_SentenceEndToPause)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// CPU time the whole process spends per second of wall time: with a
// recording chosen and the pointer resting on a sentence (nothing playing),
// and while the whole recording plays through the null output (the poll,
// the bars and the follow; no sound device work).
double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

void CpuPerSecond(benchmark::State& state, bool playing) {
  QTemporaryDir app;
  if (PrepareLesson(app, 60, 40, 58000).isEmpty()) {
    state.SkipWithError("espeak-ng or lame missing");
    return;
  }
  MainForm form;
  form.resize(1280, 800);
  form.show();
  form.MyStree1_LabelClick(1);
  MyStree* list = form.MyStree2();
  const QPoint rest = list->CaptionRect(3).center();
  QMouseEvent move(QEvent::MouseMove, QPointF(rest), list->mapToGlobal(QPointF(rest)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(list, &move);
  if (playing) form.PlayPara(0, 1, -1);
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = t.nsecsElapsed() / 1e9;
    state.SetIterationTime((ProcessCpuSeconds() - cpu0) / wall);  // "seconds" = share of one core
  }
  SoundMod::CloseAudio();
  platform::SetApplicationFolder(QString());
}
void BM_IdleCpuShareWithPointerOnAList(benchmark::State& state) { CpuPerSecond(state, false); }
void BM_PlayingCpuShare(benchmark::State& state) { CpuPerSecond(state, true); }
BENCHMARK(BM_IdleCpuShareWithPointerOnAList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlayingCpuShare)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

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
