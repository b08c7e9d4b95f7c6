#pragma once
#include <QString>
#include <cstdint>

namespace SoundMod {

// Time text "H:MM:SS.mmm" (hours without leading zeros; millisecond digits
// never above 994). Negative positions give "0:00:00.000".
QString FormatTime(int32_t ms);

// "M:SS.s" or "H:MM:SS.s" to milliseconds; -1 for a negative or
// out-of-range value. A text without a colon, or with more than two, gives 0.
int32_t ParseTime(const QString& text);

}  // namespace SoundMod
