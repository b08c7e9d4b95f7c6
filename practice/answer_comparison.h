#pragma once
#include <QChar>
#include <QList>
#include <QString>

// Word-by-word comparison of a dictation answer with its sentence.
//
// The typed text is not aligned by edit distance: the sentence is anchored in
// the typed text with groups of n consecutive words (plain substring search,
// in order), then every gap between anchored words is classified by a few
// length rules. The result is a list of pairs (sentence token, typed token)
// in sentence order, in which runs of the filler character stand for a word
// that is absent on one side.
namespace ChaSenMod {

struct AnswerPair {
  QString sentence;  // sentence token; may contain fillers, may be empty
  QString typed;     // typed token; may contain fillers, may be empty
  bool operator==(const AnswerPair& other) const {
    return sentence == other.sentence && typed == other.typed;
  }
};

// The pairs (pair 1 is pairs[0]) and the filler character used in them.
// The filler is chosen per comparison so that it occurs in neither text;
// consumers must read it from here rather than assume kPreferredFiller.
struct PairList {
  QList<AnswerPair> pairs;
  QChar filler;
};

// The filler used whenever neither text contains it (a private-use character).
inline constexpr char16_t kPreferredFiller = u'\uE000';

// Sentence sides of the two one-pair error results; a CR LF and the sentence
// follow, and the typed side is the typed text unchanged.
inline const QString kWordCountErrorText =
    QStringLiteral("分析出错!以下列出原句与输入句，请进行人口较对。（错误原因：计算单词数不合）");
inline const QString kUnknownErrorText =
    QStringLiteral("分析出错!以下列出原句与输入句，请进行人口较对。（错误原因：未知）");

// Aligns the typed text with the sentence. Never fails: a text too long for
// the 16-bit positions, counts and lengths of the method (anything beyond
// 32767), an index outside the token arrays, or no free filler character all
// give the "未知" error result; differing token counts give the word-count
// error result.
PairList AlignAnswer(const QString& sentence, const QString& typed);

// Lower case if asked (one character for one character), every punctuation
// mark of the comparison set surrounded by spaces, ideographic spaces and
// line breaks turned into spaces, runs of spaces collapsed, U+0020 trimmed.
QString NormalizeText(const QString& text, bool lowerCase);

// The anchor length for a normalized lower-case text, starting from n: the
// smallest length from n upward at which no group of that many consecutive
// words occurs twice in the text (overlapping occurrences count), or n when
// the text is shorter than 2n characters. An n below 1 is taken as 1.
// Returns 0 when the text is too long for 16-bit positions and counts.
int AnchorLength(const QString& text, int n);

// `text` repeated `count` times; empty when count <= 0.
QString RepeatText(int count, const QString& text);

// Lower case one character for one character (a character whose lower case
// would change the text's length is kept), so that positions found in a
// lower-cased text are positions in the original too.
QString LowerCaseText(const QString& text);

}  // namespace ChaSenMod
