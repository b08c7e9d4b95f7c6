#include "editor/vtt_reader.h"

std::vector<SubtitleCue> ReadVttCues(const QString& text) {
  const QStringList lines = subtitle::SplitLines(text);
  std::vector<SubtitleCue> cues;
  const qsizetype n = lines.size();
  qsizetype i = 0;
  while (i < n) {
    SubtitleCue cue;
    if (!subtitle::ReadTimingLine(lines[i], &cue.start, &cue.end)) {
      ++i;  // header, identifier, NOTE/STYLE/REGION text or a broken block
      continue;
    }
    QStringList textLines;
    qsizetype j = i + 1;
    int32_t ignored = 0;
    // A cue's text cannot hold "-->": such a line is the next cue's timing
    // line, even where the blank line before it is missing.
    while (j < n && !lines[j].trimmed().isEmpty() && !subtitle::ReadTimingLine(lines[j], &ignored, &ignored)) {
      textLines << subtitle::DecodeEntities(subtitle::RemoveMarkup(lines[j], false));
      ++j;
    }
    cue.text = subtitle::JoinCueLines(textLines);
    cues.push_back(std::move(cue));
    i = j;
  }
  return cues;
}
