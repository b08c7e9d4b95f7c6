#pragma once
#include <QFont>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <utility>
#include <vector>

#include "controls/colour_value.h"

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

// Typed reading and writing of stored properties, one pair per kind. Every
// control goes through these, so every kind follows one rule when reading:
// a missing value, or one that holds no number (for the numeric kinds and
// Booleans), gives the default. A number with a fraction is rounded to the
// nearest whole number (halves to the even neighbour); whole numbers beyond
// a kind's range are clamped to it, except colours, which keep their low 32
// bits (a colour saved as a negative 32-bit number is the same colour).
// Writing stores the value unless it equals the default.
ColourValue ReadColourProperty(const PropertyBag& bag, const QString& name, ColourValue defaultValue);
void WriteColourProperty(PropertyBag& bag, const QString& name, ColourValue value, ColourValue defaultValue);

// Booleans: a stored Boolean, a number (non-zero is True) or the words
// "True"/"False" in any case.
bool ReadBoolProperty(const PropertyBag& bag, const QString& name, bool defaultValue);
void WriteBoolProperty(PropertyBag& bag, const QString& name, bool value, bool defaultValue);

int16_t ReadInt16Property(const PropertyBag& bag, const QString& name, int16_t defaultValue);
void WriteInt16Property(PropertyBag& bag, const QString& name, int16_t value, int16_t defaultValue);

int32_t ReadInt32Property(const PropertyBag& bag, const QString& name, int32_t defaultValue);
void WriteInt32Property(PropertyBag& bag, const QString& name, int32_t value, int32_t defaultValue);

// Reals: not-a-number and infinities count as no number.
double ReadDoubleProperty(const PropertyBag& bag, const QString& name, double defaultValue);
void WriteDoubleProperty(PropertyBag& bag, const QString& name, double value, double defaultValue);

// Texts: any stored value, as text.
QString ReadTextProperty(const PropertyBag& bag, const QString& name, const QString& defaultValue);
void WriteTextProperty(PropertyBag& bag, const QString& name, const QString& value, const QString& defaultValue);

// Fonts default to the host's font. Reading gives the stored font, or an
// empty QFont (which makes a widget follow its host's font again) when none
// is stored.
QFont ReadFontProperty(const PropertyBag& bag, const QString& name);
void WriteFontProperty(PropertyBag& bag, const QString& name, const QFont& value, const QFont& hostFont);
