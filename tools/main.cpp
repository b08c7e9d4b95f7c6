#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

#include "core/audio_player.h"
#include "core/message_service.h"
#include "tools/commands.h"

namespace {
void PrintUsage(QTextStream& err) {
  err << "usage: velmo-tool sentences RECORDING.mp3\n"
         "       velmo-tool demo-lesson APPLICATION_FOLDER\n"
         "       velmo-tool compare [--image OUT.png --width PIXELS] SENTENCE TYPED\n"
         "       velmo-tool records RECORDING.mp3\n"
         "       velmo-tool import SUBTITLE_FILE (RECORDING.mp3 | --length MS) [--write]\n"
         "       velmo-tool split RECORDING.mp3 [--write] [--min-pause MS]\n";
}
}  // namespace

int main(int argc, char** argv) {
  // The tool never shows a window; drawing still needs a GUI application.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);

  // Messages meant for a window go to standard error instead.
  ProMod::SetMsgBoxPresenter([&err](const ProMod::MsgBoxRequest& request) {
    err << request.title << ": " << QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << "\n";
    err.flush();
    return 0;
  });
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);

  QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) {
    PrintUsage(err);
    return 2;
  }
  const QString command = args.takeFirst();
  int status = 2;
  if (command == QLatin1String("sentences")) {
    status = velmo_tool::RunSentences(args, out, err);
  } else if (command == QLatin1String("demo-lesson")) {
    status = velmo_tool::RunDemoLesson(args, out, err);
  } else if (command == QLatin1String("compare")) {
    status = velmo_tool::RunCompare(args, out, err);
  } else if (command == QLatin1String("records")) {
    status = velmo_tool::RunRecords(args, out, err);
  } else if (command == QLatin1String("import")) {
    status = velmo_tool::RunImport(args, out, err);
  } else if (command == QLatin1String("split")) {
    status = velmo_tool::RunSplit(args, out, err);
  } else {
    PrintUsage(err);
  }
  out.flush();
  err.flush();
  SoundMod::CloseAudio();
  return status;
}
