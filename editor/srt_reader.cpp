#include "editor/srt_reader.h"

namespace {

bool IsNumberLine(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.isEmpty()) return false;
  for (QChar c : trimmed) {
    if (c.unicode() < '0' || c.unicode() > '9') return false;
  }
  return true;
}

bool IsTimingLine(const QString& line) {
  int32_t start = 0;
  int32_t end = 0;
  return subtitle::ReadTimingLine(line, &start, &end);
}

}  // namespace

std::vector<SubtitleCue> ReadSrtCues(const QString& text) {
  const QStringList lines = subtitle::SplitLines(text);
  std::vector<SubtitleCue> cues;
  const qsizetype n = lines.size();
  qsizetype i = 0;
  while (i < n) {
    SubtitleCue cue;
    if (!subtitle::ReadTimingLine(lines[i], &cue.start, &cue.end)) {
      ++i;  // a number line, a stray line or the text of a broken block
      continue;
    }
    QStringList textLines;
    qsizetype j = i + 1;
    while (j < n && !lines[j].trimmed().isEmpty() && !IsTimingLine(lines[j]) &&
           !(IsNumberLine(lines[j]) && j + 1 < n && IsTimingLine(lines[j + 1]))) {
      textLines << subtitle::RemoveMarkup(lines[j], true);
      ++j;
    }
    cue.text = subtitle::JoinCueLines(textLines);
    cues.push_back(std::move(cue));
    i = j;
  }
  return cues;
}
