#include "practice/answer_comparison.h"

#include <QStringView>
#include <algorithm>
#include <bitset>
#include <cstring>
#include <initializer_list>
#include <cstdint>
#include <vector>

namespace ChaSenMod {
namespace {

// Raised inside the comparison when a value leaves the 16-bit range of the
// method or an index leaves its array; AlignAnswer turns it into the "未知"
// result. It never leaves this file.
struct ComparisonFailure {};

// Positions, lengths, counts and indexes of the method are 16-bit: a value
// that does not fit ends the comparison instead of wrapping around into a
// wrong alignment.
int16_t Narrow(int64_t value) {
  if (value < INT16_MIN || value > INT16_MAX) throw ComparisonFailure{};
  return static_cast<int16_t>(value);
}

// 1-based position of the first exact occurrence of `pattern` in `text` at
// or after `start`; 0 when absent. No regard to word boundaries.
int64_t Search(int64_t start, QStringView text, QStringView pattern) {
  if (start < 1) throw ComparisonFailure{};
  if (start > text.size()) return 0;
  const qsizetype at = text.indexOf(pattern, static_cast<qsizetype>(start - 1), Qt::CaseSensitive);
  return at < 0 ? 0 : at + 1;
}

// `length` characters from the 1-based `position` (fewer at the end of text).
QStringView Part(QStringView text, int64_t position, int64_t length) {
  if (position < 1 || length < 0) throw ComparisonFailure{};
  if (position > text.size()) return {};
  return text.mid(static_cast<qsizetype>(position - 1), static_cast<qsizetype>(length));
}

void Append(QString& line, std::initializer_list<QStringView> pieces) {
  for (QStringView piece : pieces) line += piece;
}

QString TrimSpaces(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  return text.mid(begin, end - begin).toString();
}

// Start offsets of the tokens of `text` cut at every single space, plus one
// past the end (so token t is text[start[t], start[t + 1] - 1)). Two adjacent
// spaces give an empty token, a leading or trailing space an empty first or
// last one.
std::vector<qsizetype> SplitStarts(QStringView text) {
  std::vector<qsizetype> starts;
  starts.push_back(0);
  for (qsizetype at = 0; at < text.size(); ++at) {
    if (text[at] == u' ') starts.push_back(at + 1);
  }
  starts.push_back(text.size() + 1);
  return starts;
}

// Token t of a text split by SplitStarts (bounds-checked).
QStringView Token(QStringView text, const std::vector<qsizetype>& starts, int64_t t) {
  if (t < 0 || t + 1 >= static_cast<int64_t>(starts.size())) throw ComparisonFailure{};
  return text.mid(starts[t], starts[t + 1] - 1 - starts[t]);
}

// Tokens first..first+count-1 of a split text, each followed by one space.
// Inside the text that is the text itself from the start of the first token;
// only a run that takes in the last token needs a copy with a space added.
QStringView TokensWithSpaces(QStringView text, const std::vector<qsizetype>& starts, int64_t first, int64_t count,
                             QString& scratch) {
  const int64_t tokens = static_cast<int64_t>(starts.size()) - 1;
  if (first < 0 || count < 1 || first + count > tokens) throw ComparisonFailure{};
  if (first + count < tokens) return text.mid(starts[first], starts[first + count] - starts[first]);
  scratch = text.mid(starts[first]).toString() + QLatin1Char(' ');
  return scratch;
}

// The characters that become tokens of their own, in the order the
// replacements are made. Surrounding each with spaces touches no other
// member of the set, so one pass gives the same text as one replacement
// after another.
bool IsPunctuationMark(char16_t c) {
  switch (c) {
    case u'\uFF0C': case u'\u3002': case u'\u201C': case u'\u201D': case u'\uFF1F': case u'\u3001':
    case u'\'': case u',': case u'.': case u'?': case u'/': case u'\\': case u'!': case u'\uFF01':
    case u'\uFF1A': case u':': case u'"':
      return true;
    default:
      return false;
  }
}

// The words of a comparison text: the marker prefix with a number, which no
// ordinary sentence contains.
QString Marker(int number) { return QStringLiteral("kvq") + QString::number(number); }

// Private-use characters the filler is chosen from.
constexpr char16_t kFillerFirst = kPreferredFiller;
constexpr char16_t kFillerLast = u'\uF8FF';
constexpr int kFillerCount = kFillerLast - kFillerFirst + 1;

// The first private-use character that occurs in neither text. Because the
// filler never occurs in the inputs, a typed text that contains what would
// otherwise be the filler is still compared as ordinary text: its token
// comes out unchanged and is never mistaken for an absent word. Returns a
// null character when the texts use up every candidate.
QChar ChooseFiller(const QString& first, const QString& second) {
  std::bitset<kFillerCount> used;
  for (const QString* text : {&first, &second}) {
    for (QChar c : *text) {
      const char16_t u = c.unicode();
      if (u >= kFillerFirst && u <= kFillerLast) used.set(u - kFillerFirst);
    }
  }
  for (int i = 0; i < kFillerCount; ++i) {
    if (!used.test(i)) return QChar(static_cast<char16_t>(kFillerFirst + i));
  }
  return QChar();
}

PairList ErrorResult(const QString& message, const QString& sentence, const QString& typed, QChar filler) {
  PairList result;
  result.filler = filler.isNull() ? QChar(kPreferredFiller) : filler;
  result.pairs.append(AnswerPair{message + QStringLiteral("\r\n") + sentence, typed});
  return result;
}

// The positions of a text's characters, grouped by character: for every
// character its first position and count, and for every position the next
// position of the same character.
class CharacterIndex {
 public:
  explicit CharacterIndex(QStringView text) : next_(static_cast<size_t>(text.size()), -1) {
    size_t capacity = 16;
    while (capacity < 2 * static_cast<size_t>(text.size())) capacity <<= 1;
    slots_.resize(capacity);
    mask_ = capacity - 1;
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
      Slot& slot = SlotOf(text[at].unicode());
      next_[static_cast<size_t>(at)] = slot.first;
      slot.first = at;
      ++slot.count;
    }
  }
  // First position of `c` (-1 when absent) and how many there are.
  std::pair<qsizetype, qsizetype> Of(char16_t c) const {
    const Slot& slot = const_cast<CharacterIndex*>(this)->SlotOf(c);
    return {slot.first, slot.count};
  }
  qsizetype Next(qsizetype at) const { return next_[static_cast<size_t>(at)]; }

