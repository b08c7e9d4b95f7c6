// The fields of the colour dialog: H, S, B (applied as they are typed), R, G,
// B (applied when they hold a valid component), C, M, Y, K (shown, never
// applied), their key filters and the checks when a field is left.
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_swatch.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "core/message_service.h"

using namespace ColorDialogMod;

namespace {

const QString kWarningTitle = QStringLiteral("色彩管理");
const QString kHueWarning = QStringLiteral("请输入一个0至360之间的整数！");
const QString kPercentWarning = QStringLiteral("请输入一个0至100之间的整数！");
const QString kComponentWarning = QStringLiteral("请输入一个0至255之间的整数！");

// A whole number written with digits only (what the filters let through;
// anything pasted past them is no whole number).
bool WholeNumber(const QString& text, int* value) {
  if (text.isEmpty() || text.size() > 9) return false;
  int v = 0;
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    v = v * 10 + (c.unicode() - '0');
  }
  *value = v;
  return true;
}

bool InRange(const QString& text, int maximum, int* value) { return WholeNumber(text, value) && *value <= maximum; }

}  // namespace

QelText* ColorDialog::NewField(QWidget* parent, const QRect& r) {
  auto* field = new QelText(parent);
  field->setAlignment(1);
  field->setMaxLength(3);
  field->setBorderColor(0);
  field->setText(QStringLiteral("100"));
  field->setGeometry(r);
  return field;
}

void ColorDialog::CreateFields() {
  frame2_ = new QWidget(this);
  frame2_->setObjectName(QStringLiteral("Frame2"));
  auto* probe = new QelText(frame2_);
  const int fieldHeight = std::max(22, probe->MinimumHeightPixels());
  delete probe;
  const int pitch = fieldHeight + 3;
  frame2_->setGeometry(300, 72, 180, 7 * pitch);

  auto row = [pitch](int i) { return i * pitch; };
  auto label = [this, fieldHeight](const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, frame2_);
    l->setGeometry(x, y, w, fieldHeight);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
  };
  auto option = [this, fieldHeight](const char* name, const QString& text, int y) {
    auto* o = new QRadioButton(text, frame2_);
    o->setObjectName(QString::fromLatin1(name));
    o->setGeometry(0, y, 36, fieldHeight);
    return o;
  };
  const QRect left(38, 0, 42, fieldHeight), right(122, 0, 42, fieldHeight);
  optH_ = option("optH", QStringLiteral("H:"), row(0));
  optS_ = option("optS", QStringLiteral("S:"), row(1));
  optB_ = option("optB", QStringLiteral("B:"), row(2));
  txtH_ = NewField(frame2_, left.translated(0, row(0)));
  txtS_ = NewField(frame2_, left.translated(0, row(1)));
  txtB_ = NewField(frame2_, left.translated(0, row(2)));
  label(QStringLiteral("°"), 82, row(0), 14);
  label(QStringLiteral("%"), 82, row(1), 14);
  label(QStringLiteral("%"), 82, row(2), 14);
  label(QStringLiteral("R:"), 18, row(3), 20);
  label(QStringLiteral("G:"), 18, row(4), 20);
  label(QStringLiteral("B:"), 18, row(5), 20);
  text1_ = NewField(frame2_, left.translated(0, row(3)));
  text2_ = NewField(frame2_, left.translated(0, row(4)));
  text3_ = NewField(frame2_, left.translated(0, row(5)));
  label(QStringLiteral("C:"), 104, row(0), 18);
  label(QStringLiteral("M:"), 104, row(1), 18);
  label(QStringLiteral("Y:"), 104, row(2), 18);
  label(QStringLiteral("K:"), 104, row(3), 18);
  txtCyan_ = NewField(frame2_, right.translated(0, row(0)));
  txtMagenta_ = NewField(frame2_, right.translated(0, row(1)));
  txtYellow_ = NewField(frame2_, right.translated(0, row(2)));
  txtK_ = NewField(frame2_, right.translated(0, row(3)));
  lblHex_ = label(QStringLiteral("#000000"), 104, row(5), 72);
  lblHex_->setObjectName(QStringLiteral("lblHex"));
  lblHex_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  chkWeb_ = new QCheckBox(QStringLiteral("使用网页颜色"), frame2_);
  chkWeb_->setObjectName(QStringLiteral("chkWeb"));
  chkWeb_->setGeometry(0, row(6), 176, fieldHeight);
  ConnectFields();
}

