#include "core/message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/plain_message.h"

namespace ProMod {
namespace {
MsgBoxPresenter& Presenter() {
  static MsgBoxPresenter presenter;
  return presenter;
}

// Until the system's own message window is installed: a plain Qt box.
int DefaultPresenter(const MsgBoxRequest& request) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  static const QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical,
                                            QMessageBox::Critical};
  QMessageBox box(icons[request.icon], request.title, QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  QPushButton* ok = box.addButton(QStringLiteral("确 定"), QMessageBox::AcceptRole);
  if (request.twoButtons) box.addButton(QStringLiteral("取 消"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.exec();
  return box.clickedButton() == ok ? 1 : 0;
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
