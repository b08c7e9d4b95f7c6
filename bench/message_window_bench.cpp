// The message window sized for a short, a 500-line and a 100 000-character
// message, a button painted in its hover look, and a text box taking a typed
// line through its filter. Run from a Release build:
//   message_window_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QKeyEvent>
#include <cstdlib>

#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "platform/fonts.h"
#include "practice/message_window.h"

namespace {

ProMod::MsgBoxRequest Request(const QString& text) {
  return ProMod::MsgBoxRequest{text, ProMod::kAppTitle, true, ProMod::kIconWarning};
}

void PrepareWith(benchmark::State& state, const QString& text) {
  ZQelMsgForm form;
  form.setAvailableArea(QRect(0, 0, 1280, 800));
  for (auto _ : state) {
    form.Prepare(Request(text));
    benchmark::DoNotOptimize(form.WindowHeight());
  }
}

void BM_MsgForm_PrepareShort(benchmark::State& state) { PrepareWith(state, QStringLiteral("确定要删除这条练习记录吗？")); }

void BM_MsgForm_Prepare500Lines(benchmark::State& state) {
  QString text;
  for (int i = 0; i < 500; ++i) text += QStringLiteral("第%1行：很长的消息会在窗口里滚动。\r\n").arg(i);
  PrepareWith(state, text);
}

void BM_MsgForm_Prepare100kChars(benchmark::State& state) { PrepareWith(state, QString(100000, QChar(0x5B57))); }

void BM_VsNetBut_PaintHover(benchmark::State& state) {
  QWidget host;
  auto* b = new VsNetBut(&host);
  b->setGeometry(0, 0, 120, 30);
  b->setCaption(QStringLiteral("保存(&S)"));
  QImage picture(16, 16, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  b->setButtonPicture(picture);
  host.show();
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 10), QPointF(20, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(b, &move);
  QImage target(120, 30, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    b->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}

void BM_QelText_TypeALine(benchmark::State& state) {
  QWidget host;
  auto* box = new QelText(&host);
  box->setGeometry(0, 0, 200, 24);
  box->setUserDot(true);
  host.show();
  for (auto _ : state) {
    box->setText(QString());
    for (const QChar c : QStringLiteral("3.14159 abc 2718")) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(box->Text1(), &press);
      QApplication::sendEvent(box->Text1(), &release);
    }
    benchmark::DoNotOptimize(box->Text());
  }
}

}  // namespace

BENCHMARK(BM_MsgForm_PrepareShort)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MsgForm_Prepare500Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MsgForm_Prepare100kChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VsNetBut_PaintHover)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QelText_TypeALine)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  platform::RegisterFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
