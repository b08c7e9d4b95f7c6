#pragma once
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "controls/colour_value.h"

class QPainter;
class PropertyBag;

// The system's owner-drawn push button in the look of an office toolbar:
// flat at rest, a warm vertical gradient with a dark frame under the
// pointer, a darker one while pressed, and a checked look for toggles. It
// shows an optional picture and a caption, each in its own area, and also
// serves as toolbar separator, grip bar, split button with a drop-down part
// and toolbar options button (ButtonAppearance 0 to 4).
//
// Coordinates inside the button are pixels. Events are signals whose
// arguments are passed by reference, as the hosts expect. Setters that
// refuse a value throw InvalidPropertyValue (number 380) and keep the old
// value; hosts catch it.
class VsNetBut : public QWidget {
  Q_OBJECT

 public:
  enum Appearance : int32_t {
    sbOffice2003 = 0,
    sbSep2003 = 1,
    sbMainSep2003 = 2,
    sbUp_Down2003 = 3,
    sbChevron2003 = 4,
  };
  enum CaptionSide : int32_t { kCaptionLeft = 0, kCaptionRight = 1, kCaptionTop = 2, kCaptionBottom = 3 };
  enum VisualState { kStateNormal, kStateHover, kStatePressed };

  static constexpr ColourValue kDefaultDownColorXP = 12615808;
  static constexpr ColourValue kDefaultOverColorXP = 13741485;
  static constexpr ColourValue kDefaultCheckedColorXP = 14208204;
  static constexpr ColourValue kDefaultShadowColor = 12232358;
  static constexpr ColourValue kDefaultSepForeColor = 8552576;
  static constexpr ColourValue kDefaultEdgeColor = RgbValue(0, 45, 150);
  static constexpr ColourValue kDefaultBackColor = SystemColourValue(kSysButtonFace);
  static constexpr ColourValue kDefaultForeColor = SystemColourValue(kSysWindowText);
  static constexpr ColourValue kDefaultDownColorStar = RgbValue(251, 139, 89);
  static constexpr ColourValue kDefaultDownColorEnd = RgbValue(206, 47, 3);
  static constexpr ColourValue kDefaultOverColorStar = RgbValue(253, 254, 211);
  static constexpr ColourValue kDefaultOverColorEnd = RgbValue(253, 221, 152);
  static constexpr ColourValue kDefaultCheckedColorStar = RgbValue(251, 223, 128);
  static constexpr ColourValue kDefaultCheckedColorEnd = RgbValue(245, 185, 74);
  // Silhouette under a lifted picture.
  static constexpr ColourValue kCheckedGradientSilhouette = RgbValue(164, 73, 39);
  static constexpr ColourValue kFlatSilhouette = 10256769;
  static constexpr ColourValue kNoBorder = 0xFFFFFFFFu;
  // Rounds of event processing each step of the animated access-key press
  // is held for.
  static constexpr int kHotKeyHoverRounds = 3000;
  static constexpr int kHotKeyPressedRounds = 4000;
  static const char* const kDefaultCaption;

  explicit VsNetBut(QWidget* parent = nullptr);
  ~VsNetBut() override;

  // ---- properties, in their stored order ----
  QFont Font() const { return font(); }  // set with QWidget::setFont
  bool FontBold() const { return font().bold(); }
  void setFontBold(bool value);
  bool FontItalic() const { return font().italic(); }
  void setFontItalic(bool value);
  bool FontUnderline() const { return font().underline(); }
  void setFontUnderline(bool value);
  float FontSize() const;
  void setFontSize(float value);  // sizes of 0 or less are ignored
  QString FontName() const { return font().family(); }
  void setFontName(const QString& value);

