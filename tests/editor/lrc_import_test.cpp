// LRC import: AnsLrc, the exchange sort's order, the table built from it and
// the file reading (encodings, line ends, files that are not there).
#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <chrono>
#include <limits>
#include <random>

#include "core/material_store.h"
#include "core/number_text.h"
#include "core/text_codec.h"
#include "core/time_text.h"
#include "editor/lrc_convert.h"
#include "editor/subtitle_import.h"
#include "editor/subtitle_table.h"
#include "editor/subtitle_text_file.h"
#include "tests/common/temp_folder.h"

namespace {

constexpr int32_t kLength = 100000;  // a recording of 100 s

// The conversion written out step by step, the exchange sort as a plain
// double loop: what AnsLrc must give for every text.
QString LiteralAnsLrc(const QString& text) {
  int64_t offset = 0;
  const qsizetype at = text.indexOf(QStringLiteral("offset:"), 0, Qt::CaseInsensitive);
  if (at >= 0) {
    double value = ProMod::LeadingNumber(ProMod::TrimSentenceText(text.mid(at + 7)));
    value = std::clamp(value, -2147483648.0, 2147483647.0);
    offset = ProMod::RoundToInt32(value);
  }
  std::vector<std::pair<int64_t, QString>> entries;
  for (QString line : text.split(QStringLiteral("\r\n"))) {
    line = ProMod::TrimSentenceText(line);
    if (line.isEmpty()) continue;
    bool skipped = false;
    for (const char* mark : {"[offset:", "[ti:", "[ar:", "[al:"}) {
      if (line.contains(QLatin1String(mark), Qt::CaseInsensitive)) skipped = true;
    }
    if (skipped || !line.contains(QLatin1Char('['))) continue;
    std::vector<int64_t> times;
    qsizetype lastClose = -1;
    for (qsizetype w = line.indexOf(QLatin1Char('[')); w >= 0; w = line.indexOf(QLatin1Char('['), w + 1)) {
      const qsizetype b = line.indexOf(QLatin1Char(']'), w);
      if (b >= 0) {
        const int64_t t = SoundMod::ParseTime(line.mid(w + 1, b - w - 1)) + offset;
        times.push_back(std::clamp<int64_t>(t, std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()));
      }
      lastClose = b;
      if (w == line.size() - 1) break;
    }
    const QString lineText = lastClose >= 0 ? line.mid(lastClose + 1) : line;
    for (int64_t t : times) entries.emplace_back(t, lineText);
  }
  for (size_t j = 0; j + 1 < entries.size(); ++j) {
    for (size_t k = j + 1; k < entries.size(); ++k) {
      if (entries[k].first < entries[j].first) std::swap(entries[j], entries[k]);
    }
  }
  QString out;
  for (const auto& [time, lineText] : entries) {
    out += "[" + SoundMod::FormatTime(static_cast<int32_t>(time)) + "]" + lineText + "\r\n";
  }
  return out;
}

std::vector<size_t> LiteralExchangeSort(const std::vector<int64_t>& times) {
  std::vector<size_t> order(times.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  for (size_t j = 0; j + 1 < order.size(); ++j) {
    for (size_t k = j + 1; k < order.size(); ++k) {
      if (times[order[k]] < times[order[j]]) std::swap(order[j], order[k]);
    }
  }
  return order;
}

// A text from pieces that exercise the tag search: tags of two and three
// parts, unreadable and negative tags, stray and nested brackets, skipped
// marks and offsets, line ends inside and around.
QString RandomLrc(std::mt19937& rng, int pieces) {
  static const char* kPieces[] = {
      "[00:01.00]", "[00:02.50]", "[00:01.00]", "[0:00:01]", "[01:02:03]", "[1:2:3:4]", "[x]",
      "[-1:00]",    "[",          "]",          "[[",        "]]",        ":",         "a",
      "Hello",      " ",          "\r\n",       "\r\n",      "\r\n",      "[ti:t]",    "[offset:-250]",
      "offset: 75", "[Ar:x]",     "[00:0",      "2.00]",     "\n",        "\r",        "<KVQENTER>",
      "你好",       "[00:01.004]", "[9:99.999]", "[00:01.00]Hi\r\n", "[0:00:00.5]", "[1e3:0]"};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  QString text;
  for (int i = 0; i < pieces; ++i) text += QString::fromUtf8(kPieces[pick(rng)]);
  return text;
}

QString ReadBack(const SubtitleImport& result) {
  QString s;
  for (const SentenceRecord& r : result.sentences) {
    s += QStringLiteral("%1 %2-%3 %4|").arg(r.Index).arg(r.Start).arg(r.End).arg(r.Text);
  }
  return s;
}

}  // namespace

TEST(ExchangeSortOrder, MatchesTheLiteralSortOnRandomTimesWithManyTies) {
  std::mt19937 rng(12);
  for (int round = 0; round < 4000; ++round) {
    const int n = std::uniform_int_distribution<int>(0, 40)(rng);
    const int range = std::uniform_int_distribution<int>(1, 8)(rng);
    std::vector<int64_t> times(static_cast<size_t>(n));
    for (int64_t& t : times) t = std::uniform_int_distribution<int>(-1, range)(rng);
    ASSERT_EQ(lrc::ExchangeSortOrder(times), LiteralExchangeSort(times)) << "round " << round;
  }
  // Long runs: the order of a large group depends on every smaller entry.
  for (int round = 0; round < 20; ++round) {
    std::vector<int64_t> times(600);
    for (int64_t& t : times) t = std::uniform_int_distribution<int>(0, 3 + round)(rng);
    ASSERT_EQ(lrc::ExchangeSortOrder(times), LiteralExchangeSort(times)) << "long round " << round;
  }
}

TEST(ExchangeSortOrder, IsNotStableAndIsFastOnLargeInputs) {
  // Pass 1 exchanges A(5) with C(3), carrying A past B.
  EXPECT_EQ(lrc::ExchangeSortOrder({5, 5, 3}), (std::vector<size_t>{2, 1, 0}));
  std::vector<int64_t> times(200000);
  std::mt19937 rng(3);
  for (int64_t& t : times) t = std::uniform_int_distribution<int>(0, 50)(rng);
  const auto begin = std::chrono::steady_clock::now();
  const std::vector<size_t> order = lrc::ExchangeSortOrder(times);
  const auto elapsed = std::chrono::steady_clock::now() - begin;
  EXPECT_LT(elapsed, std::chrono::seconds(20)) << "the quadratic sort would take hours";
  for (size_t i = 1; i < order.size(); ++i) ASSERT_LE(times[order[i - 1]], times[order[i]]);
}

TEST(AnsLrc, MatchesTheLiteralConversionOnRandomTexts) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 3000; ++round) {
    const QString text = RandomLrc(rng, std::uniform_int_distribution<int>(0, 60)(rng));
    ASSERT_EQ(AnsLrc(text), LiteralAnsLrc(text)) << "text: " << text.toStdString();
  }
}

