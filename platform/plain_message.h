#pragma once
#include <QString>
#include <functional>

namespace platform {

// The platform's plain message box (one OK button), used by the custom
// controls to refuse bad property values, and the platform beep. Both go
// through a replaceable handler so tests can read what was shown.
using PlainMessageHandler = std::function<void(const QString& text, const QString& title)>;
void SetPlainMessageHandler(PlainMessageHandler handler);  // empty handler restores the default
void ShowPlainMessage(const QString& text, const QString& title = QString());

using BeepHandler = std::function<void()>;
void SetBeepHandler(BeepHandler handler);  // empty handler restores the default
void Beep();

}  // namespace platform
