// practice_window_shot dictation|records OUT.png [STAY_MS]: shows the
// dictation window with a drawn comparison, or the records browser with
// records of three days and one chosen, centred on the screen, and saves a
// picture of the window; then stays open STAY_MS more so that a screen
// grabber can take it too. Used to look at the windows; not a test.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>

#include "controls/my_stree.h"
#include "controls/text_box.h"
#include "core/material_store.h"
#include "platform/fonts.h"
#include "core/random_source.h"
#include "practice/exe_find_form.h"
#include "practice/exe_form.h"
#include "practice/practice_records.h"

namespace {

void AddSentence(int32_t start, int32_t end, const QString& text) {
  SentenceRecord s;
  s.Start = start;
  s.End = end;
  s.Text = text;
  ProMod::Sentences.Append(s);
}

QString Record(int32_t start, int32_t end, const QString& text, const QString& typed, const QString& remark,
               const QDate& date) {
  PracticeRecords::PracticeRecord r;
  r.start = start;
  r.end = end;
  r.sentence = text;
  r.typed = typed;
  r.remark = remark;
  r.date = date;
  return PracticeRecords::FormatRecord(r);
}

void Settle(QApplication& app, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
}

void Centre(QWidget* window) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  platform::RegisterFontSubstitutions();
  const QString which = QString::fromLocal8Bit(argv[1]);
  ProMod::CurrentAudioPath = QStringLiteral("/home/learner/语音/示例/lesson1.mp3");
  ProMod::TotalLength = 60000;
  AddSentence(1200, 5400, QStringLiteral("Every morning my brother walks to the station before the sun comes up."));
  AddSentence(5800, 9100, QStringLiteral("He buys a newspaper and a cup of coffee."));
  AddSentence(9500, 13800, QStringLiteral("Then he reads on the train until it reaches the city."));

  std::unique_ptr<QDialog> window;
  if (which == QLatin1String("dictation")) {
    ProMod::SetRandomSource([] { return 0.3f; });  // index 2 first
    auto* form = new ExeForm;
    window.reset(form);
    form->setWindowTitle(QStringLiteral("复读练习 -- ") + ProMod::CurrentAudioPath);
    form->show();
    form->Text1()->setText(
        QStringLiteral("Every morning my brother walk to the station befor the sun comes."));
    form->Text2()->setText(QStringLiteral("walks 的 s 没听出来，up 漏了"));
    form->Check1()->setChecked(true);
    form->Check1_Click();
  } else {
    const QDate day(2026, 3, 9);
    ProMod::ExeData =
        Record(1200, 5400, ProMod::Sentences[2].Text, QStringLiteral("every morning my brother walk to the station"),
               QString(), day.addDays(-2)) +
        Record(5800, 9100, ProMod::Sentences[3].Text, QStringLiteral("he buy a newspaper and cup of coffee"),
               QStringLiteral("冠词 a 漏了"), day.addDays(-2)) +
        Record(9500, 13800, ProMod::Sentences[4].Text,
               QStringLiteral("then he read on the train until it reach the city"), QString(), day.addDays(-1)) +
        Record(1200, 5400, ProMod::Sentences[2].Text,
               QStringLiteral("every morning my brother walks to the station before the sun come up"),
               QStringLiteral("第二遍：只错了 comes"), day) +
        Record(5800, 9100, ProMod::Sentences[3].Text, QStringLiteral("he buys a newspaper and a cup of coffee"),
               QString(), day);
    auto* form = new ExeFindForm;
    window.reset(form);
    form->setWindowTitle(QStringLiteral("练习汇总 -- ") + ProMod::CurrentAudioPath);
    form->show();
    form->MyStree1()->setLabelCurClick(2);
    form->MyStree1_LabelClick(2);
  }
  Centre(window.get());
  Settle(app, 800);
  window->grab().save(QString::fromLocal8Bit(argv[2]));
  Settle(app, argc > 3 ? atoi(argv[3]) : 0);
  window.reset();
  return 0;
}
