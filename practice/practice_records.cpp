#include "practice/practice_records.h"

#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <random>

#include "core/material_store.h"

namespace PracticeRecords {
namespace {

const QString kEnter = QStringLiteral("<KVQENTER>");

// Reads `count` digits at most (at least one) from text[pos...].
bool ReadNumber(const QString& text, qsizetype& pos, int maxDigits, int* value) {
  int digits = 0;
  int v = 0;
  while (pos < text.size() && digits < maxDigits && text[pos].unicode() >= u'0' && text[pos].unicode() <= u'9') {
    v = v * 10 + (text[pos].unicode() - u'0');
    ++pos;
    ++digits;
  }
  *value = v;
  return digits > 0;
}

void SkipBlanks(const QString& text, qsizetype& pos) {
  while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t'))) ++pos;
}

bool ReadSeparator(const QString& text, qsizetype& pos, QChar wanted) {
  SkipBlanks(text, pos);
  if (pos >= text.size() || text[pos] != wanted) return false;
  ++pos;
  SkipBlanks(text, pos);
  return true;
}

// The "<" of a section tag inside a remark would end the section when the
// file is read again; the tag stays readable with a full-width "<".
QString ProtectTags(QString text) {
  const QString tags[] = {ProMod::kSetOpen, ProMod::kSetClose, ProMod::kBaseOpen, ProMod::kBaseClose,
                          ProMod::kExeOpen, ProMod::kExeClose};
  for (const QString& tag : tags) {
    qsizetype at = 0;
    while ((at = text.indexOf(tag, at, Qt::CaseInsensitive)) >= 0) {
      text[at] = QChar(0xFF1C);
      at += tag.size();
    }
  }
  return text;
}

bool ReadRecord(const QString& piece, PracticeRecord* record) {
  const QStringList parts = piece.split(kFieldSeparator);
  if (parts.size() != 3) return false;
  const QDate date = ParseRecordDate(parts[2]);
  if (!date.isValid()) return false;
  const SentenceRecord head = ProMod::ParseSentenceLine(parts[0], 0);
  record->start = head.Start;
  record->sentence = head.Text;
  record->end = head.End;
  record->typed = head.Remark;
  record->remark = parts[1];
  record->date = date;
  return true;
}

}  // namespace

Section ReadSection(const QString& exeData) {
  Section section;
  if (exeData.isEmpty()) return section;
  qsizetype pos = 0;
  int examined = 0;
  const qsizetype sep = kEnter.size();
  while (pos <= exeData.size()) {
    qsizetype next = exeData.indexOf(kEnter, pos);
    if (next < 0) next = exeData.size();
    const QString piece = exeData.mid(pos, next - pos);
    pos = next + sep;
    if (piece.isEmpty()) continue;
    ++examined;
    PracticeRecord record;
    const bool full = examined > kMaxRecords || static_cast<int>(section.records.size()) >= kMaxRecords;
    if (!full && piece.contains(kFieldSeparator) && ReadRecord(piece, &record)) {
      section.records.push_back(std::move(record));
      continue;
    }
    if (!full && piece.count(kFieldSeparator) == 2) ++section.unreadableDates;
    section.kept.append(piece);
  }
  return section;
}

QString CleanAnswerText(QString text) {
  // Taking one separator out can join the text around it into another.
  while (text.contains(kEnter, Qt::CaseInsensitive) || text.contains(kFieldSeparator, Qt::CaseInsensitive)) {
    text.remove(kEnter, Qt::CaseInsensitive);
    text.remove(kFieldSeparator, Qt::CaseInsensitive);
  }
  return text;
}

QString FormatRecord(const PracticeRecord& record) {
  SentenceRecord head;
  head.Start = record.start;
  head.End = record.end;
  head.Text = CleanAnswerText(record.sentence);
  head.Remark = CleanAnswerText(record.typed);
  return ProMod::FormatSentenceLine(head) + kFieldSeparator + ProtectTags(CleanAnswerText(record.remark)) +
         kFieldSeparator + FormatRecordDate(record.date) + kEnter;
}

QString WriteSection(const std::vector<PracticeRecord>& records, const QStringList& kept) {
  QString out;
  for (const PracticeRecord& record : records) out += FormatRecord(record);
  for (const QString& piece : kept) out += piece + kEnter;
  return out;
}

void SortNewestFirst(std::vector<PracticeRecord>& records) {
  std::reverse(records.begin(), records.end());
  std::stable_sort(records.begin(), records.end(),
                   [](const PracticeRecord& a, const PracticeRecord& b) { return a.date > b.date; });
}

QString FormatRecordDate(const QDate& date) {
  if (!date.isValid()) return QString();
  // Years before 1000 keep four digits, the form the reader takes back.
  return QStringLiteral("%1/%2/%3").arg(date.year(), 4, 10, QLatin1Char('0')).arg(date.month()).arg(date.day());
}

QDate ParseRecordDate(const QString& text) {
  qsizetype pos = 0;
  SkipBlanks(text, pos);
  int year = 0, month = 0, day = 0;
  const qsizetype yearStart = pos;
  if (!ReadNumber(text, pos, 4, &year) || pos - yearStart != 4) return QDate();
  SkipBlanks(text, pos);
  if (pos >= text.size()) return QDate();
  const QChar first = text[pos];
  QChar second;
  if (first == QLatin1Char('/') || first == QLatin1Char('-') || first == QLatin1Char('.'))
    second = first;
  else if (first == QChar(u'年'))
    second = QChar(u'月');
  else
    return QDate();
  if (!ReadSeparator(text, pos, first) || !ReadNumber(text, pos, 2, &month)) return QDate();
  if (!ReadSeparator(text, pos, second) || !ReadNumber(text, pos, 2, &day)) return QDate();
  SkipBlanks(text, pos);
  if (second == QChar(u'月')) {
    if (pos >= text.size() || text[pos] != QChar(u'日')) return QDate();
    ++pos;
    SkipBlanks(text, pos);
  }
  if (pos != text.size()) return QDate();
  return QDate(year, month, day);  // invalid for a day that does not exist
}

QString DayEntryText(const QDate& date) { return date.toString(QStringLiteral("yyyy年MM月dd日")); }

}  // namespace PracticeRecords

namespace PracticeSeams {
namespace {

TodaySource& Clock() {
  static TodaySource source;
  return source;
}

}  // namespace

void SetTodaySource(TodaySource source) { Clock() = std::move(source); }

QDate Today() { return Clock() ? Clock()() : QDate::currentDate(); }


}  // namespace PracticeSeams
