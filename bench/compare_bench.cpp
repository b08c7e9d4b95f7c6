// Answer comparison and its drawing on sentence-sized and paragraph-sized
// texts. Run from a Release build:
//   compare_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "practice/answer_comparison.h"
#include "practice/comparison_drawing.h"

namespace {

// 40 words, punctuation included.
const QString kSentence = QStringLiteral(
    "When the morning train finally arrived at the small station, my grandmother was already waiting on the "
    "platform with a basket of warm bread, and she told us that the road to her village had been washed away "
    "by the spring rain.");
// The same with five errors: a missing word, a changed word, an extra word,
// a misspelling and a capital.
const QString kTyped = QStringLiteral(
    "When the morning train arrived at the small station, my grandmother is already waiting on the "
    "platform with a big basket of warm bred, and she told us that the road to her Village had been washed away "
    "by the spring rain.");

// A paragraph of `words` words drawn from a fixed vocabulary by a fixed
// generator, with a sentence mark every twelve words, and a typed version
// with five errors in every forty words.
struct Paragraph {
  QString sentence, typed;
};
Paragraph MakeParagraph(int words) {
  static const QStringList vocabulary = QStringLiteral(
      "the a of to and in that it was he for on are as with his they at be this from have or by one had not "
      "but what all were when we there can an your which their said if do will each about how up out them then "
      "she many some so these would other into has more her two like him see time could no make than first been "
      "its who now people my made over did down only way find use may water long little very after words called "
      "just where most know get through back much before go good new write our used me man too any day same "
      "right look think also around another came come work three word must because does part even place well")
                                              .split(QLatin1Char(' '));
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFF;
  };
  QStringList sentence, typed;
  for (int i = 0; i < words; ++i) {
    QString word = vocabulary[static_cast<int>(next() % vocabulary.size())];
    if (i % 12 == 11) word += QLatin1Char(',');
    sentence << word;
    switch (i % 40) {
      case 3: break;                                                     // missing
      case 11: typed << QStringLiteral("extra") << word; break;         // extra
      case 19: typed << word.left(1).toUpper() + word.mid(1); break;     // capital
      case 27: typed << word + QLatin1Char('s'); break;                  // changed
      case 35: typed << QStringLiteral("xyz"); break;                    // substituted
      default: typed << word;
    }
  }
  return {sentence.join(QLatin1Char(' ')) + QLatin1Char('.'), typed.join(QLatin1Char(' ')) + QLatin1Char('.')};
}

void BM_AlignAnswer40Words(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ChaSenMod::AlignAnswer(kSentence, kTyped));
}
BENCHMARK(BM_AlignAnswer40Words)->Unit(benchmark::kMicrosecond);

void BM_AlignAnswer400Words(benchmark::State& state) {
  const Paragraph p = MakeParagraph(400);
  for (auto _ : state) benchmark::DoNotOptimize(ChaSenMod::AlignAnswer(p.sentence, p.typed));
}
BENCHMARK(BM_AlignAnswer400Words)->Unit(benchmark::kMillisecond);

// Bad input: 40 000 characters of one repeated word, which keeps the
// anchor growing until the comparison gives up with the "未知" result.
void BM_AlignAnswerRepeatedWord40000(benchmark::State& state) {
  const QString text = QStringLiteral("ab ").repeated(13334);
  for (auto _ : state) benchmark::DoNotOptimize(ChaSenMod::AlignAnswer(text, text));
}
BENCHMARK(BM_AlignAnswerRepeatedWord40000)->Unit(benchmark::kMillisecond);

// Bad input: 40 000 characters of distinct words on both sides.
void BM_AlignAnswerWords40000(benchmark::State& state) {
  QString text;
  for (int i = 0; text.size() < 40000; ++i) text += QStringLiteral("w%1 ").arg(i);
  for (auto _ : state) benchmark::DoNotOptimize(ChaSenMod::AlignAnswer(text, text));
}
BENCHMARK(BM_AlignAnswerWords40000)->Unit(benchmark::kMillisecond);

void BM_DrawComparison40Words(benchmark::State& state) {
  QImage image(600, 400, QImage::Format_RGB32);
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(16);
  ChaSenMod::PrintSurface surface(&image, font);
  ChaSenMod::MeasureLabel label;
  for (auto _ : state) ChaSenMod::DrawComparison(kSentence, kTyped, &surface, &label, 120, 120, true);
}
BENCHMARK(BM_DrawComparison40Words)->Unit(benchmark::kMicrosecond);

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
