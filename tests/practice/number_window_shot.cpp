// number_window_shot OUT.png [KIND [PANEL]]: the main window at 1280 x 800
// with the number practice window over it, a number of KIND drawn (0
// integer .. 5 month; default 2, a fraction) and, unless PANEL is 0, the
// number panel shown as while Ctrl is held. Saves a picture of the whole
// screen. Used to look at the window; not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "app/main_form.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/random_source.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"
#include "practice/number_exe_form.h"

namespace {
void Wait(QApplication& app, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const int kind = argc > 2 ? atoi(argv[2]) : 2;
  const bool panel = argc > 3 ? atoi(argv[3]) != 0 : true;
  platform::RegisterFontSubstitutions();
  QTemporaryDir folder;
  platform::SetApplicationFolder(folder.path());
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  MainForm main;
  main.move(0, 0);
  main.resize(1280, 800);
  main.show();
  Wait(app, 300);

  auto* form = static_cast<NumberExeForm*>(CreateNumberExeForm(&main));
  for (int i = 0; i < form->List1()->count(); ++i)
    form->List1()->item(i)->setCheckState(i == kind ? Qt::Checked : Qt::Unchecked);
  // Numbers that show the kind well: 12,345, 3 over 4, and so on.
  static const std::vector<float> kDraws[] = {
      {0.0f, 0.12345f}, {0.2f, 0.1234f, 0.375f}, {0.4f, 0.04f, 0.5f, 0.03f},
      {0.6f, 0.45f, 0.5f}, {0.8f, 0.5f}, {1.0f, 0.3f}};
  const std::vector<float> draws = kDraws[std::clamp(kind, 0, 5)];
  ProMod::SetRandomSource([draws, n = size_t(0)]() mutable { return draws[std::min(n++, draws.size() - 1)]; });
  form->NewNumber(false);
  ProMod::SetRandomSource({});
  form->show();
  Wait(app, 300);
  if (panel) {
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(form->VsNetBut1(), &ctrl);
  }
  Wait(app, 500);
  QApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
  delete form;
  return 0;
}
