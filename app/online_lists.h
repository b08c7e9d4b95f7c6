#pragma once
#include <QString>

namespace ProMod {

// Hands a text to the desktop to open: a web address in the browser, a file
// in its program (platform::OpenWithShell). An empty text does nothing.
void OpenWithShell(const QString& text);

}  // namespace ProMod