void ColorDialog::ConnectFields() {
  const std::pair<QelText*, const char*> names[] = {
      {txtH_, "txtH"},         {txtS_, "txtS"},           {txtB_, "txtB"},         {text1_, "Text1"},
      {text2_, "Text2"},       {text3_, "Text3"},         {txtCyan_, "txtCyan"},   {txtMagenta_, "txtMagenta"},
      {txtYellow_, "txtYellow"}, {txtK_, "txtK"}};
  for (const auto& [field, name] : names) field->setObjectName(QString::fromLatin1(name));

  for (QelText* field : {txtH_, txtS_, txtB_, text1_, text2_, text3_}) {
    // Digits and backspace only: no pasting, copying or Enter by key.
    connect(field, &QelText::KeyPress, this, [](int16_t& keyAscii) {
      if (!(keyAscii >= '0' && keyAscii <= '9') && keyAscii != 8) keyAscii = 0;
    });
  }
  for (QelText* field : {txtH_, txtS_, txtB_}) {
    connect(field, &QelText::KeyDown, this, [this, field](int16_t&, int16_t&) { pressedIn_ = field; });
    connect(field, &QelText::KeyUp, this, [this, field](int16_t&, int16_t&) { HsbFieldKeyUp(field); });
  }
  for (QelText* field : {text1_, text2_, text3_})
    connect(field, &QelText::Change, this, [this, field] { RgbFieldChanged(field); });
  connect(txtK_, &QelText::Change, this, &ColorDialog::KFieldChanged);
  for (QelText* field : {txtH_, txtS_, txtB_, text1_, text2_, text3_, txtK_}) field->Text1()->installEventFilter(this);

  connect(optH_, &QRadioButton::clicked, this, [this] { optMode_Click(kModeH); });
  connect(optS_, &QRadioButton::clicked, this, [this] { optMode_Click(kModeS); });
  connect(optB_, &QRadioButton::clicked, this, [this] { optMode_Click(kModeB); });
  connect(chkWeb_, &QCheckBox::clicked, this, &ColorDialog::chkWeb_Click);
}

// ---- filling --------------------------------------------------------------------

void ColorDialog::SetFieldText(QelText* field, const QString& text) {
  const bool was = filling_;
  filling_ = true;
  if (field->Text() != text) field->setText(text);
  filling_ = was;
}

void ColorDialog::FillRgbFields(ColourValue colour) {
  SetFieldText(text1_, QString::number(RedOf(colour)));
  SetFieldText(text2_, QString::number(GreenOf(colour)));
  SetFieldText(text3_, QString::number(BlueOf(colour)));
  UpdateCmyk();
}

void ColorDialog::FillHsbFields(const Hsb& values) {
  SetFieldText(txtH_, QString::number(TruncateValue(values.h)));
  SetFieldText(txtS_, QString::number(TruncateValue(values.s)));
  SetFieldText(txtB_, QString::number(TruncateValue(values.b)));
}

// C, M, Y and K follow the R, G and B fields while all three hold a
// component; otherwise they keep what they showed.
void ColorDialog::UpdateCmyk() {
  int r, g, b;
  if (!InRange(text1_->Text(), 255, &r) || !InRange(text2_->Text(), 255, &g) || !InRange(text3_->Text(), 255, &b))
    return;
  const Cmyk cmyk = RgbToCmyk(r, g, b);
  SetFieldText(txtCyan_, QString::number(cmyk.c));
  SetFieldText(txtMagenta_, QString::number(cmyk.m));
  SetFieldText(txtYellow_, QString::number(cmyk.y));
  SetFieldText(txtK_, QString::number(cmyk.k));
}

int ColorDialog::FieldMaximum(QelText* field) const {
  if (field == txtH_) return 360;
  if (field == txtS_ || field == txtB_) return 100;
  return 255;
}

Hsb ColorDialog::ValuesFromFields() const {
  Hsb values = hsb_;
  int v;
  if (InRange(txtH_->Text(), 360, &v)) values.h = v;
  if (InRange(txtS_->Text(), 100, &v)) values.s = v;
  if (InRange(txtB_->Text(), 100, &v)) values.b = v;
  return values;
}

