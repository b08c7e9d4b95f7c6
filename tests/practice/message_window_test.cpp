#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <functional>

#include "controls/vsnet_button.h"
#include "core/message_service.h"
#include "practice/message_window.h"
#include "tests/common/modal_driver.h"

namespace {

const QRect kScreen(0, 0, 1280, 800);

ProMod::MsgBoxRequest Request(const QString& text, bool two = false, int16_t icon = 0) {
  return ProMod::MsgBoxRequest{text, QStringLiteral("标题"), two, icon};
}

void ClickButton(VsNetBut* b) {
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, b->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, b->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(b, &press);
  QApplication::sendEvent(b, &release);
}

struct QuickKeys {
  QuickKeys() { VsNetBut::SetHotKeyPause([](VsNetBut*, int) {}); }
  ~QuickKeys() { VsNetBut::SetHotKeyPause(nullptr); }
};

int LabelWidthTwips(const QString& text) {
  QLabel probe(text);
  probe.setFont(QFont(QStringLiteral("宋体"), 9));
  return probe.sizeHint().width() * 15;
}

}  // namespace

TEST(ZQelMsgFormGeometry, ShortTextIsCentredWithTheIconInTheNarrowWindow) {
  ZQelMsgForm form;
  form.setAvailableArea(kScreen);
  form.Prepare(Request(QStringLiteral("已保存。")));
  const int w = form.LabelRect().width();
  ASSERT_LT(w, 2100);
  EXPECT_EQ(w, LabelWidthTwips(QStringLiteral("已保存。")));
  EXPECT_EQ(form.WindowWidth(), 3360);
  EXPECT_EQ(form.IconRect().left(), (2640 - w) / 2);
  EXPECT_EQ(form.LabelRect().left(), form.IconRect().left() + 660);
  // One button, centred; no "取 消".
  EXPECT_EQ(form.Button1Rect().left(), (3360 - 1320) / 2);
  EXPECT_TRUE(form.VsNetBut2()->isHidden());
  EXPECT_EQ(form.VsNetBut1()->Caption(), QStringLiteral("确 定"));
  EXPECT_EQ(form.Button1Rect().top(), form.LabelRect().height() + 480 + 270);
  EXPECT_EQ(form.WindowHeight(), form.Button1Rect().top() + 1050);
  EXPECT_FALSE(form.TextScrolls());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("标题"));

  // Two buttons keep their designed places in the narrow window.
  form.Prepare(Request(QStringLiteral("删除吗？"), true));
  EXPECT_FALSE(form.VsNetBut2()->isHidden());
  EXPECT_EQ(form.Button1Rect().left(), 240);
  EXPECT_EQ(form.Button2Rect().left(), 1800);
  EXPECT_EQ(form.VsNetBut2()->Caption(), QStringLiteral("取 消"));
}

TEST(ZQelMsgFormGeometry, LongTextWidensTheWindowByItsExcess) {
  ZQelMsgForm form;
  form.setAvailableArea(kScreen);
  const QString text = QStringLiteral("无法打开这个语音文件，请检查文件是否存在并且没有被其他程序占用。");
  form.Prepare(Request(text, true));
  const int w = form.LabelRect().width();
  ASSERT_GE(w, 2100);
  EXPECT_EQ(form.WindowWidth(), w - 2100 + 3360);
  EXPECT_EQ(form.IconRect().left(), 270);
  EXPECT_EQ(form.LabelRect().left(), 930);
  EXPECT_EQ(form.Button1Rect().left(), (form.WindowWidth() - 2880) / 2);
  EXPECT_EQ(form.Button2Rect().left(), form.Button1Rect().left() + 1560);
  form.Prepare(Request(text, false));
  EXPECT_EQ(form.Button1Rect().left(), (form.WindowWidth() - 1320) / 2);
  // The client area is the outer size less title bar and borders.
  EXPECT_EQ(form.width(), (form.WindowWidth() - 90) / 15);
}

TEST(ZQelMsgFormGeometry, LineBreaksMakeTheLabelTallerAndMoveTheButtonsDown) {
  ZQelMsgForm form;
  form.setAvailableArea(kScreen);
  form.Prepare(Request(QStringLiteral("第一行")));
  const int oneLine = form.LabelRect().height();
  const int oneTop = form.Button1Rect().top();
  form.Prepare(Request(QStringLiteral("第一行\r\n第二行\r\n第三行")));
  const int lineStep = QFontMetrics(QFont(QStringLiteral("宋体"), 9)).lineSpacing() * 15;
  const int grown = form.LabelRect().height() - oneLine;
  EXPECT_NEAR(grown, 2 * lineStep, 2 * 2 * 15);  // two more lines, give or take the leading
  EXPECT_EQ(form.Button1Rect().top() - oneTop, grown);
  EXPECT_EQ(form.WindowHeight(), form.Button1Rect().top() + 1050);
  EXPECT_EQ(form.Label1()->text(), QStringLiteral("第一行\n第二行\n第三行"));
  // Shown as written: no markup, the ampersand kept.
  form.Prepare(Request(QStringLiteral("<b>Tom & Jerry</b>")));
  EXPECT_EQ(form.Label1()->textFormat(), Qt::PlainText);
  EXPECT_EQ(form.Label1()->text(), QStringLiteral("<b>Tom & Jerry</b>"));
}

