#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "practice/input_window.h"
#include "tests/common/modal_driver.h"

namespace {

// Drives the input window shown by the next Run() (see ModalDriver).
struct WhileShown : ModalDriver {
  explicit WhileShown(const std::function<void(ZQelInputForm*)>& action)
      : ModalDriver([action](QWidget* modal) {
          auto* form = qobject_cast<ZQelInputForm*>(modal);
          ASSERT_NE(form, nullptr);
          action(form);
        }) {}
};

}  // namespace

TEST(ZQelInputForm, EnterInTheBoxConfirmsItsDigits) {
  ZQelInputForm form;
  form.Prepare(QStringLiteral("请输入句子编号："), QString(), 0);
  EXPECT_EQ(form.QelText1()->Text(), QString()) << "the box opens empty";
  EXPECT_TRUE(form.QelText1()->OnlyNumber());
  WhileShown driver([](ZQelInputForm* f) {
    QTest::keyClicks(f->QelText1()->Text1(), QStringLiteral("1a2b3"));
    QTest::keyClick(f->QelText1()->Text1(), Qt::Key_Return);
  });
  EXPECT_EQ(form.Run(), 1);
  EXPECT_EQ(form.MyInputValue(), QStringLiteral("123"));
}

TEST(ZQelInputForm, CancelAndCloseBoxGiveAnEmptyValue) {
  for (int way = 0; way < 3; ++way) {
    ZQelInputForm form;
    form.Prepare(QStringLiteral("数量"), QStringLiteral("输入"), 1);
    WhileShown driver([way](ZQelInputForm* f) {
      QTest::keyClicks(f->QelText1()->Text1(), QStringLiteral("42"));
      if (way == 0) emit f->VsNetBut2()->Click();
      if (way == 1) f->close();
      if (way == 2) QTest::keyClick(f, Qt::Key_Escape);
    });
    EXPECT_EQ(form.Run(), 0) << way;
    EXPECT_EQ(form.MyInputValue(), QString()) << way;
  }
  ZQelInputForm form;
  form.Prepare(QStringLiteral("数量"), QString(), 0);
  WhileShown driver([](ZQelInputForm* f) {
    f->QelText1()->setText(QStringLiteral("7"));
    emit f->VsNetBut1()->Click();
  });
  EXPECT_EQ(form.Run(), 1);
  EXPECT_EQ(form.MyInputValue(), QStringLiteral("7"));
}

TEST(ZQelInputForm, LongPromptsGrowTheWindowUpToALimit) {
  ZQelInputForm form;
  form.Prepare(QStringLiteral("短"), QString(), 0);
  const int shortHeight = form.WindowHeight();
  form.Prepare(QString(300, QChar(0x5B57)), QString(), 9);
  EXPECT_GT(form.WindowHeight(), shortHeight);
  form.Prepare(QString(100000, QChar(0x5B57)), QString(), -1);
  const int capped = form.WindowHeight();
  form.Prepare(QString(20000, QChar(0x5B57)), QString(), 4);
  EXPECT_EQ(form.WindowHeight(), capped) << "the prompt is cut off at its limit";
  EXPECT_LT(capped, 9000);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmo复读机"));
}
