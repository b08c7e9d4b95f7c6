#pragma once
#include <QString>
#include <vector>

#include "editor/subtitle_cues.h"

// SubRip (.srt): blocks of an optional number line, a timing line
// "00:00:01,000 --> 00:00:02,500" and text lines up to a blank line.
// Cues come out in file order with their text lines joined by a space and
// <i>, <b>, <u>, <font ...> and {\...} overrides removed. A block whose
// timing line cannot be read is left out together with its text. A missing
// blank line between blocks is tolerated: a number line followed by a timing
// line starts the next block. `text` is as ImportSubtitleFile reads files.
std::vector<SubtitleCue> ReadSrtCues(const QString& text);