 private:
  struct Slot {
    bool used = false;
    char16_t c = 0;
    qsizetype first = -1;
    qsizetype count = 0;
  };
  // Open addressing; the table is at least twice as large as the text, so
  // there is always a free slot.
  Slot& SlotOf(char16_t c) {
    size_t at = (static_cast<size_t>(c) * 2654435761u) & mask_;
    while (slots_[at].used && slots_[at].c != c) at = (at + 1) & mask_;
    if (!slots_[at].used) {
      slots_[at].used = true;
      slots_[at].c = c;
    }
    return slots_[at];
  }
  std::vector<qsizetype> next_;
  std::vector<Slot> slots_;
  size_t mask_ = 0;
};

// How often `group`, a piece of `text`, occurs in it:
// 1 or 2 (2 meaning two or more, overlapping occurrences included). This is
// search(1, text, group) giving e and search(e + 1, text, group) telling
// whether there is a second one, with e and e + 1 held to 16 bits like every
// position. When the group's first character is rare in the text only the
// places of that character are compared, which is much faster than two
// scans of the whole text and gives the same answer.
int Occurrences(QStringView text, QStringView group, const CharacterIndex& index) {
  if (group.isEmpty()) {  // an empty group is found at every position
    Narrow(1);
    Narrow(2);
    return text.size() >= 2 ? 2 : 1;
  }
  const auto [first, count] = index.Of(group[0].unicode());
  if (count * 8 > text.size()) {
    const int16_t e = Narrow(Search(1, text, group));
    return Search(Narrow(static_cast<int64_t>(e) + 1), text, group) >= 1 ? 2 : 1;
  }
  const size_t bytes = static_cast<size_t>(group.size()) * sizeof(char16_t);
  int64_t e = 0;
  for (qsizetype at = first; at >= 0; at = index.Next(at)) {
    if (at + group.size() > text.size() || std::memcmp(text.utf16() + at, group.utf16(), bytes) != 0) continue;
    if (e == 0) {
      e = at + 1;
      Narrow(e);
      Narrow(e + 1);
      continue;
    }
    return 2;
  }
  return 1;
}

// AnchorLength with failures raised. The repetition test goes on with a
// longer group until no group repeats; it is a loop rather than a recursion
// so that a long text of one repeated word cannot exhaust the stack.
//
// A group of n + 1 words contains the group of its first n words at the same
// start, so when the n-word group at i occurs only once, the longer group at
// i occurs only once too, and at the same position. Each longer round can
// therefore start at the group that repeated in the round before: the groups
// before it would give the same answers and the same positions, so skipping
// them changes neither the result nor where the 16-bit limit is reached, and
// turns rounds times words searches into about words plus rounds.
//
// `limit` ends the test early with a failure once n exceeds it (see
// AlignOrFail); without one it runs to the end.
int16_t AnchorLengthOrFail(QStringView text, int64_t startLength, int64_t limit = INT64_MAX) {
  int16_t n = Narrow(startLength);
  const std::vector<qsizetype> starts = SplitStarts(text);
  const CharacterIndex characters(text);
  const int16_t lastWord = Narrow(static_cast<int64_t>(starts.size()) - 2);  // K: words are w(0)..w(K)
  int64_t firstToTest = 0;
  for (;;) {
    if (static_cast<double>(text.size()) / 2.0 < n) return n;
    if (n > limit) throw ComparisonFailure{};
    bool repeated = false;
    for (int64_t i = firstToTest; i <= static_cast<int64_t>(lastWord) - n + 1; ++i) {
      const int16_t index = Narrow(i);
      // Words w(i)..w(i+n-1) joined by single spaces are exactly the text
      // from the start of w(i) to the end of w(i+n-1).
      const qsizetype from = starts[index];
      const qsizetype to = starts[index + n] - 1;
      const QStringView group = text.mid(from, to - from);
      if (Occurrences(text, group, characters) >= 2) {
        repeated = true;
        firstToTest = i;
        break;
      }
    }
    if (!repeated) return n;
    n = Narrow(static_cast<int64_t>(n) + 1);
  }
}

// The largest anchor length whose opening markers all start at 16-bit
// positions of the marked-up typed text. The first anchoring group is always
// the opening markers at position 1 and records the position of every one of
// them, so a longer anchor can only end in the "未知" result.
int64_t LongestWorkableAnchor() {
  int64_t position = 1;  // of marker 1
  int64_t n = 1;
  for (;;) {
    const int64_t next = position + Marker(static_cast<int>(n)).size() + 1;  // marker n + 1
    if (next > INT16_MAX) return n;
    position = next;
    ++n;
  }
}

// The four marked-up texts of one comparison.
struct MarkedTexts {
  QString s0, t0, s1, t1;
};

// Opening markers, the normalized words, closing markers, single spaces
// between, one trailing space. An empty text adds no word at all: putting it
// between the markers as an empty word would make that empty word match the
// space before the closing markers in the typed text, which cut the last
// typed character from the result of an empty sentence (typed "hello" came
// out as "hell") and showed a missing word when both texts were empty.
QString MarkUp(const QString& normalized, const QString& opening, const QString& closing) {
  const QString joined = normalized.isEmpty() ? opening + closing.mid(1) : opening + normalized + closing;
  return TrimSpaces(joined) + QLatin1Char(' ');
}

PairList AlignOrFail(const QString& sentence, const QString& typed, QChar filler) {
  // 1. The four normalized texts.
  // Lower-casing maps no character to or from a space or a punctuation
  // mark and keeps lengths, so the lower-case forms are the normalized texts
  // lower-cased.
  const QString s0Plain = NormalizeText(sentence, false);
  const QString t0Plain = NormalizeText(typed, false);
  const QString s1Plain = LowerCaseText(s0Plain);
  const QString t1Plain = LowerCaseText(t0Plain);

  // 2. Anchor length: long enough that no word group repeats in either text.
  static const int64_t longest = LongestWorkableAnchor();
  const int16_t n = std::max(AnchorLengthOrFail(s1Plain, 2, longest), AnchorLengthOrFail(t1Plain, 2, longest));

  // 3, 4. Opening markers 1..n before, closing markers n+1..2n after.
  QString opening = QStringLiteral(" ");
  for (int m = 1; m <= n; ++m) opening += Marker(m) + QLatin1Char(' ');
  QString closing = QStringLiteral(" ");
  for (int m = n + 1; m <= 2 * n; ++m) closing += Marker(m) + QLatin1Char(' ');
  const QString openingWords = TrimSpaces(opening);
  const QString closingWords = TrimSpaces(closing);

  MarkedTexts x;
  x.s0 = MarkUp(s0Plain, opening, closing);
  x.t0 = MarkUp(t0Plain, opening, closing);
  x.s1 = MarkUp(s1Plain, opening, closing);
  x.t1 = MarkUp(t1Plain, opening, closing);

  // 5. Sentence tokens; the last one is the empty token after the trailing
  // space, and its index U is the number of real tokens.
  const std::vector<qsizetype> sa = SplitStarts(x.s1);
  const std::vector<qsizetype> so = SplitStarts(x.s0);
  const int16_t u = Narrow(static_cast<int64_t>(sa.size()) - 2);
  std::vector<int16_t> p(static_cast<size_t>(u), 0);
  std::vector<int16_t> len(static_cast<size_t>(u), 0);
  auto P = [&](int64_t i) -> int16_t& {
    if (i < 0 || i >= u) throw ComparisonFailure{};
    return p[static_cast<size_t>(i)];
  };
  auto L = [&](int64_t i) -> int16_t& {
    if (i < 0 || i >= u) throw ComparisonFailure{};
    return len[static_cast<size_t>(i)];
  };
  const QStringView s1(x.s1), s0(x.s0), t1(x.t1), t0(x.t0);

  // 6. Anchoring: every group of n sentence tokens found in order in the
  // typed text fixes the positions of its tokens.
  QString scratch;
  int16_t h = 1;
  for (int64_t i = 0; i <= static_cast<int64_t>(u) - n + 1; ++i) {
    int16_t pos = Narrow(Search(h, t1, TokensWithSpaces(s1, sa, i, n, scratch)));
    if (pos < 1) continue;
    h = pos;
    for (int k = 0; k < n; ++k) {
      pos = Narrow(Search(pos, t1, TokensWithSpaces(s1, sa, i + k, 1, scratch)));
      P(i + k) = pos;
      L(i + k) = Narrow(Token(s1, sa, i + k).size());
    }
  }

  // 7. The two lines, walking the sentence and classifying every gap.
  const QString fill(filler);
  QString a1 = QStringLiteral("kvq1 ");
  QString a2 = QStringLiteral("kvq1 ");
  a1.reserve(x.s0.size() + x.t0.size() + 16);
  a2.reserve(x.s0.size() + x.t0.size() + 16);
  int64_t i = 1;
  while (i <= u - 1) {
    if (static_cast<int64_t>(P(i)) - P(i - 1) - L(i - 1) - 1 == 0) {
      a1 += Token(s0, so, i);
      a1 += QLatin1Char(' ');
      a2 += Part(t0, P(i), L(i));
      a2 += QLatin1Char(' ');
    } else {
      const int64_t k = i - 1;
      QString g1, g2;
      while (P(i) == 0) {
        const QStringView missing = Token(s0, so, i);
        g1 += missing;
        g1 += QLatin1Char(' ');
        g2 += RepeatText(Narrow(missing.size()), fill);
        g2 += QLatin1Char(' ');
        i = Narrow(i + 1);
      }
      // Typed characters between the end of token k plus its space and the
      // start of token i: the extra typed text with its trailing space.
      const int16_t d = Narrow(static_cast<int64_t>(P(i)) - P(k) - L(k) - 1);
      g1 = TrimSpaces(g1);
      const int16_t g = Narrow(static_cast<int64_t>(g1.size()) + 1);
      const QStringView w = Part(t0, P(i), L(i));
      const QStringView sentenceToken = Token(s0, so, i);
      const QStringView space(u" ");
      if (i - k > 2) {
        // Two or more sentence tokens missing in a row: the extra typed text
        // is dropped.
        Append(a1, {g1, space, sentenceToken, space});
        Append(a2, {g2, w, space});
      } else if (d >= g) {
        Append(a1, {g1, RepeatText(d - g, fill), space, sentenceToken, space});
        if (d == g) {
          Append(a2, {RepeatText(d - 1, fill), space, w, space});
        } else {
          const int16_t from = Narrow(static_cast<int64_t>(P(k)) + L(k) + 1);
          QString extra = Part(t0, from, d - 1).toString();
          extra.replace(QLatin1Char(' '), filler);
          Append(a2, {extra, space, w, space});
        }
      } else if (d > 0) {
        // The typed part keeps its spaces here.
        const int16_t from = Narrow(static_cast<int64_t>(P(k)) + L(k) + 1);
        Append(a1, {g1, space, sentenceToken, space});
        Append(a2, {Part(t0, from, d - 1), RepeatText(g - d, fill), space, w, space});
      } else {
        Append(a1, {g1, space, sentenceToken, space});
        Append(a2, {RepeatText(Narrow(static_cast<int64_t>(g) - d - 1), fill), space, w, space});
      }
    }
    i = Narrow(i + 1);
  }

  // 8. Without the markers.
  a1 = TrimSpaces(a1.remove(closingWords).remove(openingWords));
  a2 = TrimSpaces(a2.remove(closingWords).remove(openingWords));

  // 9. Pairs, token by token.
  const QStringList line1 = a1.split(QLatin1Char(' '));
  const QStringList line2 = a2.split(QLatin1Char(' '));
  Narrow(line1.size());
  Narrow(line2.size());
  if (line1.size() != line2.size()) return ErrorResult(kWordCountErrorText, sentence, typed, filler);
  PairList result;
  result.filler = filler;
  result.pairs.reserve(line1.size());
  for (qsizetype j = 0; j < line1.size(); ++j) result.pairs.append(AnswerPair{line1[j], line2[j]});
  return result;
}

}  // namespace

