#include "practice/answer_comparison.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <initializer_list>
#include <string>
#include <vector>

using ChaSenMod::AlignAnswer;
using ChaSenMod::PairList;

namespace {

using Lines = std::vector<std::string>;

// Pairs written "sentence|typed" (UTF-8) with the result's filler shown as "_".
Lines Shown(const PairList& result) {
  Lines out;
  for (const auto& pair : result.pairs) {
    QString s = pair.sentence;
    QString t = pair.typed;
    s.replace(result.filler, QLatin1Char('_'));
    t.replace(result.filler, QLatin1Char('_'));
    out.push_back((s + QLatin1Char('|') + t).toStdString());
  }
  return out;
}

Lines Expect(std::initializer_list<const char*> pairs) { return Lines(pairs.begin(), pairs.end()); }

bool IsUnknownError(const PairList& r, const QString& sentence, const QString& typed) {
  return r.pairs.size() == 1 && r.pairs[0].sentence == ChaSenMod::kUnknownErrorText + "\r\n" + sentence &&
         r.pairs[0].typed == typed;
}
bool IsWordCountError(const PairList& r, const QString& sentence, const QString& typed) {
  return r.pairs.size() == 1 && r.pairs[0].sentence == ChaSenMod::kWordCountErrorText + "\r\n" + sentence &&
         r.pairs[0].typed == typed;
}

struct AlignCase {
  const char* name;
  const char* sentence;
  const char* typed;
  std::vector<const char*> pairs;
};

void PrintTo(const AlignCase& c, std::ostream* os) { *os << c.name; }

class AlignAnswerCases : public ::testing::TestWithParam<AlignCase> {};

TEST_P(AlignAnswerCases, GivesTheExpectedPairs) {
  const AlignCase& c = GetParam();
  const Lines expected(c.pairs.begin(), c.pairs.end());
  EXPECT_EQ(Shown(AlignAnswer(QString::fromUtf8(c.sentence), QString::fromUtf8(c.typed))), expected);
}

// The reference examples of how answers are aligned.
INSTANTIATE_TEST_SUITE_P(
    ReferenceExamples, AlignAnswerCases,
    ::testing::Values(
        AlignCase{"Identical", "a b c d e", "a b c d e", {"a|a", "b|b", "c|c", "d|d", "e|e"}},
        AlignCase{"MissingWord", "a b c d e", "a b d e", {"a|a", "b|b", "c|_", "d|d", "e|e"}},
        AlignCase{"SameLengthSubstitution", "a b c d e", "a b x d e", {"a|a", "b|b", "c|_", "d|d", "e|e"}},
        AlignCase{"LongerSubstitution", "a b c d e", "a b xy d e", {"a|a", "b|b", "c_|xy", "d|d", "e|e"}},
        AlignCase{"ExtraWord", "a b c d e", "a b c x d e", {"a|a", "b|b", "c|c", "_|x", "d|d", "e|e"}},
        AlignCase{"ManyMissingDropExtras", "a b c d e", "a x y z w v e", {"a|a", "b|_", "c|_", "d|_", "e|e"}},
        AlignCase{"ExtraAtStart",
                  "one two three four five",
                  "zero one two three four five",
                  {"____|zero", "one|one", "two|two", "three|three", "four|four", "five|five"}},
        AlignCase{"ExtraAtEnd",
                  "one two three four five",
                  "one two three four five six",
                  {"one|one", "two|two", "three|three", "four|four", "five|five", "___|six"}},
        AlignCase{"PunctuationTokens", "Hello, world.", "hello world.",
                  {"Hello|hello", ",|_", "world|world", ".|."}},
        AlignCase{"ChangedWordUnanchorsNeighbours", "I like it.", "i likes it",
                  {"I|i", "like|____", "it|__", ".|_"}},
        AlignCase{"SearchIgnoresWordBoundaries", "I don't know.", "I do not know.",
                  {"I|I", "don|___", "'|_", "t|t", "know|know", ".|."}},
        AlignCase{"SubstitutedShortWord", "the cat and the dog", "the cat and a dog",
                  {"the|the", "cat|cat", "and|and", "the|a__", "dog|dog"}},
        AlignCase{"RepeatedWordsGiveEmptyToken", "go go go", "go go", {"go|go", "|___", "go|go", "go|go"}},
        AlignCase{"CaseOnly", "Hello World", "hello WORLD", {"Hello|hello", "World|WORLD"}}),
    [](const ::testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MoreTexts, AlignAnswerCases,
    ::testing::Values(
        AlignCase{"ChineseCorrect", "我爱北京，你呢？", "我爱北京，你呢？", {"我爱北京|我爱北京", "，|，", "你呢|你呢", "？|？"}},
        // A substitution of the same length shows fillers, as in Latin text.
        AlignCase{"ChineseSubstitution", "我爱北京，你呢？", "我爱上海，你呢？",
                  {"我爱北京|____", "，|，", "你呢|你呢", "？|？"}},
        // Half-width marks are other tokens than full-width ones.
        AlignCase{"ChineseHalfWidthMarks", "我爱北京，你呢？", "我爱北京,你呢?",
                  {"我爱北京|我爱北京", "，|_", "你呢|__", "？|_"}},
        AlignCase{"MixedChineseLatinCase", "我喜欢English歌曲。", "我喜欢english歌曲。",
                  {"我喜欢English歌曲|我喜欢english歌曲", "。|。"}},
        AlignCase{"LineBreaksAndIdeographicSpaces", "a b c d e", "a\r\nb\u3000c  d\ne \r\n",
                  {"a|a", "b|b", "c|c", "d|d", "e|e"}},
        AlignCase{"TypedFarLonger", "a b c", "x y z a b c p q r s t u v w",
                  {"_____|x_y_z", "a|a", "b|b", "c|c", "_______________|p_q_r_s_t_u_v_w"}},
        // "a b" occurs twice, so groups of three words anchor the sentence.
        AlignCase{"RepeatedGroupsLongerAnchor", "a b a b c", "a b a x c", {"a|a", "b|b", "a|a", "b|_", "c|c"}},
        AlignCase{"EmptyTyped", "a b c d e", "", {"a|_", "b|_", "c|_", "d|_", "e|_"}},
        AlignCase{"EmptyTypedOneWord", "hello", "", {"hello|_____"}},
        // Every typed word of an empty sentence is extra, none is cut short.
        AlignCase{"EmptySentence", "", "a b", {"___|a_b"}},
        AlignCase{"EmptySentenceOneWord", "", "hello", {"_____|hello"}},
        AlignCase{"BothEmpty", "", "", {"|"}},
        AlignCase{"OnlySpacesAndBreaks", " \r\n\u3000 ", "  ", {"|"}},
        AlignCase{"TabsHyphensSemicolonsStayInWords", "well-known;\tyes", "well-known;\tyes",
                  {"well-known;\tyes|well-known;\tyes"}}),
    [](const ::testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

TEST(AlignAnswer, TypedCapitalsAreKeptAndSentenceCapitalsToo) {
  const PairList r = AlignAnswer("The Cat sat.", "the cAT sat.");
  EXPECT_EQ(Shown(r), Expect({"The|the", "Cat|cAT", "sat|sat", ".|."}));
}

TEST(AlignAnswer, WordCountErrorKeepsBothTextsUnchanged) {
  // The typed part of the gap keeps its space, so the lines fall apart.
  const QString sentence = "a wonderful b";
  const QString typed = "a x y b";
  EXPECT_TRUE(IsWordCountError(AlignAnswer(sentence, typed), sentence, typed));
}

TEST(AlignAnswer, FillerIsPrivateUseAndAbsentFromBothTexts) {
  const PairList plain = AlignAnswer("a b c d e", "a b d e");
  EXPECT_EQ(plain.filler, QChar(ChaSenMod::kPreferredFiller));
  EXPECT_EQ(plain.pairs[2].typed, QString(plain.filler));

  // The learner typed the preferred filler in place of a word: it stays a
  // typed word and another filler marks the absent ones.
  const QString typed = QString("a b ") + QChar(ChaSenMod::kPreferredFiller) + "x d e";
  const PairList r = AlignAnswer("a b c d e", typed);
  EXPECT_NE(r.filler, QChar(ChaSenMod::kPreferredFiller));
  EXPECT_TRUE(r.filler.unicode() >= 0xE000 && r.filler.unicode() <= 0xF8FF);
  ASSERT_EQ(r.pairs.size(), 5);
  EXPECT_EQ(r.pairs[2].sentence, QString("c") + r.filler);
  EXPECT_EQ(r.pairs[2].typed, QString(QChar(ChaSenMod::kPreferredFiller)) + "x");

  // Same in the sentence text.
  const QString sentence = QString("a ") + QChar(0xE000) + QChar(0xE001) + " c";
  const PairList s = AlignAnswer(sentence, "a c");
  EXPECT_EQ(s.filler, QChar(0xE002));
  EXPECT_EQ(Shown(s).size(), 3);
}

TEST(AlignAnswer, NoFreeFillerGivesUnknownResult) {
  QString all;
  for (char16_t c = 0xE000; c <= 0xF8FF; ++c) {
    all += QChar(c);
    all += QLatin1Char(' ');
  }
  EXPECT_TRUE(IsUnknownError(AlignAnswer(all, "x"), all, "x"));
}

TEST(AlignAnswer, SixteenBitLimits) {
  // A 40 000 character word is longer than any length the method can hold.
  const QString longWord(40000, QLatin1Char('a'));
  EXPECT_TRUE(IsUnknownError(AlignAnswer(longWord, "a"), longWord, "a"));
  EXPECT_TRUE(IsUnknownError(AlignAnswer("a b c", longWord), "a b c", longWord));

  // 40 000 characters of words: positions beyond 32767.
  QString words;
  for (int i = 0; words.size() < 40000; ++i) words += QString("w%1 ").arg(i);
  EXPECT_TRUE(IsUnknownError(AlignAnswer(words, words), words, words));
  EXPECT_TRUE(IsUnknownError(AlignAnswer("w1 w2 w3", words), "w1 w2 w3", words));

  // One word repeated: every group repeats until the anchor is so long that
  // the markers alone overflow.
  const QString repeated = QString("ab ").repeated(13400);
  EXPECT_TRUE(IsUnknownError(AlignAnswer(repeated, "ab"), repeated, "ab"));

  // Just inside the limits the comparison still works.
  QString fits;
  for (int i = 0; fits.size() < 20000; ++i) fits += QString("w%1 ").arg(i);
  const PairList r = AlignAnswer(fits, fits);
  ASSERT_GT(r.pairs.size(), 1000);
  for (const auto& pair : r.pairs) ASSERT_EQ(pair.sentence, pair.typed);
}

TEST(AlignAnswer, OddInputsGiveADefinedResult) {
  const QStringList odd = {
      "，。“”？、',.?/\\!！：:\"",                   // only punctuation
      "   ",                                           // only spaces
      QString("a\tb\x01 c\x7f d"),                     // control characters
      QString("a ") + QChar(0xD800) + " b " + QChar(0xDC00) + " c",  // unpaired surrogates
      QString("a ") + QChar(0xDC00) + QChar(0xD800) + " c",          // reversed pair
      "kvq1 a b", "a kvq12 b", "kvq3 kvq4 a", "a b kvq1 kvq2",      // marker words
      QString("a b ") + QChar(0xE000) + " c",                       // preferred filler
      "I I I I I I I I",
  };
  for (const QString& sentence : odd) {
    for (const QString& typed : odd) {
      const PairList r = AlignAnswer(sentence, typed);
      ASSERT_FALSE(r.pairs.isEmpty()) << sentence.toStdString() << " / " << typed.toStdString();
      EXPECT_FALSE(r.filler.isNull());
      const bool error = r.pairs.size() == 1 && (IsUnknownError(r, sentence, typed) ||
                                                 IsWordCountError(r, sentence, typed));
      if (!error) {
        for (const auto& pair : r.pairs) {
          EXPECT_FALSE(pair.sentence.contains(QLatin1Char(' ')));
          EXPECT_FALSE(pair.typed.contains(QLatin1Char(' ')));
        }
      }
    }
    // Against itself every odd text that aligns gives equal pairs.
    const PairList self = AlignAnswer(sentence, sentence);
    if (!IsWordCountError(self, sentence, sentence) && !IsUnknownError(self, sentence, sentence)) {
      for (const auto& pair : self.pairs) EXPECT_EQ(pair.sentence, pair.typed) << sentence.toStdString();
    }
  }
}

TEST(AlignAnswer, MarkerWordsTypedByTheLearner) {
  // Typed marker words are ordinary extra words...
  EXPECT_EQ(Shown(AlignAnswer("a b c d", "a b kvq12 c d")),
            Expect({"a|a", "b|b", "_____|kvq12", "c|c", "d|d"}));
  EXPECT_EQ(Shown(AlignAnswer("a b c d", "a b kvq1 c d")), Expect({"a|a", "b|b", "____|kvq1", "c|c", "d|d"}));
  EXPECT_EQ(Shown(AlignAnswer("a b c d", "a b c d kvq3 kvq4 kvq3 kvq4")),
            Expect({"a|a", "b|b", "c|c", "d|d", "___________________|kvq3_kvq4_kvq3_kvq4"}));
  // ...unless they spell a whole marker sequence, which is taken out of the
  // lines with the real markers: still a defined result.
  EXPECT_TRUE(IsWordCountError(AlignAnswer("a b c d", "kvq1 kvq2 a b c d"), "a b c d", "kvq1 kvq2 a b c d"));
  EXPECT_EQ(Shown(AlignAnswer("a b c d", "kvq3 kvq4")), Expect({"a|_", "b|_", "c|_", "d|_"}));
  // A sentence group found inside the closing markers leaves them
  // unanchored; the walk would run off the token table.
  EXPECT_TRUE(IsUnknownError(AlignAnswer("a 3 kvq4", "a"), "a 3 kvq4", "a"));
}

TEST(NormalizeText, PunctuationBreaksAndSpaces) {
  using ChaSenMod::NormalizeText;
  EXPECT_EQ(NormalizeText("I don't know.", false), "I don ' t know .");
  EXPECT_EQ(NormalizeText("  Hello,World!  ", true), "hello , world !");
  EXPECT_EQ(NormalizeText("你好，世界。“对”？、a/b\\c！d：e:f\"g\"", false),
            "你好 ， 世界 。 “ 对 ” ？ 、 a / b \\ c ！ d ： e : f \" g \"");
  EXPECT_EQ(NormalizeText("a\r\n\r\nb\u3000\u3000c", false), "a b c");
  EXPECT_EQ(NormalizeText("a\tb-c;d", false), "a\tb-c;d");
  EXPECT_EQ(NormalizeText(" \u3000\r\n", false), "");
  EXPECT_EQ(NormalizeText("..", false), ". .");
  // Lower case keeps the length, so positions carry over between the forms.
  const QString mixed = QString("ÄBC İx ") + QChar(0xD801) + QChar(0xDC00) + QChar(0xD800);
  const QString lower = NormalizeText(mixed, true);
  EXPECT_EQ(lower.size(), NormalizeText(mixed, false).size());
  EXPECT_TRUE(lower.startsWith(QString("äbc")));
  EXPECT_EQ(lower.mid(7, 2), QString(QChar(0xD801)) + QChar(0xDC28));  // Deseret capital to small
  EXPECT_EQ(lower.back(), QChar(0xD800));

  // Lower-casing before or after normalizing gives the same text.
  for (const QString& text : {QString("Ünïcödé İSTANBUL ΣΊΣΥΦΟΣ ǅ ᾈ K Å"), mixed,
                              QString("A\u3000B\r\nC，D。E\"F'G"), QString(QChar(0xDC00)) + "X" + QChar(0xD801)}) {
    EXPECT_EQ(NormalizeText(text, true), ChaSenMod::LowerCaseText(NormalizeText(text, false)));
  }
}

TEST(AnchorLength, GrowsWhileWordGroupsRepeat) {
  using ChaSenMod::AnchorLength;
  EXPECT_EQ(AnchorLength("a b c d e", 2), 2);
  EXPECT_EQ(AnchorLength("a b a b c", 2), 3);
  EXPECT_EQ(AnchorLength("go go go", 2), 3);        // overlapping occurrences count
  EXPECT_EQ(AnchorLength("a a a", 2), 3);           // shorter than twice the length
  EXPECT_EQ(AnchorLength("ab", 5), 5);
  EXPECT_EQ(AnchorLength("", 2), 2);
  EXPECT_EQ(AnchorLength("the cat at the cat at home", 2), 4);
  // Plain substring search: "a b" is found again inside "xa bx".
  EXPECT_EQ(AnchorLength("a b xa bx", 2), 3);
  // A long run of one word is handled without running out of stack.
  EXPECT_EQ(AnchorLength(QString("ab ").repeated(3000).trimmed(), 2), 3000);
  EXPECT_EQ(AnchorLength(QString(70000, QLatin1Char('a')) + " b c b c", 2), 0);
}

// The plain reading of the anchor length: recursion, every group searched
// twice in the whole text.
int PlainAnchorLength(const QString& text, int n) {
  if (text.size() / 2.0 < n) return n;
  const QStringList words = text.split(QLatin1Char(' '));
  const int last = static_cast<int>(words.size()) - 1;
  for (int i = 0; i <= last - n + 1; ++i) {
    const QString group = words.mid(i, n).join(QLatin1Char(' '));
    const qsizetype e = text.indexOf(group) + 1;
    if (text.indexOf(group, e) >= 0) return PlainAnchorLength(text, n + 1);
  }
  return n;
}

TEST(AnchorLength, AgreesWithThePlainReadingOnRandomTexts) {
  // Few distinct words make groups repeat, often inside other words; the
  // frequent and the rare first letters take both search paths.
  const QStringList vocabulary = {"a", "b", "ab", "ba", "aab", "x", "yz", "bxa", "zz"};
  uint32_t state = 2024;
  auto next = [&state](uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  for (int round = 0; round < 3000; ++round) {
    QStringList words;
    const int count = 1 + static_cast<int>(next(40));
    for (int i = 0; i < count; ++i) words << vocabulary[static_cast<int>(next(vocabulary.size()))];
    const QString text = words.join(QLatin1Char(' '));
    const int start = 1 + static_cast<int>(next(3));
    ASSERT_EQ(ChaSenMod::AnchorLength(text, start), PlainAnchorLength(text, start)) << text.toStdString();
  }
}

TEST(RepeatText, Counts) {
  using ChaSenMod::RepeatText;
  EXPECT_EQ(RepeatText(3, "ab"), "ababab");
  EXPECT_EQ(RepeatText(0, "ab"), "");
  EXPECT_EQ(RepeatText(-4, "ab"), "");
}

}  // namespace
