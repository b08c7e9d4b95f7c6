#include <QApplication>

#include "app/start_window.h"
#include "core/audio_player.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmo"));
  SoundMod::CloseAudio();
  StartWindow window;
  window.show();
  int status = app.exec();
  SoundMod::CloseAudio();
  return status;
}
