#include "controls/my_stree.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <iconv.h>
#include <limits>

#include "controls/gradient.h"
#include "controls/mouse_mod.h"
#include "controls/mwheel.h"
#include "controls/property_bag.h"
#include "controls/twips.h"
#include "controls/vb_input.h"

namespace {


// Bytes each UTF-16 unit takes in the Chinese ANSI code page (936): 2 for
// the double-byte characters, 1 for single-byte ones and for those the code
// page lacks (they would be written as "?"). Built once.
const std::vector<uint8_t>& AnsiWidths() {
  static const std::vector<uint8_t> table = [] {
    std::vector<uint8_t> widths(65536, 1);
    iconv_t cd = iconv_open("CP936", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      // Without a converter, take everything outside ASCII as double-byte.
      for (uint32_t c = 0x80; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) widths[c] = 2;
      return widths;
    }
    for (uint32_t c = 0x80; c < 0x10000; ++c) {
      if (c >= 0xD800 && c <= 0xDFFF) continue;  // a lone half of a pair is not representable
      char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      char out[8];
      char* inPtr = in;
      char* outPtr = out;
      size_t inLeft = 2, outLeft = sizeof(out);
      const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
      if (rc != static_cast<size_t>(-1) && sizeof(out) - outLeft == 2) widths[c] = 2;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return widths;
  }();
  return table;
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::max<int64_t>(std::numeric_limits<int32_t>::min(),
                                                std::min<int64_t>(std::numeric_limits<int32_t>::max(), v)));
}

// Caption fonts are sized for 96 dots per inch, the resolution at which 15
// twips make a pixel. Absurd sizes are kept within what can be rasterised.
int PixelSizeForPoints(int points) {
  const int px = static_cast<int>(std::lround(points * 96.0 / 72.0));
  return std::max(1, std::min(px, 1000));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and hidden text

MyStree::MyStree(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);

  templateFont_ = QFont(kTemplateDesignFont);
  templateFont_.setPixelSize(PixelSizeForPoints(12));
  layout_ = std::make_unique<CaptionLayout>(templateFont_);
  items_.resize(1);

  scrollBar_ = new QScrollBar(Qt::Vertical, this);
  scrollBar_->setRange(1, 1);
  scrollBar_->setSingleStep(1);
  scrollBar_->setPageStep(1);
  // The list keeps the keyboard focus; the bar never takes it.
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  scrollBar_->hide();
  scrollBar_->installEventFilter(this);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int) { ScrollHandler(); });

  wheel_ = new MWheel(this);
  wheel_->hide();
  connect(wheel_, &MWheel::WheelScroll, this, [this](int16_t&, int16_t& zDelta, float&, float&) { OnWheel(zDelta); });

  ApplySize();
}

MyStree::~MyStree() {
  wheel_->DisableWheel();
}

QString MyStree::MakeHideStr(const QString& text) {
  const std::vector<uint8_t>& widths = AnsiWidths();
  QString hidden(text.size(), Qt::Uninitialized);
  QChar* out = hidden.data();
  const QChar* in = text.constData();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = in[i].unicode();
    if (u == u' ' || u == u'\r' || u == u'\n')
      out[i] = in[i];
    else if (u == 0)
      out[i] = QChar(0x2014);
    else if (u < 0x80)
      out[i] = QLatin1Char('-');
    else
      out[i] = widths[u] == 2 ? QChar(0x2014) : QLatin1Char('-');
  }
  return hidden;
}

// ---------------------------------------------------------------------------
// Geometry helpers

int MyStree::ControlWidth() const { return twips::FromPixelsInt(width()); }
int MyStree::ControlHeight() const { return twips::FromPixelsInt(height()); }

void MyStree::Measure(Item& item, const QString& text) const {
  item.wrapped = wordWrap_;
  const CaptionLayout::Extent extent = layout_->Measure(text, twips::ToPixelsF(templateWidth_), wordWrap_);
  const int64_t height = static_cast<int64_t>(extent.lines) * layout_->LineHeight() * twips::kPerPixel;
  item.height = Clamp32(height);
  item.width = wordWrap_ ? templateWidth_ : Clamp32(static_cast<int64_t>(std::ceil(extent.width)) * twips::kPerPixel);
}

void MyStree::RecomputeTops(int from) {
  items_[0].labelTop = templateTop_;
  const int n = LabelCount();
  for (int i = std::max(from, 1); i <= n; ++i)
    items_[i].labelTop = items_[i - 1].labelTop + items_[i - 1].height + lineGap_;
}

