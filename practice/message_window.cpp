#include "practice/message_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

#include "controls/gradient.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "practice/message_icons.h"
#include "practice/dialog_background.h"

namespace {

constexpr int kIconPixels = 32;

QString WithLineFeeds(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

QFont MessageFont() { return QFont(QStringLiteral("宋体"), 9); }

QRect TwipsRect(int left, int top, int width, int height) { return QRect(left, top, width, height); }

}  // namespace

ZQelMsgForm::ZQelMsgForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setModal(true);
  setObjectName(QStringLiteral("ZQelMsgForm"));

  label1_ = new QLabel(QStringLiteral("文本"), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setFont(MessageFont());
  label1_->setTextFormat(Qt::PlainText);  // a message is shown as written, never as markup
  label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  // Stands in for the label when the message is too large for the screen.
  auto* view = new QPlainTextEdit(this);
  view->setObjectName(QStringLiteral("LongText"));
  view->setReadOnly(true);
  view->setFrameShape(QFrame::NoFrame);
  view->setFont(MessageFont());
  view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view->viewport()->setAutoFillBackground(false);
  view->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
  view->hide();
  longText_ = view;

  for (int i = 0; i < 4; ++i) {
    image1_[i] = new QLabel(this);
    image1_[i]->setObjectName(QStringLiteral("Image1_%1").arg(i));
    image1_[i]->setPixmap(QPixmap::fromImage(DrawMessageIcon(i, kIconPixels)));
    image1_[i]->setFixedSize(kIconPixels, kIconPixels);
    image1_[i]->hide();
  }

  auto makeButton = [this](const QString& caption, const char* name) {
    auto* b = new VsNetBut(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setCaptionAreaPercent(100);  // caption only, centred
    b->setShowEdgeOnNoFocus(true);
    b->setFont(MessageFont());
    b->resize(twips::ToPixels(kButtonWidth), twips::ToPixels(kButtonHeight));
    return b;
  };
  vsNetBut1_ = makeButton(QStringLiteral("确 定"), "VsNetBut1");
  vsNetBut2_ = makeButton(QStringLiteral("取 消"), "VsNetBut2");
  vsNetBut1_->setDefault(true);
  vsNetBut2_->setCancel(true);
  connect(vsNetBut1_, &VsNetBut::Click, this, &ZQelMsgForm::Ok);
  connect(vsNetBut2_, &VsNetBut::Click, this, &ZQelMsgForm::CancelPressed);

  Prepare(ProMod::MsgBoxRequest{label1_->text(), ProMod::kAppTitle, false, ProMod::kIconInformation});
}

ZQelMsgForm::~ZQelMsgForm() = default;

QLabel* ZQelMsgForm::Image1(int index) const {
  if (index < 0 || index > 3) return nullptr;
  return image1_[index];
}

QRect ZQelMsgForm::ScreenArea() const {
  if (availableArea_.isValid()) return availableArea_;
  QScreen* screen = nullptr;
  if (parentWidget() && parentWidget()->window()) screen = parentWidget()->window()->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen && screen->availableGeometry().isValid()) return screen->availableGeometry();
  return QRect(0, 0, 1024, 768);
}

void ZQelMsgForm::Prepare(const ProMod::MsgBoxRequest& request) {
  myMsgBoxValue_ = 0;
  const QString text = WithLineFeeds(request.text);
  label1_->setText(text);
  setWindowTitle(request.title.isEmpty() ? ProMod::kAppTitle : request.title);

  shownIcon_ = request.icon >= 0 && request.icon <= 3 ? request.icon : 0;
  for (int i = 0; i < 4; ++i) image1_[i]->setVisible(i == shownIcon_);
  setWindowIcon(QIcon(image1_[shownIcon_]->pixmap()));

  // The label grows to its text; beyond what the screen holds the message
  // wraps and scrolls instead.
  const QRect area = ScreenArea();
  const int maxLabelWidth = std::max(
      kWideLabelFrom,
      static_cast<int>(area.width() * kScreenShare) * twips::kPerPixel - (kMinWindowWidth - kWideLabelFrom));
  const int maxLabelHeight = std::max(
      600, static_cast<int>(area.height() * kScreenShare) * twips::kPerPixel -
               (kLabelTop + kButtonGap + kBottomAfterButtonTop));

  label1_->setWordWrap(false);
  const QSize natural = text.isEmpty() ? QSize(0, label1_->fontMetrics().height()) : label1_->sizeHint();
  int w = natural.width() * twips::kPerPixel;
  int h = natural.height() * twips::kPerPixel;
  textScrolls_ = w > maxLabelWidth || h > maxLabelHeight;
  if (textScrolls_) {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    int viewWidthPx = std::min(natural.width() + scrollBar + 4, twips::ToPixels(maxLabelWidth));
    QTextDocument doc;
    doc.setDefaultFont(MessageFont());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setPlainText(text);
    doc.setTextWidth(std::max(1, viewWidthPx - scrollBar));
    const int neededPx = static_cast<int>(std::ceil(doc.size().height())) + 4;
    const int viewHeightPx = std::min(neededPx, twips::ToPixels(maxLabelHeight));
    w = viewWidthPx * twips::kPerPixel;
    h = viewHeightPx * twips::kPerPixel;
    longText_->setPlainText(text);
  }

  const bool oneButton = !request.twoButtons;
  int iconLeft = kIconLeft;
  int labelLeft = kLabelLeft;
  int button1Left = kButton1DesignLeft;
  int button2Left = kButton2DesignLeft;
  if (w >= kWideLabelFrom) {
    windowWidth_ = w - kWideLabelFrom + kMinWindowWidth;
    if (oneButton) {
      button1Left = (windowWidth_ - kButtonWidth) / 2;
    } else {
      button1Left = (windowWidth_ - kButtonPairWidth) / 2;
      button2Left = button1Left + kSecondButtonOffset;
    }
  } else {
    windowWidth_ = kMinWindowWidth;
    iconLeft = (kNarrowGroupSpan - w) / 2;  // icon and text centred as a group
    labelLeft = iconLeft + kLabelAfterIcon;
    if (oneButton) button1Left = (windowWidth_ - kButtonWidth) / 2;
  }
  const int buttonTop = h + kLabelTop + kButtonGap;
  windowHeight_ = buttonTop + kBottomAfterButtonTop;

  iconRect_ = TwipsRect(iconLeft, kIconTop, kIconSize, kIconSize);
  labelRect_ = TwipsRect(labelLeft, kLabelTop, w, h);
  button1Rect_ = TwipsRect(button1Left, buttonTop, kButtonWidth, kButtonHeight);
  button2Rect_ = oneButton ? QRect() : TwipsRect(button2Left, buttonTop, kButtonWidth, kButtonHeight);

  // Place the pieces (pixels, inside the client area).
  image1_[shownIcon_]->move(twips::ToPixels(iconRect_.left()), twips::ToPixels(iconRect_.top()));
  const QRect labelPx(twips::ToPixels(labelRect_.left()), twips::ToPixels(labelRect_.top()),
                      twips::ToPixels(labelRect_.width()), twips::ToPixels(labelRect_.height()));
  label1_->setGeometry(labelPx);
  label1_->setVisible(!textScrolls_);
  longText_->setGeometry(labelPx);
  longText_->setVisible(textScrolls_);
  if (!textScrolls_) longText_->clear();
  vsNetBut1_->setGeometry(twips::ToPixels(button1Rect_.left()), twips::ToPixels(button1Rect_.top()),
                          twips::ToPixels(kButtonWidth), twips::ToPixels(kButtonHeight));
  vsNetBut2_->setVisible(!oneButton);
  if (!oneButton)
    vsNetBut2_->setGeometry(twips::ToPixels(button2Rect_.left()), twips::ToPixels(button2Rect_.top()),
                            twips::ToPixels(kButtonWidth), twips::ToPixels(kButtonHeight));

  const QSize client(twips::ToPixels(windowWidth_ - kNonClientWidth), twips::ToPixels(windowHeight_ - kNonClientHeight));
  setFixedSize(client);
  const QPoint topLeft(area.left() + std::max(0, (area.width() - twips::ToPixels(windowWidth_)) / 2),
                       area.top() + std::max(0, (area.height() - twips::ToPixels(windowHeight_)) / 2));
  move(topLeft);
  update();
}

int ZQelMsgForm::Run() {
  vsNetBut1_->setFocus();
  exec();
  return myMsgBoxValue_;
}

void ZQelMsgForm::Ok() {
  myMsgBoxValue_ = 1;
  done(QDialog::Accepted);
}

void ZQelMsgForm::CancelPressed() {
  myMsgBoxValue_ = 0;
  done(QDialog::Rejected);
}

void ZQelMsgForm::reject() {
  // Esc without a Cancel button, or the close box: as Cancel.
  myMsgBoxValue_ = 0;
  QDialog::reject();
}

void ZQelMsgForm::keyPressEvent(QKeyEvent* event) {
  // Enter reaching the window itself (no button took it) confirms.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
    vsNetBut1_->AccessKeyPress();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ZQelMsgForm::closeEvent(QCloseEvent* event) {
  myMsgBoxValue_ = 0;
  QDialog::closeEvent(event);
}

void ZQelMsgForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  background_ = DialogBackground(size());
  update();
}

void ZQelMsgForm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull())
    p.drawImage(0, 0, background_);
  else
    p.fillRect(rect(), Qt::white);
}

int ZQelMsgForm::Present(const ProMod::MsgBoxRequest& request) {
  try {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    ZQelMsgForm form(parent);
    form.Prepare(request);
    return form.Run() == 1 ? 1 : 0;
  } catch (...) {
    return 0;  // a failure to show the message is an unconfirmed message
  }
}

void InstallMessageWindow() { ProMod::SetMsgBoxPresenter(&ZQelMsgForm::Present); }
