#include "platform/plain_message.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {
namespace {
PlainMessageHandler& PlainHandler() {
  static PlainMessageHandler handler;
  return handler;
}
BeepHandler& BeepSlot() {
  static BeepHandler handler;
  return handler;
}
}  // namespace

void SetPlainMessageHandler(PlainMessageHandler handler) { PlainHandler() = std::move(handler); }

void ShowPlainMessage(const QString& text, const QString& title) {
  if (PlainHandler()) {
    PlainHandler()(text, title);
    return;
  }
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QStringLiteral("Velmo复读机") : title, text,
                  QMessageBox::Ok);
  box.exec();
}

void SetBeepHandler(BeepHandler handler) { BeepSlot() = std::move(handler); }

void Beep() {
  if (BeepSlot()) {
    BeepSlot()();
    return;
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}

}  // namespace platform
