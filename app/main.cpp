#include <QApplication>

#include "app/main_form.h"
#include "core/audio_player.h"
#include "platform/fonts.h"
#include "practice/message_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmo"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmo.Velmo"));  // the launcher's icon and name
  platform::RegisterFontSubstitutions();
  InstallMessageWindow();
  int status = 0;
  {
    MainForm window;
    window.show();
    status = app.exec();
  }
  SoundMod::CloseAudio();
  return status;
}
