// The records browser opening on a large history, rewriting it, and the
// dictation window comparing and drawing one answer. Run from a Release build:
//   practice_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <cstdlib>
#include <memory>

#include "controls/text_box.h"
#include "core/material_store.h"
#include "practice/exe_find_form.h"
#include "practice/exe_form.h"
#include "practice/practice_records.h"

namespace {

// 40 words, punctuation included, and the same with five errors.
const QString kSentence = QStringLiteral(
    "When the morning train finally arrived at the small station, my grandmother was already waiting on the "
    "platform with a basket of warm bread, and she told us that the road to her village had been washed away "
    "by the spring rain.");
const QString kTyped = QStringLiteral(
    "When the morning train arrived at the small station, my grandmother is already waiting on the "
    "platform with a big basket of warm bred, and she told us that the road to her Village had been washed away "
    "by the spring rain.");

// `count` records over 60 days, as repeated dictation runs leave them.
QString History(int count) {
  QString section;
  for (int i = 0; i < count; ++i) {
    PracticeRecords::PracticeRecord r;
    r.sentence = QStringLiteral("Sentence number %1 of the lesson.").arg(i % 300);
    r.typed = QStringLiteral("sentence number %1 of a lesson").arg(i % 300);
    r.remark = (i % 7 == 0) ? QStringLiteral("注意冠词") : QString();
    r.start = (i % 300) * 3000;
    r.end = r.start + 2500;
    r.date = QDate(2026, 1, 1).addDays(i * 60 / count);
    section += PracticeRecords::FormatRecord(r);
  }
  return section;
}

void BM_OpenRecordsBrowser30000(benchmark::State& state) {
  ProMod::ResetStore();
  ProMod::TotalLength = 900000;
  ProMod::ExeData = History(30000);
  for (auto _ : state) {
    auto form = std::make_unique<ExeFindForm>();
    benchmark::DoNotOptimize(form.get());
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  ProMod::ResetStore();
}
BENCHMARK(BM_OpenRecordsBrowser30000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadAndOrderSection30000(benchmark::State& state) {
  ProMod::TotalLength = 900000;
  const QString section = History(30000);
  for (auto _ : state) {
    PracticeRecords::Section read = PracticeRecords::ReadSection(section);
    PracticeRecords::SortNewestFirst(read.records);
    benchmark::DoNotOptimize(read.records.data());
  }
}
BENCHMARK(BM_ReadAndOrderSection30000)->Unit(benchmark::kMillisecond);

void BM_WriteSection30000(benchmark::State& state) {
  ProMod::TotalLength = 900000;
  const PracticeRecords::Section read = PracticeRecords::ReadSection(History(30000));
  for (auto _ : state) benchmark::DoNotOptimize(PracticeRecords::WriteSection(read.records, read.kept));
}
BENCHMARK(BM_WriteSection30000)->Unit(benchmark::kMillisecond);

// The compare switch with a 40-word answer: the comparison and its drawing
// in the dictation window, as each click of the switch redoes them.
void BM_DictationCompareAndDraw40Words(benchmark::State& state) {
  ProMod::ResetStore();
  ProMod::TotalLength = 20000;
  SentenceRecord s;
  s.Text = kSentence;
  s.Start = 0;
  s.End = 15000;
  ProMod::Sentences.Append(s);
  ExeForm form;
  form.Text1()->setText(kTyped);
  form.Check1()->setChecked(true);
  for (auto _ : state) form.Check1_Click();
  ProMod::ResetStore();
}
BENCHMARK(BM_DictationCompareAndDraw40Words)->Unit(benchmark::kMicrosecond);

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
