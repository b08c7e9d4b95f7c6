#include "editor/subtitle_cues.h"

#include <limits>

namespace subtitle {
namespace {

bool IsDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }
bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView Trimmed(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

// Up to nine digits as a number; -1 when there are none or more.
int64_t Digits(QStringView text) {
  if (text.isEmpty() || text.size() > 9) return -1;
  int64_t value = 0;
  for (QChar c : text) {
    if (!IsDigit(c)) return -1;
    value = value * 10 + (c.unicode() - '0');
  }
  return value;
}

// "SS", "SS,mmm" or "SS.mmm" -> ms. Digits beyond the third of the
// fraction are below a millisecond and are ignored.
int64_t SecondsPart(QStringView text) {
  qsizetype mark = -1;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char(',') || text[i] == QLatin1Char('.')) {
      mark = i;
      break;
    }
  }
  const int64_t seconds = Digits(mark < 0 ? text : text.left(mark));
  if (seconds < 0) return -1;
  int64_t millis = 0;
  if (mark >= 0) {
    const QStringView fraction = text.mid(mark + 1);
    if (fraction.isEmpty()) return -1;
    int scale = 100;
    for (qsizetype i = 0; i < fraction.size(); ++i) {
      if (!IsDigit(fraction[i])) return -1;
      if (scale > 0) millis += (fraction[i].unicode() - '0') * scale;
      scale /= 10;
    }
  }
  return seconds * 1000 + millis;
}

}  // namespace

int32_t ParseCueTime(QStringView text) {
  text = Trimmed(text);
  const qsizetype first = text.indexOf(QLatin1Char(':'));
  if (first < 0) return -1;
  const qsizetype second = text.indexOf(QLatin1Char(':'), first + 1);
  int64_t hours = 0;
  int64_t minutes = 0;
  int64_t millis = 0;
  if (second < 0) {
    minutes = Digits(text.left(first));
    millis = SecondsPart(text.mid(first + 1));
  } else {
    if (text.indexOf(QLatin1Char(':'), second + 1) >= 0) return -1;
    hours = Digits(text.left(first));
    minutes = Digits(text.mid(first + 1, second - first - 1));
    millis = SecondsPart(text.mid(second + 1));
  }
  if (hours < 0 || minutes < 0 || millis < 0) return -1;
  const int64_t total = hours * 3600000 + minutes * 60000 + millis;
  if (total > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(total);
}

bool ReadTimingLine(QStringView line, int32_t* start, int32_t* end) {
  static const QString kArrow = QStringLiteral("-->");
  const qsizetype arrow = line.indexOf(kArrow);
  if (arrow < 0) return false;
  const QStringView after = Trimmed(line.mid(arrow + kArrow.size()));
  qsizetype endOfTime = 0;
  while (endOfTime < after.size() && !IsBlank(after[endOfTime])) ++endOfTime;
  const int32_t from = ParseCueTime(line.left(arrow));
  const int32_t to = ParseCueTime(after.left(endOfTime));
  if (from < 0 || to < 0) return false;
  *start = from;
  *end = to;
  return true;
}

QString RemoveMarkup(const QString& line, bool assOverrides) {
  QString result;
  result.reserve(line.size());
  const qsizetype n = line.size();
  // Where the next ">" and "}" are, searched once per stretch of the line:
  // a line of many "<" without a ">" stays linear.
  qsizetype tagEnd = -2;
  qsizetype overrideEnd = -2;
  qsizetype i = 0;
  while (i < n) {
    const QChar c = line[i];
    const QChar next = i + 1 < n ? line[i + 1] : QChar();
    if (c == QLatin1Char('<') && (next.isLetter() || next == QLatin1Char('/') || IsDigit(next))) {
      if (tagEnd != -1 && tagEnd < i) tagEnd = line.indexOf(QLatin1Char('>'), i);
      if (tagEnd >= 0) {
        i = tagEnd + 1;
        continue;
      }
    } else if (assOverrides && c == QLatin1Char('{') && next == QLatin1Char('\\')) {
      if (overrideEnd != -1 && overrideEnd < i) overrideEnd = line.indexOf(QLatin1Char('}'), i);
      if (overrideEnd >= 0) {
        i = overrideEnd + 1;
        continue;
      }
    }
    result += c;
    ++i;
  }
  return result;
}

QString DecodeEntities(const QString& line) {
  if (!line.contains(QLatin1Char('&'))) return line;
  static const struct {
    const char* name;
    const char16_t* text;
  } kNamed[] = {{"amp", u"&"}, {"lt", u"<"}, {"gt", u">"},  {"quot", u"\""},
                {"apos", u"'"}, {"nbsp", u" "}, {"lrm", u""}, {"rlm", u""}};
  QString result;
  result.reserve(line.size());
  const qsizetype n = line.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = line[i];
    // References are short: a ";" further than this is not the end of one.
    qsizetype semi = -1;
    for (qsizetype j = i + 1; c == QLatin1Char('&') && j < n && j - i <= 10; ++j) {
      if (line[j] == QLatin1Char(';')) {
        semi = j;
        break;
      }
    }
    if (semi < 0) {
      result += c;
      continue;
    }
    const QStringView name = QStringView(line).mid(i + 1, semi - i - 1);
    bool done = false;
    for (const auto& named : kNamed) {
      if (name == QLatin1String(named.name)) {
        result += QString::fromUtf16(named.text);
        done = true;
        break;
      }
    }
    if (!done && name.size() >= 2 && name[0] == QLatin1Char('#')) {
      const bool hex = name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X');
      bool ok = false;
      const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
      if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
        const char32_t point = code;
        result += QString::fromUcs4(&point, 1);
        done = true;
      }
    }
    if (done) {
      i = semi;
    } else {
      result += c;
    }
  }
  return result;
}

QStringList SplitLines(const QString& text) {
  QStringList lines = text.split(QStringLiteral("\r\n"));
  // The text of a file starts with a line end: nothing stands before it.
  if (!lines.isEmpty() && lines.first().isEmpty()) lines.removeFirst();
  return lines;
}

QString JoinCueLines(const QStringList& lines) {
  QString result;
  for (const QString& line : lines) {
    const QStringView piece = Trimmed(line);
    if (piece.isEmpty()) continue;
    if (!result.isEmpty()) result += QLatin1Char(' ');
    result += piece;
  }
  return result;
}

}  // namespace subtitle
