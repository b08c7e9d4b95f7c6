#include "controls/text_box.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/property_bag.h"
#include "controls/twips.h"
#include "controls/vb_input.h"

namespace {

// Multi-line field that keeps pasted text within the length limit.
class LimitedPlainEdit : public QPlainTextEdit {
 public:
  explicit LimitedPlainEdit(QWidget* parent) : QPlainTextEdit(parent) {}
  std::function<int()> roomLeft;

 protected:
  void insertFromMimeData(const QMimeData* source) override {
    if (!source || !source->hasText() || !roomLeft) {
      QPlainTextEdit::insertFromMimeData(source);
      return;
    }
    const int room = roomLeft();
    QString text = source->text();
    if (text.size() <= room) {
      QPlainTextEdit::insertFromMimeData(source);
      return;
    }
    text.truncate(std::max(0, room));
    if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    insertPlainText(text);
  }
};

// Lets a single-line field show a chosen character for hidden text.
class PasswordCharStyle : public QProxyStyle {
 public:
  explicit PasswordCharStyle(QChar c) : mask_(c) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return mask_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

 private:
  QChar mask_;
};

// Drops UTF-16 halves left alone after some characters were taken out.
QString WithoutLoneSurrogates(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate()) {
      if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        out += c;
        out += text.at(++i);
      }
    } else if (!c.isLowSurrogate()) {
      out += c;
    }
  }
  return out;
}

}  // namespace

QelTextBase::QelTextBase(bool multiLine, QWidget* parent) : QWidget(parent), multiLine_(multiLine) {
  if (multiLine_) {
    auto* plain = new LimitedPlainEdit(this);
    plain->roomLeft = [this] { return RoomLeft(); };
    plain_ = plain;
    plain_->setFrameShape(QFrame::NoFrame);
    plain_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    plain_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    plain_->document()->setDocumentMargin(1);
    plain_->viewport()->setMouseTracking(true);
    plain_->viewport()->installEventFilter(this);
    plain_->installEventFilter(this);
    connect(plain_, &QPlainTextEdit::textChanged, this, [this] { emit Change(); });
  } else {
    line_ = new QLineEdit(this);
    line_->setFrame(false);
    line_->setMouseTracking(true);
    line_->installEventFilter(this);
    connect(line_, &QLineEdit::textChanged, this, [this] { emit Change(); });
  }
  Text1()->setAutoFillBackground(true);
  Text1()->setAttribute(Qt::WA_InputMethodEnabled, true);
  setFocusProxy(Text1());
  setFocusPolicy(Qt::StrongFocus);

  loading_ = true;
  InitProperties();
  loading_ = false;
  LayoutField();
}

QelTextBase::~QelTextBase() {
  if (line_) line_->removeEventFilter(this);
  if (plain_) {
    plain_->removeEventFilter(this);
    plain_->viewport()->removeEventFilter(this);
  }
}

QelText::QelText(QWidget* parent) : QelTextBase(false, parent) {}
QelTextMu::QelTextMu(QWidget* parent) : QelTextBase(true, parent) {}

QWidget* QelTextBase::Text1() const {
  if (line_) return line_;
  return plain_;
}

// ---- properties ----------------------------------------------------------

void QelTextBase::Notify(const char* name) {
  if (!loading_) emit PropertyChanged(QString::fromLatin1(name));
}

void QelTextBase::setForeColor(ColourValue value) {
  foreColor_ = value;
  ApplyPalette();
  Notify("ForeColor");
}

void QelTextBase::setAlignment(int16_t value) {
  alignment_ = value;
  ApplyAlignment();
  Notify("Alignment");
}

void QelTextBase::setLocked(bool value) {
  locked_ = value;
  if (line_) line_->setReadOnly(value);
  if (plain_) plain_->setReadOnly(value);
  Notify("Locked");
}

void QelTextBase::setPasswordChar(const QString& value) {
  passwordChar_ = value;
  ApplyPasswordChar();
  Notify("PasswordChar");
}

