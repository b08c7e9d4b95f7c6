#include "core/library_scan.h"

#include <QDir>
#include <QFileInfo>

#include "core/material_store.h"
#include "platform/app_paths.h"

namespace ProMod {

QString ListFolder(const QString& folder, bool wantFolders) {
  if (folder.isEmpty()) return QString();
  const QDir dir(folder);
  if (!dir.exists()) return QString();
  const QDir::Filters filters = wantFolders ? (QDir::Dirs | QDir::NoDotAndDotDot) : QDir::Files;
  // Case-insensitive by name: a stable order on every file system.
  const QFileInfoList entries = dir.entryInfoList(filters, QDir::Name | QDir::IgnoreCase);
  QStringList names;
  for (const QFileInfo& info : entries) {
    if (wantFolders) {
      if (!info.isDir()) continue;
    } else {
      if (!info.isFile() || info.suffix().toLower() != QLatin1String("mp3")) continue;
    }
    names << info.fileName();
  }
  return names.join(wantFolders ? kCrLf : kEnter);
}

QString LibraryRoot() { return platform::ApplicationFolder() + QLatin1Char('/') + kLibraryFolderName; }

bool EnsureLibraryRoot() {
  const QString root = LibraryRoot();
  const QFileInfo info(root);
  if (!info.exists() && !info.isSymLink()) QDir().mkdir(root);
  return QFileInfo(root).isDir();
}

QStringList CategoryList() {
  QStringList list{kRootEntryCaption};
  const QString block = ListFolder(LibraryRoot(), true);
  if (block.isEmpty()) return list;
  for (const QString& piece : block.split(kCrLf)) {
    const QString name = TrimSentenceText(piece);
    if (!name.isEmpty()) list << name;
  }
  return list;
}

QString FolderForCategory(int entry, const QString& categoryName) {
  if (entry <= 0) return LibraryRoot() + QLatin1Char('/');
  return LibraryRoot() + QLatin1Char('/') + categoryName + QLatin1Char('/');
}

}  // namespace ProMod