void MyStree::PlaceTemplate() {
  // The template sits just above the first item so that its own entry
  // continues the recurrence that puts item 1 at the top margin.
  const int scrollLeft = ControlWidth() - kScrollBarWidth - kScrollBarInset;
  templateWidth_ = std::max(0, scrollLeft - kMargin - kCaptionRightGap);
  Item& tmpl = items_[0];
  tmpl.wrapped = wordWrap_;
  tmpl.height = layout_->LineHeight() * twips::kPerPixel;
  tmpl.width = templateWidth_;
  templateTop_ = -tmpl.height - lineGap_ + kMargin;
  tmpl.top = templateTop_;
  tmpl.labelTop = templateTop_;
}

void MyStree::ApplyTemplateFont(const QFont& font, bool remeasureItems) {
  SyncSize();
  templateFont_ = font;
  layout_ = std::make_unique<CaptionLayout>(templateFont_);
  PlaceTemplate();
  if (!remeasureItems) return;
  const int n = LabelCount();
  for (int i = 1; i <= n; ++i) Measure(items_[i], items_[i].caption);
  RecomputeTops(1);
  LayoutItems();
  ScrollHandler();
  update();
}

// ---------------------------------------------------------------------------
// Data model

void MyStree::NewCaption(Item& item) {
  item.colour = colorMoveOut_;
  item.top = templateTop_;
  item.shown = false;
  item.underlined = false;
}

void MyStree::setGetData(const QString& block) {
  SyncSize();
  // 1. Remove every item and reset the view.
  HideShownCaptions();
  items_.resize(1);
  hoverIndex_ = 0;
  barVisible_ = false;
  ResetScrollState();
  curClick_ = 0;
  pressIndex_ = -1;
  if (block.isEmpty()) {
    update();
    return;
  }
  // 2-4. One item per piece, at most kMaxItems.
  const QStringList pieces = block.split(kSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);
  const int n = static_cast<int>(std::min<qsizetype>(pieces.size(), kMaxItems));
  items_.reserve(static_cast<size_t>(n) + 1);
  items_[0].labelTop = templateTop_;
  for (int k = 0; k < n; ++k) {
    Item item;
    NewCaption(item);
    item.itemStr = pieces[k];
    item.hideStr = MakeHideStr(item.itemStr);
    Measure(item, item.itemStr);
    item.caption = showHide_ ? item.hideStr : item.itemStr;
    const Item& prev = items_.back();
    item.labelTop = prev.labelTop + prev.height + lineGap_;
    items_.push_back(std::move(item));
  }
  // 5. Lay out and show from the top.
  LayoutItems();
  SetScrollPosition(1);
  getData_ = block;
  update();
  EmitChanged("GetData");
}

void MyStree::AddItem(const QString& GetItemStr, const QString& /*remark*/) {
  if (LabelCount() >= kGrowLimit) return;
  SyncSize();
  Item item;
  NewCaption(item);
  item.itemStr = GetItemStr;
  item.hideStr = MakeHideStr(GetItemStr);
  Measure(item, GetItemStr);
  item.caption = showHide_ ? item.hideStr : item.itemStr;
  const Item& prev = items_.back();
  item.labelTop = prev.labelTop + prev.height + lineGap_;
  items_.push_back(std::move(item));
  LayoutItems();
  ScrollHandler();
  update();
}

void MyStree::InsertItem(int LabelIndex, const QString& GetItemStr, const QString& itemData) {
  const int count = LabelCount();
  if (count == 0 || count >= kGrowLimit) return;
  if (LabelIndex < 1 || LabelIndex > count + 1) return;  // the list stays as it was
  SyncSize();
  const int n = count + 1;
  Item fresh;
  NewCaption(fresh);
  items_.push_back(std::move(fresh));
  // Later items take over the texts of the ones before them; captions keep
  // their place, colour and visibility.
  for (int h = n; h >= LabelIndex + 1; --h) {
    Item& to = items_[h];
    Item& from = items_[h - 1];
    to.itemStr = std::move(from.itemStr);
    to.hideStr = std::move(from.hideStr);
    to.caption = std::move(from.caption);
    to.itemData = std::move(from.itemData);
  }
  Item& target = items_[LabelIndex];
  target.caption = GetItemStr;  // shown unmasked until the next hide/show switch
  target.itemStr = GetItemStr;
  target.hideStr = MakeHideStr(GetItemStr);
  target.itemData = itemData;
  for (int i = LabelIndex; i <= n; ++i) {
    Measure(items_[i], items_[i].caption);
    items_[i].labelTop = items_[i - 1].labelTop + items_[i - 1].height + lineGap_;
  }
  LayoutItems();
  ScrollHandler();
  update();
}

