#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {
namespace {
ShellOpenHandler& Handler() {
  static ShellOpenHandler handler;
  return handler;
}

void DefaultOpen(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return;
  // A path of an existing file opens in its program; anything else is taken
  // as an address ("www.example.org" becomes an http address).
  QUrl url;
  if (QFileInfo::exists(trimmed))
    url = QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
  else
    url = QUrl::fromUserInput(trimmed);
  if (url.isValid()) QDesktopServices::openUrl(url);
}
}  // namespace

void SetShellOpenHandler(ShellOpenHandler handler) { Handler() = std::move(handler); }

void OpenWithShell(const QString& text) {
  if (Handler())
    Handler()(text);
  else
    DefaultOpen(text);
}

}  // namespace platform
