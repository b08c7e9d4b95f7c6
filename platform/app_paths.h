#pragma once
#include <QString>

namespace platform {

// The folder the application keeps its library ("语音"), FaceSet.ini and
// usercolors.cps in: the executable's folder when it is writable, otherwise
// the per-user data folder (~/.local/share/Velmo on Linux). Never ends in '/'.
QString ApplicationFolder();

// True when ApplicationFolder() is the executable's own folder, so that
// messages may speak of "the program's folder".
bool ApplicationFolderIsProgramFolder();

// Tests and the command-line tool point the application at another folder.
// An empty string restores the default.
void SetApplicationFolder(const QString& folder);

}  // namespace platform