QString MyStree::GetLabelData(int LabelIndex) const { return InRange(LabelIndex) ? items_[LabelIndex].caption : QString(); }

void MyStree::SetLabelData(int LabelIndex, const QString& GetItemStr) {
  if (!InRange(LabelIndex)) return;
  SyncSize();
  Item& item = items_[LabelIndex];
  const int32_t oldHeight = item.height;
  item.caption = GetItemStr;
  Measure(item, GetItemStr);
  if (!wordWrap_) {  // the caption sizes itself; the others stay where they are
    update();
    return;
  }
  if (item.height != oldHeight) {
    RecomputeTops(LabelIndex + 1);
    LayoutItems();
    ScrollHandler();
  }
  update();
}

QString MyStree::GetLabelItemData(int LabelIndex) const {
  return InRange(LabelIndex) ? items_[LabelIndex].itemData : QString();
}

void MyStree::SetabelItemData(int LabelIndex, const QString& GetItemStr) {
  if (InRange(LabelIndex)) items_[LabelIndex].itemData = GetItemStr;
}

QString MyStree::ItemStr(int LabelIndex) const { return InRange(LabelIndex) ? items_[LabelIndex].itemStr : QString(); }
QString MyStree::HideStr(int LabelIndex) const { return InRange(LabelIndex) ? items_[LabelIndex].hideStr : QString(); }

int32_t MyStree::LabelTop(int LabelIndex) const {
  if (LabelIndex < 0 || LabelIndex > LabelCount()) return -1;
  return Clamp32(items_[LabelIndex].labelTop);
}

int32_t MyStree::LabelHeight(int LabelIndex) const {
  if (LabelIndex < 0 || LabelIndex > LabelCount()) return -1;
  return items_[LabelIndex].height;
}

void MyStree::setLabelCurClick(int value) {
  if (InRange(curClick_)) items_[curClick_].colour = colorMoveOut_;
  if (!InRange(value)) {
    curClick_ = 0;
    barVisible_ = false;
  } else {
    curClick_ = value;
    items_[value].colour = colorClick_;
    ShowCurrent();
  }
  update();
  EmitChanged("LabelCurClick");
}

void MyStree::setShowHideCaptial(bool value) {
  showHide_ = value;
  const int n = LabelCount();
  for (int i = 1; i <= n; ++i) items_[i].caption = value ? items_[i].hideStr : items_[i].itemStr;
  update();
  EmitChanged("ShowHideCaptial");
}

void MyStree::ShowHideCaptialSet(int LabelIndex, bool value) {
  if (!InRange(LabelIndex)) return;
  Item& item = items_[LabelIndex];
  item.hideStr = value ? MakeHideStr(item.itemStr) : item.itemStr;
  item.caption = showHide_ ? item.hideStr : item.itemStr;
  update();
}

void MyStree::setLabeItemStrShow(bool value) {
  itemStrShow_ = value;
  EmitChanged("LabeItemStrShow");
}

void MyStree::setLabeItemStrShowCanChange(bool value) {
  itemStrShowCanChange_ = value;
  EmitChanged("LabeItemStrShowCanChange");
}

void MyStree::StopMouseWheel() { wheel_->DisableWheel(); }

void MyStree::Refresh() { update(); }

// ---------------------------------------------------------------------------
// Layout and scrolling

bool MyStree::ScrollBarShown() const { return !scrollBar_->isHidden(); }

void MyStree::HideShownCaptions() {
  for (int index : shownList_)
    if (index >= 0 && index < static_cast<int>(items_.size())) items_[index].shown = false;
  shownList_.clear();
}

void MyStree::ShowCaption(int index, int32_t top) {
  Item& item = items_[index];
  item.top = top;
  if (!item.shown) {
    item.shown = true;
    shownList_.push_back(index);
  }
}

void MyStree::ResetScrollState() {
  layoutLock_ = true;
  scrollBar_->setRange(1, 1);
  scrollBar_->setValue(1);
  scrollBar_->setPageStep(1);
  layoutLock_ = false;
  scrollBar_->hide();
  topIndex_ = 0;
}

void MyStree::SetScrollPosition(int value) {
  if (scrollBar_->value() == value)
    ScrollHandler();
  else
    scrollBar_->setValue(value);  // the change runs the handler
}

