#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

// What the SubRip and WebVTT readers share: a cue, its timing line and the
// cleaning of its text.

struct SubtitleCue {
  int32_t start = 0;  // ms
  int32_t end = 0;    // ms; may lie before the start in a broken file
  QString text;       // text lines joined by a space, markup removed
};

namespace subtitle {

// "HH:MM:SS,mmm", "H:MM:SS.mmm" or "MM:SS.mmm" (SubRip writes a comma,
// WebVTT a full stop; both are taken from either) -> ms; -1 when the text
// is not such a time or does not fit a position.
int32_t ParseCueTime(QStringView text);

// A timing line "start --> end", with anything after the end's time (WebVTT
// cue settings, SubRip coordinates) ignored. False when it is not one or
// either time cannot be read.
bool ReadTimingLine(QStringView line, int32_t* start, int32_t* end);

// Removes <...> tags (<i>, </i>, <font ...>, <v Name>, <c.loud>,
// <00:00:01.000>) and, when `assOverrides`, SubRip's {\an8}-style overrides.
// A tag starts with a letter, "/" or a digit right after the "<" and ends at
// the next ">" on the line, so "a < b > c" stays text.
QString RemoveMarkup(const QString& line, bool assOverrides);

// WebVTT's character references: &amp; &lt; &gt; &quot; &apos; &nbsp;
// (a space), &lrm; &rlm; (dropped), &#N; and &#xH;. Others stay as written.
QString DecodeEntities(const QString& line);

// Lines of a text as ImportSubtitleFile reads files (each line preceded by
// CR LF).
QStringList SplitLines(const QString& text);

// Cue text lines, each trimmed of blanks, empty ones left out, joined by a
// space.
QString JoinCueLines(const QStringList& lines);

}  // namespace subtitle