  bool Office2003Style() const { return office2003Style_; }
  void setOffice2003Style(bool value);
  ColourValue DownColorXP() const { return downColorXP_; }
  void setDownColorXP(ColourValue value);
  ColourValue OverColorXP() const { return overColorXP_; }
  void setOverColorXP(ColourValue value);
  ColourValue CheckedColorXP() const { return checkedColorXP_; }
  void setCheckedColorXP(ColourValue value);
  bool ShowShadow() const { return showShadow_; }
  void setShowShadow(bool value);
  bool Enabled() const { return isEnabled(); }  // set with QWidget::setEnabled
  QPixmap MouseIcon() const { return mouseIcon_; }
  void setMouseIcon(const QPixmap& value);
  // 0 default, 1 arrow, 2 cross, 3 I-beam, 5/15 size all, 6 size NE-SW,
  // 7 size N-S, 8 size NW-SE, 9 size W-E, 10 up arrow, 11 hourglass,
  // 12 no drop, 13 arrow and hourglass, 14 arrow and question mark,
  // 99 MouseIcon.
  int16_t MousePointer() const { return mousePointer_; }
  void setMousePointer(int16_t value);
  bool ShowCaption() const { return showCaption_; }
  void setShowCaption(bool value);
  double CaptionAreaPercent() const { return captionAreaPercent_; }
  void setCaptionAreaPercent(double value);  // 0..100, else refused
  QString Caption() const { return caption_; }
  void setCaption(const QString& value);
  bool AutoMultiLine() const { return autoMultiLine_; }
  void setAutoMultiLine(bool value);
  int16_t CaptionOffsetBottom() const { return captionOffsetBottom_; }
  void setCaptionOffsetBottom(int16_t value);
  int16_t CaptionOffsetLeft() const { return captionOffsetLeft_; }
  void setCaptionOffsetLeft(int16_t value);
  int16_t CaptionOffsetRight() const { return captionOffsetRight_; }
  void setCaptionOffsetRight(int16_t value);
  int16_t CaptionOffsetTop() const { return captionOffsetTop_; }
  void setCaptionOffsetTop(int16_t value);
  int16_t PictureOffsetBottom() const { return pictureOffsetBottom_; }
  void setPictureOffsetBottom(int16_t value);
  int16_t PictureOffsetLeft() const { return pictureOffsetLeft_; }
  void setPictureOffsetLeft(int16_t value);
  int16_t PictureOffsetRight() const { return pictureOffsetRight_; }
  void setPictureOffsetRight(int16_t value);
  int16_t PictureOffsetTop() const { return pictureOffsetTop_; }
  void setPictureOffsetTop(int16_t value);
  ColourValue ShadowColor() const { return shadowColor_; }
  void setShadowColor(ColourValue value);
  int16_t ShadowOffset() const { return shadowOffset_; }
  void setShadowOffset(int16_t value);
  bool HotKeyDynamicEffect() const { return hotKeyDynamicEffect_; }
  void setHotKeyDynamicEffect(bool value);
  bool ShowEdgeOnNoFocus() const { return showEdgeOnNoFocus_; }
  void setShowEdgeOnNoFocus(bool value);
  bool ShowFocusRect() const { return showFocusRect_; }
  void setShowFocusRect(bool value);
  int16_t FoucsRectOffSet() const { return foucsRectOffSet_; }
  void setFoucsRectOffSet(int16_t value);
  // An icon or a bitmap. A picture without transparency takes the colour
  // of its top-left pixel as transparent.
  QImage ButtonPicture() const { return buttonPicture_; }
  void setButtonPicture(const QImage& value);
  // Loads the picture from a file; a file that cannot be read leaves the
  // current picture in place and returns false.
  bool LoadButtonPicture(const QString& path);
  bool ShowPictureFixSize() const { return showPictureFixSize_; }
  void setShowPictureFixSize(bool value);
  ColourValue SepForeColor() const { return sepForeColor_; }
  void setSepForeColor(ColourValue value);
  ColourValue MainSepForeColor() const { return mainSepForeColor_; }
  void setMainSepForeColor(ColourValue value);
  int16_t MainSepThick() const { return mainSepThick_; }
  void setMainSepThick(int16_t value);
  int16_t Up_DownWidht() const { return up_DownWidht_; }
  void setUp_DownWidht(int16_t value);
  int16_t MainSepLineBetweenSpace() const { return mainSepLineBetweenSpace_; }
  void setMainSepLineBetweenSpace(int16_t value);
  double PicAreaFixHeight() const { return picAreaFixHeight_; }
  void setPicAreaFixHeight(double value);
  double PicAreaFixWidth() const { return picAreaFixWidth_; }
  void setPicAreaFixWidth(double value);
  bool IgnoeDisEnabledEffect() const { return ignoeDisEnabledEffect_; }
  void setIgnoeDisEnabledEffect(bool value);
  int32_t CaptionLayout() const { return captionLayout_; }
  void setCaptionLayout(int32_t value);
  int32_t PictureLayout() const { return pictureLayout_; }
  void setPictureLayout(int32_t value);
  int32_t ButtonAppearance() const { return buttonAppearance_; }
  void setButtonAppearance(int32_t value);
  int32_t CaptionAreaLayout() const { return captionAreaLayout_; }
  void setCaptionAreaLayout(int32_t value);
  bool EnableDblClick() const { return enableDblClick_; }
  void setEnableDblClick(bool value);
  ColourValue EdgeColor() const { return edgeColor_; }
  void setEdgeColor(ColourValue value);
  ColourValue BackColor() const { return backColor_; }
  void setBackColor(ColourValue value);
  ColourValue ForeColor() const { return foreColor_; }
  void setForeColor(ColourValue value);
  ColourValue DownColorStar() const { return downColorStar_; }
  void setDownColorStar(ColourValue value);
  ColourValue DownColorEnd() const { return downColorEnd_; }
  void setDownColorEnd(ColourValue value);
  ColourValue CheckOverColorStar() const { return checkOverColorStar_; }
  void setCheckOverColorStar(ColourValue value);
  ColourValue CheckOverColorEnd() const { return checkOverColorEnd_; }
  void setCheckOverColorEnd(ColourValue value);
  ColourValue OverColorStar() const { return overColorStar_; }
  void setOverColorStar(ColourValue value);
  ColourValue OverColorEnd() const { return overColorEnd_; }
  void setOverColorEnd(ColourValue value);
  ColourValue CheckedColorStar() const { return checkedColorStar_; }
  void setCheckedColorStar(ColourValue value);
  ColourValue CheckedColorEnd() const { return checkedColorEnd_; }
  void setCheckedColorEnd(ColourValue value);
  bool Check() const { return check_; }
  void setCheck(bool value);

