#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <limits>

#include "core/audio_player.h"
#include "core/auto_split.h"
#include "core/material_store.h"
#include "core/peak_cache.h"
#include "core/recording.h"
#include "tools/commands.h"
#include "tools/material_io.h"

namespace velmo_tool {
namespace {

const char kSplitUsage[] = "usage: velmo-tool split RECORDING.mp3 [--write] [--min-pause MS]\n";

struct SplitArgs {
  QString recording;
  bool write = false;
  SplitOptions options;
};

// A JSON string literal with its quotes.
QString Quoted(const QString& text) {
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Milliseconds as plain decimal digits, 1 .. one minute.
bool ReadPause(const QString& text, int32_t* ms) {
  if (text.isEmpty() || text.size() > 5) return false;
  int32_t value = 0;
  for (QChar c : text) {
    if (c.unicode() < '0' || c.unicode() > '9') return false;
    value = value * 10 + (c.unicode() - '0');
  }
  if (value < 1 || value > 60000) return false;
  *ms = value;
  return true;
}

bool ParseArgs(QStringList args, SplitArgs* parsed) {
  parsed->write = args.removeAll(QStringLiteral("--write")) > 0;
  const int at = args.indexOf(QStringLiteral("--min-pause"));
  if (at >= 0) {
    if (at + 1 >= args.size() || !ReadPause(args[at + 1], &parsed->options.minPauseMs)) return false;
    args.remove(at, 2);
  }
  if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) return false;
  parsed->recording = args[0];
  return true;
}


}  // namespace

// velmo-tool split RECORDING.mp3 [--write] [--min-pause MS]: the sentences
// "自动分段" would propose, printed as `sentences` prints a table (the
// length first); with --write they go into the material file as "保 存"
// puts them there. Nothing is written on any error.
int RunSplit(const QStringList& args, QTextStream& out, QTextStream& err) {
  SplitArgs parsed;
  if (!ParseArgs(args, &parsed)) {
    err << kSplitUsage << "       (MS: 1 to 60000)\n";
    return 2;
  }
  if (!OpenRecording(QStringLiteral("split"), parsed.recording, err)) return 1;
  const std::optional<WaveformPeaks> peaks = PeakCache::LoadOrCompute(ProMod::CurrentAudioPath);
  if (!peaks) {
    err << "split: the recording could not be read to its end: " << parsed.recording << "\n";
    return 1;
  }
  const std::vector<SentenceRecord> table = ProposalTable(ProposeSentences(*peaks, parsed.options));
  if (table.empty()) {
    err << "split: no pauses between sentences were found: " << parsed.recording << "\n";
    return 1;
  }
  if (parsed.write && !WriteSentences(table)) {
    err << "split: the material file could not be written: " << ProMod::CurrentMaterialPath << "\n";
    return 1;
  }
  out << "{\"length\":" << ProMod::TotalLength << "}\n";
  for (const SentenceRecord& s : table) {
    // Keys in a fixed order, as `sentences` prints them.
    out << "{\"index\":" << s.Index << ",\"start\":" << s.Start << ",\"end\":" << s.End
        << ",\"startText\":" << Quoted(s.StartText) << ",\"endText\":" << Quoted(s.EndText)
        << ",\"text\":" << Quoted(s.Text) << ",\"remark\":" << Quoted(s.Remark) << "}\n";
  }
  return 0;
}

}  // namespace velmo_tool
