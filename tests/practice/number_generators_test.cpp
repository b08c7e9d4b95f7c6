#include <gtest/gtest.h>

#include "practice/number_generators.h"
#include "tests/practice/number_test_support.h"

using numbers_test::FixedRandom;
using namespace NumberGen;

static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {
// The largest value the generator gives (just below 1).
constexpr float kTop = 0.99999994f;
}  // namespace

TEST(NumberFormat, PatternsGroupPadOrWritePlainly) {
  EXPECT_EQ(FormatNumber(0, kGroupedPattern), "");
  EXPECT_EQ(FormatNumber(7, kGroupedPattern), "7");
  EXPECT_EQ(FormatNumber(999, kGroupedPattern), "999");
  EXPECT_EQ(FormatNumber(1000, kGroupedPattern), "1,000");
  EXPECT_EQ(FormatNumber(1234567, kGroupedPattern), "1,234,567");
  EXPECT_EQ(FormatNumber(100000000, kGroupedPattern), "100,000,000");
  EXPECT_EQ(FormatNumber(0, "000"), "000");
  EXPECT_EQ(FormatNumber(45, "000"), "045");
  EXPECT_EQ(FormatNumber(1000, "000"), "1000");
  EXPECT_EQ(FormatNumber(0, ""), "0");
  EXPECT_EQ(FormatNumber(12345, ""), "12345");
}

TEST(NumberGenerators, IntegersRunFromZeroToTenToTheDigitsInclusive) {
  FixedRandom rnd({0.0f, kTop, 0.25f, 0.35f, 0.0f, kTop, 0.5f});
  EXPECT_EQ(MakeInteger(1, kGroupedPattern), "");    // 0 shows and sounds as nothing
  EXPECT_EQ(MakeInteger(1, kGroupedPattern), "10");  // 10^1 itself
  EXPECT_EQ(MakeInteger(1, ""), "2");                // 2.5: the half goes to the even 2
  EXPECT_EQ(MakeInteger(1, ""), "3");                // 3.4999998
  EXPECT_EQ(MakeInteger(8, kGroupedPattern), "");
  // Single precision: the top draw falls 6 short of 10^8 (10^d itself is
  // reached up to six digits).
  EXPECT_EQ(MakeInteger(8, kGroupedPattern), "99,999,994");
  EXPECT_EQ(MakeInteger(3, kGroupedPattern), "500");

  // Digit counts outside 1..8 are clamped.
  rnd.Set({kTop, kTop, kTop, kTop});
  EXPECT_EQ(MakeInteger(6, kGroupedPattern), "1,000,000");
  EXPECT_EQ(MakeInteger(0, ""), "10");
  EXPECT_EQ(MakeInteger(-3, ""), "10");
  EXPECT_EQ(MakeInteger(12, ""), "99999994");
}

TEST(NumberGenerators, DecimalsKeepThreeFractionDigitsUpToOneThousand) {
  FixedRandom rnd({0.0f, 0.0f, kTop, kTop, 0.1234f, 0.045f, 0.5f, 0.0004f});
  EXPECT_EQ(MakeDecimal(2, kGroupedPattern, 3), ".000");  // integer part 0: starts with the point
  EXPECT_EQ(MakeDecimal(2, kGroupedPattern, 3), "100.1000");
  EXPECT_EQ(MakeDecimal(2, kGroupedPattern, 3), "12.045");
  EXPECT_EQ(MakeDecimal(4, kGroupedPattern, 3), "5,000.000");

  rnd.Set({0.5f, 0.5f, 0.5f, 0.5f});
  EXPECT_EQ(MakeDecimal(1, "", 0), "5.5");        // at least one fraction digit
  EXPECT_EQ(MakeDecimal(1, "", 9), "5.50000");    // at most five
}

TEST(NumberGenerators, PercentagesRunToOneHundredWithTwoFractionDigits) {
  FixedRandom rnd({0.0f, 0.0f, kTop, kTop, 0.4567f, 0.07f});
  EXPECT_EQ(MakePercent(), "0.00%");
  EXPECT_EQ(MakePercent(), "100.100%");
  EXPECT_EQ(MakePercent(), "46.07%");
}

TEST(NumberGenerators, FractionsRedrawUntilProperAndOneInFiveIsAUnitFraction) {
  // One digit: denominators 0 and 1 are drawn again; 0.2 x 5 = 1 takes the
  // numerator path; numerators 0 and >= the denominator are drawn again.
  FixedRandom rnd({0.0f, 0.1f, 0.5f, 0.2f, 0.0f, 0.7f, 0.5f, 0.3f});
  EXPECT_EQ(MakeFraction(1), "3/5");
  EXPECT_EQ(rnd.Used(), 8u);

  rnd.Set({0.4f, 0.19f});
  EXPECT_EQ(MakeFraction(1), "1/4");  // 0.19 x 5 < 1: the unit fraction
  rnd.Set({kTop, kTop, 0.9f});
  EXPECT_EQ(MakeFraction(1), "9/10");  // the largest one-digit denominator is 10
  rnd.Set({0.2f, 0.5f, 0.1f});
  EXPECT_EQ(MakeFraction(1), "1/2");   // a half: numerator 1 is the only proper one

  rnd.Set({kTop, 0.5f, 0.99989998f});
  EXPECT_EQ(MakeFraction(4), "9999/10000");

  // A source stuck on an impossible numerator cannot hang the window.
  rnd.Set({0.2f, 0.5f}, 0.0f);
  EXPECT_EQ(MakeFraction(1), "1/2");
}

