#pragma once
#include <QString>
#include <functional>

namespace platform {

// Asks the desktop to open a text: a web address opens in the browser, a
// file in its program. The outcome is not examined. Tests replace the
// handler to see what would have been opened; an empty handler restores
// the default (QDesktopServices::openUrl).
using ShellOpenHandler = std::function<void(const QString& text)>;
void SetShellOpenHandler(ShellOpenHandler handler);
void OpenWithShell(const QString& text);

}  // namespace platform
