#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {
QString& OverrideFolder() {
  static QString folder;
  return folder;
}

QString DefaultFolder() {
  QString exeDir = QCoreApplication::applicationDirPath();
  if (!exeDir.isEmpty()) {
    QFileInfo info(exeDir);
    if (info.isDir() && info.isWritable()) return QDir::cleanPath(exeDir);
  }
  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
  QString folder = QDir::cleanPath(data + QStringLiteral("/Velmo"));
  QDir().mkpath(folder);
  return folder;
}
}  // namespace

QString ApplicationFolder() {
  if (!OverrideFolder().isEmpty()) return OverrideFolder();
  static const QString folder = DefaultFolder();
  return folder;
}

bool ApplicationFolderIsProgramFolder() {
  const QString exeDir = QCoreApplication::applicationDirPath();
  return !exeDir.isEmpty() && QDir::cleanPath(exeDir) == ApplicationFolder();
}

void SetApplicationFolder(const QString& folder) {
  OverrideFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

}  // namespace platform
