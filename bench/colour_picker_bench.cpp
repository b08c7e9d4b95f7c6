// The colour picker's surfaces for one drag step: the 256 × 256 square and
// the 16 × 256 bar filled pixel by pixel, alone and as the dialog does it
// (draw, copy onto its surface, move the cursor or the markers, read the
// colour back). Run from a Release build:
//   colour_picker_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_dialog_mod.h"

namespace {

using namespace ColorDialogMod;

// Square and bar of one mode, the values moving a little every step as a
// drag moves them.
void BM_SquareAndBar(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const bool web = state.range(1) != 0;
  QImage square, bar;
  double step = 0;
  for (auto _ : state) {
    const Hsb values{std::fmod(step * 7.0, 360.0), std::fmod(step, 100.0), 100 - std::fmod(step, 100.0)};
    DrawSquare(square, mode, values, web);
    DrawBar(bar, mode, values, web);
    benchmark::DoNotOptimize(square.constBits());
    benchmark::DoNotOptimize(bar.constBits());
    step += 1;
  }
}
BENCHMARK(BM_SquareAndBar)
    ->ArgNames({"mode", "web"})
    ->Args({0, 0})->Args({1, 0})->Args({2, 0})->Args({0, 1})->Args({1, 1})->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

// One step of dragging the hue slider in mode H: the square is drawn again
// for the new hue and the colour read back under the cursor.
void BM_DialogHueDragStep(benchmark::State& state) {
  ColorDialog dialog;
  dialog.SetOpeningColour(RgbValue(46, 139, 205));
  dialog.LoadMode(kModeH);
  dialog.SurfaceDown(QPoint(285, 20));
  int y = 20;
  for (auto _ : state) {
    y = y >= 260 ? 20 : y + 3;
    dialog.SurfaceMove(QPoint(285, y));
  }
  dialog.SurfaceUp(QPoint(285, y));
}
BENCHMARK(BM_DialogHueDragStep)->Unit(benchmark::kMillisecond);

// One step of dragging the saturation slider in mode S: the square is drawn
// for the new saturation; and one step in its square: the bar follows.
void BM_DialogModeSDragSteps(benchmark::State& state) {
  ColorDialog dialog;
  dialog.SetOpeningColour(RgbValue(46, 139, 205));
  dialog.LoadMode(kModeS);
  int step = 0;
  for (auto _ : state) {
    dialog.SurfaceDown(QPoint(285, 20 + step % 240));
    dialog.SurfaceUp(QPoint(285, 20 + step % 240));
    dialog.SurfaceDown(QPoint(20 + step % 240, 200 - step % 180));
    dialog.SurfaceUp(QPoint(20 + step % 240, 200 - step % 180));
    ++step;
  }
}
BENCHMARK(BM_DialogModeSDragSteps)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