QString LowerCaseText(const QString& text) {
  QString out = text;
  char16_t* data = reinterpret_cast<char16_t*>(out.data());
  const qsizetype size = out.size();
  for (qsizetype at = 0; at < size; ++at) {
    const char16_t c = data[at];
    if (QChar::isHighSurrogate(c) && at + 1 < size && QChar::isLowSurrogate(data[at + 1])) {
      const char32_t lower = QChar::toLower(QChar::surrogateToUcs4(c, data[at + 1]));
      if (QChar::requiresSurrogates(lower)) {
        data[at] = QChar::highSurrogate(lower);
        data[at + 1] = QChar::lowSurrogate(lower);
      }
      ++at;
      continue;
    }
    if (c < 0x80) {
      if (c >= u'A' && c <= u'Z') data[at] = static_cast<char16_t>(c + (u'a' - u'A'));
      continue;
    }
    if (QChar::isSurrogate(c)) continue;  // unpaired: kept as it is
    const char32_t lower = QChar::toLower(static_cast<char32_t>(c));
    if (!QChar::requiresSurrogates(lower) && !QChar::isSurrogate(lower)) data[at] = static_cast<char16_t>(lower);
  }
  return out;
}

QString NormalizeText(const QString& text, bool lowerCase) {
  const QString source = lowerCase ? LowerCaseText(text) : text;
  // Punctuation becomes " c ", breaks and ideographic spaces become spaces,
  // and a space is only written when the previous character is not one, which
  // collapses every run of spaces to one. Leading spaces are never written.
  // At most three characters come out for one going in.
  QString out(source.size() * 3, Qt::Uninitialized);
  char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
  char16_t* end = begin;
  for (QChar qc : source) {
    const char16_t c = qc.unicode();
    if (IsPunctuationMark(c)) {
      if (end != begin && end[-1] != u' ') *end++ = u' ';
      *end++ = c;
      *end++ = u' ';
    } else if (c == u' ' || c == u'\u3000' || c == u'\r' || c == u'\n') {
      if (end != begin && end[-1] != u' ') *end++ = u' ';
    } else {
      *end++ = c;
    }
  }
  if (end != begin && end[-1] == u' ') --end;  // a trailing space
  out.truncate(end - begin);
  return out;
}

int AnchorLength(const QString& text, int n) {
  if (n < 1) n = 1;  // a group has at least one word
  try {
    return AnchorLengthOrFail(text, n);
  } catch (const ComparisonFailure&) {
    return 0;
  }
}

QString RepeatText(int count, const QString& text) {
  if (count <= 0) return QString();
  return text.repeated(count);
}

PairList AlignAnswer(const QString& sentence, const QString& typed) {
  const QChar filler = ChooseFiller(sentence, typed);
  if (filler.isNull()) return ErrorResult(kUnknownErrorText, sentence, typed, filler);
  try {
    return AlignOrFail(sentence, typed, filler);
  } catch (const ComparisonFailure&) {
    return ErrorResult(kUnknownErrorText, sentence, typed, filler);
  } catch (const std::exception&) {
    // Out of memory on an absurd text: the comparison still has a result.
    return ErrorResult(kUnknownErrorText, sentence, typed, filler);
  }
}

}  // namespace ChaSenMod
