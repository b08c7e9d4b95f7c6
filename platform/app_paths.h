#pragma once
#include <QString>

namespace platform {

// The folder the application keeps its library ("语音"), FaceSet.ini and
// usercolors.cps in: the executable's folder when it may hold them (see
// ProgramFolderHoldsLibrary), otherwise the per-user data folder
// (~/.local/share/Velmo on Linux, created when missing). Never ends in '/'.
QString ApplicationFolder();

// True when the executable's folder `exeFolder` may hold the library: it is
// writable and is not the bin folder of an installation prefix. So a build
// tree or an unpacked copy keeps everything together, while an installed
// velmo (/usr/bin/velmo, ~/.local/bin/velmo) uses the per-user folder.
bool ProgramFolderHoldsLibrary(const QString& exeFolder);

// True when ApplicationFolder() is the executable's own folder, so that
// messages may speak of "the program's folder".
bool ApplicationFolderIsProgramFolder();

// Tests and the command-line tool point the application at another folder.
// An empty string restores the default.
void SetApplicationFolder(const QString& folder);

}  // namespace platform