QString QelTextBase::Text() const {
  if (line_) return line_->text();
  QString text = plain_->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void QelTextBase::setText(const QString& value) {
  if (line_) {
    line_->setText(value);
  } else {
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    plain_->setPlainText(text);
  }
  Notify("Text");
}

void QelTextBase::setMaxLength(int32_t value) {
  maxLength_ = value;
  ApplyMaxLength();
  Notify("MaxLength");
}

void QelTextBase::setMouseMoveColor(ColourValue value) {
  mouseMoveColor_ = value;
  Notify("MouseMoveColor");
}

void QelTextBase::setMouseInColor(ColourValue value) {
  mouseInColor_ = value;
  Notify("MouseInColor");
}

void QelTextBase::setMouseOutColor(ColourValue value) {
  // Shown from the next layout, show, focus loss or pointer leave on.
  mouseOutColor_ = value;
  Notify("MouseOutColor");
}

void QelTextBase::setBorderColor(ColourValue value) {
  borderColor_ = value;
  update();
  Notify("BorderColor");
}

void QelTextBase::setSelAll(bool value) {
  selAll_ = value;
  Notify("SelAll");
}

void QelTextBase::setOnlyNumber(bool value) {
  onlyNumber_ = value;
  Notify("OnlyNumber");
}

void QelTextBase::setUserDot(bool value) {
  userDot_ = value;
  Notify("UserDot");
}

void QelTextBase::Refresh() {
  Text1()->update();
  if (plain_) plain_->viewport()->update();
}

void QelTextBase::ApplyPalette() {
  QWidget* field = Text1();
  QPalette pal = field->palette();
  const QColor back = ColourValueToQColor(currentBack_);
  const QColor fore = ColourValueToQColor(foreColor_);
  pal.setColor(QPalette::Base, back);
  pal.setColor(QPalette::Window, back);
  pal.setColor(QPalette::Active, QPalette::Text, fore);
  pal.setColor(QPalette::Inactive, QPalette::Text, fore);
  field->setPalette(pal);
  if (plain_) plain_->viewport()->setPalette(pal);
}

void QelTextBase::ApplyAlignment() {
  Qt::Alignment a = Qt::AlignLeft;
  if (alignment_ == 1) a = Qt::AlignRight;
  if (alignment_ == 2) a = Qt::AlignHCenter;
  if (line_) {
    line_->setAlignment(a | Qt::AlignVCenter);
  } else {
    QTextOption option = plain_->document()->defaultTextOption();
    option.setAlignment(a);
    plain_->document()->setDefaultTextOption(option);
  }
}

void QelTextBase::ApplyPasswordChar() {
  if (!line_) return;  // a multi-line box shows its text
  QList<QObject*> oldStyles;
  for (QObject* child : line_->children())
    if (dynamic_cast<PasswordCharStyle*>(child)) oldStyles << child;
  if (passwordChar_.isEmpty()) {
    line_->setEchoMode(QLineEdit::Normal);
    line_->setStyle(nullptr);
  } else {
    auto* style = new PasswordCharStyle(passwordChar_.at(0));
    style->setParent(line_);
    line_->setStyle(style);
    line_->setEchoMode(QLineEdit::Password);
  }
  for (QObject* old : oldStyles) old->deleteLater();
}

void QelTextBase::ApplyMaxLength() {
  if (!line_) return;  // the multi-line field is limited as text comes in
  line_->setMaxLength(maxLength_ > 0 ? maxLength_ : INT_MAX);
}

int QelTextBase::RoomLeft() const {
  if (maxLength_ <= 0) return INT_MAX;
  if (line_) return std::max(0, maxLength_ - (static_cast<int>(line_->text().size()) -
                                              static_cast<int>(line_->selectedText().size())));
  const int length = static_cast<int>(plain_->toPlainText().size());
  const int selected = static_cast<int>(plain_->textCursor().selectedText().size());
  return std::max(0, maxLength_ - (length - selected));
}

// ---- stored properties ---------------------------------------------------

void QelTextBase::InitProperties() {
  const bool wasLoading = loading_;
  loading_ = true;
  setForeColor(kDefaultForeColor);
  setEnabled(true);
  setFont(QFont());  // back to the host's font
  setAlignment(0);
  setLocked(false);
  setPasswordChar(QString());
  setText(QStringLiteral("Text1"));
  setMaxLength(0);
  setMouseMoveColor(kDefaultMouseMoveColor);
  setMouseInColor(kDefaultMouseInColor);
  setMouseOutColor(kDefaultMouseOutColor);
  setBorderColor(kDefaultBorderColor);
  setSelAll(false);
  setOnlyNumber(true);
  setUserDot(false);
  SetBack(mouseOutColor_);
  loading_ = wasLoading;
}

namespace {
QFont AmbientFont(const QWidget* w) { return w->parentWidget() ? w->parentWidget()->font() : QApplication::font(); }
}  // namespace

void QelTextBase::ReadProperties(const PropertyBag& bag) {
  loading_ = true;
  setForeColor(ReadColourProperty(bag, QStringLiteral("ForeColor"), kDefaultForeColor));
  setEnabled(ReadBoolProperty(bag, QStringLiteral("Enabled"), true));
  setFont(ReadFontProperty(bag, QStringLiteral("Font")));
  setAlignment(ReadInt16Property(bag, QStringLiteral("Alignment"), 0));
  setLocked(ReadBoolProperty(bag, QStringLiteral("Locked"), false));
  setPasswordChar(ReadTextProperty(bag, QStringLiteral("PasswordChar"), QString()));
  setText(ReadTextProperty(bag, QStringLiteral("Text"), QStringLiteral("Text1")));
  setMaxLength(ReadInt32Property(bag, QStringLiteral("MaxLength"), 0));
  setMouseMoveColor(ReadColourProperty(bag, QStringLiteral("MouseMoveColor"), kDefaultMouseMoveColor));
  setMouseInColor(ReadColourProperty(bag, QStringLiteral("MouseInColor"), kDefaultMouseInColor));
  setMouseOutColor(ReadColourProperty(bag, QStringLiteral("MouseOutColor"), kDefaultMouseOutColor));
  setBorderColor(ReadColourProperty(bag, QStringLiteral("BorderColor"), kDefaultBorderColor));
  setSelAll(ReadBoolProperty(bag, QStringLiteral("SelAll"), false));
  setOnlyNumber(ReadBoolProperty(bag, QStringLiteral("OnlyNumber"), true));
  setUserDot(ReadBoolProperty(bag, QStringLiteral("UserDot"), false));
  loading_ = false;
  SetBack(hasFocus_ ? mouseInColor_ : mouseOutColor_);
}

void QelTextBase::WriteProperties(PropertyBag& bag) const {
  WriteColourProperty(bag, QStringLiteral("ForeColor"), foreColor_, kDefaultForeColor);
  WriteBoolProperty(bag, QStringLiteral("Enabled"), isEnabled(), true);
  WriteFontProperty(bag, QStringLiteral("Font"), font(), AmbientFont(this));
  WriteInt16Property(bag, QStringLiteral("Alignment"), alignment_, 0);
  WriteBoolProperty(bag, QStringLiteral("Locked"), locked_, false);
  WriteTextProperty(bag, QStringLiteral("PasswordChar"), passwordChar_, QString());
  WriteTextProperty(bag, QStringLiteral("Text"), Text(), QStringLiteral("Text1"));
  WriteInt32Property(bag, QStringLiteral("MaxLength"), maxLength_, 0);
  WriteColourProperty(bag, QStringLiteral("MouseMoveColor"), mouseMoveColor_, kDefaultMouseMoveColor);
  WriteColourProperty(bag, QStringLiteral("MouseInColor"), mouseInColor_, kDefaultMouseInColor);
  WriteColourProperty(bag, QStringLiteral("MouseOutColor"), mouseOutColor_, kDefaultMouseOutColor);
  WriteColourProperty(bag, QStringLiteral("BorderColor"), borderColor_, kDefaultBorderColor);
  WriteBoolProperty(bag, QStringLiteral("SelAll"), selAll_, false);
  WriteBoolProperty(bag, QStringLiteral("OnlyNumber"), onlyNumber_, true);
  WriteBoolProperty(bag, QStringLiteral("UserDot"), userDot_, false);
}

// ---- input filter --------------------------------------------------------

int QelTextBase::FilterCharacter(int code) const {
  if (!onlyNumber_) return code;
  if (code >= '0' && code <= '9') return code;
  // Backspace, Ctrl+V, Ctrl+C and Enter pass the filter.
  if (code == 8 || code == 22 || code == 3 || code == 13) return code;
  if (code == '.' && userDot_ && !Text().contains(QLatin1Char('.'))) return code;
  return 0;
}

// Runs typed text (an input method's result, or a key typing several
// characters) through the filter and the host's KeyPress, one UTF-16 unit
// at a time, as if each had been typed alone.
QString QelTextBase::FilterTypedText(const QString& typed) {
  QPointer<QelTextBase> self(this);
  QString accepted;
  const QString before = Text();
  for (const QChar unit : typed) {
    int code = unit.unicode();
    if (onlyNumber_) {
      const bool dotAllowed =
          userDot_ && !before.contains(QLatin1Char('.')) && !accepted.contains(QLatin1Char('.'));
      if (code == '.')
        code = dotAllowed ? code : 0;
      else
        code = FilterCharacter(code);
    }
    int16_t keyAscii = static_cast<int16_t>(code);
    emit KeyPress(keyAscii);
    if (!self) return QString();
    const auto result = static_cast<char16_t>(static_cast<uint16_t>(keyAscii));
    if (result >= 32) accepted += QChar(result);
  }
  return WithoutLoneSurrogates(accepted);
}

bool QelTextBase::HandleKeyPress(QKeyEvent* event) {
  const int code = vbinput::CharacterCode(event);
  if (code < 0) return false;  // keys that type nothing reach the field unfiltered
  const QString typed = event->text();
  if (code >= 32 && typed.size() > 1) {
    InsertTyped(FilterTypedText(typed));
    return true;
  }
  QPointer<QelTextBase> self(this);
  int16_t keyAscii = static_cast<int16_t>(FilterCharacter(code));
  emit KeyPress(keyAscii);
  if (!self) return true;
  const int result = static_cast<uint16_t>(keyAscii);
  if (result == 0) return true;
  if (result == code) {
    if (plain_ && code >= 32 && RoomLeft() < 1) return true;  // multi-line box full
    return false;
  }
  ApplyCharacter(result, event);
  return true;
}

void QelTextBase::ApplyCharacter(int code, QKeyEvent* original) {
  auto replay = [this](Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    replaying_ = true;
    QApplication::sendEvent(Text1(), &press);
    replaying_ = false;
  };
  Q_UNUSED(original);
  switch (code) {
    case 8: replay(Qt::Key_Backspace, QString(QChar(8))); return;
    case 13: replay(Qt::Key_Return, QStringLiteral("\r")); return;
    case 1:
      if (line_) line_->selectAll(); else plain_->selectAll();
      return;
    case 3:
      if (line_) line_->copy(); else plain_->copy();
      return;
    case 22:
      if (line_) line_->paste(); else plain_->paste();
      return;
    case 24:
      if (line_) line_->cut(); else plain_->cut();
      return;
    case 26:
      if (line_) line_->undo(); else plain_->undo();
      return;
    default: break;
  }
  if (code < 32 || code == 127) return;  // other control characters type nothing
  InsertTyped(WithoutLoneSurrogates(QString(QChar(static_cast<char16_t>(code)))));
}

void QelTextBase::InsertTyped(const QString& text) {
  if (locked_ || text.isEmpty()) return;
  if (line_) {
    line_->insert(text);  // the field keeps its own length limit
    return;
  }
  QString t = text;
  const int room = RoomLeft();
  if (t.size() > room) {
    t.truncate(room);
    t = WithoutLoneSurrogates(t);
  }
  if (!t.isEmpty()) plain_->insertPlainText(t);
}

bool QelTextBase::HandleInputMethod(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  if (commit.isEmpty()) return false;
  QPointer<QelTextBase> self(this);
  QString accepted = FilterTypedText(commit);
  if (!self) return true;
  if (plain_ && accepted.size() > RoomLeft()) accepted = WithoutLoneSurrogates(accepted.left(RoomLeft()));
  if (accepted == commit) return false;
  QInputMethodEvent replacement(event->preeditString(), event->attributes());
  replacement.setCommitString(accepted, event->replacementStart(), event->replacementLength());
  replaying_ = true;
  QApplication::sendEvent(Text1(), &replacement);
  replaying_ = false;
  return true;
}

// ---- events --------------------------------------------------------------

bool QelTextBase::eventFilter(QObject* watched, QEvent* event) {
  QWidget* field = Text1();
  const bool isField = watched == field;
  const bool isMouseTarget = line_ ? watched == line_ : watched == plain_->viewport();
  if (!isField && !isMouseTarget) return QWidget::eventFilter(watched, event);
  if (replaying_) return false;

  if (isField) {
    switch (event->type()) {
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        QPointer<QelTextBase> self(this);
        int16_t keyCode = vbinput::KeyCode(key);
        int16_t shift = vbinput::ShiftState(key->modifiers());
        emit KeyDown(keyCode, shift);
        if (!self) return true;
        return HandleKeyPress(key);
      }
      case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        int16_t keyCode = vbinput::KeyCode(key);
        int16_t shift = vbinput::ShiftState(key->modifiers());
        emit KeyUp(keyCode, shift);
        return false;
      }
      case QEvent::InputMethod:
        return HandleInputMethod(static_cast<QInputMethodEvent*>(event));
      case QEvent::FocusIn: {
        // A context menu taking the focus for a moment is no focus change.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) return false;
        hasFocus_ = true;
        SetBack(mouseInColor_);
        awaitingLeave_ = false;
        if (selAll_) {
          if (line_) line_->selectAll(); else plain_->selectAll();
        }
        return false;
      }
      case QEvent::FocusOut: {
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) return false;
        hasFocus_ = false;
        SetBack(mouseOutColor_);
        // MouseOut follows once the pointer is away from the box: now (after
        // the other focus handlers) when it is elsewhere, else when it leaves.
        awaitingLeave_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
              QWidget* target = line_ ? static_cast<QWidget*>(line_) : plain_->viewport();
              if (!target->underMouse()) PointerLeft();
            },
            Qt::QueuedConnection);
        return false;
      }
      default: break;
    }
  }
  if (isMouseTarget && event->type() == QEvent::Leave) {
    PointerLeft();
    return false;
  }
  if (isMouseTarget) return HandleMouse(event);
  return false;
}