void MyStree::LayoutItems() {
  SyncSize();
  const int n = LabelCount();
  if (n == 0) {
    HideShownCaptions();
    scrollBar_->hide();
    scrollBar_->setMaximum(scrollBar_->minimum());
    return;
  }
  const int64_t H = ControlHeight();
  const int64_t bottom = items_[n].labelTop + items_[n].height;
  if (bottom + kMargin >= H) {
    scrollBar_->show();
    int maximum = 0;
    for (int f = n; f >= 1; --f) {
      if (bottom + lineGap_ - items_[f].labelTop > H) {
        maximum = f + 1;
        break;
      }
    }
    // No such f (a gap below the margin): from item 2 on everything fits,
    // since it does from item 1 on.
    if (maximum == 0) maximum = 2;
    maximum = std::min(maximum, n);
    scrollBar_->setMaximum(maximum);
    if (maximum == scrollBar_->minimum()) {
      // A single item taller than the list: nothing to scroll, but show it.
      HideShownCaptions();
      ShowCaption(1, Clamp32(items_[1].labelTop));
      PlaceHighlightOnCurrent();
    }
  } else {
    scrollBar_->hide();
    scrollBar_->setMaximum(scrollBar_->minimum());
    HideShownCaptions();
    for (int i = 1; i <= n; ++i) ShowCaption(i, Clamp32(items_[i].labelTop));
    PlaceHighlightOnCurrent();
  }
}

void MyStree::PlaceHighlightOnCurrent() {
  if (!InRange(curClick_)) {
    barVisible_ = false;
    return;
  }
  const Item& item = items_[curClick_];
  barTop_ = item.top;
  barHeight_ = Clamp32(static_cast<int64_t>(item.height) + 30);
  barVisible_ = highlightUse_ && item.shown;
}

void MyStree::ScrollHandler() {
  const int n = LabelCount();
  if (layoutLock_ || scrollBar_->maximum() == scrollBar_->minimum() || n == 0) return;
  SyncSize();
  const int v = scrollBar_->value();
  if (v < 1 || v > n) return;
  HideShownCaptions();
  const int64_t H = ControlHeight();
  const int64_t base = items_[v].labelTop;
  int shown = 0;
  for (int i = v; i <= n; ++i) {
    const int64_t offset = items_[i].labelTop - base + kMargin;
    if (offset >= H + items_[i].height) break;
    ShowCaption(i, Clamp32(offset));
    ++shown;
  }
  // A page is what fits at the top; a bar needs at least one item per page.
  if (v == 1) scrollBar_->setPageStep(std::max(1, shown - 1));
  PlaceHighlightOnCurrent();
  topIndex_ = v;
  update();
}

void MyStree::ShowCurrent() {
  const int c = curClick_;
  if (!InRange(c)) return;
  const Item& item = items_[c];
  if (highlightUse_) {
    barHeight_ = Clamp32(static_cast<int64_t>(item.height) + 30);
    barTop_ = item.top;
    barVisible_ = true;
  }
  ScrollCurrentIntoView();
  update();
}

void MyStree::ScrollCurrentIntoView() {
  const int c = curClick_;
  if (!InRange(c)) return;
  const Item& item = items_[c];
  if (item.shown && static_cast<int64_t>(item.top) + item.height + kMargin <= ControlHeight()) return;
  // Not (wholly) in view: it becomes the first shown item, or the list shows its last page.
  scrollBar_->setValue(std::min(c, scrollBar_->maximum()));
}

// ---------------------------------------------------------------------------
// View properties

void MyStree::setBackColor(ColourValue value) {
  backColor_ = value;
  update();
  EmitChanged("BackColor");
}

void MyStree::setBorderColor(ColourValue value) {
  borderColor_ = value;
  update();
  EmitChanged("BorderColor");
}

void MyStree::setLabelColorMoveIn(ColourValue value) {
  colorMoveIn_ = value;
  EmitChanged("LabelColorMoveIn");
}

void MyStree::setLabelColorMoveOut(ColourValue value) {
  colorMoveOut_ = value;
  const int n = LabelCount();
  for (int i = 1; i <= n; ++i)
    if (i != curClick_) items_[i].colour = value;
  update();
  EmitChanged("LabelColorMoveOut");
}

void MyStree::setLabelColorClick(ColourValue value) {
  colorClick_ = value;
  if (InRange(curClick_)) items_[curClick_].colour = value;
  update();
  EmitChanged("LabelColorClick");
}

void MyStree::set两行间高(int16_t value) {
  lineGap_ = value;
  SyncSize();
  // The template moves with the gap so that item 1 stays at the top margin.
  PlaceTemplate();
  RecomputeTops(1);
  LayoutItems();
  ScrollHandler();
  update();
  EmitChanged("两行间高");
}

void MyStree::setWordWrap(bool value) {
  wordWrap_ = value;
  EmitChanged("WordWrap");
}

