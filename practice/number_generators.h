#pragma once
#include <QString>
#include <cstdint>

// The numbers of the number listening practice and how they are read out.
// Every generator draws through ProMod::Rnd() and reseeds first.
namespace NumberGen {

// Grouping pattern of the integers: commas every three digits, no leading
// zeros (0 gives an empty text).
inline const QString kGroupedPattern = QStringLiteral("##,###,###");

// n written with a pattern of '#' (optional digit), '0' (required digit)
// and ',' (group by three): "##,###,###" groups, "000" pads to three digits,
// an empty pattern writes n plainly.
QString FormatNumber(int64_t n, const QString& pattern);

// round(rnd x 10^d) with d clamped to 1..8, so 0 to 10^d inclusive.
int64_t DrawInteger(int d);
// That number written with the pattern.
QString MakeInteger(int d, const QString& pattern);
// Integer part with the pattern, ".", fraction part of f digits (f clamped
// to 1..5) with leading zeros, which can reach 10^f ("1000" for f = 3).
QString MakeDecimal(int d, const QString& pattern, int f);
// 0 to 100 with a two-digit fraction part ("00" to "100") and "%".
QString MakePercent();
// "numerator/denominator" with a denominator of d digits (at least 2); one
// draw in five is a unit fraction "1/denominator".
QString MakeFraction(int d);
// 1501 to 1999.
QString MakeYear();
// An English month name.
QString MakeMonth();

// The text handed to the speech engine for a number text: fractions as
// words ("3/4" gives "three fourths", "1/2" "one half"), a decimal without
// an integer part as "point" and its digits; anything else unchanged.
QString SpokenText(const QString& numberText);
// English words for 0 to 999 999 999 ("twenty-one"), and the ordinal
// ("twenty-first"); the plural ordinal for fraction denominators.
QString CardinalWords(int64_t n);
QString OrdinalWords(int64_t n, bool plural = false);
// Numerator and denominator as spoken: "three fourths", "one half".
QString FractionWords(int64_t numerator, int64_t denominator);

// Whether a voice is ticked when the window opens: its description names an
// English voice ("united", "english", "america" anywhere, lower case) or one
// of the well-known English voices "anna", "sam", "mike", "mary" as a whole
// word (so "Assamese" and "Kannada" are not ticked).
bool DefaultVoiceTicked(const QString& description);

}  // namespace NumberGen
