#include "controls/invalid_property_value.h"

#include <QCoreApplication>
#include <QFileInfo>

InvalidPropertyValue::InvalidPropertyValue(const QString& controlType, const QString& propertyName,
                                           const QString& message)
    : std::runtime_error(message.toStdString()),
      source_(ExecutableName() + QLatin1Char('.') + controlType + QLatin1Char(':') + propertyName),
      message_(message),
      property_(propertyName) {}

QString InvalidPropertyValue::ExecutableName() {
  if (!QCoreApplication::instance()) return QStringLiteral("Velmo");
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return name.isEmpty() ? QStringLiteral("Velmo") : name;
}
