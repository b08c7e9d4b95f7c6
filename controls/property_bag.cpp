#include "controls/property_bag.h"

#include <QStringList>

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