TEST(AnsLrc, ReadsOffsetsSkippedLinesStackedAndThreePartTags) {
  EXPECT_EQ(AnsLrc("\r\n[ti:Song]\r\n[ar:Someone]\r\n[al:Album]\r\n[offset:500]\r\n[00:01.00]Hello"),
            "[0:00:01.500]Hello\r\n");
  EXPECT_EQ(AnsLrc("[OFFSET:-500]\r\n[00:01.00]Hello\r\n[00:00.20]Early"),
            "[0:00:00.000]Early\r\n[0:00:00.500]Hello\r\n")
      << "a negative offset; a time before 0 is written as 0";
  EXPECT_EQ(AnsLrc("[00:30.00][00:05.00]Again"), "[0:00:05.000]Again\r\n[0:00:30.000]Again\r\n");
  EXPECT_EQ(AnsLrc("[01:02:03]Hours"), "[1:02:03.000]Hours\r\n");
  EXPECT_EQ(AnsLrc("[00:12.00]He said [laughs] hi"), "[0:00:00.000] hi\r\n[0:00:12.000] hi\r\n");
  EXPECT_EQ(AnsLrc("A line without tags\r\n\r\n   \r\n"), "");
  EXPECT_EQ(AnsLrc("[00:01.00]Open [bracket"), "[0:00:01.000][00:01.00]Open [bracket\r\n")
      << "the last [ has no ]: the text is the whole line";
  EXPECT_EQ(AnsLrc(""), "");
}