TEST(NumberGenerators, YearsStayWithin1501And1999AndMonthsCoverTheYear) {
  FixedRandom rnd({0.0f, kTop, 0.5f, 0.0f, kTop, 0.5f, 1.0f / 12});
  EXPECT_EQ(MakeYear(), "1501");
  EXPECT_EQ(MakeYear(), "1999");
  EXPECT_EQ(MakeYear(), "1750");
  EXPECT_EQ(MakeMonth(), "January");
  EXPECT_EQ(MakeMonth(), "December");
  EXPECT_EQ(MakeMonth(), "July");
  EXPECT_EQ(MakeMonth(), "February");
}

TEST(NumberGenerators, UnfixedGeneratorStaysInRange) {
  for (int i = 0; i < 2000; ++i) {
    const QString text = MakeInteger(1, "");
    ASSERT_GE(text.toInt(), 0);
    ASSERT_LE(text.toInt(), 10);
    const int year = MakeYear().toInt();
    ASSERT_GE(year, 1501);
    ASSERT_LE(year, 1999);
    const QStringList parts = MakeFraction(2).split('/');
    ASSERT_EQ(parts.size(), 2);
    ASSERT_GE(parts[1].toInt(), 2);
    ASSERT_GE(parts[0].toInt(), 1);
    ASSERT_LT(parts[0].toInt(), parts[1].toInt());
  }
}

TEST(SpokenNumbers, FractionsAreSpokenAsFractionsNotWithSlash) {
  EXPECT_EQ(SpokenText("3/4"), "three fourths");
  EXPECT_EQ(SpokenText("1/2"), "one half");
  EXPECT_EQ(SpokenText("1/4"), "one fourth");
  EXPECT_EQ(SpokenText("2/3"), "two thirds");
  EXPECT_EQ(SpokenText("1/8"), "one eighth");
  EXPECT_EQ(SpokenText("5/9"), "five ninths");
  EXPECT_EQ(SpokenText("11/12"), "eleven twelfths");
  EXPECT_EQ(SpokenText("1/20"), "one twentieth");
  EXPECT_EQ(SpokenText("3/21"), "three twenty-firsts");
  EXPECT_EQ(SpokenText("7/100"), "seven hundredths");
  EXPECT_EQ(SpokenText("1/1000"), "one thousandth");
  EXPECT_EQ(SpokenText("13/1001"), "thirteen one thousand firsts");
  EXPECT_EQ(SpokenText("1/101"), "one one hundred first");
  EXPECT_EQ(SpokenText("1/10000"), "one ten thousandth");
  EXPECT_EQ(SpokenText("9999/10000"), "nine thousand nine hundred ninety-nine ten thousandths");
}

TEST(SpokenNumbers, OtherKindsPassAsShownExceptABarePoint) {
  EXPECT_EQ(SpokenText(".045"), "point 0 4 5");
  EXPECT_EQ(SpokenText("12,345"), "12,345");
  EXPECT_EQ(SpokenText("12.045"), "12.045");
  EXPECT_EQ(SpokenText("46.07%"), "46.07%");
  EXPECT_EQ(SpokenText("1750"), "1750");
  EXPECT_EQ(SpokenText("July"), "July");
  EXPECT_EQ(SpokenText(""), "");
  EXPECT_EQ(CardinalWords(0), "zero");
  EXPECT_EQ(CardinalWords(100000000), "one hundred million");
  EXPECT_EQ(CardinalWords(2019), "two thousand nineteen");
}

TEST(VoiceTicks, EnglishVoicesAreTickedButNotNamesInsideOtherWords) {
  struct Case {
    const char* description;
    bool ticked;
  };
  const Case cases[] = {
      {"English (America)", true},
      {"English (Great Britain)", true},
      {"Microsoft Anna - English (United States)", true},
      {"United voice", true},
      {"LH Michelle (america)", true},
      {"Sam", true},
      {"Microsoft Mike", true},
      {"mary-x", true},
      {"ANNA", true},
      {"Assamese", false},   // contains "sam"
      {"Kannada", false},    // contains "anna"
      {"Samantha", false},
      {"Rosemary", false},
      {"Mikey", false},
      {"German", false},
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DefaultVoiceTicked(QString::fromUtf8(c.description)), c.ticked) << c.description;
}
