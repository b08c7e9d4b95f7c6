#include "practice/number_generators.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "core/random_source.h"

namespace NumberGen {
namespace {

// A redraw loop gives up after this many draws, so that a generator that
// keeps returning the same number cannot hang the window.
constexpr int kMaxRedraws = 100000;

int64_t RoundHalfEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

const char* const kOnes[] = {"zero",    "one",     "two",       "three",    "four",     "five",    "six",
                             "seven",   "eight",   "nine",      "ten",      "eleven",   "twelve",  "thirteen",
                             "fourteen", "fifteen", "sixteen",  "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

QString BelowThousand(int n) {
  QStringList words;
  if (n >= 100) {
    words << QString::fromLatin1(kOnes[n / 100]) << QStringLiteral("hundred");
    n %= 100;
  }
  if (n >= 20) {
    QString tens = QString::fromLatin1(kTens[n / 10]);
    if (n % 10) tens += QLatin1Char('-') + QString::fromLatin1(kOnes[n % 10]);
    words << tens;
  } else if (n > 0) {
    words << QString::fromLatin1(kOnes[n]);
  }
  return words.join(QLatin1Char(' '));
}

// The ordinal of the last word of a cardinal ("one" -> "first").
QString OrdinalOfWord(const QString& word) {
  static const std::pair<const char*, const char*> kIrregular[] = {
      {"one", "first"}, {"two", "second"}, {"three", "third"}, {"five", "fifth"},
      {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"}};
  for (const auto& [cardinal, ordinal] : kIrregular)
    if (word == QLatin1String(cardinal)) return QString::fromLatin1(ordinal);
  if (word.endsWith(QLatin1Char('y'))) return word.chopped(1) + QStringLiteral("ieth");
  return word + QStringLiteral("th");
}

}  // namespace

QString FormatNumber(int64_t n, const QString& pattern) {
  if (pattern.isEmpty()) return QString::number(n);
  const bool negative = n < 0;
  const int required = static_cast<int>(pattern.count(QLatin1Char('0')));
  const bool grouped = pattern.contains(QLatin1Char(','));
  QString digits = (n == 0 && required == 0) ? QString() : QString::number(negative ? -n : n);
  if (digits.size() < required) digits = QString(required - digits.size(), QLatin1Char('0')) + digits;
  if (grouped)
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char(','));
  return negative ? QLatin1Char('-') + digits : digits;
}

int64_t DrawInteger(int d) {
  d = std::clamp(d, 1, 8);
  return RoundHalfEven(static_cast<double>(ProMod::Rnd()) * std::pow(10.0, d));
}

QString MakeInteger(int d, const QString& pattern) {
  ProMod::Randomize();
  return FormatNumber(DrawInteger(d), pattern);
}

QString MakeDecimal(int d, const QString& pattern, int f) {
  f = std::clamp(f, 1, 5);
  const QString whole = MakeInteger(d, pattern);
  const QString fraction = MakeInteger(f, QString(f, QLatin1Char('0')));
  return whole + QLatin1Char('.') + fraction;
}

QString MakePercent() { return MakeDecimal(2, QString(), 2) + QLatin1Char('%'); }

QString MakeFraction(int d) {
  ProMod::Randomize();
  int64_t denominator = DrawInteger(d);
  for (int i = 0; denominator < 2 && i < kMaxRedraws; ++i) denominator = DrawInteger(d);
  denominator = std::max<int64_t>(denominator, 2);
  if (ProMod::Rnd() * 5 >= 1) {
    int64_t numerator = DrawInteger(d);
    for (int i = 0; (numerator <= 0 || numerator >= denominator) && i < kMaxRedraws; ++i)
      numerator = DrawInteger(d);
    if (numerator <= 0 || numerator >= denominator) numerator = 1;
    return QString::number(numerator) + QLatin1Char('/') + QString::number(denominator);
  }
  return QStringLiteral("1/") + QString::number(denominator);
}

QString MakeYear() {
  ProMod::Randomize();
  return QString::number(RoundHalfEven(static_cast<double>(ProMod::Rnd()) * 498 + 1501));
}

QString MakeMonth() {
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  ProMod::Randomize();
  const int index = std::clamp(static_cast<int>(ProMod::Rnd() * 12), 0, 11);
  return QString::fromLatin1(kMonths[index]);
}

QString CardinalWords(int64_t n) {
  if (n < 0) return QStringLiteral("minus ") + CardinalWords(-n);
  if (n == 0) return QStringLiteral("zero");
  static const char* const kScales[] = {"", "thousand", "million"};
  QStringList parts;
  for (int scale = 0; n > 0 && scale < 3; ++scale, n /= 1000) {
    const int group = static_cast<int>(n % 1000);
    if (group == 0) continue;
    QString words = BelowThousand(group);
    if (scale > 0) words += QLatin1Char(' ') + QString::fromLatin1(kScales[scale]);
    parts.prepend(words);
  }
  if (n > 0) parts.prepend(CardinalWords(n) + QStringLiteral(" billion"));
  return parts.join(QLatin1Char(' '));
}

QString OrdinalWords(int64_t n, bool plural) {
  QString words = CardinalWords(n);
  // The last word, or the part after the last hyphen, takes the ordinal form.
  const int cut = static_cast<int>(std::max(words.lastIndexOf(QLatin1Char(' ')), words.lastIndexOf(QLatin1Char('-')))) + 1;
  words = words.left(cut) + OrdinalOfWord(words.mid(cut));
  return plural ? words + QLatin1Char('s') : words;
}

QString FractionWords(int64_t numerator, int64_t denominator) {
  const bool plural = numerator != 1;
  QString bottom;
  if (denominator == 2)
    bottom = plural ? QStringLiteral("halves") : QStringLiteral("half");
  else
    bottom = OrdinalWords(denominator, plural);
  // "seven hundredths", "one thousandth": a round hundred or thousand goes
  // without its "one".
  if (bottom.startsWith(QLatin1String("one hundred")) || bottom.startsWith(QLatin1String("one thousand")) ||
      bottom.startsWith(QLatin1String("one million"))) {
    if (bottom.indexOf(QLatin1Char(' '), 4) < 0) bottom = bottom.mid(4);
  }
  return CardinalWords(numerator) + QLatin1Char(' ') + bottom;
}

QString SpokenText(const QString& numberText) {
  static const QRegularExpression fraction(QStringLiteral("^\\s*(\\d{1,9})\\s*/\\s*(\\d{1,9})\\s*$"));
  const QRegularExpressionMatch m = fraction.match(numberText);
  if (m.hasMatch()) {
    const int64_t denominator = m.captured(2).toLongLong();
    if (denominator > 0) return FractionWords(m.captured(1).toLongLong(), denominator);
  }
  // The engine reads a leading point as "dot"; a learner hears "point".
  static const QRegularExpression bareDecimal(QStringLiteral("^\\.(\\d+)(%?)$"));
  const QRegularExpressionMatch d = bareDecimal.match(numberText);
  if (d.hasMatch()) {
    QStringList digits;
    for (const QChar c : d.captured(1)) digits << QString(c);
    return QStringLiteral("point ") + digits.join(QLatin1Char(' ')) + d.captured(2);
  }
  return numberText;
}

bool DefaultVoiceTicked(const QString& description) {
  const QString lower = description.toLower();
  for (const char* part : {"united", "english", "america"})
    if (lower.contains(QLatin1String(part))) return true;
  static const QRegularExpression names(QStringLiteral("(?<![a-z])(anna|sam|mike|mary)(?![a-z])"));
  return names.match(lower).hasMatch();
}

}  // namespace NumberGen
