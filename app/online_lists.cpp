#include "app/online_lists.h"

#include "platform/shell.h"

namespace ProMod {

void OpenWithShell(const QString& text) {
  if (text.isEmpty()) return;
  platform::OpenWithShell(text);
}

}  // namespace ProMod
