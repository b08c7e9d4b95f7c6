// controls_demo2: the buttons in every style and state, the text boxes, and
// the message and input windows, laid out for looking at them.
//
//   controls_demo2            buttons and text boxes
//   controls_demo2 messages   message windows: each icon, one and two
//                             buttons, short, long and multi-line texts
//   controls_demo2 input      the input window
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <vector>

#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "platform/fonts.h"
#include "practice/input_window.h"
#include "practice/message_icons.h"
#include "practice/message_window.h"

namespace {

QLabel* Heading(QWidget* parent, const QString& text, int x, int y, int w = 110) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, 22);
  return label;
}

// Puts a button into a look by feeding it the pointer events that lead there.
void Drive(VsNetBut* b, VsNetBut::VisualState state) {
  const QPointF at(b->width() / 2.0, b->height() / 2.0);
  if (state == VsNetBut::kStateNormal) return;
  QMouseEvent move(QEvent::MouseMove, at, b->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(b, &move);
  if (state == VsNetBut::kStatePressed) {
    QMouseEvent press(QEvent::MouseButtonPress, at, b->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(b, &press);
  }
}

QImage Picture(int index) { return DrawMessageIcon(index, 16); }

void SetUpButton(VsNetBut* b, int style, const QString& caption, int picture) {
  b->setCaption(caption);
  if (picture >= 0) b->setButtonPicture(Picture(picture));
  try {
    b->setButtonAppearance(style);
  } catch (...) {
  }
}

QWidget* ControlsPage() {
  auto* page = new QWidget;
  page->setWindowTitle(QStringLiteral("Velmo复读机 — 按钮与文本框"));
  page->resize(1260, 780);
  page->setAutoFillBackground(true);
  QPalette pal = page->palette();
  pal.setColor(QPalette::Window, QColor(236, 233, 216));
  page->setPalette(pal);

  const QStringList states = {QStringLiteral("正常"), QStringLiteral("悬停"), QStringLiteral("按下"),
                              QStringLiteral("选中"), QStringLiteral("选中+悬停"), QStringLiteral("禁用")};
  const int left = 150, colWidth = 140, top = 36, rowHeight = 40;
  Heading(page, QStringLiteral("渐变外观 (Office2003Style)"), 10, 6, 300);
  for (int c = 0; c < states.size(); ++c) Heading(page, states[c], left + c * colWidth + 30, top - 4);

  struct Row {
    QString name;
    int style;
    QString caption;
    int picture;
    bool flat;
  };
  const std::vector<Row> rows = {
      {QStringLiteral("0 普通按钮"), 0, QStringLiteral("保存(&S)"), 0, false},
      {QStringLiteral("3 拆分按钮"), 3, QStringLiteral("打开(&O)"), 1, false},
      {QStringLiteral("4 选项按钮"), 4, QString(), -1, false},
      {QStringLiteral("0 平面外观"), 0, QStringLiteral("播放(&P)"), 2, true},
      {QStringLiteral("3 平面拆分"), 3, QStringLiteral("删除"), 3, true},
  };
  for (size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    const int y = top + 22 + static_cast<int>(r) * rowHeight;
    Heading(page, row.name, 10, y + 4, 130);
    for (int c = 0; c < states.size(); ++c) {
      auto* b = new VsNetBut(page);
      b->setGeometry(left + c * colWidth, y, row.style == 4 ? 22 : 120, 30);
      SetUpButton(b, row.style, row.caption, row.picture);
      b->setOffice2003Style(!row.flat);
      if (c == 3 || c == 4) b->setCheck(true);
      if (c == 5) b->setEnabled(false);
      const VsNetBut::VisualState look =
          c == 1 || c == 4 ? VsNetBut::kStateHover : (c == 2 ? VsNetBut::kStatePressed : VsNetBut::kStateNormal);
      QTimer::singleShot(0, b, [b, look] { Drive(b, look); });
    }
  }

  // Separators and grip bars, frames at rest, focus rectangle.
  int y = top + 22 + static_cast<int>(rows.size()) * rowHeight + 10;
  Heading(page, QStringLiteral("1 分隔线 / 2 把手"), 10, y + 4, 140);
  {
    auto* sep = new VsNetBut(page);
    sep->setGeometry(left, y, 12, 30);
    SetUpButton(sep, 1, QString(), -1);
    auto* grip = new VsNetBut(page);
    grip->setGeometry(left + 30, y, 12, 30);
    SetUpButton(grip, 2, QString(), -1);
    auto* edge = new VsNetBut(page);
    edge->setGeometry(left + 70, y, 150, 30);
    edge->setCaption(QStringLiteral("静止时带边框"));
    edge->setButtonPicture(Picture(0));
    edge->setShowEdgeOnNoFocus(true);
    auto* focus = new VsNetBut(page);
    focus->setGeometry(left + 240, y, 150, 30);
    focus->setCaption(QStringLiteral("焦点矩形(&F)"));
    focus->setShowFocusRect(true);
    focus->setShowEdgeOnNoFocus(true);
    QTimer::singleShot(0, focus, [focus] {
      QApplication::setActiveWindow(focus->window());
      focus->setFocus(Qt::TabFocusReason);
    });
  }

  // Caption and picture areas.
  y += 50;
  Heading(page, QStringLiteral("标题与图片布局"), 10, y + 16, 140);
  struct AreaDemo {
    QString caption;
    int side;
    bool multi;
    int w, h;
  };
  const std::vector<AreaDemo> areas = {
      {QStringLiteral("图片在左"), 1, false, 120, 30},
      {QStringLiteral("图片在右"), 0, false, 120, 30},
      {QStringLiteral("图片在上"), 3, false, 80, 60},
      {QStringLiteral("图片在下"), 2, false, 80, 60},
      {QStringLiteral("较长的标题会按词自动换行显示"), 1, true, 150, 60},
  };
  int x = left;
  for (const AreaDemo& a : areas) {
    auto* b = new VsNetBut(page);
    b->setGeometry(x, y, a.w, a.h);
    b->setCaption(a.caption);
    b->setButtonPicture(Picture(1));
    b->setCaptionAreaLayout(a.side);
    b->setAutoMultiLine(a.multi);
    b->setShowEdgeOnNoFocus(true);
    if (a.side >= 2) b->setCaptionAreaPercent(50), b->setShowPictureFixSize(false);
    x += a.w + 20;
  }

  // Text boxes.
  y += 90;
  Heading(page, QStringLiteral("文本框 QelText / QelTextMu"), 10, y - 4, 300);
  y += 22;
  auto addText = [&](int tx, const QString& label, const QString& text, bool onlyNumber) {
    Heading(page, label, tx, y, 180);
    auto* t = new QelText(page);
    t->setGeometry(tx, y + 24, 180, 24);
    t->setOnlyNumber(onlyNumber);
    t->setText(text);
    return t;
  };
  addText(10, QStringLiteral("默认 (只收数字)"), QStringLiteral("12345"), true);
  QelText* hovered = addText(210, QStringLiteral("指针经过"), QStringLiteral("Listen and repeat"), false);
  QelText* focused = addText(410, QStringLiteral("有焦点"), QStringLiteral("跟读练习"), false);
  QelText* locked = addText(610, QStringLiteral("锁定"), QStringLiteral("只读文本"), false);
  locked->setLocked(true);
  QelText* password = addText(810, QStringLiteral("密码字符"), QStringLiteral("secret"), false);
  password->setPasswordChar(QStringLiteral("*"));
  QelText* disabled = addText(1010, QStringLiteral("禁用"), QStringLiteral("不可用"), false);
  disabled->setEnabled(false);
  QTimer::singleShot(0, hovered, [hovered] {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(hovered->Text1(), &move);
  });
  QTimer::singleShot(0, focused, [focused] {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(focused->Text1(), &in);
  });

  y += 60;
  auto* mu = new QelTextMu(page);
  mu->setOnlyNumber(false);
  mu->setGeometry(10, y, 580, 110);
  QString lines;
  for (int i = 1; i <= 12; ++i)
    lines += QStringLiteral("第%1句：This is sentence number %1 of the lesson.\r\n").arg(i);
  mu->setText(lines);
  return page;
}

void ShowMessages() {
  struct Sample {
    QString text;
    bool two;
    int icon;
  };
  const std::vector<Sample> samples = {
      {QStringLiteral("已保存。"), false, 0},
      {QStringLiteral("确定要删除这条练习记录吗？"), true, 1},
      {QStringLiteral("无法打开这个语音文件，请检查文件是否存在并且没有被其他程序占用。"), false, 2},
      {QStringLiteral("读取失败：\r\n第一行说明\r\n第二行说明\r\n第三行说明"), true, 3},
  };
  int x = 10, y = 10, rowHeight = 0;
  for (const Sample& s : samples) {
    auto* form = new ZQelMsgForm;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setAvailableArea(QRect(0, 0, 1280, 800));
    form->Prepare(ProMod::MsgBoxRequest{s.text, ProMod::kAppTitle, s.two, static_cast<int16_t>(s.icon)});
    form->setModal(false);
    if (x + form->width() > 1270) {
      x = 10;
      y += rowHeight + 10;
      rowHeight = 0;
    }
    form->move(x, y);
    form->show();
    x += form->width() + 10;
    rowHeight = std::max(rowHeight, form->height());
  }
  // One that scrolls.
  QString many;
  for (int i = 1; i <= 500; ++i) many += QStringLiteral("第%1行：很长的消息会在窗口里滚动。\r\n").arg(i);
  auto* big = new ZQelMsgForm;
  big->setAttribute(Qt::WA_DeleteOnClose);
  // The screen it has to fit in: the free part below the others.
  big->setAvailableArea(QRect(10, y + rowHeight + 10, 1260, 790 - (y + rowHeight + 10)));
  big->Prepare(ProMod::MsgBoxRequest{many, ProMod::kAppTitle, true, 1});
  big->setModal(false);
  big->show();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::RegisterFontSubstitutions();
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (mode == QLatin1String("messages")) {
    ShowMessages();
  } else if (mode == QLatin1String("input")) {
    auto* form = new ZQelInputForm;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Prepare(QStringLiteral("请输入要跳到的句子编号："), QString(), 0);
    form->QelText1()->setText(QStringLiteral("12"));
    form->setModal(false);
    form->move(40, 40);
    form->show();
  } else {
    QWidget* page = ControlsPage();
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->move(0, 0);
    page->show();
  }
  return app.exec();
}
