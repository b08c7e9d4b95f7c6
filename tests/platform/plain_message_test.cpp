#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "platform/plain_message.h"
#include "tests/common/modal_driver.h"

namespace {

platform::PlainMessage Message(bool twoButtons) {
  platform::PlainMessage message;
  message.text = QStringLiteral("继续吗？\r\n第二行");
  message.title = QStringLiteral("标题");
  message.twoButtons = twoButtons;
  message.icon = platform::PlainMessage::kWarning;
  return message;
}

QPushButton* ButtonNamed(QWidget* box, const QString& text) {
  for (QPushButton* b : box->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

// Only the OK button answers 1; the close box, Escape and Cancel answer 0,
// also when OK is the box's only button (which Qt would take for Escape).
TEST(PlainMessageBox, OnlyOkConfirms) {
  struct Case {
    const char* name;
    bool two;
    std::function<void(QWidget*)> act;
    int expected;
  };
  const QString ok = QStringLiteral("确 定"), cancel = QStringLiteral("取 消");
  const std::vector<Case> cases = {
      {"ok, one button", false, [&](QWidget* w) { ButtonNamed(w, ok)->click(); }, 1},
      {"ok, two buttons", true, [&](QWidget* w) { ButtonNamed(w, ok)->click(); }, 1},
      {"cancel", true, [&](QWidget* w) { ButtonNamed(w, cancel)->click(); }, 0},
      {"close box, one button", false, [](QWidget* w) { w->close(); }, 0},
      {"close box, two buttons", true, [](QWidget* w) { w->close(); }, 0},
      {"esc, one button", false, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, 0},
      {"esc, two buttons", true, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, 0},
      {"enter, one button", false, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QStringList buttons;
    QString text, title;
    ModalDriver driver([&](QWidget* w) {
      for (QPushButton* b : w->findChildren<QPushButton*>()) buttons << b->text();
      if (auto* box = qobject_cast<QMessageBox*>(w)) text = box->text();
      title = w->windowTitle();
      c.act(w);
    });
    EXPECT_EQ(platform::ExecPlainMessageBox(Message(c.two)), c.expected);
    buttons.sort();
    QStringList expected = c.two ? QStringList{ok, cancel} : QStringList{ok};
    expected.sort();
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(text, QStringLiteral("继续吗？\n第二行"));
    EXPECT_EQ(title, QStringLiteral("标题"));
  }
}

// The custom controls' boxes reach a handler when one is set, with the
// buttons asked for, and its answer is passed on as 1 or 0.
TEST(PlainMessageBox, HandlerAnswersInsteadOfTheBox) {
  std::vector<platform::PlainMessage> seen;
  platform::SetPlainMessageHandler([&](const platform::PlainMessage& m) {
    seen.push_back(m);
    return 7;
  });
  EXPECT_EQ(platform::ShowPlainMessage(Message(true)), 0) << "only 1 is OK";
  platform::ShowPlainMessage(QStringLiteral("只有确定"), QStringLiteral("t"));
  platform::SetPlainMessageHandler(nullptr);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[0].twoButtons);
  EXPECT_FALSE(seen[1].twoButtons);
  EXPECT_EQ(seen[1].text, QStringLiteral("只有确定"));
}
