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
  const QString exeDir = QCoreApplication::applicationDirPath();
  if (ProgramFolderHoldsLibrary(exeDir)) return QDir::cleanPath(exeDir);
  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
  QString folder = QDir::cleanPath(data + QStringLiteral("/Velmo"));
  QDir().mkpath(folder);
  return folder;
}
}  // namespace

bool ProgramFolderHoldsLibrary(const QString& exeFolder) {
  if (exeFolder.isEmpty()) return false;
  const QFileInfo info(QDir::cleanPath(exeFolder));
  // An installed velmo sits in a prefix's bin folder (/usr/bin, ~/.local/bin)
  // among other programs; learners' recordings do not belong there even when
  // the folder happens to be writable.
  if (info.fileName() == QLatin1String("bin")) return false;
  return info.isDir() && info.isWritable();
}

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
