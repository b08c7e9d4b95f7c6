#include "platform/plain_message.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

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

// QMessageBox makes a lone button its escape button: Escape and the close
// box would "press" OK. Both are turned into a plain close that answers 0.
class DismissWatcher : public QObject {
 public:
  explicit DismissWatcher(QMessageBox* box) : box_(box) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_) return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
      box_->done(0);
      return true;
    }
    if (event->type() == QEvent::Close) {
      event->accept();
      box_->done(0);
      return true;
    }
    return false;
  }

 private:
  QMessageBox* box_;
};
}  // namespace

void SetPlainMessageHandler(PlainMessageHandler handler) { PlainHandler() = std::move(handler); }

int ShowPlainMessage(const PlainMessage& message) {
  if (PlainHandler()) return PlainHandler()(message) == 1 ? 1 : 0;
  return ExecPlainMessageBox(message);
}

void ShowPlainMessage(const QString& text, const QString& title) {
  PlainMessage message;
  message.text = text;
  message.title = title;
  ShowPlainMessage(message);
}

int ExecPlainMessageBox(const PlainMessage& message) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  static const QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical,
                                            QMessageBox::Critical};
  const QMessageBox::Icon icon =
      message.icon >= 0 && message.icon <= 3 ? icons[message.icon] : QMessageBox::NoIcon;
  QString text = message.text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(icon, message.title.isEmpty() ? QStringLiteral("Velmo复读机") : message.title, text);
  QPushButton* ok = box.addButton(QStringLiteral("确 定"), QMessageBox::AcceptRole);
  if (message.twoButtons) box.addButton(QStringLiteral("取 消"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  bool confirmed = false;
  QObject::connect(ok, &QPushButton::clicked, &box, [&confirmed] { confirmed = true; });
  DismissWatcher watcher(&box);
  box.installEventFilter(&watcher);
  box.exec();
  return confirmed ? 1 : 0;
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
