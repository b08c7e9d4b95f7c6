// SubRip and WebVTT import: cue timing, text cleaning, order, overlaps and
// broken files.
#include <gtest/gtest.h>

#include <random>

#include "core/material_store.h"
#include "editor/srt_reader.h"
#include "editor/subtitle_import.h"
#include "editor/subtitle_table.h"
#include "editor/vtt_reader.h"
#include "tests/common/temp_folder.h"

namespace {

constexpr int32_t kLength = 60000;

QString ReadBack(const SubtitleImport& result) {
  QString s;
  for (const SentenceRecord& r : result.sentences) {
    s += QStringLiteral("%1 %2-%3 %4|").arg(r.Index).arg(r.Start).arg(r.End).arg(r.Text);
  }
  return s;
}

// As ImportSubtitleFile hands texts to the readers.
QString AsRead(const QString& text) { return ProMod::JoinFileLines(text); }

SubtitleImport Srt(const QString& text) { return ImportCues(ReadSrtCues(AsRead(text)), kLength); }
SubtitleImport Vtt(const QString& text) { return ImportCues(ReadVttCues(AsRead(text)), kLength); }

}  // namespace

TEST(CueTime, ReadsBothSeparatorsAndRefusesBrokenTimes) {
  EXPECT_EQ(subtitle::ParseCueTime(u"00:00:01,500"), 1500);
  EXPECT_EQ(subtitle::ParseCueTime(u"01:02:03.004"), 3723004);
  EXPECT_EQ(subtitle::ParseCueTime(u"02:03.4"), 123400);
  EXPECT_EQ(subtitle::ParseCueTime(u" 123:00:00.000 "), 442800000);
  EXPECT_EQ(subtitle::ParseCueTime(u"00:00:01,2345"), 1234) << "below a millisecond is dropped";
  for (const char16_t* bad : {u"", u"12", u"1:2:3:4", u"00:0a:01,000", u"00:00:01,", u"-1:00:00,000",
                              u"999:00:00,000", u"00:00:01,000x"}) {
    EXPECT_EQ(subtitle::ParseCueTime(bad), -1) << QString::fromUtf16(bad).toStdString();
  }
  int32_t start = 0, end = 0;
  EXPECT_TRUE(subtitle::ReadTimingLine(u"00:01.000 --> 00:04.000 align:start position:10%", &start, &end));
  EXPECT_EQ(end, 4000);
  EXPECT_FALSE(subtitle::ReadTimingLine(u"00:00:01,000 -> 00:00:02,000", &start, &end));
  EXPECT_FALSE(subtitle::ReadTimingLine(u"00:00:01,000 --> soon", &start, &end));
}

TEST(SrtImport, CuesWithStylingBecomeSentences) {
  const SubtitleImport r = Srt(
      "1\r\n00:00:01,000 --> 00:00:02,500\r\n<i>Good</i> <font color=\"#ff0000\">morning</font>,\r\n"
      "{\\an8}<b>everyone</b>.\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000 X1:10 X2:20 Y1:5 Y2:9\r\n  a < b > c  \r\n\r\n");
  EXPECT_EQ(ReadBack(r), "1 1000-2500 Good morning, everyone.|2 3000-4000 a < b > c|");
  EXPECT_TRUE(r.failure.isEmpty());
  EXPECT_EQ(r.lines,
            "[0:00:01.000]Good morning, everyone.[0:00:02.500]\r\n[0:00:03.000]a < b > c[0:00:04.000]\r\n");
}

TEST(SrtImport, OutOfOrderOverlappingAndBrokenCues) {
  const SubtitleImport r = Srt(
      "3\r\n00:00:09,000 --> 00:00:10,000\r\nThird\r\n\r\n"
      "1\r\n00:00:01,000 --> 00:00:05,000\r\nFirst, long\r\n\r\n"
      "2\r\n00:00:04,000 --> 00:00:06,000\r\nOverlaps the first\r\n\r\n"
      "4\r\n00:00:0x,000 --> 00:00:12,000\r\nBroken time line\r\n\r\n"
      "5\r\n00:00:20,000 --> 00:00:19,000\r\nEnds before it starts\r\n"
      "6\r\n00:00:30,000 --> 00:00:31,000\r\n\r\n"  // no text, no blank line before it
      "7\r\n00:00:30,000 --> 00:02:00,000\r\nRuns past the end\r\n");
  EXPECT_EQ(ReadBack(r),
            "1 1000-5000 First, long|2 4000-6000 Overlaps the first|3 9000-10000 Third|"
            "4 20000-20060 Ends before it starts|5 30000-60000 Runs past the end|");
}