bool QelTextBase::HandleMouse(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
      type != QEvent::MouseButtonDblClick)
    return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  QWidget* target = line_ ? static_cast<QWidget*>(line_) : plain_->viewport();
  const QPoint inField = target->mapTo(Text1(), mouse->position().toPoint());
  float x = static_cast<float>(twips::FromPixels(inField.x()));
  float y = static_cast<float>(twips::FromPixels(inField.y()));
  int16_t shift = vbinput::ShiftState(mouse->modifiers());
  QPointer<QelTextBase> self(this);

  switch (type) {
    case QEvent::MouseButtonPress: {
      afterDoubleClick_ = false;
      int16_t button = vbinput::MouseButton(mouse->button());
      emit MouseDown(button, shift, x, y);
      break;
    }
    case QEvent::MouseMove: {
      if (!hasFocus_) {
        SetBack(mouseMoveColor_);
        awaitingLeave_ = true;
      }
      int16_t buttons = vbinput::MouseButtons(mouse->buttons());
      emit MouseMove(buttons, shift, x, y);
      break;
    }
    case QEvent::MouseButtonRelease: {
      int16_t button = vbinput::MouseButton(mouse->button());
      emit MouseUp(button, shift, x, y);
      if (!self) return true;
      const bool click = mouse->button() == Qt::LeftButton && !afterDoubleClick_ &&
                         target->rect().contains(mouse->position().toPoint());
      afterDoubleClick_ = false;
      if (click) emit Click();
      break;
    }
    case QEvent::MouseButtonDblClick:
      afterDoubleClick_ = true;
      emit DblClick();
      break;
    default: break;
  }
  return !self;
}

