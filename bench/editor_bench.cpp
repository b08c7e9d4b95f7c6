// Segmentation editor benchmarks: opening the editor on a recording with
// 2 000 sentences until its sentence list is painted, one nudge until the
// timeline is repainted, and the time from a range's end to the pause (the
// 10 ms watch included), with a count of the audio frames past the end that
// reached the output.
//
// The recording for the last one is made on the first run in
// editor_bench_data/ next to the executable: espeak-ng speaks a paragraph,
// lame encodes it without bit reservoir and header frame, and copies are
// joined into a longer recording.
// Run from a Release build:
//   editor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <cstdlib>
#include <memory>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/time_text.h"
#include "editor/set_stree.h"
#include "platform/fonts.h"

namespace {

QString DataDir() { return QDir(QCoreApplication::applicationDirPath()).filePath("editor_bench_data"); }

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A recording of at least `seconds`, made of joined copies of a spoken paragraph.
QString Recording(int seconds) {
  const QDir dir(DataDir());
  const QString path = dir.filePath(QStringLiteral("lesson_%1s.mp3").arg(seconds));
  if (QFile::exists(path)) return path;
  QDir().mkpath(dir.path());
  const QString wav = dir.filePath("chunk.wav"), chunk = dir.filePath("chunk.mp3");
  if (!QFile::exists(chunk)) {
    if (!Run("espeak-ng", {"-v", "en-us", "-w", wav,
                           "Good morning. Could I see the menu, please? Of course. Here you are. Thank you."}))
      return {};
    if (!Run("lame", {"--quiet", "-b", "128", "--resample", "44.1", "--nores", "-t", wav, chunk})) return {};
  }
  QFile in(chunk);
  if (!in.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = in.readAll();
  const int copies = std::max(1, seconds * 16000 / static_cast<int>(bytes.size()) + 1);  // 16 000 bytes a second
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return {};
  for (int i = 0; i < copies; ++i) out.write(bytes);
  return path;
}

// The store of a recording of `lengthMs` with `n` sentences spread over it.
void Store(int n, int32_t lengthMs) {
  ProMod::ResetStore();
  ProMod::CurrentAudioPath = QStringLiteral("/bench/lesson.mp3");
  ProMod::TotalLength = lengthMs;
  ProMod::TotalLengthText = SoundMod::FormatTime(lengthMs);
  ProMod::AudioLoaded = true;
  QStringList lines;
  const int32_t step = lengthMs / n;
  for (int i = 0; i < n; ++i) {
    SentenceRecord r;
    r.Start = i * step + 50;
    r.End = (i + 1) * step - 50 + (i * 3) % 10;
    r.Text = QStringLiteral("Sentence %1: could you tell me the way to the station, please?").arg(i + 1);
    r.Remark = QStringLiteral("备注 %1").arg(i);
    lines << ProMod::FormatSentenceLine(r);
  }
  ProMod::BaseData = lines.join(ProMod::kEnter);
  ProMod::BuildSentenceTable();
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

void BM_OpenEditor2000Sentences(benchmark::State& state) {
  Store(2000, 3'600'000);
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    auto editor = std::make_unique<SetStree>(nullptr);
    PaintWatch watch(editor->MyStree1());
    editor->resize(1280, 800);
    editor->show();
    if (!watch.WaitForPaint()) state.SkipWithError("the sentence list was never painted");
    state.SetIterationTime(t.nsecsElapsed() / 1e9);
    if (editor->Count() != 2000) state.SkipWithError("wrong sentence count");
    editor.reset();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_OpenEditor2000Sentences)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// One "延迟0.1秒" or "提前0.1秒" on the end of sentence 1 000 until the
// magnified bar is repainted.
void BM_NudgeUntilRepainted(benchmark::State& state) {
  Store(2000, 3'600'000);
  SetStree editor(nullptr);
  editor.resize(1280, 800);
  editor.show();
  PaintWatch watch(editor.QelPBar2());
  watch.WaitForPaint();
  editor.MyStree1_LabelClick(1000);
  watch.Reset();
  watch.WaitForPaint();
  int k = 0;
  for (auto _ : state) {
    watch.Reset();
    QElapsedTimer t;
    t.start();
    editor.Command1_Click(k++ % 2 == 0 ? 9 : 6);
    if (!watch.WaitForPaint()) state.SkipWithError("the timeline was never repainted");
    state.SetIterationTime(t.nsecsElapsed() / 1e9);
  }
}
BENCHMARK(BM_NudgeUntilRepainted)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

// From a range's end to the pause: the range (a released end marker) plays
// in real time through the null output; the pause comes from the watch.
void BM_RangeEndToPause(benchmark::State& state) {
  const QString audio = Recording(30);
  if (audio.isEmpty()) {
    state.SkipWithError("espeak-ng or lame missing");
    return;
  }
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const int32_t length = SoundMod::OpenAudio(audio);
  Store(20, 20000);  // sentences of about 900 ms
  ProMod::TotalLength = length;
  SetStree editor(nullptr);
  editor.show();
  int64_t pastEnd = 0, endFrame = 0;
  SoundMod::SetOutputObserver([&](int64_t first, const char*, int64_t frames) {
    if (first + frames > endFrame) pastEnd += first + frames - std::max(first, endFrame);
  });
  int item = 1;
  double worst = 0;
  for (auto _ : state) {
    editor.MyStree1_LabelClick(item);
    const SentenceRecord s = editor.Entry(item);
    endFrame = (int64_t{s.End} * SoundMod::SampleRate() + 500) / 1000;
    QElapsedTimer t;
    t.start();
    editor.Picture1_MouseUp(1, 1);
    while (editor.Timer1()->isActive() && t.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double latency = t.nsecsElapsed() / 1e9 - (s.End - s.Start) / 1000.0;
    state.SetIterationTime(std::max(0.0, latency));
    worst = std::max(worst, latency);
    if (SoundMod::GetPosition() != s.End) state.SkipWithError("did not stop at the range's end");
    item = item < editor.Count() ? item + 1 : 1;
  }
  state.counters["frames_past_end"] = static_cast<double>(pastEnd);
  state.counters["worst_ms"] = worst * 1000.0;
  SoundMod::SetOutputObserver({});
  SoundMod::CloseAudio();
}
BENCHMARK(BM_RangeEndToPause)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

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
