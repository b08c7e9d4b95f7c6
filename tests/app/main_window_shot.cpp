// main_window_shot APPFOLDER OUT.png [WIDTH HEIGHT [ITEM [STAY_MS]]]: opens
// the main window on an application folder holding the demo lesson, chooses
// the lesson, repeats the sentence list's item ITEM (4 = the third sentence)
// and saves a picture of the window a moment later; then stays open STAY_MS
// more so that a screen grabber can take the screen too. Used to look at the
// window; not a test.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include "app/main_form.h"
#include "controls/my_stree.h"
#include "core/audio_player.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  platform::RegisterFontSubstitutions();
  platform::SetApplicationFolder(QString::fromLocal8Bit(argv[1]));
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const int width = argc > 4 ? atoi(argv[3]) : 1280;
  const int height = argc > 4 ? atoi(argv[4]) : 800;
  const int sentenceItem = argc > 5 ? atoi(argv[5]) : 4;
  MainForm form;
  form.move(0, 0);
  form.resize(width, height);
  form.show();
  for (int i = 0; i < form.Combo1()->count(); ++i) {
    if (form.Combo1()->itemText(i) == QStringLiteral("示例")) {
      form.Combo1()->setCurrentIndex(i);
      form.Combo1_Click();
    }
  }
  if (form.MyStree1()->LabelCount() >= 1) {
    form.MyStree1()->setLabelCurClick(1);
    form.MyStree1_LabelClick(1);
  }
  // The sentence repeats, so it is still playing whenever the screen is taken.
  form.LabelCheck_Click(2);
  form.MyStree2()->setLabelCurClick(sentenceItem);
  form.MyStree2_LabelClick(sentenceItem);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 1300) app.processEvents(QEventLoop::AllEvents, 20);
  form.grab().save(QString::fromLocal8Bit(argv[2]));
  const int stay = argc > 6 ? atoi(argv[6]) : 0;
  clock.restart();
  while (clock.elapsed() < stay) app.processEvents(QEventLoop::AllEvents, 20);
  return 0;
}
