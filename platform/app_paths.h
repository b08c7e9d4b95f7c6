#pragma once
#include <QString>

namespace platform {

// The folder the application keeps its library ("语音"), FaceSet.ini and
// usercolors.cps in: the executable's folder when it is writable, otherwise
// the per-user data folder (~/.local/share/Velmo on Linux). Never ends in '/'.
QString ApplicationFolder();

// Tests and the command-line tool point the application at another folder.
// An empty string restores the default.
void SetApplicationFolder(const QString& folder);

}  // namespace platform
