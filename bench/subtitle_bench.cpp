// Importing a lesson's sentences: AnsLrc of a long LRC file, and whole
// imports (file read, encoding detection, reader, table) of LRC and SubRip
// files.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/text_codec.h"
#include "core/time_text.h"
#include "editor/subtitle_import.h"

namespace {

// An LRC lesson: header tags, then lines of one or (every seventh) two tags,
// a few repeated times (choruses) so the sort meets equal times.
QString MakeLrc(int lines) {
  QString text = QStringLiteral("\r\n[ti:Lesson]\r\n[ar:Teacher]\r\n[al:Course]\r\n[offset:-120]");
  for (int i = 0; i < lines; ++i) {
    const int ms = (i % 11 == 10 ? i - 5 : i) * 2700 + 300;
    const auto tag = [](int t) {
      return QStringLiteral("[%1:%2.%3]")
          .arg(t / 60000, 2, 10, QLatin1Char('0'))
          .arg(t / 1000 % 60, 2, 10, QLatin1Char('0'))
          .arg(t % 1000 / 10, 2, 10, QLatin1Char('0'));
    };
    text += QStringLiteral("\r\n") + tag(ms) + (i % 7 == 0 ? tag(ms + 900000) : QString()) +
            QStringLiteral("This is line %1 of the lesson, 这是第%1句。").arg(i);
  }
  return text;
}

QString MakeSrt(int cues) {
  QString text;
  for (int i = 0; i < cues; ++i) {
    const int start = i * 2000;
    const auto time = [](int t) {
      QString s = SoundMod::FormatTime(t);  // H:MM:SS.mmm
      return QStringLiteral("0") + s.replace(QLatin1Char('.'), QLatin1Char(','));
    };
    text += QStringLiteral("%1\r\n%2 --> %3\r\n<i>Cue number %1</i> of the lesson,\r\nsecond line 第%1句。\r\n\r\n")
                .arg(i + 1)
                .arg(time(start), time(start + 1800));
  }
  return text;
}

void BM_AnsLrc5000Lines(benchmark::State& state) {
  const QString lrc = MakeLrc(5000);
  for (auto _ : state) benchmark::DoNotOptimize(AnsLrc(lrc));
}
BENCHMARK(BM_AnsLrc5000Lines)->Unit(benchmark::kMillisecond);

void ImportFile(benchmark::State& state, const char* name, const QByteArray& bytes, size_t expected) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) state.SkipWithError("cannot write");
  file.close();
  size_t count = 0;
  for (auto _ : state) count = ImportSubtitleFile(path, 20000000).sentences.size();
  if (count != expected) state.SkipWithError("wrong sentence count");
}

void BM_ImportSrt3000CuesUtf8(benchmark::State& state) { ImportFile(state, "a.srt", MakeSrt(3000).toUtf8(), 3000); }
BENCHMARK(BM_ImportSrt3000CuesUtf8)->Unit(benchmark::kMillisecond);

void BM_ImportSrt3000CuesAnsi(benchmark::State& state) {
  ImportFile(state, "a.srt", ProMod::EncodeAnsi(MakeSrt(3000)), 3000);
}
BENCHMARK(BM_ImportSrt3000CuesAnsi)->Unit(benchmark::kMillisecond);

void BM_ImportLrc5000LinesAnsi(benchmark::State& state) {
  ImportFile(state, "a.lrc", ProMod::EncodeAnsi(MakeLrc(5000)), 5000 + 715);
}
BENCHMARK(BM_ImportLrc5000LinesAnsi)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
