#pragma once
#include <QString>
#include <stdexcept>

// Thrown by a control's property setter that refuses a value. The setter
// keeps the old value. Carries the platform's error number for an invalid
// property value (380), where it came from ("<executable>.<control type>:
// <property>") and the message shown to the user.
class InvalidPropertyValue : public std::runtime_error {
 public:
  static constexpr int kNumber = 380;

  InvalidPropertyValue(const QString& controlType, const QString& propertyName, const QString& message);

  int Number() const { return kNumber; }
  const QString& Source() const { return source_; }
  const QString& Message() const { return message_; }
  const QString& PropertyName() const { return property_; }

  // The executable's name without folder and extension ("velmo" for
  // /opt/velmo/velmo), or "Velmo" when no application object exists.
  static QString ExecutableName();

 private:
  QString source_;
  QString message_;
  QString property_;
};