void MyStree::setHightLightUse(bool value) {
  highlightUse_ = value;
  barVisible_ = value && InRange(curClick_);
  update();
  EmitChanged("HightLightUse");
}

void MyStree::setHightLightColor(ColourValue value) {
  highlightColor_ = value;
  update();
  EmitChanged("HightLightColor");
}

void MyStree::setBackGroundColor1(ColourValue value) {
  backGround1_ = value;
  PaintBackground();
  EmitChanged("BackGroundColor1");
}

void MyStree::setBackGroundColor2(ColourValue value) {
  backGround2_ = value;
  PaintBackground();
  EmitChanged("BackGroundColor2");
}

void MyStree::setBackGroundAngel(int16_t value) {
  backGroundAngle_ = value;  // used by the next background paint
  EmitChanged("BackGroundAngel");
}

void MyStree::setLabelFontName(const QString& value) {
  labelFontName_ = value;
  QFont font = templateFont_;
  font.setFamily(value);
  ApplyTemplateFont(font, true);
  EmitChanged("LabelFontName");
}

void MyStree::setLabelFontSize(int16_t value) {
  labelFontSize_ = value;
  QFont font = templateFont_;
  font.setPixelSize(PixelSizeForPoints(value));
  ApplyTemplateFont(font, true);
  EmitChanged("LabelFontSize");
}

void MyStree::ReadProperties(const PropertyBag& bag) {
  setBackColor(ReadColourProperty(bag, QStringLiteral("BackColor"), kDefaultBackColor));
  setEnabled(ReadBoolProperty(bag, QStringLiteral("Enabled"), true));
  setBorderColor(ReadColourProperty(bag, QStringLiteral("BorderColor"), kDefaultBorderColor));
  getData_ = ReadTextProperty(bag, QStringLiteral("GetData"), kDefaultGetData);
  colorMoveIn_ = ReadColourProperty(bag, QStringLiteral("LabelColorMoveIn"), kDefaultLabelColorMoveIn);
  colorMoveOut_ = ReadColourProperty(bag, QStringLiteral("LabelColorMoveOut"), kDefaultLabelColorMoveOut);
  colorClick_ = ReadColourProperty(bag, QStringLiteral("LabelColorClick"), kDefaultLabelColorClick);
  // A current item that does not exist (yet) would break the list's
  // invariant; only an index of an existing item is kept.
  const int cur = ReadInt16Property(bag, QStringLiteral("LabelCurClick"), 0);
  curClick_ = InRange(cur) ? cur : 0;
  lineGap_ = ReadInt16Property(bag, QStringLiteral("两行间高"), kDefaultLineGap);
  wordWrap_ = ReadBoolProperty(bag, QStringLiteral("WordWrap"), true);
  highlightUse_ = ReadBoolProperty(bag, QStringLiteral("HightLightUse"), false);
  setHightLightColor(ReadColourProperty(bag, QStringLiteral("HightLightColor"), kDefaultHightLightColor));
  backGround1_ = ReadColourProperty(bag, QStringLiteral("BackGroundColor1"), kDefaultBackGroundColor1);
  backGround2_ = ReadColourProperty(bag, QStringLiteral("BackGroundColor2"), kDefaultBackGroundColor2);
  labelFontSize_ = ReadInt16Property(bag, QStringLiteral("LabelFontSize"), kDefaultLabelFontSize);
  QFont font = templateFont_;
  font.setFamily(ReadTextProperty(bag, QStringLiteral("FontName"), kDefaultFontName));
  ApplyTemplateFont(font, LabelCount() > 0);
  backGroundAngle_ = ReadInt16Property(bag, QStringLiteral("BackGroundAngel"), 0);
  labelFontName_ = ReadTextProperty(bag, QStringLiteral("LabelFontName"), kDefaultFontName);
  showHide_ = ReadBoolProperty(bag, QStringLiteral("ShowHideCaptial"), false);
  itemStrShow_ = ReadBoolProperty(bag, QStringLiteral("LabeItemStrShow"), false);
  itemStrShowCanChange_ = ReadBoolProperty(bag, QStringLiteral("LabeItemStrShowCanChange"), false);
  update();
}

