// The practice record section: its one reader and one writer, the dates and
// the browser's order.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "core/material_store.h"
#include "practice/practice_records.h"
#include "tests/common/qt_print.h"

using PracticeRecords::PracticeRecord;
using PracticeRecords::Section;

namespace {

PracticeRecord Make(const QString& sentence, const QString& typed, const QString& remark, QDate date,
                    int32_t start = 1000, int32_t end = 2500) {
  PracticeRecord r;
  r.sentence = sentence;
  r.typed = typed;
  r.remark = remark;
  r.date = date;
  r.start = start;
  r.end = end;
  return r;
}

// The exchange sort the browser's order is defined by.
void ExchangeSort(std::vector<PracticeRecord>& v) {
  for (size_t i = 0; i + 1 < v.size(); ++i)
    for (size_t j = i + 1; j < v.size(); ++j)
      if (!(v[i].date > v[j].date)) std::swap(v[i], v[j]);
}

class RecordSection : public ::testing::Test {
 protected:
  void SetUp() override {
    ProMod::ResetStore();
    ProMod::TotalLength = 60000;
  }
  void TearDown() override { ProMod::ResetStore(); }
};

TEST_F(RecordSection, WritesTheRecordShapeAndReadsItBack) {
  const PracticeRecord r =
      Make("Good morning.", "good mornin\r\nsecond line", QStringLiteral("早上好"), QDate(2026, 3, 7), 500, 1500);
  EXPECT_EQ(PracticeRecords::FormatRecord(r),
            QStringLiteral("[0:00:00.500]Good morning.[0:00:01.500]good mornin\r\nsecond line<KvqExeEnter>早上好"
                           "<KvqExeEnter>2026/3/7<KVQENTER>"));
  const Section back = PracticeRecords::ReadSection(PracticeRecords::FormatRecord(r) + PracticeRecords::FormatRecord(r));
  ASSERT_EQ(back.records.size(), 2u);
  EXPECT_TRUE(back.kept.isEmpty());
  const PracticeRecord& b = back.records[0];
  EXPECT_EQ(b.sentence, r.sentence);
  EXPECT_EQ(b.typed, r.typed);
  EXPECT_EQ(b.remark, r.remark);
  EXPECT_EQ(b.start, 500);
  EXPECT_EQ(b.end, 1500);
  EXPECT_EQ(b.date, QDate(2026, 3, 7));
}

TEST_F(RecordSection, NothingTypedCanBreakARecordOrTheFile) {
  const PracticeRecord r =
      Make("Say [Music] twice.", "a<KVQENTER>b<KvqExeEnter>c<kvqexeenter>d [0:00:09.000] e</KVQTABEXEDATA>",
           QStringLiteral("r<KVQENTER>e<KvqExeEnter>m</KVQTABEXEDATA>[x]"), QDate(2026, 1, 2));
  const QString text = PracticeRecords::FormatRecord(r);
  EXPECT_EQ(text.count(ProMod::kEnter), 1);
  EXPECT_EQ(text.count(PracticeRecords::kFieldSeparator), 2);
  EXPECT_FALSE(text.contains(ProMod::kExeClose));
  const Section back = PracticeRecords::ReadSection(text);
  ASSERT_EQ(back.records.size(), 1u);
  EXPECT_EQ(back.records[0].start, 1000);
  EXPECT_EQ(back.records[0].end, 2500);
  EXPECT_EQ(back.records[0].sentence, QStringLiteral("Say ［Music］ twice."));
  EXPECT_TRUE(back.records[0].typed.startsWith(QStringLiteral("abcd ［0:00:09.000］ e")));
  EXPECT_EQ(back.records[0].remark, QStringLiteral("rem＜/KVQTABEXEDATA>[x]"));
  EXPECT_EQ(PracticeRecords::CleanAnswerText(QStringLiteral("x<kvqenter>y<KVQEXEENTER>z")), QStringLiteral("xyz"));
  EXPECT_EQ(PracticeRecords::CleanAnswerText(QStringLiteral("<KvqExe<KVQ<KVQENTER>ENTER>Enter>!")), QStringLiteral("!"))
      << "a separator that forms when another is taken out goes too";
}

TEST_F(RecordSection, DatesAreWrittenShortAndReadInTheCommonForms) {
  EXPECT_EQ(PracticeRecords::FormatRecordDate(QDate(2026, 3, 7)), QStringLiteral("2026/3/7"));
  EXPECT_EQ(PracticeRecords::FormatRecordDate(QDate(2025, 12, 31)), QStringLiteral("2025/12/31"));
  EXPECT_EQ(PracticeRecords::DayEntryText(QDate(2026, 3, 7)), QStringLiteral("2026年03月07日"));
  const QDate day(2026, 3, 7);
  for (const char* text : {"2026/3/7", "2026/03/07", "2026-3-7", "2026-03-07", "2026.3.7", "2026年3月7日",
                           "2026年03月07日", " 2026 / 3 / 7 ", "2026 年 3 月 7 日"})
    EXPECT_EQ(PracticeRecords::ParseRecordDate(QString::fromUtf8(text)), day) << text;
  for (const char* text : {"", "7/3/2026", "3/7/2026", "26/3/7", "2026/3", "2026/3/7/1", "2026-3/7", "2026/13/1",
                           "2026/2/30", "2026年3月7", "2026/3/7 10:00", "yesterday", "２０２６/3/7", "20260/3/7"})
    EXPECT_FALSE(PracticeRecords::ParseRecordDate(QString::fromUtf8(text)).isValid()) << text;
  // An early year read from a file is written so that it reads back (a
  // record dated 0774-3-6 once came back as unreadable).
  const QDate early(774, 3, 6);
  EXPECT_EQ(PracticeRecords::FormatRecordDate(early), QStringLiteral("0774/3/6"));
  EXPECT_EQ(PracticeRecords::ParseRecordDate(PracticeRecords::FormatRecordDate(early)), early);
}

TEST_F(RecordSection, PiecesThatAreNotRecordsAreKeptUnchangedAfterTheRecords) {
  const QString good1 = QStringLiteral("[0:00:01.000]One.[0:00:02.000]one<KvqExeEnter><KvqExeEnter>2026/3/7");
  const QString good2 = QStringLiteral("[0:00:03.000]Two.[0:00:04.000]two<KvqExeEnter>note<KvqExeEnter>2026-3-8");
  const QString noFields = QStringLiteral("just junk");
  const QString twoParts = QStringLiteral("[0:00:01.000]x[0:00:02.000]y<KvqExeEnter>2026/3/7");
  const QString fourParts = QStringLiteral("a<KvqExeEnter>b<KvqExeEnter>c<KvqExeEnter>2026/3/7");
  const QString badDate = QStringLiteral("[0:00:01.000]x[0:00:02.000]y<KvqExeEnter>r<KvqExeEnter>7 March");
  const QString section = ProMod::kEnter + good1 + ProMod::kEnter + noFields + ProMod::kEnter + ProMod::kEnter +
                          twoParts + ProMod::kEnter + good2 + ProMod::kEnter + fourParts + ProMod::kEnter + badDate;
  const Section read = PracticeRecords::ReadSection(section);
  ASSERT_EQ(read.records.size(), 2u);
  EXPECT_EQ(read.records[0].typed, QStringLiteral("one"));
  EXPECT_EQ(read.records[1].remark, QStringLiteral("note"));
  EXPECT_EQ(read.records[1].date, QDate(2026, 3, 8));
  EXPECT_EQ(read.kept, (QStringList{noFields, twoParts, fourParts, badDate}));
  EXPECT_EQ(read.unreadableDates, 1);

  EXPECT_EQ(PracticeRecords::WriteSection(read.records, read.kept),
            PracticeRecords::FormatRecord(read.records[0]) + PracticeRecords::FormatRecord(read.records[1]) +
                noFields + ProMod::kEnter + twoParts + ProMod::kEnter + fourParts + ProMod::kEnter + badDate +
                ProMod::kEnter);
  EXPECT_TRUE(PracticeRecords::ReadSection(QString()).records.empty());
  EXPECT_TRUE(PracticeRecords::ReadSection(ProMod::kEnter + ProMod::kEnter).kept.isEmpty());
}

TEST_F(RecordSection, RecordsBeyondTheLimitAreKeptInTheirOrder) {
  QString section;
  const int total = PracticeRecords::kMaxRecords + 3;
  for (int i = 0; i < total; ++i)
    section += PracticeRecords::FormatRecord(Make(QStringLiteral("S%1").arg(i), "t", "", QDate(2026, 1, 1)));
  const Section read = PracticeRecords::ReadSection(section);
  ASSERT_EQ(static_cast<int>(read.records.size()), PracticeRecords::kMaxRecords);
  ASSERT_EQ(read.kept.size(), 3);
  EXPECT_TRUE(read.kept[0].contains(QStringLiteral("]S30001[")));
  EXPECT_TRUE(read.kept[2].contains(QStringLiteral("]S30003[")));
  EXPECT_EQ(PracticeRecords::WriteSection(read.records, read.kept), section) << "nothing is lost by a rewrite";
}

TEST_F(RecordSection, OrderIsTheExchangeSortsNewestDayFirstLaterSavesFirst) {
  QRandomGenerator random(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<PracticeRecord> records;
    const int n = static_cast<int>(random.bounded(12));
    for (int i = 0; i < n; ++i)
      records.push_back(Make(QString::number(i), "", "", QDate(2026, 1, 1).addDays(random.bounded(4))));
    std::vector<PracticeRecord> expected = records;
    ExchangeSort(expected);
    PracticeRecords::SortNewestFirst(records);
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) ASSERT_EQ(records[i].sentence, expected[i].sentence) << round;
  }
}

