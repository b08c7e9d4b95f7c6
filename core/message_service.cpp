#include "core/message_service.h"

#include "platform/plain_message.h"

namespace ProMod {
namespace {
MsgBoxPresenter& Presenter() {
  static MsgBoxPresenter presenter;
  return presenter;
}

// Until the system's own message window is installed: the plain box.
int DefaultPresenter(const MsgBoxRequest& request) {
  platform::PlainMessage message;
  message.text = request.text;
  message.title = request.title;
  message.twoButtons = request.twoButtons;
  message.icon = request.icon;
  return platform::ExecPlainMessageBox(message);
}
}  // namespace

void SetMsgBoxPresenter(MsgBoxPresenter presenter) { Presenter() = std::move(presenter); }

int16_t ShowMsgBox(QString& text, int32_t& buttonStyle, QString& title, int16_t& iconIndex) {
  if (iconIndex < 0 || iconIndex > 3) iconIndex = kIconInformation;
  MsgBoxRequest request;
  request.text = text;
  request.title = title.isEmpty() ? kAppTitle : title;
  request.twoButtons = buttonStyle != 1;
  request.icon = iconIndex;
  platform::Beep();
  const int answer = Presenter() ? Presenter()(request) : DefaultPresenter(request);
  return answer == 1 ? 1 : 0;
}

int16_t ShowMsgBox(const QString& text, int32_t buttonStyle, const QString& title, int16_t iconIndex) {
  QString t = text;
  QString ti = title;
  return ShowMsgBox(t, buttonStyle, ti, iconIndex);
}

}  // namespace ProMod
