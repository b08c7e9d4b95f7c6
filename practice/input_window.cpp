#include "practice/input_window.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "controls/gradient.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "core/message_service.h"
#include "practice/message_icons.h"
#include "practice/dialog_background.h"

namespace {
QFont PromptFont() { return QFont(QStringLiteral("宋体"), 9); }
}  // namespace

ZQelInputForm::ZQelInputForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setModal(true);
  setObjectName(QStringLiteral("ZQelInputForm"));

  label1_ = new QLabel(QStringLiteral("文本文字内容在在在在"), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setFont(PromptFont());
  label1_->setTextFormat(Qt::PlainText);
  label1_->setWordWrap(true);
  label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setFixedSize(32, 32);

  qelText1_ = new QelText(this);
  qelText1_->setObjectName(QStringLiteral("QelText1"));
  qelText1_->setText(QString());  // the box opens empty, whatever its default text
  connect(qelText1_, &QelTextBase::KeyPress, this, [this](int16_t& keyAscii) {
    if (keyAscii == 13) {
      keyAscii = 0;
      Ok();
    }
  });

  auto makeButton = [this](const QString& caption, const char* name) {
    auto* b = new VsNetBut(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setCaptionAreaPercent(100);
    b->setShowEdgeOnNoFocus(true);
    b->setFont(PromptFont());
    return b;
  };
  vsNetBut1_ = makeButton(QStringLiteral("确 定"), "VsNetBut1");
  vsNetBut2_ = makeButton(QStringLiteral("取 消"), "VsNetBut2");
  vsNetBut2_->setCancel(true);
  connect(vsNetBut1_, &VsNetBut::Click, this, &ZQelInputForm::Ok);
  connect(vsNetBut2_, &VsNetBut::Click, this, &ZQelInputForm::CancelPressed);

  Prepare(label1_->text(), QString(), 0);
}

ZQelInputForm::~ZQelInputForm() = default;

void ZQelInputForm::Prepare(const QString& prompt, const QString& title, int16_t iconIndex) {
  myInputValue_.clear();
  confirmed_ = false;
  QString text = prompt;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  label1_->setText(text);
  setWindowTitle(title.isEmpty() ? ProMod::kAppTitle : title);
  const QImage icon = DrawMessageIcon(iconIndex >= 0 && iconIndex <= 3 ? iconIndex : 0, 32);
  image1_->setPixmap(QPixmap::fromImage(icon));
  setWindowIcon(QIcon(QPixmap::fromImage(icon)));

  auto px = [](int t) { return twips::ToPixels(t); };
  const int labelHeight =
      std::clamp(label1_->heightForWidth(px(kLabelWidth)) * twips::kPerPixel, 240, kMaxLabelHeight);
  const int textTop = kLabelTop + labelHeight + kTextGap;
  const int textHeight = std::max(kTextHeight, qelText1_->MinimumHeightPixels() * twips::kPerPixel);
  const int buttonTop = textTop + textHeight + kButtonGap;
  windowHeight_ = buttonTop + kBottomAfterButtonTop;
  const int clientWidth = kWindowWidth - kNonClientWidth;
  const int button1Left = (kWindowWidth - (kSecondButtonOffset + kButtonWidth)) / 2;

  image1_->move(px(kIconLeft), px(kIconTop));
  label1_->setGeometry(px(kLabelLeft), px(kLabelTop), px(kLabelWidth), px(labelHeight));
  qelText1_->setGeometry(px(kLabelLeft), px(textTop), px(kLabelWidth), px(textHeight));
  vsNetBut1_->setGeometry(px(button1Left), px(buttonTop), px(kButtonWidth), px(kButtonHeight));
  vsNetBut2_->setGeometry(px(button1Left + kSecondButtonOffset), px(buttonTop), px(kButtonWidth), px(kButtonHeight));
  setFixedSize(px(clientWidth), px(windowHeight_ - kNonClientHeight));
}

int ZQelInputForm::Run() {
  qelText1_->setFocus();
  exec();
  return confirmed_ ? 1 : 0;
}

void ZQelInputForm::Ok() {
  myInputValue_ = qelText1_->Text();
  confirmed_ = true;
  done(QDialog::Accepted);
}

void ZQelInputForm::CancelPressed() {
  myInputValue_.clear();
  confirmed_ = false;
  done(QDialog::Rejected);
}

void ZQelInputForm::reject() {
  myInputValue_.clear();
  confirmed_ = false;
  QDialog::reject();
}

void ZQelInputForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  background_ = DialogBackground(size());
  update();
}

void ZQelInputForm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull())
    p.drawImage(0, 0, background_);
  else
    p.fillRect(rect(), Qt::white);
}
