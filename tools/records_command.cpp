#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/recording.h"
#include "practice/practice_records.h"
#include "tools/commands.h"

namespace velmo_tool {
namespace {
// A JSON string literal with its quotes.
QString JsonText(const QString& text) {
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}
}  // namespace

// velmo-tool records RECORDING.mp3: the practice records as the records
// browser reads and orders them (newest day first, later saves of a day
// first), one JSON object per line. The recording is opened because
// records without an end time end where the recording ends.
int RunRecords(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1) {
    err << "usage: velmo-tool records RECORDING.mp3\n";
    return 2;
  }
  const QString path = QFileInfo(args[0]).absoluteFilePath();
  if (!QFileInfo(path).isFile()) {
    err << "records: no such recording: " << args[0] << "\n";
    return 1;
  }
  const QFileInfo material(ProMod::MaterialPathFor(path));
  if (material.exists() && (!material.isFile() || !material.isReadable())) {
    err << "records: the material file cannot be read: " << material.filePath() << "\n";
    return 1;
  }
  ProMod::ChooseRecording(path);
  if (!ProMod::AudioLoaded) {
    err << "records: the recording cannot be decoded: " << args[0] << "\n";
    return 1;
  }
  PracticeRecords::Section section = PracticeRecords::ReadSection(ProMod::ExeData);
  PracticeRecords::SortNewestFirst(section.records);
  for (const PracticeRecords::PracticeRecord& r : section.records) {
    out << "{\"date\":" << JsonText(r.date.toString(QStringLiteral("yyyy-MM-dd"))) << ",\"start\":" << r.start
        << ",\"end\":" << r.end << ",\"text\":" << JsonText(r.sentence) << ",\"typed\":" << JsonText(r.typed)
        << ",\"remark\":" << JsonText(r.remark) << "}\n";
  }
  if (!section.kept.isEmpty())
    err << "records: " << section.kept.size() << " piece(s) of the practice record section are not listed\n";
  return 0;
}

}  // namespace velmo_tool
