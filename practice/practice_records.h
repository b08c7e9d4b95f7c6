#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// The practice record section of a material file (ProMod::ExeData).
//
// Every record ends with "<KVQENTER>" and reads
//   "[" start "]" sentence "[" end "]" typed "<KvqExeEnter>" remark "<KvqExeEnter>" date
// where the head up to the typed text is a sentence line (FormatSentenceLine
// writes it, ParseSentenceLine reads it, the typed text in the remark's
// place) and the date is the day of the practice. This unit is the one
// reader and the one writer of that section; the dictation window, the
// records browser and velmo-tool all go through it.
namespace PracticeRecords {

inline const QString kFieldSeparator = QStringLiteral("<KvqExeEnter>");
// The browser lists at most this many records.
inline constexpr int kMaxRecords = 30001;

struct PracticeRecord {
  QString sentence;
  QString typed;
  int32_t start = 0;
  int32_t end = 0;
  QString remark;
  QDate date;
};

// What reading a section gives: the records in section order, and every
// other non-empty piece unchanged, in section order too, so that writing
// the section again loses nothing the reader could not understand.
struct Section {
  std::vector<PracticeRecord> records;
  QStringList kept;          // pieces without their "<KVQENTER>"
  int unreadableDates = 0;   // record-shaped pieces whose date is in no known form
};

// Splits the section at "<KVQENTER>". A piece becomes a record when it
// splits at "<KvqExeEnter>" into exactly three parts and its date reads;
// at most kMaxRecords records are taken. Empty pieces are dropped; every
// other piece goes to `kept`. Times not given by the head default as
// ParseSentenceLine defaults them (to the open recording's length).
Section ReadSection(const QString& exeData);

// One record with its closing "<KVQENTER>". The typed text and remark lose
// any separator (see CleanAnswerText); the head is written by
// FormatSentenceLine, so brackets and tags inside texts cannot break it.
QString FormatRecord(const PracticeRecord& record);
// The records in the given order, then the kept pieces as they were.
QString WriteSection(const std::vector<PracticeRecord>& records, const QStringList& kept);

// A typed text or remark without "<KVQENTER>" and "<KvqExeEnter>" (in any
// letter case), so that nothing a learner types can split a record.
QString CleanAnswerText(QString text);

// Newest day first; within a day the record that came later in the section
// first. The order of an exchange sort that swaps unless the first is
// later, in n log n.
void SortNewestFirst(std::vector<PracticeRecord>& records);

// The date of a record as written: "yyyy/M/d" (the Chinese short date).
QString FormatRecordDate(const QDate& date);
// Reads "yyyy/M/d", "yyyy-M-d", "yyyy.M.d" and "yyyy年M月d日" (blanks
// around the parts allowed); an invalid date for anything else.
QDate ParseRecordDate(const QString& text);
// The day as the browser lists it: "yyyy年MM月dd日".
QString DayEntryText(const QDate& date);

}  // namespace PracticeRecords

// The practice windows' clock, replaceable so tests fix the date. (Their
// random numbers come from ProMod::Rnd, core/random_source.h.)
namespace PracticeSeams {

using TodaySource = std::function<QDate()>;
// An empty source restores the system clock.
void SetTodaySource(TodaySource source);
QDate Today();

}  // namespace PracticeSeams
