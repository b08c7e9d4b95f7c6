#include "editor/subtitle_import.h"

#include <QFileInfo>
#include <algorithm>

#include "core/time_text.h"
#include "editor/lrc_convert.h"
#include "editor/srt_reader.h"
#include "editor/subtitle_table.h"
#include "editor/subtitle_text_file.h"
#include "editor/vtt_reader.h"

namespace {

// Sentences have 16-bit indices 2 .. 32767 in the table.
constexpr size_t kMaxSentences = 32766;
// Every tag of a line repeats the line's text in AnsLrc's lines: a line of
// ten thousand tags and a long text would grow to gigabytes. A real lesson
// is a few hundred thousand characters.
constexpr qsizetype kMaxLinesChars = 16 * 1024 * 1024;
// No line is shorter than "[0:00:00.000]" and its line end.
constexpr size_t kMaxEntries = kMaxLinesChars / 15;

void Number(std::vector<SentenceRecord>* sentences) {
  int16_t index = 0;
  for (SentenceRecord& s : *sentences) s.Index = ++index;
}

}  // namespace

void FitToRecording(SentenceRecord* r, int32_t totalLength) {
  int64_t start = r->Start;
  int64_t end = r->End;
  if (end < start + 60) end = start + 60;
  if (start > int64_t{totalLength} - 60) start = int64_t{totalLength} - 60;
  if (end > totalLength) end = totalLength;
  if (start < 0) start = 0;
  r->Start = static_cast<int32_t>(start);
  r->End = static_cast<int32_t>(end);
  r->StartText = SoundMod::FormatTime(r->Start);
  r->EndText = SoundMod::FormatTime(r->End);
  r->Deleted = false;
}

SubtitleImport ImportLrcText(const QString& lrcText, int32_t totalLength) {
  SubtitleImport result;
  const std::vector<lrc::Entry> entries = lrc::SortedEntries(lrcText, kMaxEntries);
  if (entries.size() > kMaxEntries) {
    result.failure = subtitle_messages::kTooLong;
    return result;
  }
  qsizetype size = 0;
  for (const lrc::Entry& e : entries) {
    size += e.text.size() + 16;
    if (size > kMaxLinesChars) {
      result.failure = subtitle_messages::kTooLong;
      return result;
    }
  }

  result.lines.reserve(size);
  for (const lrc::Entry& e : entries) {
    result.lines += lrc::EntryLine(e);
    result.lines += QLatin1String("\r\n");
  }
  // Each entry's line is parsed as the sentence section's lines are; its
  // end is then where the next entry starts, also when the next entry has
  // no text and is dropped.
  const size_t m = entries.size();
  SentenceRecord current = m > 0 ? ProMod::ParseSentenceLine(lrc::EntryLine(entries[0]), 0) : SentenceRecord{};
  for (size_t k = 0; k < m; ++k) {
    SentenceRecord next = k + 1 < m ? ProMod::ParseSentenceLine(lrc::EntryLine(entries[k + 1]), 0) : SentenceRecord{};
    current.End = k + 1 < m ? next.Start : totalLength;
    if (!current.Text.isEmpty()) {
      if (result.sentences.size() == kMaxSentences) {
        result.sentences.clear();
        result.failure = subtitle_messages::kTooManySentences;
        return result;
      }
      FitToRecording(&current, totalLength);
      result.sentences.push_back(std::move(current));
    }
    current = std::move(next);
  }
  Number(&result.sentences);
  if (result.sentences.empty()) result.failure = subtitle_messages::kNoLrcSentence;
  return result;
}

SubtitleImport ImportCues(std::vector<SubtitleCue> cues, int32_t totalLength) {
  SubtitleImport result;
  std::stable_sort(cues.begin(), cues.end(),
                   [](const SubtitleCue& a, const SubtitleCue& b) { return a.start < b.start; });
  for (const SubtitleCue& cue : cues) {
    SentenceRecord s;
    s.Text = ProMod::TrimSentenceText(cue.text);
    if (s.Text.isEmpty()) continue;
    if (result.sentences.size() == kMaxSentences) {
      result.sentences.clear();
      result.failure = subtitle_messages::kTooManySentences;
      return result;
    }
    s.Start = cue.start;
    s.End = cue.end;
    FitToRecording(&s, totalLength);
    result.sentences.push_back(std::move(s));
  }
  Number(&result.sentences);
  for (const SentenceRecord& s : result.sentences) {
    result.lines += ProMod::FormatSentenceLine(s);
    result.lines += QLatin1String("\r\n");
  }
  if (result.sentences.empty()) result.failure = subtitle_messages::kNoSubtitleSentence;
  return result;
}

SubtitleImport ImportSubtitleFile(const QString& path, int32_t totalLength) {
  const SubtitleText file = ReadSubtitleText(path);
  SubtitleImport result;
  if (!file.found) return result;
  if (!file.failure.isEmpty()) {
    result.failure = file.failure;
    return result;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("srt")) return ImportCues(ReadSrtCues(file.text), totalLength);
  if (suffix == QLatin1String("vtt")) return ImportCues(ReadVttCues(file.text), totalLength);
  return ImportLrcText(file.text, totalLength);
}
