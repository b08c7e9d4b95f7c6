#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "editor/subtitle_cues.h"
#include "editor/subtitle_import.h"

// Building the imported working table from a text already read, for each
// kind of file. ImportSubtitleFile reads the file and picks one of these.

// An LRC text (as ReadTextFile gives it) for a recording of `totalLength`
// ms: AnsLrc's lines, each parsed with ParseSentenceLine, each ending where
// the next one starts (the last at the recording's end), those with text
// kept and numbered from 1, then fitted to the recording.
SubtitleImport ImportLrcText(const QString& lrcText, int32_t totalLength);

// Cues of a SubRip or WebVTT file: sorted by start (cues of equal start keep
// their file order), each keeping its own end, so overlapping cues stay
// overlapping sentences and no speech is cut from either; cues without text
// left out; numbered from 1 and fitted to the recording.
SubtitleImport ImportCues(std::vector<SubtitleCue> cues, int32_t totalLength);

// Fits a sentence to a recording of `totalLength` ms: an end less than 60 ms
// after the start is moved to 60 ms after it, a start later than 60 ms
// before the end of the recording is moved there, an end beyond the
// recording is moved to its end, and a start before 0 (left by a recording
// shorter than 60 ms) to 0; both time texts are written fresh.
void FitToRecording(SentenceRecord* record, int32_t totalLength);

// The failure messages of an import.
namespace subtitle_messages {
inline const QString kNoLrcSentence = QStringLiteral("读取LRC失败，未读到任何有效句！");
inline const QString kNoSubtitleSentence = QStringLiteral("读取字幕失败，未读到任何有效句！");
inline const QString kTooManySentences =
    QStringLiteral("导入失败：文件中的句子超过32766句，句子表放不下。");
inline const QString kTooLong =
    QStringLiteral("导入失败：文件中的时间标签太多，展开后的句子文本太长。");
}  // namespace subtitle_messages
