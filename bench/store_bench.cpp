// Loading a large material file and building its sentence table.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "core/material_store.h"
#include "core/time_text.h"

namespace {
QString MakeMaterial(int sentences) {
  QStringList lines;
  lines.reserve(sentences);
  for (int i = 0; i < sentences; ++i) {
    const int start = i * 3000;
    lines << ProMod::FormatSentenceLine(
        start, QStringLiteral("This is sentence number %1 of a long lesson, with a few more words.").arg(i),
        start + 2500, i % 3 == 0 ? QStringLiteral("备注：第%1句").arg(i) : QString());
  }
  return lines.join(ProMod::kEnter) + ProMod::kEnter;
}

void BM_LoadAndBuild30000(benchmark::State& state) {
  QTemporaryDir dir;
  ProMod::CurrentMaterialPath = dir.path() + QStringLiteral("/big.mp3.qvl");
  ProMod::BaseData = MakeMaterial(30000);
  ProMod::SaveMaterialFile();
  ProMod::TotalLength = 30000 * 3000;
  for (auto _ : state) {
    ProMod::LoadMaterialFile();
    ProMod::BuildSentenceTable();
    benchmark::DoNotOptimize(ProMod::Sentences.UBound());
  }
  if (ProMod::Sentences.UBound() != 30001) state.SkipWithError("wrong sentence count");
}
BENCHMARK(BM_LoadAndBuild30000)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
