#pragma once
#include <QString>
#include <cstdint>
#include <functional>

namespace ProMod {

inline const QString kAppTitle = QStringLiteral("Velmo复读机");

enum MsgIcon : int16_t { kIconInformation = 0, kIconWarning = 1, kIconStop = 2, kIconError = 3 };

// What a message window is asked to show. The title is already resolved
// (never empty) and the icon already corrected to 0..3.
struct MsgBoxRequest {
  QString text;   // CR LF starts a new line
  QString title;
  bool twoButtons = false;  // "确 定" and "取 消" instead of "确 定" alone
  int16_t icon = kIconInformation;
};

// Shows the request modally and returns 1 for OK, 0 for Cancel or the close
// box. The application installs its own message window; tests install a
// presenter that answers and records. An empty presenter restores the
// default (a plain Qt message box).
using MsgBoxPresenter = std::function<int(const MsgBoxRequest&)>;
void SetMsgBoxPresenter(MsgBoxPresenter presenter);

// Tells the user something or asks OK/Cancel. Button style 1 gives one OK
// button, any other value OK and Cancel. An empty title stands for the
// application title. An icon index outside 0..3 is replaced by 0 and the
// replacement is written back. Sounds the beep. Returns 1 for OK, else 0.
int16_t ShowMsgBox(QString& text, int32_t& buttonStyle, QString& title, int16_t& iconIndex);
// Convenience for callers with literal arguments.
int16_t ShowMsgBox(const QString& text, int32_t buttonStyle = 1, const QString& title = QString(),
                   int16_t iconIndex = kIconInformation);

}  // namespace ProMod
