#include "core/time_text.h"


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
  // Written by hand: this runs for every sentence line of a material file.
  char16_t buffer[24];
  int n = 0;
  char16_t digits[12];
  int d = 0;
  int32_t h = hours;
  do {
    digits[d++] = static_cast<char16_t>(u'0' + h % 10);
    h /= 10;
  } while (h > 0);
  while (d > 0) buffer[n++] = digits[--d];
  buffer[n++] = u':';
  buffer[n++] = static_cast<char16_t>(u'0' + minutes / 10);
  buffer[n++] = static_cast<char16_t>(u'0' + minutes % 10);
  buffer[n++] = u':';
  buffer[n++] = static_cast<char16_t>(u'0' + seconds / 10);
  buffer[n++] = static_cast<char16_t>(u'0' + seconds % 10);
  buffer[n++] = u'.';
  buffer[n++] = static_cast<char16_t>(u'0' + millis / 100);
  buffer[n++] = static_cast<char16_t>(u'0' + millis / 10 % 10);
  buffer[n++] = static_cast<char16_t>(u'0' + millis % 10);
  return QString(reinterpret_cast<const QChar*>(buffer), n);
}

int32_t ParseTime(const QString& text) {
  const qsizetype first = text.indexOf(QLatin1Char(':'));
  const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char(':'), first + 1);
  const qsizetype third = second < 0 ? -1 : text.indexOf(QLatin1Char(':'), second + 1);
  const QStringView view(text);
  double value = 0.0;
  if (first >= 0 && second < 0) {
    value = ProMod::LeadingNumber(view.left(first)) * 60000.0 + ProMod::LeadingNumber(view.mid(first + 1)) * 1000.0;
  } else if (second >= 0 && third < 0) {
    value = ProMod::LeadingNumber(view.left(first)) * 3600000.0 +
            ProMod::LeadingNumber(view.mid(first + 1, second - first - 1)) * 60000.0 +
            ProMod::LeadingNumber(view.mid(second + 1)) * 1000.0;
  }
  bool ok = false;
  const int32_t result = ProMod::RoundToInt32(value, &ok);
  if (!ok || result < 0) return -1;
  return result;
}

}  // namespace SoundMod