void MyStree::WriteProperties(PropertyBag& bag) const {
  WriteColourProperty(bag, QStringLiteral("BackColor"), backColor_, kDefaultBackColor);
  WriteBoolProperty(bag, QStringLiteral("Enabled"), isEnabled(), true);
  WriteColourProperty(bag, QStringLiteral("BorderColor"), borderColor_, kDefaultBorderColor);
  WriteTextProperty(bag, QStringLiteral("GetData"), getData_, kDefaultGetData);
  WriteColourProperty(bag, QStringLiteral("LabelColorMoveIn"), colorMoveIn_, kDefaultLabelColorMoveIn);
  WriteColourProperty(bag, QStringLiteral("LabelColorMoveOut"), colorMoveOut_, kDefaultLabelColorMoveOut);
  WriteColourProperty(bag, QStringLiteral("LabelColorClick"), colorClick_, kDefaultLabelColorClick);
  WriteInt16Property(bag, QStringLiteral("LabelCurClick"), static_cast<int16_t>(curClick_), 0);
  WriteInt16Property(bag, QStringLiteral("两行间高"), lineGap_, kDefaultLineGap);
  WriteBoolProperty(bag, QStringLiteral("WordWrap"), wordWrap_, true);
  WriteBoolProperty(bag, QStringLiteral("HightLightUse"), highlightUse_, false);
  WriteColourProperty(bag, QStringLiteral("HightLightColor"), highlightColor_, kDefaultHightLightColor);
  WriteColourProperty(bag, QStringLiteral("BackGroundColor1"), backGround1_, kDefaultBackGroundColor1);
  WriteColourProperty(bag, QStringLiteral("BackGroundColor2"), backGround2_, kDefaultBackGroundColor2);
  WriteInt16Property(bag, QStringLiteral("LabelFontSize"), labelFontSize_, kDefaultLabelFontSize);
  // The template font's name is written whenever it has one (no default).
  if (!templateFont_.family().isEmpty())
    WriteTextProperty(bag, QStringLiteral("FontName"), templateFont_.family(), QString());
  WriteInt16Property(bag, QStringLiteral("BackGroundAngel"), backGroundAngle_, 0);
  WriteTextProperty(bag, QStringLiteral("LabelFontName"), labelFontName_, kDefaultFontName);
  WriteBoolProperty(bag, QStringLiteral("ShowHideCaptial"), showHide_, false);
  WriteBoolProperty(bag, QStringLiteral("LabeItemStrShow"), itemStrShow_, false);
  WriteBoolProperty(bag, QStringLiteral("LabeItemStrShowCanChange"), itemStrShowCanChange_, false);
}

// ---------------------------------------------------------------------------
// View state

bool MyStree::IsUnderlined(int LabelIndex) const { return InRange(LabelIndex) && items_[LabelIndex].underlined; }
ColourValue MyStree::CaptionColor(int LabelIndex) const { return InRange(LabelIndex) ? items_[LabelIndex].colour : 0; }
bool MyStree::IsShown(int LabelIndex) const { return InRange(LabelIndex) && items_[LabelIndex].shown; }
int32_t MyStree::ShownTop(int LabelIndex) const {
  return (LabelIndex >= 0 && LabelIndex <= LabelCount()) ? items_[LabelIndex].top : 0;
}

QRect MyStree::CaptionRect(int LabelIndex) const {
  if (!InRange(LabelIndex)) return QRect();
  const Item& item = items_[LabelIndex];
  return QRect(twips::ToPixels(kMargin), twips::ToPixels(item.top), twips::ToPixels(item.width),
               twips::ToPixels(item.height));
}

QRect MyStree::HighlightRect() const {
  return QRect(0, twips::ToPixels(barTop_), width(), twips::ToPixels(barHeight_));
}

int MyStree::CaptionAt(const QPoint& pixel) const { return HitTest(QPointF(pixel) + QPointF(0.5, 0.5)); }

int MyStree::HitTest(const QPointF& pixel) const {
  const double x = twips::FromPixels(pixel.x()), y = twips::FromPixels(pixel.y());
  // Later captions lie on top of earlier ones.
  int best = 0;
  for (int index : shownList_) {
    if (index <= best || index > LabelCount()) continue;
    const Item& item = items_[index];
    if (x >= kMargin && x < static_cast<double>(kMargin) + item.width && y >= item.top &&
        y < static_cast<double>(item.top) + item.height)
      best = index;
  }
  return best;
}

// ---------------------------------------------------------------------------
// Painting

void MyStree::PaintBackground() {
  if (width() <= 0 || height() <= 0) {
    background_ = QImage();
    update();
    return;
  }
  background_ = QImage(width(), height(), QImage::Format_RGB32);
  background_.fill(ColourValueToQColor(backColor_));
  clsGradient gradient;
  gradient.setAngle(backGroundAngle_);
  gradient.setColor1(backGround1_);
  gradient.setColor2(backGround2_);
  gradient.Draw(&background_);
  update();
}