TEST(LrcImport, LinksEndsDropsEmptyTextAndFitsToTheRecording) {
  SubtitleImport r = ImportLrcText("[00:10.00]Hello\r\n[00:15.00]\r\n[00:20.00]World", kLength);
  EXPECT_EQ(ReadBack(r), "1 10000-15000 Hello|2 20000-100000 World|");
  EXPECT_TRUE(r.failure.isEmpty());
  EXPECT_EQ(r.lines, "[0:00:10.000]Hello\r\n[0:00:15.000]\r\n[0:00:20.000]World\r\n");
  EXPECT_EQ(r.sentences[0].StartText, "0:00:10.000");
  EXPECT_EQ(r.sentences[1].EndText, "0:01:40.000");

  r = ImportLrcText("[00:05.00]One\r\n[00:05.00]Two", kLength);
  EXPECT_EQ(ReadBack(r), "1 5000-5060 One|2 5000-100000 Two|") << "same time: the first lasts 60 ms";

  r = ImportLrcText("[00:10.00]In\r\n[01:39.99]Late\r\n[02:00.00]Beyond", kLength);
  EXPECT_EQ(ReadBack(r), "1 10000-99990 In|2 99940-100000 Late|3 99940-100000 Beyond|");

  // Unstable order: Two is exchanged past One by the earlier Zero.
  r = ImportLrcText("[00:07.00]One\r\n[00:07.00]Two\r\n[00:03.00]Zero", kLength);
  EXPECT_EQ(ReadBack(r), "1 3000-7000 Zero|2 7000-7060 Two|3 7000-100000 One|");

  r = ImportLrcText("[ti:x]\r\n[00:01.00]\r\n[00:02.00]   ", kLength);
  EXPECT_TRUE(r.sentences.empty());
  EXPECT_EQ(r.failure, "读取LRC失败，未读到任何有效句！");

  r = ImportLrcText("[00:00.01]Tiny", 30);
  EXPECT_EQ(ReadBack(r), "1 0-30 Tiny|") << "a recording under 60 ms: no start before 0";
}

