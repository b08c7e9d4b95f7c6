#pragma once
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "controls/colour_value.h"

class QLineEdit;
class QPlainTextEdit;
class QKeyEvent;
class QInputMethodEvent;
class PropertyBag;

// The system's text box: a borderless platform edit field inside a one-pixel
// frame whose background follows the pointer and the focus (one colour while
// the pointer moves over the unfocused box, one while the box has the focus,
// one otherwise), with an optional digits-only input filter and select-all on
// focus. QelText holds a single-line field, QelTextMu a multi-line one with a
// vertical scroll bar; everything else is shared here.
//
// Events are signals; arguments are passed by reference like the hosts
// expect, and a KeyPress handler may change the character or cancel it by
// setting it to 0.
class QelTextBase : public QWidget {
  Q_OBJECT

 public:
  static constexpr ColourValue kDefaultForeColor = SystemColourValue(kSysWindowText);
  static constexpr ColourValue kDefaultMouseMoveColor = RgbValue(240, 240, 255);
  static constexpr ColourValue kDefaultMouseInColor = RgbValue(224, 224, 255);
  static constexpr ColourValue kDefaultMouseOutColor = SystemColourValue(kSysButtonFace);
  static constexpr ColourValue kDefaultBorderColor = RgbValue(0, 44, 150);
  static constexpr int kFieldInsetTwips = 60;  // the field sits this far inside the frame
  static constexpr int kMinWidthTwips = 180;

  ~QelTextBase() override;

  // Properties passed through to the inner field.
  ColourValue ForeColor() const { return foreColor_; }
  void setForeColor(ColourValue value);
  bool Enabled() const { return isEnabled(); }  // set with QWidget::setEnabled
  QFont Font() const { return font(); }         // set with QWidget::setFont
  // 0 left, 1 right, 2 centre; other values draw left-aligned.
  int16_t Alignment() const { return alignment_; }
  void setAlignment(int16_t value);
  bool Locked() const { return locked_; }
  void setLocked(bool value);
  // The first character hides what is typed (single-line box only; the
  // multi-line box keeps the value but shows the text).
  QString PasswordChar() const { return passwordChar_; }
  void setPasswordChar(const QString& value);
  // The multi-line box gives its line breaks as CR LF and takes CR LF or LF.
  QString Text() const;
  void setText(const QString& value);
  // 0 = no limit; negative values count as 0.
  int32_t MaxLength() const { return maxLength_; }
  void setMaxLength(int32_t value);

  // Properties kept by the control.
  ColourValue MouseMoveColor() const { return mouseMoveColor_; }
  void setMouseMoveColor(ColourValue value);
  ColourValue MouseInColor() const { return mouseInColor_; }
  void setMouseInColor(ColourValue value);
  // Takes effect at the next layout, show, focus loss or pointer leave.
  ColourValue MouseOutColor() const { return mouseOutColor_; }
  void setMouseOutColor(ColourValue value);
  ColourValue BorderColor() const { return borderColor_; }
  void setBorderColor(ColourValue value);
  bool SelAll() const { return selAll_; }
  void setSelAll(bool value);
  bool OnlyNumber() const { return onlyNumber_; }
  void setOnlyNumber(bool value);
  bool UserDot() const { return userDot_; }
  void setUserDot(bool value);

  void Refresh();

  // Stored properties: defaults for a new control, load and save.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // What the input filter makes of a typed character code (0 = swallowed),
  // before the host's KeyPress sees it.
  int FilterCharacter(int code) const;

  // The inner edit field (QLineEdit or QPlainTextEdit).
  QWidget* Text1() const;
  // The background colour the field and frame show now.
  ColourValue CurrentBackColor() const { return currentBack_; }
  bool HasFocusFlag() const { return hasFocus_; }
  // Between a hover of the unfocused box (or a focus loss) and the pointer
  // leaving the box; the leave event then ends it.
  bool AwaitingLeave() const { return awaitingLeave_; }
  // The pointer has left the edit field: MouseOutColor and MouseOut unless focused.
  void PointerLeft();
  // The smallest control height: one text line plus the frame insets.
  int MinimumHeightPixels() const;

 signals:
  void Click();
  void KeyDown(int16_t& KeyCode, int16_t& Shift);
  void KeyPress(int16_t& KeyAscii);
  void KeyUp(int16_t& KeyCode, int16_t& Shift);
  void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void DblClick();
  void Change();
  void MouseOut();
  // A property was set (its name), so a host can mark its stored form dirty.
  void PropertyChanged(const QString& name);

 protected:
  QelTextBase(bool multiLine, QWidget* parent);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool HandleKeyPress(QKeyEvent* event);
  bool HandleInputMethod(QInputMethodEvent* event);
  QString FilterTypedText(const QString& typed);
  void ApplyCharacter(int code, QKeyEvent* original);
  void InsertTyped(const QString& text);
  int RoomLeft() const;
  bool HandleMouse(QEvent* event);
  void SetBack(ColourValue colour);
  void ApplyPalette();
  void ApplyAlignment();
  void ApplyPasswordChar();
  void ApplyMaxLength();
  void LayoutField();
  void Notify(const char* name);

  bool multiLine_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* plain_ = nullptr;

  ColourValue foreColor_ = kDefaultForeColor;
  int16_t alignment_ = 0;
  bool locked_ = false;
  QString passwordChar_;
  int32_t maxLength_ = 0;
  ColourValue mouseMoveColor_ = kDefaultMouseMoveColor;
  ColourValue mouseInColor_ = kDefaultMouseInColor;
  ColourValue mouseOutColor_ = kDefaultMouseOutColor;
  ColourValue borderColor_ = kDefaultBorderColor;
  bool selAll_ = false;
  bool onlyNumber_ = true;
  bool userDot_ = false;

  ColourValue currentBack_ = kDefaultMouseOutColor;
  bool hasFocus_ = false;
  bool awaitingLeave_ = false;
  bool replaying_ = false;       // an event we send to the field ourselves
  bool afterDoubleClick_ = false;  // the release that ends a double click is no click
  bool loading_ = false;           // reading stored properties: no change reports
};

// Single-line text box.
class QelText : public QelTextBase {
  Q_OBJECT
 public:
  explicit QelText(QWidget* parent = nullptr);
};

// Multi-line text box with a vertical scroll bar.
class QelTextMu : public QelTextBase {
  Q_OBJECT
 public:
  explicit QelTextMu(QWidget* parent = nullptr);
};