void MyStree::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_.size() != size()) painter.fillRect(rect(), ColourValueToQColor(backColor_));
  if (!background_.isNull()) painter.drawImage(0, 0, background_);
  if (barVisible_)
    painter.fillRect(HighlightRect(), ColourValueToQColor(highlightColor_));

  const double viewBottom = height();
  const double left = twips::ToPixelsF(kMargin);
  QFont plain = templateFont_;
  QFont underlined = templateFont_;
  underlined.setUnderline(true);
  for (int index : shownList_) {
    if (index < 1 || index > LabelCount()) continue;
    const Item& item = items_[index];
    const double top = twips::ToPixels(item.top);
    const double bottom = top + twips::ToPixelsF(item.height);
    if (bottom <= 0 || top >= viewBottom) continue;
    painter.setFont(item.underlined ? underlined : plain);
    painter.setPen(ColourValueToQColor(item.colour));
    // Captions are clipped to their measured height, like any caption box.
    layout_->Paint(painter, item.caption, left, top, twips::ToPixelsF(item.width), item.wrapped,
                   std::max(0.0, top), std::min(viewBottom, bottom));
  }
  painter.setPen(ColourValueToQColor(borderColor_));
  painter.setBrush(Qt::NoBrush);
  if (width() > 0 && height() > 0) painter.drawRect(0, 0, width() - 1, height() - 1);
}

void MyStree::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplySize();
}

void MyStree::SyncSize() {
  if (laidOutSize_ != size()) ApplySize();
}

void MyStree::ApplySize() {
  const bool widthChanged = laidOutSize_.width() != width();
  const bool firstLayout = laidOutSize_.width() < 0;
  laidOutSize_ = size();
  const int W = ControlWidth(), H = ControlHeight();
  const int scrollLeft = W - kScrollBarWidth - kScrollBarInset;
  scrollBar_->setGeometry(twips::ToPixels(scrollLeft), twips::ToPixels(kScrollBarInset),
                          twips::ToPixels(kScrollBarWidth), std::max(0, twips::ToPixels(H - 2 * kScrollBarInset)));
  PlaceTemplate();
  PaintBackground();
  if (!firstLayout) RelayoutItems(widthChanged);
}

void MyStree::RelayoutItems(bool remeasure) {
  const int n = LabelCount();
  if (n == 0) return;
  // A new width wraps every caption anew; a new height only changes what fits.
  if (remeasure)
    for (int i = 1; i <= n; ++i) Measure(items_[i], items_[i].caption);
  RecomputeTops(1);
  const int firstShown = scrollBar_->value();
  LayoutItems();
  if (ScrollBarShown()) {
    SetScrollPosition(std::clamp(firstShown, scrollBar_->minimum(), scrollBar_->maximum()));
    ScrollCurrentIntoView();
  }
  update();
}

// ---------------------------------------------------------------------------
// Interaction

void MyStree::RestoreCaptionColour(int index) {
  if (!InRange(index)) return;
  items_[index].colour = index == curClick_ ? colorClick_ : colorMoveOut_;
}

void MyStree::HoverMove(int index) {
  if (hoverIndex_ != index) EndHover();
  hoverIndex_ = index;
  Item& item = items_[index];
  if (!item.underlined) {
    item.underlined = true;
    item.colour = colorMoveIn_;
  }
  update();
}

// The hover ends when the pointer moves off the captions, leaves the list
// (the window system reports it) or goes onto the scroll bar: no timer
// watches a resting pointer.
void MyStree::EndHover() {
  const int index = hoverIndex_;
  hoverIndex_ = 0;
  if (!InRange(index)) return;  // the list was rebuilt shorter meanwhile
  Item& item = items_[index];
  if (!item.underlined) return;
  item.underlined = false;
  RestoreCaptionColour(index);
  update();
}

void MyStree::TakeWheel() {
  wheel_->sethWndCapture(this);
  wheel_->EnableWheel();
}

void MyStree::OnWheel(int16_t zDelta) {
  if (!ScrollBarShown()) return;
  const int v = scrollBar_->value();
  if (zDelta == 120 && v > 1)
    scrollBar_->setValue(v - 1);
  else if (zDelta == -120 && v < scrollBar_->maximum())
    scrollBar_->setValue(v + 1);
}

void MyStree::mousePressEvent(QMouseEvent* event) {
  int16_t button = vbinput::MouseButton(event->button());
  int16_t shift = vbinput::ShiftState(event->modifiers());
  const QPointF pos = event->position();
  const int index = HitTest(pos);
  pressIndex_ = index;
  pressIsDouble_ = false;
  float x = static_cast<float>(twips::FromPixels(pos.x())), y = static_cast<float>(twips::FromPixels(pos.y()));
  if (index > 0) {
    int16_t i = static_cast<int16_t>(index);
    float cx = x - kMargin, cy = y - items_[index].top;
    emit LabelMouseDown(i, button, shift, cx, cy);
  } else {
    emit MouseDown(button, shift, x, y);
  }
}

