#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "core/material_store.h"

// Importing a whole sentence table from a time-tagged text file: LRC lyrics,
// SubRip (.srt) or WebVTT (.vtt) subtitles. The segmentation editor's
// "导入LRC" and `velmo-tool import` both go through ImportSubtitleFile, so
// the two always agree.

// LRC text -> sentence lines "[H:MM:SS.mmm]text" + CR LF, sorted by time
// (the editor's public conversion).
QString AnsLrc(const QString& GetStr);

// What an import gives.
struct SubtitleImport {
  // The sentence-line text the table was built from (AnsLrc's output for
  // LRC; the same form, "[start]text[end]" lines, for SRT and VTT).
  QString lines;
  // The imported working table, numbered from 1 (Index = 1 .. n), clamped
  // to the recording's length; empty when nothing usable was found.
  std::vector<SentenceRecord> sentences;
  // A reason to tell the learner when `sentences` is empty ("" when the
  // file was simply not there, e.g. it vanished after it was chosen).
  QString failure;
};

// Reads the file (encoding detected: UTF-8 with or without BOM, else
// GB18030), picks the reader by its extension (.srt, .vtt, anything else
// LRC) and builds the table for a recording of `totalLength` ms. Never
// throws and never writes anything.
SubtitleImport ImportSubtitleFile(const QString& path, int32_t totalLength);
