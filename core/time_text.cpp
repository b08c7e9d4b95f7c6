#include "core/time_text.h"

#include <QStringList>

#include "core/number_text.h"

namespace SoundMod {

QString FormatTime(int32_t ms) {
  if (ms < 0) return QStringLiteral("0:00:00.000");
  int millis = ms % 1000;
  if (millis > 994) millis = 994;
  const int32_t totalSeconds = ms / 1000;
  const int32_t totalMinutes = totalSeconds / 60;
  const int32_t hours = totalMinutes / 60;
  const int minutes = totalMinutes - hours * 60;
  const int seconds = totalSeconds % 60;
  return QStringLiteral("%1:%2:%3.%4")
      .arg(hours)
      .arg(minutes, 2, 10, QLatin1Char('0'))
      .arg(seconds, 2, 10, QLatin1Char('0'))
      .arg(millis, 3, 10, QLatin1Char('0'));
}

int32_t ParseTime(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(':'));
  double value = 0.0;
  if (parts.size() == 2) {
    value = ProMod::LeadingNumber(parts[0]) * 60000.0 + ProMod::LeadingNumber(parts[1]) * 1000.0;
  } else if (parts.size() == 3) {
    value = ProMod::LeadingNumber(parts[0]) * 3600000.0 + ProMod::LeadingNumber(parts[1]) * 60000.0 +
            ProMod::LeadingNumber(parts[2]) * 1000.0;
  }
  bool ok = false;
  const int32_t result = ProMod::RoundToInt32(value, &ok);
  if (!ok || result < 0) return -1;
  return result;
}

}  // namespace SoundMod