  // How the host window treats the button: Enter presses the default
  // button, Esc the cancel button, both with the animated press.
  bool Default() const { return default_; }
  void setDefault(bool value);
  bool Cancel() const { return cancel_; }
  void setCancel(bool value);

  // The caption's access key in upper case, or a null character.
  QChar AccessKey() const { return accessKey_; }
  static QChar AccessKeyOf(const QString& caption);

  // ---- stored properties ----
  // Names in the order they are read; writing puts "Enabled" first.
  static QStringList StoredPropertyNames();
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // A two-colour gradient over (LeftX, TopY)-(RightX, BottomY), right and
  // bottom edges excluded: top to bottom when bVertical, else left to
  // right; then, when bDrawBorder and clrBorder is not kNoBorder (-1), a
  // one-pixel frame in clrBorder.
  static void FillGradient(QPainter& hdc, int LeftX, int TopY, int RightX, int BottomY, ColourValue clrFirst,
                           ColourValue clrSecond, bool bVertical, bool bDrawBorder, ColourValue clrBorder);

  // ---- state, for hosts and tests ----
  VisualState State() const { return state_; }
  bool Hovering() const { return hovering_; }
  bool BigEnough() const { return bigEnough_; }
  int16_t LastMouseButton() const { return lastButton_; }
  QRect CaptionArea() const { return captionArea_; }
  QRect PictureArea() const { return pictureArea_; }
  QRect CaptionRect() const { return captionRect_; }
  QRect PictureRect() const { return pictureRect_; }
  QRect DropDownRect() const { return dropDownRect_; }
  QRect MainRect() const { return mainRect_; }
  // Whether the button, at its present size, could take the given style.
  bool BigEnoughFor(int32_t appearance) const;
  // The pointer has left the button: the hover ends (leave events call it).
  void PointerLeft();
  // What the access key, or Enter/Esc for a default/cancel button, does.
  void AccessKeyPress();

  // How each step of the animated press is held (the button, the rounds
  // of event processing). Tests replace it to watch the steps; an empty
  // handler restores the default (about 10 ms per 1000 rounds, handling
  // events meanwhile).
  using HotKeyPause = std::function<void(VsNetBut*, int rounds)>;
  static void SetHotKeyPause(HotKeyPause pause);

 signals:
  void Click();
  void DblClick();
  void KeyDown(int16_t& KeyCode, int16_t& Shift);
  void KeyPress(int16_t& KeyAscii);
  void KeyUp(int16_t& KeyCode, int16_t& Shift);
  void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseEnter();
  void MouseExit();
  void DropDownClick();
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct StoredProperty;
  static const std::vector<StoredProperty>& StoredProperties();

  // The handlers the platform events map to.
  void DoMouseDown(int16_t button, int16_t shift, float x, float y);
  void DoMouseMove(int16_t buttons, int16_t shift, float x, float y);
  void DoMouseUp(int16_t button, int16_t shift, float x, float y, bool inside);
  void DoClick();
  void DoDblClick();