TEST(ZQelMsgFormGeometry, HugeMessagesStayOnScreenAndScroll) {
  ZQelMsgForm form;
  form.setAvailableArea(kScreen);
  QString lines;
  for (int i = 0; i < 500; ++i) lines += QStringLiteral("第%1行\r\n").arg(i);
  for (const QString& text : {QString(100000, QChar('x')), lines, QString(100000, QChar(0x5B57))}) {
    form.Prepare(Request(text, true));
    EXPECT_TRUE(form.TextScrolls());
    EXPECT_LE(form.WindowWidth(), kScreen.width() * 15);
    EXPECT_LE(form.WindowHeight(), kScreen.height() * 15);
    EXPECT_TRUE(kScreen.contains(QRect(form.pos(), QSize(form.WindowWidth() / 15, form.WindowHeight() / 15))));
    auto* view = form.findChild<QPlainTextEdit*>(QStringLiteral("LongText"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(form.Label1()->isHidden());
    EXPECT_FALSE(form.VsNetBut2()->isHidden());
  }
  form.Prepare(Request(QStringLiteral("短")));
  EXPECT_FALSE(form.TextScrolls());
  EXPECT_FALSE(form.Label1()->isHidden());
}

TEST(ZQelMsgFormLook, IconsAndGradientBackground) {
  ZQelMsgForm form;
  form.setAvailableArea(kScreen);
  for (int16_t icon : {0, 1, 2, 3}) {
    form.Prepare(Request(QStringLiteral("文本"), false, icon));
    EXPECT_EQ(form.ShownIcon(), icon);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(form.Image1(i)->isHidden(), i != icon);
  }
  form.Prepare(Request(QStringLiteral("文本"), false, 7));
  EXPECT_EQ(form.ShownIcon(), 0);
  EXPECT_EQ(form.Image1(7), nullptr);
  EXPECT_FALSE(form.windowIcon().isNull());

  form.show();
  const QImage shot = form.grab().toImage();
  const QColor top = shot.pixelColor(2, 0);
  const QColor bottom = shot.pixelColor(2, shot.height() - 1);
  EXPECT_GE(top.red(), 250);
  EXPECT_LE(bottom.red(), 210);
  EXPECT_GE(bottom.red(), 200);
  form.hide();
}

TEST(ZQelMsgFormResult, OkCancelCloseBoxEnterAndEsc) {
  QuickKeys quick;
  struct Case {
    const char* name;
    bool two;
    std::function<void(ZQelMsgForm*)> act;
    int expected;
  };
  const std::vector<Case> cases = {
      {"ok", true, [](ZQelMsgForm* f) { ClickButton(f->VsNetBut1()); }, 1},
      {"cancel", true, [](ZQelMsgForm* f) { ClickButton(f->VsNetBut2()); }, 0},
      {"close box", true, [](ZQelMsgForm* f) { f->close(); }, 0},
      {"close box, one button", false, [](ZQelMsgForm* f) { f->close(); }, 0},
      {"enter", true,
       [](ZQelMsgForm* f) {
         EXPECT_TRUE(QTest::qWaitForWindowActive(f));
         QTest::keyClick(f->VsNetBut2(), Qt::Key_Return);  // whichever button has the focus
       },
       1},
      {"enter, one button", false, [](ZQelMsgForm* f) { QTest::keyClick(f, Qt::Key_Enter); }, 1},
      {"esc", true,
       [](ZQelMsgForm* f) {
         EXPECT_TRUE(QTest::qWaitForWindowActive(f));
         QTest::keyClick(f->VsNetBut1(), Qt::Key_Escape);
       },
       0},
      {"esc, one button", false, [](ZQelMsgForm* f) { QTest::keyClick(f, Qt::Key_Escape); }, 0},
  };
  for (const Case& c : cases) {
    ZQelMsgForm form;
    form.setAvailableArea(kScreen);
    form.Prepare(Request(QStringLiteral("继续吗？"), c.two, 1));
    ModalDriver driver([&](QWidget* modal) {
      ASSERT_EQ(modal, &form);
      c.act(&form);
    });
    EXPECT_EQ(form.Run(), c.expected) << c.name;
    EXPECT_EQ(form.MyMsgBoxValue(), c.expected) << c.name;
  }
}

TEST(ZQelMsgFormResult, InstalledWindowAnswersShowMsgBox) {
  InstallMessageWindow();
  QString text = QStringLiteral("保存修改吗？");
  int32_t style = 2;
  QString title;
  int16_t icon = 7;
  QString seenTitle;
  bool sawCancel = false;
  ModalDriver confirm([&](QWidget* modal) {
    auto* form = qobject_cast<ZQelMsgForm*>(modal);
    ASSERT_NE(form, nullptr);
    seenTitle = form->windowTitle();
    sawCancel = !form->VsNetBut2()->isHidden();
    EXPECT_EQ(form->ShownIcon(), 0);
    ClickButton(form->VsNetBut1());
  });
  EXPECT_EQ(ProMod::ShowMsgBox(text, style, title, icon), 1);
  EXPECT_EQ(icon, 0) << "the corrected icon goes back to the caller";
  EXPECT_EQ(seenTitle, ProMod::kAppTitle);
  EXPECT_TRUE(sawCancel);

  ModalDriver close([&](QWidget* modal) { modal->close(); });
  EXPECT_EQ(ProMod::ShowMsgBox(QStringLiteral("完成"), 1), 0);
  ProMod::SetMsgBoxPresenter(nullptr);
}
