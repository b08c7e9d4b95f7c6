#pragma once
#include <QString>
#include <vector>

#include "editor/subtitle_cues.h"

// WebVTT (.vtt): after the "WEBVTT" header, cues of an optional identifier
// line, a timing line "00:01.000 --> 00:04.000 [settings]" and text lines
// up to a blank line; NOTE, STYLE and REGION blocks have no timing line and
// are passed over. Cues come out in file order with their text lines joined
// by a space, tags (<i>, <c.x>, <v Name> voice spans, <00:00:01.000> inline
// times) removed and character references decoded. A file without the
// header is read all the same. `text` is as ImportSubtitleFile reads files.
std::vector<SubtitleCue> ReadVttCues(const QString& text);
