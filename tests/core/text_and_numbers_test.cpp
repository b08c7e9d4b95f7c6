// Number reading, time text and the GB18030 file encoding.
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "core/text_codec.h"
#include "core/time_text.h"

using ProMod::DecodeAnsi;
using ProMod::EncodeAnsi;

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"", 0},     {"abc", 0},      {"12", 12},        {"  12abc", 12}, {"-3.5x", -3.5}, {"1 2 3", 123},
      {".5", 0.5}, {"5.", 5},       {"+7", 7},         {"1e3", 1000},   {"2D2", 200},    {"1e", 1},
      {"- 4", -4}, {"\t\r\n9", 9},  {"0:01", 0},       {".", 0},        {"-", 0},        {"3.2.1", 3.2},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(ProMod::LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(RoundToInt, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(ProMod::RoundToInt32(0.5), 0);
  EXPECT_EQ(ProMod::RoundToInt32(1.5), 2);
  EXPECT_EQ(ProMod::RoundToInt32(2.5), 2);
  EXPECT_EQ(ProMod::RoundToInt32(-2.5), -2);
  EXPECT_EQ(ProMod::RoundToInt32(2.5001), 3);
  bool ok = true;
  EXPECT_EQ(ProMod::RoundToInt32(3e9, &ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ProMod::RoundToInt32(2147483647.0, &ok), 2147483647);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ProMod::RoundToInt16(32767.4, &ok), 32767);
  EXPECT_TRUE(ok);
  ProMod::RoundToInt16(32767.5, &ok);
  EXPECT_FALSE(ok);
}

TEST(TimeText, FormatTime) {
  using SoundMod::FormatTime;
  EXPECT_EQ(FormatTime(3723999), QStringLiteral("1:02:03.994"));
  EXPECT_EQ(FormatTime(5), QStringLiteral("0:00:00.005"));
  EXPECT_EQ(FormatTime(60000), QStringLiteral("0:01:00.000"));
  EXPECT_EQ(FormatTime(-5), QStringLiteral("0:00:00.000"));
  // The millisecond digits stop at 994: every value from 995 to 999 of any
  // second, never carried into the seconds.
  for (int ms : {994, 995, 996, 997, 998, 999})
    EXPECT_EQ(FormatTime(ms), QStringLiteral("0:00:00.994")) << ms;
  EXPECT_EQ(FormatTime(1995), QStringLiteral("0:00:01.994"));
  EXPECT_EQ(FormatTime(59998), QStringLiteral("0:00:59.994"));
  EXPECT_EQ(FormatTime(3599996), QStringLiteral("0:59:59.994"));
  EXPECT_EQ(FormatTime(36000000), QStringLiteral("10:00:00.000"));
  EXPECT_EQ(FormatTime(2147483647), QStringLiteral("596:31:23.647"));
}

TEST(TimeText, ParseTime) {
  using SoundMod::ParseTime;
  EXPECT_EQ(ParseTime(QStringLiteral("1:02.5")), 62500);
  EXPECT_EQ(ParseTime(QStringLiteral("0:01:02.345")), 62345);
  EXPECT_EQ(ParseTime(QStringLiteral("00:05.00")), 5000);
  EXPECT_EQ(ParseTime(QStringLiteral("Music")), 0);
  EXPECT_EQ(ParseTime(QStringLiteral("-1:00")), -1);
  EXPECT_EQ(ParseTime(QStringLiteral("12")), 0);
  EXPECT_EQ(ParseTime(QStringLiteral("1:2:3:4")), 0);
  EXPECT_EQ(ParseTime(QStringLiteral("a:b")), 0);
  EXPECT_EQ(ParseTime(QStringLiteral("0:00:01.5")), 1500);
  EXPECT_EQ(ParseTime(QStringLiteral("0:00:00.0005")), 0) << "half a millisecond rounds to even";
  EXPECT_EQ(ParseTime(QStringLiteral("0:00:00.0015")), 2);
  EXPECT_EQ(ParseTime(QStringLiteral("999:00:00")), -1) << "beyond 32 bits";
  EXPECT_EQ(ParseTime(QString()), 0);
  // Every written time reads back, but for millisecond digits above 994.
  for (int ms : {0, 1, 994, 1000, 59994, 3599994, 36000000, 123456789})
    EXPECT_EQ(ParseTime(SoundMod::FormatTime(ms)), ms) << ms;
}

TEST(TextCodec, GbkTextIsByteIdenticalToCodePage936) {
  // Bytes as code page 936 writes them.
  const QByteArray gbk("\xc4\xe3\xba\xc3\xa3\xac\xca\xc0\xbd\xe7\xa1\xa3 abc \xa1\xa4\xa1\xaa", 21);
  const QString text = DecodeAnsi(gbk);
  EXPECT_EQ(text, QStringLiteral("你好，世界。 abc ·—"));
  EXPECT_EQ(EncodeAnsi(text), gbk);
}

TEST(TextCodec, FourByteSequencesArePinnedToTheirBytes) {
  // GB18030 four-byte sequences, as the standard assigns them: U+20000 (CJK
  // extension B), U+1F600 (an emoji) and U+0E01 (Thai, a BMP character
  // outside GBK).
  EXPECT_EQ(EncodeAnsi(QStringLiteral("𠀀")), QByteArray("\x95\x32\x82\x36", 4));
  EXPECT_EQ(EncodeAnsi(QStringLiteral("😀")), QByteArray("\x94\x39\xfc\x36", 4));
  EXPECT_EQ(EncodeAnsi(QStringLiteral("\u0e01")), QByteArray("\x81\x32\xce\x39", 4));
  EXPECT_EQ(DecodeAnsi(QByteArray("a\x95\x32\x82\x36" "b", 6)), QStringLiteral("a𠀀b"));
}

TEST(TextCodec, LongTextsDecodeWholeWhereverTheDecoderCutsThem) {
  // The decoder hands the text over in pieces of 4096 bytes: a two-byte
  // and a four-byte character are cut at each of their inner positions by
  // a piece's end, and the text comes back whole.
  const QString two = QStringLiteral("你"), four = QStringLiteral("𠀀");
  for (const QString& ch : {two, four}) {
    const qsizetype width = EncodeAnsi(ch).size();
    for (qsizetype cut = 1; cut < width; ++cut) {
      for (int pieces : {1, 2, 3}) {
        // ASCII up to just before the piece's end, the character across it,
        // Chinese text after it.
        const QString text = QString(pieces * 4096 - cut, QLatin1Char('a')) + ch + QStringLiteral("好") +
                             QString(300, QChar(u'字'));
        const QByteArray bytes = EncodeAnsi(text);
        ASSERT_EQ(bytes.mid(pieces * 4096 - cut, width), EncodeAnsi(ch));
        EXPECT_EQ(DecodeAnsi(bytes), text) << "cut " << cut << " at piece " << pieces;
      }
    }
  }
  // Nothing but two-byte characters: 5 000 of them, 10 000 bytes, every
  // piece boundary between two characters or inside one.
  const QString chinese = QString(5000, QChar(u'中')) + QStringLiteral("x") + QString(5000, QChar(u'中'));
  EXPECT_EQ(DecodeAnsi(EncodeAnsi(chinese)), chinese);
}

TEST(TextCodec, EuroSignUsesTheSingleCodePageByte) {
  EXPECT_EQ(EncodeAnsi(QStringLiteral("5€")), QByteArray("5\x80"));
  EXPECT_EQ(DecodeAnsi(QByteArray("5\x80")), QStringLiteral("5€"));
}

TEST(TextCodec, CharactersOutsideGbkSurvive) {
  const QString rare = QStringLiteral("𠀀😀ﾊ\u00e9\u0e01");
  const QByteArray bytes = EncodeAnsi(rare);
  EXPECT_FALSE(bytes.contains('?'));
  EXPECT_EQ(DecodeAnsi(bytes), rare);
}

TEST(TextCodec, BrokenInputNeverCrashesOrVanishes) {
  // Unpaired surrogates are no characters: they are written as U+FFFD.
  QString broken = QStringLiteral("a");
  broken.append(QChar(0xD800));
  broken.append(QStringLiteral("b"));
  broken.append(QChar(0xDC00));
  EXPECT_EQ(DecodeAnsi(EncodeAnsi(broken)), QStringLiteral("a\uFFFDb\uFFFD"));
  // Invalid and cut-off byte sequences read as replacement characters, and
  // what follows them is still read.
  EXPECT_EQ(DecodeAnsi(QByteArray("\xff" "ok", 3)), QStringLiteral("\uFFFDok"));
  EXPECT_EQ(DecodeAnsi(QByteArray("ok\xc4", 3)), QStringLiteral("ok\uFFFD"));
  EXPECT_EQ(DecodeAnsi(QByteArray()), QString());
  EXPECT_EQ(EncodeAnsi(QString()), QByteArray());
  EXPECT_EQ(DecodeAnsi(QByteArray("a\0b", 3)), QString::fromUtf16(u"a\0b", 3));
}
