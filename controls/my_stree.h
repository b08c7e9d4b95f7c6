#pragma once
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/caption_layout.h"
#include "controls/colour_value.h"

class MWheel;
class PropertyBag;
class QScrollBar;

// The vertical list of wrapped text items every window picks things from.
//
// Items are numbered from 1; entry 0 is the template caption whose font and
// width every item takes. Each item keeps its own text (`ItemStr`), a hidden
// text with every letter masked (`HideStr`), what its caption shows now, a
// free text of the host's (`ItemData`) and its top edge in the unscrolled
// layout (`LabelTop`). Lengths are twips (15 to a pixel), colours 32-bit
// colour values.
//
// Only the captions inside the window are laid out and painted, so a list of
// 30 001 items costs per scroll what one page costs. The captions are drawn
// by one paint routine over a persistent gradient background image.
class MyStree : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxItems = 30001;             // a text block keeps this many items
  static constexpr int kGrowLimit = 30000;            // AddItem/InsertItem refuse from this count on
  static constexpr int kMargin = 90;                  // caption left and first caption top
  static constexpr int kCaptionRightGap = 60;         // between caption and scroll bar
  static constexpr int kScrollBarInset = 30;          // scroll bar distance from the top/right edge
  static constexpr int kScrollBarWidth = 255;         // 17 pixels
  static inline const QString kSeparator = QStringLiteral("<KVQENTER>");

  // Stored defaults.
  static constexpr ColourValue kDefaultBackColor = SystemColourValue(kSysWindow);
  static constexpr ColourValue kDefaultBorderColor = RgbValue(255, 0, 0);
  static constexpr ColourValue kDefaultLabelColorMoveIn = RgbValue(0, 0, 255);
  static constexpr ColourValue kDefaultLabelColorMoveOut = RgbValue(0, 0, 0);
  static constexpr ColourValue kDefaultLabelColorClick = RgbValue(255, 0, 0);
  static constexpr ColourValue kDefaultHightLightColor = RgbValue(0, 0, 192);
  static constexpr ColourValue kDefaultBackGroundColor1 = RgbValue(221, 221, 221);
  static constexpr ColourValue kDefaultBackGroundColor2 = RgbValue(255, 255, 255);
  static constexpr int16_t kDefaultLineGap = 180;
  static constexpr int16_t kDefaultLabelFontSize = 12;
  static inline const QString kDefaultGetData = QStringLiteral("\"");
  static inline const QString kDefaultFontName = QStringLiteral("Arial");
  static inline const QString kTemplateDesignFont = QStringLiteral("宋体");

  explicit MyStree(QWidget* parent = nullptr);
  ~MyStree() override;

  // Masks a text for hiding: space, CR and LF stay; a character that is one
  // byte in the Chinese ANSI code page (or that the code page lacks) becomes
  // "-"; a two-byte character (and code 0) becomes "—". Same length as the input.
  static QString MakeHideStr(const QString& text);

  // ---- data model ----
  QString GetData() const { return getData_; }
  void setGetData(const QString& block);
  int LabelCount() const { return static_cast<int>(items_.size()) - 1; }
  void AddItem(const QString& GetItemStr, const QString& remark = QString());
  void InsertItem(int LabelIndex, const QString& GetItemStr, const QString& itemData);
  QString GetLabelData(int LabelIndex) const;
  void SetLabelData(int LabelIndex, const QString& GetItemStr);
  QString GetLabelItemData(int LabelIndex) const;
  void SetabelItemData(int LabelIndex, const QString& GetItemStr);
  int LabelCurClick() const { return curClick_; }
  void setLabelCurClick(int value);
  bool ShowHideCaptial() const { return showHide_; }
  void setShowHideCaptial(bool value);
  void ShowHideCaptialSet(int LabelIndex, bool value);
  bool LabeItemStrShow() const { return itemStrShow_; }
  void setLabeItemStrShow(bool value);
  bool LabeItemStrShowCanChange() const { return itemStrShowCanChange_; }
  void setLabeItemStrShowCanChange(bool value);
  void StopMouseWheel();
  void Refresh();

  // Item fields (index 0 is the template; "" / -1 out of range).
  QString ItemStr(int LabelIndex) const;
  QString HideStr(int LabelIndex) const;
  int32_t LabelTop(int LabelIndex) const;   // unscrolled top, twips
  int32_t LabelHeight(int LabelIndex) const;  // caption height, twips

  // ---- view properties ----
  ColourValue BackColor() const { return backColor_; }
  void setBackColor(ColourValue value);
  bool Enabled() const { return isEnabled(); }  // set with QWidget::setEnabled
  ColourValue BorderColor() const { return borderColor_; }
  void setBorderColor(ColourValue value);
  ColourValue LabelColorMoveIn() const { return colorMoveIn_; }
  void setLabelColorMoveIn(ColourValue value);
  ColourValue LabelColorMoveOut() const { return colorMoveOut_; }
  void setLabelColorMoveOut(ColourValue value);
  ColourValue LabelColorClick() const { return colorClick_; }
  void setLabelColorClick(ColourValue value);
  int16_t 两行间高() const { return lineGap_; }
  void set两行间高(int16_t value);
  bool WordWrap() const { return wordWrap_; }
  void setWordWrap(bool value);
  bool HightLightUse() const { return highlightUse_; }
  void setHightLightUse(bool value);
  ColourValue HightLightColor() const { return highlightColor_; }
  void setHightLightColor(ColourValue value);
  ColourValue BackGroundColor1() const { return backGround1_; }
  void setBackGroundColor1(ColourValue value);
  ColourValue BackGroundColor2() const { return backGround2_; }
  void setBackGroundColor2(ColourValue value);
  int16_t BackGroundAngel() const { return backGroundAngle_; }
  void setBackGroundAngel(int16_t value);
  QString LabelFontName() const { return labelFontName_; }
  void setLabelFontName(const QString& value);
  int16_t LabelFontSize() const { return labelFontSize_; }
  void setLabelFontSize(int16_t value);
  // The template caption's font (stored as "FontName").
  QFont TemplateFont() const { return templateFont_; }

  // Stored properties, in their fixed order with their defaults.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // ---- view state (read-only, for hosts and tests) ----
  QScrollBar* VScroll1() const { return scrollBar_; }
  MWheel* MWheel1() const { return wheel_; }
  bool ScrollBarShown() const;
  int TopIndex() const { return topIndex_; }
  int HoverIndex() const { return hoverIndex_; }
  bool IsUnderlined(int LabelIndex) const;
  ColourValue CaptionColor(int LabelIndex) const;  // 0 out of range
  bool IsShown(int LabelIndex) const;
  int32_t ShownTop(int LabelIndex) const;  // where the caption is drawn now, twips
  QRect CaptionRect(int LabelIndex) const;  // in pixels, where shown
  bool HighlightShown() const { return barVisible_; }
  QRect HighlightRect() const;  // pixels
  int TemplateWidth() const { return templateWidth_; }  // twips
  int32_t TemplateTop() const { return templateTop_; }
  // Index of the shown caption at a point of the control (pixels), 0 for none.
  int CaptionAt(const QPoint& pixel) const;
  const QImage& BackgroundImage() const { return background_; }

 signals:
  void Click();
  void DblClick();
  void KeyDown(int16_t& KeyCode, int16_t& Shift);
  void KeyPress(int16_t& KeyAscii);
  void KeyUp(int16_t& KeyCode, int16_t& Shift);
  void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void LabelMouseDown(int16_t& Index, int16_t& Button, int16_t& Shift, float& X, float& Y);
  void LabelMouseMove(int16_t& Index, int16_t& Button, int16_t& Shift, float& X, float& Y);
  void LabelMouseUp(int16_t& Index, int16_t& Button, int16_t& Shift, float& X, float& Y);
  void LabelClick(int16_t& Index);
  void LabelClickRight(int16_t& Index);
  void LabelDbClick(int16_t& Index);
  // A property was set (its name), so a host can mark its stored form dirty.
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Item {
    QString caption, itemStr, hideStr, itemData;
    int64_t labelTop = 0;  // wide so that huge captions cannot overflow the sum
    int32_t height = 0;    // twips
    int32_t width = 0;     // twips
    int32_t top = 0;       // where the caption was last placed, twips
    ColourValue colour = 0;
    bool shown = false;
    bool underlined = false;
    bool wrapped = true;   // measured (and drawn) with word wrapping
  };

  int ControlWidth() const;   // twips
  int ControlHeight() const;  // twips
  bool InRange(int index) const { return index >= 1 && index <= LabelCount(); }
  void NewCaption(Item& item);
  void Measure(Item& item, const QString& text) const;
  void RecomputeTops(int from);
  void PlaceTemplate();
  // Lays the pieces out for the control's size and the items again for it.
  // Runs on every resize, and
  // before anything is measured or placed if the size changed while the
  // control was hidden (a hidden widget gets its resize event only when shown).
  void ApplySize();
  void SyncSize();
  void ApplyTemplateFont(const QFont& font, bool remeasureItems);
  void LayoutItems();
  void ScrollHandler();
  void ShowCurrent();
  void ScrollCurrentIntoView();
  // After a size change: captions re-measured at the new width (when it
  // changed), laid out again, the current item kept in view.
  void RelayoutItems(bool remeasure);
  void HideShownCaptions();
  void ShowCaption(int index, int32_t top);
  void SetScrollPosition(int value);
  void ResetScrollState();
  void PaintBackground();
  void PlaceHighlightOnCurrent();
  void RestoreCaptionColour(int index);
  void HoverMove(int index);
  void EndHover();
  void TakeWheel();
  void OnWheel(int16_t zDelta);
  int HitTest(const QPointF& pixel) const;
  void EmitChanged(const char* name) { emit PropertyChanged(QString::fromUtf8(name)); }

  std::vector<Item> items_;  // [0] = template
  std::vector<int> shownList_;
  QString getData_ = kDefaultGetData;
  int curClick_ = 0;
  bool showHide_ = false;
  bool itemStrShow_ = false;
  bool itemStrShowCanChange_ = false;

  ColourValue backColor_ = kDefaultBackColor;
  ColourValue borderColor_ = kDefaultBorderColor;
  ColourValue colorMoveIn_ = kDefaultLabelColorMoveIn;
  ColourValue colorMoveOut_ = kDefaultLabelColorMoveOut;
  ColourValue colorClick_ = kDefaultLabelColorClick;
  int16_t lineGap_ = kDefaultLineGap;
  bool wordWrap_ = true;
  bool highlightUse_ = false;
  ColourValue highlightColor_ = kDefaultHightLightColor;
  ColourValue backGround1_ = kDefaultBackGroundColor1;
  ColourValue backGround2_ = kDefaultBackGroundColor2;
  int16_t backGroundAngle_ = 0;
  QString labelFontName_ = kDefaultFontName;
  int16_t labelFontSize_ = kDefaultLabelFontSize;

  QFont templateFont_;
  std::unique_ptr<CaptionLayout> layout_;
  int templateWidth_ = 0;   // twips
  int32_t templateTop_ = 0;

  QScrollBar* scrollBar_ = nullptr;
  MWheel* wheel_ = nullptr;
  QImage background_;

  QSize laidOutSize_{-1, -1};
  int topIndex_ = 0;
  bool layoutLock_ = false;
  int hoverIndex_ = 0;
  bool leftRelease_ = false;
  int pressIndex_ = -1;        // caption that took the button press; 0 = surface, -1 = none
  bool pressIsDouble_ = false;  // the press was the second of a double click
  bool barVisible_ = false;
  int32_t barTop_ = 0;
  int32_t barHeight_ = 0;
};
