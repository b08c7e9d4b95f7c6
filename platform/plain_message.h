#pragma once
#include <QString>
#include <functional>

namespace platform {

// The platform's plain message box, used by the custom controls to refuse
// bad property values and by the message service until the system's own
// message window is installed, and the platform beep. The custom controls'
// boxes and the beep go through replaceable handlers so tests can read what
// was shown.
struct PlainMessage {
  enum Icon { kNoIcon = -1, kInformation = 0, kWarning = 1, kStop = 2, kError = 3 };
  QString text;   // CR LF starts a new line
  QString title;  // empty: the application title
  bool twoButtons = false;  // "确 定" and "取 消" instead of "确 定" alone
  int icon = kNoIcon;
};

// Answers a custom control's box instead of showing it; returns 1 for OK, 0 otherwise.
using PlainMessageHandler = std::function<int(const PlainMessage& message)>;
void SetPlainMessageHandler(PlainMessageHandler handler);  // empty handler restores the default

// A custom control's box: through the handler when one is set, else shown
// modally. 1 when OK was pressed, 0 for Cancel, Escape or the close box.
int ShowPlainMessage(const PlainMessage& message);
// One OK button, no icon.
void ShowPlainMessage(const QString& text, const QString& title = QString());

// Shows the box modally (never through the handler) and returns 1 only when
// its OK button was pressed: Cancel, Escape and the close box give 0, also
// when OK is the only button. Without a widget application it shows
// nothing and returns 0.
int ExecPlainMessageBox(const PlainMessage& message);

using BeepHandler = std::function<void()>;
void SetBeepHandler(BeepHandler handler);  // empty handler restores the default
void Beep();

}  // namespace platform
