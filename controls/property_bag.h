#pragma once
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

// The stored design-time properties of a control: an ordered list of
// name → value. A value equal to its default is not written, and reading a
// missing name gives the default, so a bag holds only what differs.
class PropertyBag {
 public:
  void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());
  QVariant ReadProperty(const QString& name, const QVariant& defaultValue = QVariant()) const;
  bool Contains(const QString& name) const;
  // Names in the order they were written.
  QStringList Names() const;
  int Count() const { return static_cast<int>(entries_.size()); }
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::pair<QString, QVariant>> entries_;
};