TEST(SrtImport, NothingUsableGivesTheMessage) {
  for (const char* text : {"", "1\r\nno timing\r\n", "1\r\n00:00:01,000 --> 00:00:02,000\r\n   \r\n",
                           "garbage --> more garbage\r\nline"}) {
    const SubtitleImport r = Srt(text);
    EXPECT_TRUE(r.sentences.empty()) << text;
    EXPECT_EQ(r.failure, "读取字幕失败，未读到任何有效句！") << text;
  }
}

TEST(VttImport, VoiceSpansClassesInlineTimesAndReferences) {
  const SubtitleImport r = Vtt(
      "WEBVTT - a lesson\r\n\r\nNOTE this is a comment\r\nover two lines\r\n\r\n"
      "STYLE\r\n::cue { color: yellow }\r\n\r\n"
      "intro\r\n00:01.000 --> 00:04.000 align:start\r\n<v Roger Bingham>We are in New York City\r\n"
      "<c.loud>today</c>&nbsp;&amp; <00:03.500>tomorrow</v>\r\n\r\n"
      "00:00:00.500 --> 00:00:00.900\r\n&lt;i&gt; stays &#26159; &#x4E2D; &bogus;\r\n");
  EXPECT_EQ(ReadBack(r),
            "1 500-900 <i> stays 是 中 &bogus;|2 1000-4000 We are in New York City today & tomorrow|");
}

TEST(VttImport, OverlapsAndAMissingBlankLine) {
  const SubtitleImport r = Vtt(
      "WEBVTT\r\n\r\n00:05.000 --> 00:08.000\r\nLater\r\n00:02.000 --> 00:06.000\r\nEarlier, overlapping\r\n");
  EXPECT_EQ(ReadBack(r), "1 2000-6000 Earlier, overlapping|2 5000-8000 Later|");
}

TEST(SubtitleFile, ExtensionPicksTheReaderAndEncodingsAreDetected) {
  TempFolder folder;
  const QString srt = QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\n你好\r\n世界\r\n");
  folder.Write("a.SRT", "\xEF\xBB\xBF" + srt.toUtf8());
  folder.Write("b.srt", srt.toUtf8());
  EXPECT_EQ(ReadBack(ImportSubtitleFile(folder.File("a.SRT"), kLength)), "1 1000-2000 你好 世界|");
  EXPECT_EQ(ReadBack(ImportSubtitleFile(folder.File("b.srt"), kLength)), "1 1000-2000 你好 世界|");
  folder.Write("c.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\r<v A>Hi</v>\n");
  EXPECT_EQ(ReadBack(ImportSubtitleFile(folder.File("c.vtt"), kLength)), "1 1000-2000 Hi|");
  // The same cue read as LRC: its lines carry no "[" and are skipped.
  folder.Write("d.lrc", srt.toUtf8());
  EXPECT_EQ(ImportSubtitleFile(folder.File("d.lrc"), kLength).failure, subtitle_messages::kNoLrcSentence);
}

TEST(SubtitleFile, RandomAndHugeInputIsReadWithoutCrashing) {
  std::mt19937 rng(99);
  static const char* kPieces[] = {"1",  "\r\n", "\r\n", "00:00:01,000", " --> ", "00:00:02.500", "<i>", "</i>",
                                  "<",  ">",    "{\\",  "}",            "&",     "&amp;",        "&#",  ";",
                                  "x",  " ",    "\n",   "WEBVTT",       ":",     ",",            "-->", "<v A>"};
  for (int round = 0; round < 2000; ++round) {
    QString text;
    const int pieces = std::uniform_int_distribution<int>(0, 50)(rng);
    for (int i = 0; i < pieces; ++i) text += kPieces[rng() % std::size(kPieces)];
    for (const SubtitleImport& r : {Srt(text), Vtt(text)}) {
      ASSERT_TRUE(r.sentences.empty() != r.failure.isEmpty()) << text.toStdString();
      for (const SentenceRecord& s : r.sentences) {
        ASSERT_GE(s.Start, 0);
        ASSERT_LE(s.End, kLength);
        ASSERT_LT(s.Start, s.End);
      }
    }
  }
  // One megabyte on one cue line of unclosed markup.
  const QString line = QString("<a&{\\").repeated(200000);
  const SubtitleImport r = Srt("1\r\n00:00:01,000 --> 00:00:02,000\r\n" + line);
  ASSERT_EQ(r.sentences.size(), 1u);
  EXPECT_EQ(r.sentences[0].Text.size(), line.size());
}
