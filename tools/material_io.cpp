#include "tools/material_io.h"

#include <QFileInfo>

#include "core/recording.h"

namespace velmo_tool {

bool OpenRecording(const QString& command, const QString& given, QTextStream& err) {
  const QString path = QFileInfo(given).absoluteFilePath();
  if (!QFileInfo(path).isFile()) {
    err << command << ": no such recording: " << given << "\n";
    return false;
  }
  const QFileInfo material(ProMod::MaterialPathFor(path));
  if (material.exists() && (!material.isFile() || !material.isReadable())) {
    err << command << ": the material file cannot be read: " << material.filePath() << "\n";
    return false;
  }
  ProMod::ChooseRecording(path);
  if (!ProMod::AudioLoaded) {
    err << command << ": the recording cannot be decoded: " << given << "\n";
    return false;
  }
  return true;
}

bool WriteSentences(const std::vector<SentenceRecord>& sentences) {
  QString base;
  for (const SentenceRecord& s : sentences) base += ProMod::FormatSentenceLine(s) + ProMod::kEnter;
  ProMod::BaseData = base;
  return ProMod::SaveMaterialFile();
}

}  // namespace velmo_tool
