// Processor time the controls take while the pointer rests on them and
// nothing else happens: a sentence list with the pointer on an item, a text
// box and a button with the pointer over them. Each repetition runs the event
// loop for 2 s; "cpu_percent" is the process time used in that span as a
// share of one core. Run from a Release build:
//   idle_hover_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// and read the median. Idle means 0: no timer may watch a resting pointer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <ctime>
#include <memory>

#include "controls/my_stree.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"

namespace {

constexpr int kRestMs = 2000;

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void MoveOver(QWidget* w, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

// Runs the event loop while the pointer rests, and reports the time used.
void MeasureRest(benchmark::State& state) {
  double used = 0;
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(kRestMs, &loop, &QEventLoop::quit);
    loop.exec();
    used = ProcessCpuSeconds() - before;
  }
  state.counters["cpu_ms"] = used * 1000.0;
  state.counters["cpu_percent"] = used * 100.0 / (kRestMs / 1000.0);
}

// The floor: the event loop with no window at all.
void BM_IdleCpu_EventLoopAlone(benchmark::State& state) { MeasureRest(state); }

void BM_IdleCpu_ListPointerOnItem(benchmark::State& state) {
  MyStree list;
  list.resize(300, 400);
  QStringList items;
  for (int i = 1; i <= 60; ++i) items << QStringLiteral("%1. Could you tell me the way to the station?").arg(i);
  list.setGetData(items.join(QStringLiteral("<KVQENTER>")));
  list.show();
  QApplication::processEvents();
  MoveOver(&list, list.CaptionRect(3).center());
  if (list.HoverIndex() != 3) state.SkipWithError("the item did not take the hover");
  MeasureRest(state);
}

void BM_IdleCpu_TextBoxPointerOver(benchmark::State& state) {
  QWidget host;
  host.resize(300, 100);
  auto* box = new QelText(&host);
  box->setGeometry(10, 10, 200, 30);
  auto* other = new QLineEdit(&host);  // holds the focus: the box shows its hover colour
  other->setGeometry(10, 50, 200, 24);
  other->setFocus();
  host.show();
  QApplication::processEvents();
  MoveOver(box->Text1(), QPoint(5, 5));
  if (box->HasFocusFlag()) state.SkipWithError("the text box took the focus");
  MeasureRest(state);
}

void BM_IdleCpu_ButtonPointerOver(benchmark::State& state) {
  QWidget host;
  host.resize(300, 100);
  auto* button = new VsNetBut(&host);
  button->setGeometry(10, 10, 120, 30);
  host.show();
  QApplication::processEvents();
  MoveOver(button, QPoint(20, 10));
  if (!button->Hovering()) state.SkipWithError("the button did not take the hover");
  MeasureRest(state);
}

}  // namespace

BENCHMARK(BM_IdleCpu_EventLoopAlone)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpu_ListPointerOnItem)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpu_TextBoxPointerOver)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpu_ButtonPointerOver)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