TEST(LrcImport, BadInputGivesAMessageNotACrash) {
  std::mt19937 rng(7);
  QByteArray noise(200000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  SubtitleImport r = ImportLrcText(ProMod::JoinFileLines(ProMod::DecodeAnsi(noise)), kLength);
  EXPECT_TRUE(!r.sentences.empty() || !r.failure.isEmpty());

  const QString tags = QString("[00:01.00]").repeated(10000);
  r = ImportLrcText(tags + "many", kLength);
  ASSERT_EQ(r.sentences.size(), 10000u);
  EXPECT_EQ(r.sentences.back().Text, "many");

  r = ImportLrcText(tags + "[" + QString(2000, 'x'), kLength);
  EXPECT_TRUE(r.sentences.empty()) << "10 000 copies of a 100 000-character line";
  EXPECT_EQ(r.failure, subtitle_messages::kTooLong);

  r = ImportLrcText(QString("[0:0]x").repeated(33000), kLength);
  EXPECT_EQ(r.failure, subtitle_messages::kTooManySentences);

  // Brackets that all close at one "]": as many tags as brackets, read in
  // linear time (quadratic, this would take minutes).
  const auto begin = std::chrono::steady_clock::now();
  r = ImportLrcText(QString(1 << 18, '[') + ":5]x", kLength);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
  EXPECT_TRUE(r.sentences.empty());
  EXPECT_FALSE(r.failure.isEmpty());
  // A megabyte on one line.
  r = ImportLrcText("[00:01.00]" + QString(1 << 20, 'y'), kLength);
  ASSERT_EQ(r.sentences.size(), 1u);
  EXPECT_EQ(r.sentences[0].Text.size(), 1 << 20);
}

TEST(LrcFile, ReadsAnsiUtf8AndMarkedFilesAlike) {
  TempFolder folder;
  const QString lyric = QStringLiteral("[00:01.00]你好，世界\r\n[00:02.00]再见");
  const QString expected = "1 1000-2000 你好，世界|2 2000-100000 再见|";
  folder.Write("gb.lrc", ProMod::EncodeAnsi(lyric));
  folder.Write("utf8.lrc", lyric.toUtf8());
  folder.Write("bom.lrc", "\xEF\xBB\xBF" + lyric.toUtf8());
  // Two UTF-8 files joined: the second part's mark starts a line.
  folder.Write("joined.Lrc", "\xEF\xBB\xBF[00:01.00]你好，世界\r\n\xEF\xBB\xBF[00:02.00]再见");
  for (const char* name : {"gb.lrc", "utf8.lrc", "bom.lrc", "joined.Lrc"}) {
    const SubtitleImport r = ImportSubtitleFile(folder.File(name), kLength);
    EXPECT_EQ(ReadBack(r), expected) << name;
  }
  // GB18030 bytes that are no UTF-8: not taken for UTF-8.
  folder.Write("gbk_only.lrc", ProMod::EncodeAnsi("[00:01.00]中文歌词"));
  EXPECT_EQ(ImportSubtitleFile(folder.File("gbk_only.lrc"), kLength).sentences.at(0).Text, "中文歌词");
  // An ANSI part joined to a UTF-8 part with its mark: read as ANSI, and
  // the mark's bytes still go.
  EXPECT_EQ(DecodeSubtitleBytes(ProMod::EncodeAnsi("中文\n") + "\xEF\xBB\xBF" "abc").text, "\r\n中文\r\nabc");
}

TEST(LrcFile, MixedLineEndsEachEndALine) {
  TempFolder folder;
  folder.Write("mixed.lrc", "[ti:Mixed]\n[00:01.00]One\r[00:02.00]Two\r\n[00:03.00]Three\n\n[00:04.00]Four");
  EXPECT_EQ(ReadBack(ImportSubtitleFile(folder.File("mixed.lrc"), kLength)),
            "1 1000-2000 One|2 2000-3000 Two|3 3000-4000 Three|4 4000-100000 Four|");
}

TEST(LrcFile, Utf16MissingAndVanishedFiles) {
  TempFolder folder;
  const QString lyric = "[00:01.00]Hello";
  QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2), bare;
  for (QChar c : lyric) {
    le.append(static_cast<char>(c.unicode() & 0xFF)).append('\0');
    be.append('\0').append(static_cast<char>(c.unicode() & 0xFF));
    bare.append(static_cast<char>(c.unicode() & 0xFF)).append('\0');
  }
  folder.Write("le.lrc", le);
  folder.Write("be.lrc", be);
  folder.Write("bare.lrc", bare);
  for (const char* name : {"le.lrc", "be.lrc", "bare.lrc"}) {
    const SubtitleImport r = ImportSubtitleFile(folder.File(name), kLength);
    EXPECT_TRUE(r.sentences.empty()) << name;
    EXPECT_TRUE(r.failure.contains("UTF-16")) << name;
  }

  folder.Write("gone.lrc", lyric.toUtf8());
  ASSERT_TRUE(QFile::remove(folder.File("gone.lrc")));
  SubtitleImport r = ImportSubtitleFile(folder.File("gone.lrc"), kLength);
  EXPECT_TRUE(r.sentences.empty());
  EXPECT_EQ(r.failure, "") << "a file that is not there ends the import silently";
  r = ImportSubtitleFile(folder.Path(), kLength);
  EXPECT_EQ(r.failure, "") << "a folder is no file";

  folder.Write("big.lrc", QByteArray(17 * 1024 * 1024, '['));
  EXPECT_TRUE(ImportSubtitleFile(folder.File("big.lrc"), kLength).failure.contains("16MB"));

  folder.Write("empty.lrc", "");
  EXPECT_EQ(ImportSubtitleFile(folder.File("empty.lrc"), kLength).failure, "读取LRC失败，未读到任何有效句！");
}
