#include "core/number_text.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace ProMod {
namespace {
bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
bool IsAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }
}  // namespace

double LeadingNumber(QStringView text) {
  // Blanks are skipped wherever they stand inside the number ("1 2" is 12),
  // the way the number reading of the system's texts always did.
  std::string digits;
  digits.reserve(32);
  qsizetype i = 0;
  const qsizetype n = text.size();
  auto skip = [&] {
    while (i < n && IsBlank(text[i])) ++i;
  };
  skip();
  if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    if (text[i] == QLatin1Char('-')) digits.push_back('-');
    ++i;
    skip();
  }
  bool any = false;
  // Digits, with blanks between them skipped.
  auto readDigits = [&] {
    while (i < n) {
      if (IsAsciiDigit(text[i])) {
        digits.push_back(static_cast<char>(text[i].unicode()));
        any = true;
        ++i;
      } else if (IsBlank(text[i])) {
        ++i;
      } else {
        break;
      }
    }
  };
  readDigits();
  if (i < n && text[i] == QLatin1Char('.')) {
    digits.push_back('.');
    ++i;
    readDigits();
  }
  if (!any) return 0.0;
  // Exponent: E or D, optional sign, digits.
  if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E') || text[i] == QLatin1Char('d') ||
                text[i] == QLatin1Char('D'))) {
    qsizetype j = i + 1;
    std::string exponent = "e";
    if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
      exponent.push_back(static_cast<char>(text[j].unicode()));
      ++j;
    }
    bool expDigits = false;
    while (j < n && IsAsciiDigit(text[j]) && exponent.size() < 8) {
      exponent.push_back(static_cast<char>(text[j].unicode()));
      expDigits = true;
      ++j;
    }
    if (expDigits) digits += exponent;
  }
  return std::strtod(digits.c_str(), nullptr);
}

int32_t RoundToInt32(double value, bool* ok) {
  if (ok) *ok = false;
  if (!std::isfinite(value)) return 0;
  // nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<int32_t>::max()))
    return 0;
  if (ok) *ok = true;
  return static_cast<int32_t>(rounded);
}

int16_t RoundToInt16(double value, bool* ok) {
  if (ok) *ok = false;
  if (!std::isfinite(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded < -32768.0 || rounded > 32767.0) return 0;
  if (ok) *ok = true;
  return static_cast<int16_t>(rounded);
}

}  // namespace ProMod