  void SetLook(VisualState state);
  void Relayout();
  bool ComputeLayout(int32_t appearance, const QRect& r, bool store, bool* bigEnough) const;
  void LayoutMain(const QRect& area, QRect* captionArea, QRect* pictureArea) const;
  void Render(QPainter& p);
  void DrawPicture(QPainter& p, VisualState state, bool disabledLook);
  void DrawCaption(QPainter& p, bool disabledLook);
  void DrawSeparator(QPainter& p);
  void DrawDropDownGlyph(QPainter& p, bool disabledLook);
  void DrawChevronGlyph(QPainter& p, bool disabledLook);
  void UpdateShortcuts();
  void ApplyCursor();
  void Notify(const char* name);
  [[noreturn]] void Refuse(const char* property, const QString& message) const;
  void RequireStyle(const char* property, std::initializer_list<int32_t> styles, const QString& styleMessage) const;
  void HoldLook(int rounds);

  // properties
  bool office2003Style_ = true;
  ColourValue downColorXP_ = kDefaultDownColorXP;
  ColourValue overColorXP_ = kDefaultOverColorXP;
  ColourValue checkedColorXP_ = kDefaultCheckedColorXP;
  bool showShadow_ = true;
  QPixmap mouseIcon_;
  int16_t mousePointer_ = 0;
  bool showCaption_ = true;
  double captionAreaPercent_ = 80;
  QString caption_;
  bool autoMultiLine_ = false;
  int16_t captionOffsetBottom_ = 2, captionOffsetLeft_ = 2, captionOffsetRight_ = 2, captionOffsetTop_ = 2;
  int16_t pictureOffsetBottom_ = 4, pictureOffsetLeft_ = 4, pictureOffsetRight_ = 4, pictureOffsetTop_ = 4;
  ColourValue shadowColor_ = kDefaultShadowColor;
  int16_t shadowOffset_ = 2;
  bool hotKeyDynamicEffect_ = true;
  bool showEdgeOnNoFocus_ = false;
  bool showFocusRect_ = false;
  int16_t foucsRectOffSet_ = 2;
  QImage buttonPicture_;
  QImage drawnPicture_;  // the picture with its transparency made explicit
  bool showPictureFixSize_ = true;
  ColourValue sepForeColor_ = kDefaultSepForeColor;
  ColourValue mainSepForeColor_ = kDefaultSepForeColor;
  int16_t mainSepThick_ = 3;
  int16_t up_DownWidht_ = 12;
  int16_t mainSepLineBetweenSpace_ = 2;
  double picAreaFixHeight_ = 26;
  double picAreaFixWidth_ = 26;
  bool ignoeDisEnabledEffect_ = false;
  int32_t captionLayout_ = 4;
  int32_t pictureLayout_ = 4;
  int32_t buttonAppearance_ = sbOffice2003;
  int32_t captionAreaLayout_ = kCaptionRight;
  bool enableDblClick_ = false;
  ColourValue edgeColor_ = kDefaultEdgeColor;
  ColourValue backColor_ = kDefaultBackColor;
  ColourValue foreColor_ = kDefaultForeColor;
  ColourValue downColorStar_ = kDefaultDownColorStar;
  ColourValue downColorEnd_ = kDefaultDownColorEnd;
  ColourValue checkOverColorStar_ = kDefaultDownColorStar;
  ColourValue checkOverColorEnd_ = kDefaultDownColorEnd;
  ColourValue overColorStar_ = kDefaultOverColorStar;
  ColourValue overColorEnd_ = kDefaultOverColorEnd;
  ColourValue checkedColorStar_ = kDefaultCheckedColorStar;
  ColourValue checkedColorEnd_ = kDefaultCheckedColorEnd;
  bool check_ = false;
  bool default_ = false;
  bool cancel_ = false;

  // state
  VisualState state_ = kStateNormal;
  bool hovering_ = false;
  int16_t lastButton_ = 1;
  int16_t lastKey_ = 0;
  bool bigEnough_ = true;
  bool afterDoubleClick_ = false;
  bool animating_ = false;
  bool loading_ = false;
  QChar accessKey_;
  int mnemonicShortcut_ = 0;
  int returnShortcut_ = 0;
  int enterShortcut_ = 0;
  int escapeShortcut_ = 0;

  // layout
  QRect captionArea_, pictureArea_, captionRect_, pictureRect_, dropDownRect_, mainRect_, sepRect_, glyphRect_;
};