void QelTextBase::PointerLeft() {
  if (!awaitingLeave_) return;  // MouseOut is raised once per hover
  awaitingLeave_ = false;
  if (!hasFocus_) {
    SetBack(mouseOutColor_);
    emit MouseOut();
  }
}

void QelTextBase::SetBack(ColourValue colour) {
  currentBack_ = colour;
  ApplyPalette();
  update();
}

int QelTextBase::MinimumHeightPixels() const {
  const QFont f = font();
  double points = f.pointSizeF();
  if (points <= 0) points = f.pixelSize() * 0.75;
  const int byPoints = twips::ToPixels(points * 20.0);
  // Fonts with tall ascent and descent (most Chinese ones) need more than
  // their point size: never clip a line of text.
  const int byMetrics = QFontMetrics(f).height() + 2;
  return std::max(byPoints, byMetrics) + 2 * twips::ToPixels(kFieldInsetTwips);
}

void QelTextBase::LayoutField() {
  setMinimumSize(twips::ToPixels(kMinWidthTwips), MinimumHeightPixels());
  const int inset = twips::ToPixels(kFieldInsetTwips);
  Text1()->setGeometry(inset, inset, std::max(0, width() - 2 * inset), std::max(0, height() - 2 * inset));
}

void QelTextBase::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SetBack(mouseOutColor_);
  LayoutField();
}

void QelTextBase::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  SetBack(hasFocus_ ? mouseInColor_ : mouseOutColor_);
}

void QelTextBase::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    LayoutField();
    Notify("Font");
  } else if (event->type() == QEvent::EnabledChange) {
    Notify("Enabled");
  }
}

void QelTextBase::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ColourValueToQColor(currentBack_));
  p.setPen(ColourValueToQColor(borderColor_));
  p.setBrush(Qt::NoBrush);
  if (width() > 0 && height() > 0) p.drawRect(0, 0, width() - 1, height() - 1);
}
