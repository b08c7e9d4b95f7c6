#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/recording.h"
#include "tools/commands.h"

namespace velmo_tool {
namespace {
// A JSON string literal with its quotes.
QString Quoted(const QString& text) {
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}
}  // namespace

// velmo-tool sentences RECORDING.mp3: the recording's length, then its
// sentence table as the main window builds it, one JSON object per line.
int RunSentences(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1) {
    err << "usage: velmo-tool sentences RECORDING.mp3\n";
    return 2;
  }
  const QString path = QFileInfo(args[0]).absoluteFilePath();
  if (!QFileInfo(path).isFile()) {
    err << "sentences: no such recording: " << args[0] << "\n";
    return 1;
  }
  const QString material = ProMod::MaterialPathFor(path);
  const QFileInfo materialInfo(material);
  if (materialInfo.exists() && (!materialInfo.isFile() || !materialInfo.isReadable())) {
    err << "sentences: the material file cannot be read: " << material << "\n";
    return 1;
  }
  ProMod::ChooseRecording(path);
  if (!ProMod::AudioLoaded) {
    err << "sentences: the recording cannot be decoded: " << args[0] << "\n";
    return 1;
  }
  out << "{\"length\":" << ProMod::TotalLength << "}\n";
  for (int k = 2; k <= ProMod::Sentences.UBound(); ++k) {
    const SentenceRecord& s = ProMod::Sentences[k];
    // Keys in a fixed order, so lines can be compared as text.
    out << "{\"index\":" << s.Index << ",\"start\":" << s.Start << ",\"end\":" << s.End
        << ",\"startText\":" << Quoted(s.StartText) << ",\"endText\":" << Quoted(s.EndText)
        << ",\"text\":" << Quoted(s.Text) << ",\"remark\":" << Quoted(s.Remark) << "}\n";
  }
  return 0;
}

}  // namespace velmo_tool