void MyStree::mouseDoubleClickEvent(QMouseEvent* event) {
  const int index = HitTest(event->position());
  pressIndex_ = index;
  pressIsDouble_ = true;
  if (index > 0) {
    int16_t i = static_cast<int16_t>(index);
    emit LabelDbClick(i);
  } else {
    emit DblClick();
  }
}

void MyStree::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = pressIndex_;
  const bool wasDouble = pressIsDouble_;
  pressIndex_ = -1;
  pressIsDouble_ = false;
  if (pressed < 0) return;
  int16_t button = vbinput::MouseButton(event->button());
  int16_t shift = vbinput::ShiftState(event->modifiers());
  const QPointF pos = event->position();
  float x = static_cast<float>(twips::FromPixels(pos.x())), y = static_cast<float>(twips::FromPixels(pos.y()));
  if (pressed > 0) {
    if (!InRange(pressed)) return;  // the host rebuilt the list meanwhile
    int16_t i = static_cast<int16_t>(pressed);
    float cx = x - kMargin, cy = y - items_[pressed].top;
    emit LabelMouseUp(i, button, shift, cx, cy);
    leftRelease_ = event->button() == Qt::LeftButton;
    if (wasDouble || !InRange(pressed) || HitTest(pos) != pressed) return;
    // A click: released over the caption that took the press.
    TakeWheel();
    int16_t clicked = static_cast<int16_t>(pressed);
    if (leftRelease_) {
      if (InRange(curClick_)) items_[curClick_].colour = colorMoveOut_;
      curClick_ = pressed;
      items_[pressed].colour = colorClick_;
      ShowCurrent();
      update();
      emit LabelClick(clicked);
    } else {
      emit LabelClickRight(clicked);
    }
  } else {
    emit MouseUp(button, shift, x, y);
    if (!wasDouble && rect().contains(pos.toPoint()) && HitTest(pos) == 0) emit Click();
  }
}

void MyStree::mouseMoveEvent(QMouseEvent* event) {
  int16_t button = vbinput::MouseButtons(event->buttons());
  int16_t shift = vbinput::ShiftState(event->modifiers());
  const QPointF pos = event->position();
  float x = static_cast<float>(twips::FromPixels(pos.x())), y = static_cast<float>(twips::FromPixels(pos.y()));
  // While a button is held the caption that took the press gets the moves.
  int index = (pressIndex_ >= 0 && event->buttons() != Qt::NoButton) ? pressIndex_ : HitTest(pos);
  if (index > 0 && InRange(index)) {
    HoverMove(index);
    if (!InRange(index)) return;
    int16_t i = static_cast<int16_t>(index);
    float cx = x - kMargin, cy = y - items_[index].top;
    emit LabelMouseMove(i, button, shift, cx, cy);
  } else {
    EndHover();
    emit MouseMove(button, shift, x, y);
  }
}

void MyStree::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  EndHover();
}

void MyStree::keyPressEvent(QKeyEvent* event) {
  int16_t code = vbinput::KeyCode(event);
  int16_t shift = vbinput::ShiftState(event->modifiers());
  emit KeyDown(code, shift);
  const int ch = vbinput::CharacterCode(event);
  if (ch >= 0) {
    int16_t ascii = static_cast<int16_t>(ch);
    emit KeyPress(ascii);
  }
  event->accept();
}

void MyStree::keyReleaseEvent(QKeyEvent* event) {
  int16_t code = vbinput::KeyCode(event);
  int16_t shift = vbinput::ShiftState(event->modifiers());
  emit KeyUp(code, shift);
  event->accept();
}

void MyStree::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  TakeWheel();
}

void MyStree::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  wheel_->DisableWheel();
}

void MyStree::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) EmitChanged("Enabled");
}

bool MyStree::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over the scroll bar counts as the wheel over the list: it
  // scrolls one item per notch while the list has the capture, and never
  // moves the bar on its own.
  if (watched == scrollBar_ && event->type() == QEvent::Enter) EndHover();
  if (watched == scrollBar_ && event->type() == QEvent::Wheel) {
    if (MouseMod::IsHooked(wheel_)) {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const int delta = std::max(-32768, std::min(32767, wheel->angleDelta().y()));
      if (delta != 0) wheel_->RaiseWheel(static_cast<int16_t>(delta), static_cast<float>(wheel->globalPosition().y()));
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
