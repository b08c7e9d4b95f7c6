#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <limits>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/recording.h"
#include "editor/subtitle_import.h"
#include "tools/commands.h"
#include "tools/material_io.h"

namespace velmo_tool {
namespace {

const char kImportUsage[] = "usage: velmo-tool import SUBTITLE_FILE (RECORDING.mp3 | --length MS) [--write]\n";

struct ImportArgs {
  QString subtitle;
  QString recording;  // "" with --length
  int32_t length = -1;
  bool write = false;
};

// A JSON string literal with its quotes.
QString Quoted(const QString& text) {
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Milliseconds as plain decimal digits, within a position's range.
bool ReadLength(const QString& text, int32_t* length) {
  if (text.isEmpty() || text.size() > 10) return false;
  qint64 value = 0;
  for (QChar c : text) {
    if (c.unicode() < '0' || c.unicode() > '9') return false;
    value = value * 10 + (c.unicode() - '0');
  }
  if (value > std::numeric_limits<int32_t>::max()) return false;
  *length = static_cast<int32_t>(value);
  return true;
}

bool ParseArgs(QStringList args, ImportArgs* parsed) {
  parsed->write = args.removeAll(QStringLiteral("--write")) > 0;
  if (args.size() == 3 && args[1] == QLatin1String("--length")) {
    parsed->subtitle = args[0];
    return ReadLength(args[2], &parsed->length) && !parsed->write;
  }
  if (args.size() != 2 || args[1].startsWith(QLatin1String("--"))) return false;
  parsed->subtitle = args[0];
  parsed->recording = args[1];
  return true;
}


void PrintImport(const SubtitleImport& imported, QTextStream& out) {
  out << "{\"lrc\":" << Quoted(imported.lines) << "}\n";
  int index = 0;
  for (const SentenceRecord& s : imported.sentences) {
    // Keys in a fixed order, as `sentences` prints them.
    out << "{\"index\":" << ++index << ",\"start\":" << s.Start << ",\"end\":" << s.End
        << ",\"startText\":" << Quoted(s.StartText) << ",\"endText\":" << Quoted(s.EndText)
        << ",\"text\":" << Quoted(s.Text) << ",\"remark\":" << Quoted(s.Remark) << "}\n";
  }
}

}  // namespace

// velmo-tool import SUBTITLE_FILE (RECORDING.mp3 | --length MS) [--write]:
// the table the editor's "导入LRC" would build, as JSON lines; with --write
// it goes into the recording's material file as the editor's "保 存" puts
// it there. Nothing is written on any error.
int RunImport(const QStringList& args, QTextStream& out, QTextStream& err) {
  ImportArgs parsed;
  if (!ParseArgs(args, &parsed)) {
    err << kImportUsage << "       (--write needs a recording)\n";
    return 2;
  }
  if (!QFileInfo(parsed.subtitle).isFile()) {
    err << "import: no such file: " << parsed.subtitle << "\n";
    return 1;
  }
  int32_t length = parsed.length;
  if (!parsed.recording.isEmpty()) {
    if (!OpenRecording(QStringLiteral("import"), parsed.recording, err)) return 1;
    length = ProMod::TotalLength;
  }
  const SubtitleImport imported = ImportSubtitleFile(QFileInfo(parsed.subtitle).absoluteFilePath(), length);
  if (imported.sentences.empty()) {
    const QString reason = imported.failure.isEmpty() ? QStringLiteral("the file vanished") : imported.failure;
    err << "import: " << parsed.subtitle << ": " << reason << "\n";
    return 1;
  }
  if (parsed.write && !WriteSentences(imported.sentences)) {
    err << "import: the material file could not be written: " << ProMod::CurrentMaterialPath << "\n";
    return 1;
  }
  PrintImport(imported, out);
  return 0;
}

}  // namespace velmo_tool
