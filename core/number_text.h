#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>

namespace ProMod {

// The decimal number at the start of a text: blanks (spaces, tabs, line
// breaks) are skipped, an optional sign, digits, an optional fraction and an
// optional exponent are read; 0 when there is no number.
double LeadingNumber(QStringView text);

// Nearest whole number, a half going to the even neighbour. `ok` is set to
// false (and 0 returned) when the value is not finite or does not fit.
int32_t RoundToInt32(double value, bool* ok = nullptr);
int16_t RoundToInt16(double value, bool* ok = nullptr);

}  // namespace ProMod