// ---- typing ---------------------------------------------------------------------

void ColorDialog::Warn(const QString& text, QelText* field) {
  // The key that closes the warning is released in the field: no key of
  // its own, so it must not warn again.
  pressedIn_ = nullptr;
  warning_ = true;
  ProMod::ShowMsgBox(text, 1, kWarningTitle, ProMod::kIconStop);
  warning_ = false;
  if (field && field->isVisible()) {
    // The field the focus is taken from is not being left by the user.
    refocusing_ = true;
    field->setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
  }
}

// H, S or B take effect as they are typed. A value out of range is refused
// and replaced by 0, which then applies.
void ColorDialog::HsbFieldKeyUp(QelText* field) {
  // Only a key pressed in this field counts (not the release of the Tab
  // that brought the focus here).
  if (filling_ || warning_ || pressedIn_ != field) return;
  const int maximum = FieldMaximum(field);
  const QString& warning = maximum == 360 ? kHueWarning : kPercentWarning;
  const QString text = field->Text();
  if (text.isEmpty()) {
    Warn(warning, field);
    return;
  }
  double Hsb::*component = field == txtH_ ? &Hsb::h : (field == txtS_ ? &Hsb::s : &Hsb::b);
  int value;
  if (!InRange(text, maximum, &value)) {
    Warn(warning, field);
    SetFieldText(field, QStringLiteral("0"));
    value = 0;
  } else if (value == TruncateValue(hsb_.*component)) {
    return;  // a key that changed nothing (Tab, arrows) keeps the exact value
  }
  Hsb values = hsb_;
  values.*component = value;
  ApplyValues(values);
}

void ColorDialog::RgbFieldChanged(QelText* field) {
  if (field->Text().isEmpty()) return;
  UpdateCmyk();
  if (filling_) return;
  int r, g, b;
  if (!InRange(text1_->Text(), 255, &r) || !InRange(text2_->Text(), 255, &g) || !InRange(text3_->Text(), 255, &b))
    return;
  const ColourValue colour = RgbValue(r, g, b);
  hsb_ = RgbToHsb(colour);
  FillHsbFields(hsb_);
  SetSelected(colour);
  const int mode = PickerMode <= kModeB ? PickerMode : static_cast<int16_t>(kModeH);
  const QPoint cursor = CursorFor(mode, hsb_);
  CursorX = cursor.x();
  CursorY = cursor.y();
  SliderY = SliderYFor(mode, hsb_);
  if (page_ == kPagePicker && PickerMode <= kModeB) RedrawPickerPage();
}

void ColorDialog::KFieldChanged() {
  if (filling_ || warning_) return;
  int k;
  const QString text = txtK_->Text();
  if (!text.isEmpty() && !InRange(text, 255, &k)) Warn(kComponentWarning, txtK_);
}

// ---- leaving a field -----------------------------------------------------------

bool ColorDialog::ValidateLeaving(QelText* field) {
  const QString text = field->Text();
  const int maximum = FieldMaximum(field);
  int value;
  if (field == txtK_ && text.isEmpty()) return true;
  if (InRange(text, maximum, &value)) {
    if (field != txtK_) SetFieldText(field, QString::number(value));
    return true;
  }
  Warn(maximum == 360 ? kHueWarning : (maximum == 100 ? kPercentWarning : kComponentWarning), field);
  return false;
}

bool ColorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    QelText* field = nullptr;
    for (QelText* f : {txtH_, txtS_, txtB_, text1_, text2_, text3_, txtK_})
      if (f->Text1() == watched) field = f;
    const bool leaving = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                         reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason ||
                         reason == Qt::OtherFocusReason;
    // Going to "退出" is no leaving: cancelling needs no valid fields.
    const bool toCancel = QApplication::focusWidget() == command2_;
    if (field && leaving && !warning_ && !refocusing_ && !toCancel && isVisible()) {
      // Checked once the focus has moved, outside the focus change itself.
      QPointer<QelText> guard(field);
      QTimer::singleShot(0, this, [this, guard] {
        if (guard && isVisible() && !warning_ && frame2_->isVisible()) ValidateLeaving(guard);
      });
    }
  }
  return QDialog::eventFilter(watched, event);
}
