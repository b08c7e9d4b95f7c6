#include "controls/property_bag.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first.compare(name, Qt::CaseInsensitive) == 0) {
      entries_.erase(it);
      break;
    }
  }
  if (defaultValue.isValid() && value == defaultValue) return;
  entries_.emplace_back(name, value);
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
  for (const auto& entry : entries_)
    if (entry.first.compare(name, Qt::CaseInsensitive) == 0) return entry.second;
  return defaultValue;
}

bool PropertyBag::Contains(const QString& name) const {
  for (const auto& entry : entries_)
    if (entry.first.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QStringList PropertyBag::Names() const {
  QStringList names;
  for (const auto& entry : entries_) names << entry.first;
  return names;
}

// ---------------------------------------------------------------------------
// Typed access

namespace {

// The number a stored value holds: numbers as they are, texts when they
// spell a number (blanks around it allowed). Booleans and anything else are
// no number.
bool NumberOf(const QVariant& value, double* out) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: {
      bool ok = false;
      const double d = value.toDouble(&ok);
      if (!ok || !std::isfinite(d)) return false;
      *out = d;
      return true;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray: {
      bool ok = false;
      const double d = value.toString().trimmed().toDouble(&ok);
      if (!ok || !std::isfinite(d)) return false;
      *out = d;
      return true;
    }
    default: return false;
  }
}

// The stored whole number of `name` (rounded, halves to even), if any.
bool WholeNumberOf(const PropertyBag& bag, const QString& name, double* out) {
  if (!bag.Contains(name)) return false;
  double d = 0;
  if (!NumberOf(bag.ReadProperty(name), &d)) return false;
  *out = std::nearbyint(d);  // the default rounding mode sends halves to even
  return true;
}

template <typename Int>
Int ReadClamped(const PropertyBag& bag, const QString& name, Int defaultValue) {
  double d = 0;
  if (!WholeNumberOf(bag, name, &d)) return defaultValue;
  const double lo = static_cast<double>(std::numeric_limits<Int>::min());
  const double hi = static_cast<double>(std::numeric_limits<Int>::max());
  return static_cast<Int>(std::clamp(d, lo, hi));
}

}  // namespace

ColourValue ReadColourProperty(const PropertyBag& bag, const QString& name, ColourValue defaultValue) {
  double d = 0;
  if (!WholeNumberOf(bag, name, &d)) return defaultValue;
  // Only what fits a 64-bit number has low 32 bits to keep.
  if (!(d >= -9.2e18 && d <= 9.2e18)) return defaultValue;
  return static_cast<ColourValue>(static_cast<uint64_t>(static_cast<int64_t>(d)) & 0xFFFFFFFFu);
}

void WriteColourProperty(PropertyBag& bag, const QString& name, ColourValue value, ColourValue defaultValue) {
  bag.WriteProperty(name, QVariant::fromValue<uint>(value), QVariant::fromValue<uint>(defaultValue));
}

bool ReadBoolProperty(const PropertyBag& bag, const QString& name, bool defaultValue) {
  if (!bag.Contains(name)) return defaultValue;
  const QVariant value = bag.ReadProperty(name);
  if (value.typeId() == QMetaType::Bool) return value.toBool();
  const QString word = value.typeId() == QMetaType::QString ? value.toString().trimmed() : QString();
  if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  double d = 0;
  if (!NumberOf(value, &d)) return defaultValue;
  return d != 0;
}

void WriteBoolProperty(PropertyBag& bag, const QString& name, bool value, bool defaultValue) {
  bag.WriteProperty(name, value, defaultValue);
}

int16_t ReadInt16Property(const PropertyBag& bag, const QString& name, int16_t defaultValue) {
  return ReadClamped<int16_t>(bag, name, defaultValue);
}

void WriteInt16Property(PropertyBag& bag, const QString& name, int16_t value, int16_t defaultValue) {
  bag.WriteProperty(name, static_cast<int>(value), static_cast<int>(defaultValue));
}

int32_t ReadInt32Property(const PropertyBag& bag, const QString& name, int32_t defaultValue) {
  return ReadClamped<int32_t>(bag, name, defaultValue);
}

void WriteInt32Property(PropertyBag& bag, const QString& name, int32_t value, int32_t defaultValue) {
  bag.WriteProperty(name, static_cast<int>(value), static_cast<int>(defaultValue));
}

double ReadDoubleProperty(const PropertyBag& bag, const QString& name, double defaultValue) {
  double d = 0;
  if (!bag.Contains(name) || !NumberOf(bag.ReadProperty(name), &d)) return defaultValue;
  return d;
}

void WriteDoubleProperty(PropertyBag& bag, const QString& name, double value, double defaultValue) {
  bag.WriteProperty(name, value, defaultValue);
}

QString ReadTextProperty(const PropertyBag& bag, const QString& name, const QString& defaultValue) {
  return bag.Contains(name) ? bag.ReadProperty(name).toString() : defaultValue;
}

void WriteTextProperty(PropertyBag& bag, const QString& name, const QString& value, const QString& defaultValue) {
  bag.WriteProperty(name, value, defaultValue);
}

QFont ReadFontProperty(const PropertyBag& bag, const QString& name) {
  const QVariant value = bag.ReadProperty(name);
  if (value.typeId() == QMetaType::QFont) return value.value<QFont>();
  return QFont();
}

void WriteFontProperty(PropertyBag& bag, const QString& name, const QFont& value, const QFont& hostFont) {
  bag.WriteProperty(name, value, hostFont);
}
