#pragma once
#include <QString>
#include <QStringList>

namespace ProMod {

inline const QString kLibraryFolderName = QStringLiteral("语音");
inline const QString kRootEntryCaption = QStringLiteral("语音主目录");

// wantFolders: the names of the folder's direct sub-folders joined by CR LF;
// otherwise the names of its files with the extension "mp3" (any case)
// joined by "<KVQENTER>". "" when there is nothing to list or the folder
// cannot be read. Names are in a stable order (case-insensitive by name);
// hidden entries are not listed.
QString ListFolder(const QString& folder, bool wantFolders);

// The library root (application folder + "/语音"), without a trailing '/'.
QString LibraryRoot();
// Creates the root when nothing of that name exists. Returns whether the
// root is a folder afterwards.
bool EnsureLibraryRoot();
// "语音主目录" followed by the category names, as the category list shows them.
QStringList CategoryList();
// The folder listed for a category-list entry (0 = the root), ending in '/'.
QString FolderForCategory(int entry, const QString& categoryName);

}  // namespace ProMod
