// The item list with 30 001 two-line items: building, one scroll step, a full
// repaint and the memory it takes, next to a word-wrapping QListWidget given
// the same texts. Run from a Release build:
//   controls_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <memory>

#include "controls/gradient.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"

namespace {

constexpr int kItems = 30001;
const QSize kListSize(300, 400);

// Sentence-like texts that wrap to two lines at the list's caption width.
const QStringList& Texts() {
  static const QStringList texts = [] {
    QStringList list;
    list.reserve(kItems);
    for (int i = 1; i <= kItems; ++i)
      list << QStringLiteral("%1. Could you tell me the way to the station %2? 你好").arg(i).arg(i % 97);
    return list;
  }();
  return texts;
}

const QString& Block() {
  static const QString block = Texts().join(QStringLiteral("<KVQENTER>"));
  return block;
}

double HeapMegabytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double ResidentMegabytes() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof(line), f))
    if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atof(line + 6);
  std::fclose(f);
  return kb / 1024.0;
}

std::unique_ptr<MyStree> NewList() {
  auto list = std::make_unique<MyStree>();
  list->resize(kListSize);
  list->show();  // lays the control out
  QApplication::processEvents();
  return list;
}

void BM_MyStree_Build30001(benchmark::State& state) {
  auto list = NewList();
  const QString& block = Block();
  for (auto _ : state) {
    list->setGetData(block);
    benchmark::DoNotOptimize(list->LabelCount());
    state.PauseTiming();
    list->setGetData(QString());
    state.ResumeTiming();
  }
  list->setGetData(block);
  state.counters["items"] = list->LabelCount();
  state.counters["lines_item1"] = list->LabelHeight(1) / double(list->LabelHeight(0));
}

void BM_MyStree_ScrollStep(benchmark::State& state) {
  auto list = NewList();
  list->setGetData(Block());
  QScrollBar* bar = list->VScroll1();
  int v = 15000;
  for (auto _ : state) {
    v = v == 15000 ? 15001 : 15000;
    bar->setValue(v);  // runs the scroll handler
  }
  state.counters["shown"] = [&] {
    int shown = 0;
    for (int i = v; i < v + 40; ++i) shown += list->IsShown(i);
    return shown;
  }();
}

// A width change wraps every caption anew (the list is laid out again on
// every size change); a height change only lays out what fits.
void BM_MyStree_Resize(benchmark::State& state) {
  auto list = NewList();
  const int items = static_cast<int>(state.range(0));
  list->setGetData(QStringList(Texts().mid(0, items)).join(QStringLiteral("<KVQENTER>")));
  const bool widthToo = state.range(1) != 0;
  int step = 0;
  for (auto _ : state) {
    step ^= 1;
    list->resize(kListSize.width() + (widthToo ? step * 40 : 0), kListSize.height() + (widthToo ? 0 : step * 40));
    benchmark::DoNotOptimize(list->TopIndex());
  }
}

void BM_MyStree_FullRepaint(benchmark::State& state) {
  auto list = NewList();
  list->setGetData(Block());
  list->VScroll1()->setValue(15000);
  list->setHightLightUse(true);
  list->setLabelCurClick(15002);
  QImage target(kListSize, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    list->render(&target);
    benchmark::ClobberMemory();
  }
}

void BM_MyStree_Memory(benchmark::State& state) {
  double delta = 0, heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const double before = ResidentMegabytes();
    const double heapBefore = HeapMegabytes();
    state.ResumeTiming();
    auto list = NewList();
    list->setGetData(Block());
    state.PauseTiming();
    delta = ResidentMegabytes() - before;
    heap = HeapMegabytes() - heapBefore;
    list.reset();
    state.ResumeTiming();
  }
  state.counters["resident_MB"] = delta;
  state.counters["heap_MB"] = heap;
}

std::unique_ptr<QListWidget> NewListWidget() {
  auto widget = std::make_unique<QListWidget>();
  widget->setWordWrap(true);
  widget->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  widget->resize(kListSize);
  widget->show();
  QApplication::processEvents();
  return widget;
}

void BM_QListWidget_Build30001(benchmark::State& state) {
  auto widget = NewListWidget();
  for (auto _ : state) {
    widget->addItems(Texts());
    widget->doItemsLayout();  // the wrapped item sizes
    benchmark::DoNotOptimize(widget->count());
    state.PauseTiming();
    widget->clear();
    state.ResumeTiming();
  }
}

void BM_QListWidget_ScrollStep(benchmark::State& state) {
  auto widget = NewListWidget();
  widget->addItems(Texts());
  widget->doItemsLayout();
  QScrollBar* bar = widget->verticalScrollBar();
  int v = 15000;
  for (auto _ : state) {
    v = v == 15000 ? 15001 : 15000;
    bar->setValue(v);
    QApplication::processEvents();
  }
}

void BM_QListWidget_FullRepaint(benchmark::State& state) {
  auto widget = NewListWidget();
  widget->addItems(Texts());
  widget->doItemsLayout();
  widget->verticalScrollBar()->setValue(15000);
  QApplication::processEvents();
  QImage target(kListSize, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    widget->render(&target);
    benchmark::ClobberMemory();
  }
}

void BM_QListWidget_Memory(benchmark::State& state) {
  double delta = 0, heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const double before = ResidentMegabytes();
    const double heapBefore = HeapMegabytes();
    state.ResumeTiming();
    auto widget = NewListWidget();
    widget->addItems(Texts());
    widget->doItemsLayout();
    state.PauseTiming();
    delta = ResidentMegabytes() - before;
    heap = HeapMegabytes() - heapBefore;
    widget.reset();
    state.ResumeTiming();
  }
  state.counters["resident_MB"] = delta;
  state.counters["heap_MB"] = heap;
}

void BM_Gradient_Draw300x400(benchmark::State& state) {
  clsGradient gradient;
  gradient.setAngle(static_cast<float>(state.range(0)));
  QImage image(kListSize, QImage::Format_RGB32);
  for (auto _ : state) benchmark::DoNotOptimize(gradient.Draw(&image));
}

void BM_QelPBar_ValueChange(benchmark::State& state) {
  QelPBar bar;
  bar.resize(400, 20);
  bar.show();
  QApplication::processEvents();
  bar.setAutoPerCent(true);
  bar.setMaxValue(300000);
  int v = 0;
  for (auto _ : state) {
    v = (v + 7919) % 300000;
    bar.setValue(v);
  }
}

}  // namespace

// Texts and their block are built before timing starts.
// Memory first, while the process is still small.
BENCHMARK(BM_MyStree_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QListWidget_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MyStree_Build30001)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_MyStree_ScrollStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MyStree_FullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MyStree_Resize)->Args({500, 1})->Args({500, 0})->Args({kItems, 1})->Args({kItems, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QListWidget_Build30001)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QListWidget_ScrollStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QListWidget_FullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gradient_Draw300x400)->Arg(0)->Arg(315)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QelPBar_ValueChange)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  (void)Block();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
