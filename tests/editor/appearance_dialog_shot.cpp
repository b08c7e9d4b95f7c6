// appearance_dialog_shot APPFOLDER OUT.png [dark [STAY_MS]]: opens the main
// window with a few recordings and sentences listed and the appearance
// dialog beside it, with the design values or (given "dark") a dark theme
// chosen in the dialog; saves a picture of the two side by side, then stays
// open STAY_MS more so that a screen grabber can take the screen too. Used
// to look at the dialog; not a test.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPixmap>

#include "app/main_form.h"
#include "controls/my_stree.h"
#include "controls/text_box.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "editor/set_form.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"

namespace {

void Wait(QApplication& app, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
}

void ChooseDarkTheme(SetForm& d) {
  const ColourValue colours[SetForm::kSwatchCount] = {
      RgbValue(30, 32, 38),   RgbValue(58, 62, 78),   RgbValue(96, 100, 124), RgbValue(214, 216, 222),
      RgbValue(255, 200, 80), RgbValue(120, 200, 255), RgbValue(44, 72, 120), RgbValue(26, 28, 34),
      RgbValue(52, 58, 76),   RgbValue(96, 100, 124), RgbValue(226, 228, 232), RgbValue(255, 200, 80),
      RgbValue(120, 200, 255), RgbValue(40, 90, 160), RgbValue(80, 160, 220), RgbValue(48, 50, 56),
      RgbValue(220, 222, 228), RgbValue(255, 255, 255), RgbValue(96, 100, 124), RgbValue(96, 100, 124),
      RgbValue(255, 255, 255), RgbValue(220, 222, 228), RgbValue(48, 50, 56),   RgbValue(210, 130, 60),
      RgbValue(150, 70, 40)};
  for (int i = 0; i < SetForm::kSwatchCount; ++i) d.ApplyColour(i, colours[i]);
  d.QelText1(0)->setText(QStringLiteral("45"));
  d.QelText1(1)->setText(QStringLiteral("135"));
  d.FontSizeSelect_Click(16);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  platform::RegisterFontSubstitutions();
  const QString folder = QString::fromLocal8Bit(argv[1]);
  platform::SetApplicationFolder(folder);
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const bool dark = argc > 3 && QByteArray(argv[3]) == "dark";
  const int stay = argc > 4 ? atoi(argv[4]) : 0;
  // A few recordings to list (only their names are shown).
  QDir().mkpath(folder + QStringLiteral("/语音"));
  for (const char* name : {"Lesson 1.mp3", "Lesson 2.mp3", "Lesson 3.mp3", "Dialogue.mp3"}) {
    QFile f(folder + QStringLiteral("/语音/") + QString::fromUtf8(name));
    f.open(QIODevice::WriteOnly);
  }

  MainForm form;
  form.move(0, 0);
  form.resize(760, 560);
  form.show();
  form.MyStree1()->setLabelCurClick(2);
  form.MyStree2()->setGetData(QStringList{QStringLiteral("1: Good morning."), QStringLiteral("2: This is lesson one."),
                                          QStringLiteral("3: Listen to each sentence."),
                                          QStringLiteral("4: Then say it again.")}
                                  .join(ProMod::kEnter));
  form.MyStree2()->setLabelCurClick(2);

  SetForm dialog(&form, SetFormTargets{form.MyStree1(), form.MyStree2(), form.QelPBar1(), form.QelPBar2(),
                                       form.QelTextMu1()});
  dialog.setWindowFlag(Qt::Window);
  if (dark) ChooseDarkTheme(dialog);
  dialog.move(form.frameGeometry().right() + 8, 0);
  dialog.show();
  Wait(app, 800);

  const QPixmap left = form.grab();
  const QPixmap right = dialog.grab();
  QPixmap both(left.width() + 8 + right.width(), std::max(left.height(), right.height()));
  both.fill(Qt::darkGray);
  QPainter painter(&both);
  painter.drawPixmap(0, 0, left);
  painter.drawPixmap(left.width() + 8, 0, right);
  painter.end();
  both.save(QString::fromLocal8Bit(argv[2]));
  Wait(app, stay);
  return 0;
}