TEST_F(RecordSection, JunkIsNeverLostAndNeverCrashes) {
  QRandomGenerator random(11);
  const QString alphabet = QStringLiteral("[]:.0123456789/-年月日 abc\r\n<KVQENTER><KvqExeEnter>");
  for (int round = 0; round < 300; ++round) {
    QString junk;
    const int length = static_cast<int>(random.bounded(200));
    for (int i = 0; i < length; ++i) {
      const int pick = static_cast<int>(random.bounded(alphabet.size() + 3));
      if (pick >= alphabet.size())
        junk += pick == alphabet.size() ? ProMod::kEnter : PracticeRecords::kFieldSeparator;
      else
        junk += alphabet[pick];
    }
    const Section read = PracticeRecords::ReadSection(junk);
    int pieces = 0;
    for (const QString& piece : junk.split(ProMod::kEnter)) pieces += piece.isEmpty() ? 0 : 1;
    ASSERT_EQ(static_cast<int>(read.records.size()) + read.kept.size(), pieces) << junk.toStdString();
    // What was read is read the same way again after a rewrite.
    const Section again = PracticeRecords::ReadSection(PracticeRecords::WriteSection(read.records, read.kept));
    ASSERT_EQ(again.records.size(), read.records.size());
    ASSERT_EQ(again.kept, read.kept);
  }
}

}  // namespace
