#include "controls/vsnet_button.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "controls/invalid_property_value.h"
#include "controls/property_bag.h"
#include "controls/vb_input.h"
#include "core/number_text.h"

const char* const VsNetBut::kDefaultCaption = "Office2003 特效按钮";

namespace {

const char* const kTypeName = "VsNetBut";

QString Msg(const char* utf8) { return QString::fromUtf8(utf8); }
const char* const kMsgPercent = "本属性范围0--100，设为0时只显示图片区域，设为100时只显示标题区域";
const char* const kMsgSepStyle =
    "只有当按钮风格为sbSep2003或sbMainSep2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kMsgMainSepStyle =
    "只有当按钮风格为sbMainSep2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kMsgUpDownStyle =
    "只有当按钮风格为sbUp_Down2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kMsgIgnoeStyle =
    "只有按钮风格为sbOffice2003时，才能改变此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kMsgTooSmall = "将按钮拉大些再看有没有效果。";
const char* const kMsgAppearanceTooSmall = "将按钮拉大些再看吧！";

QColor C(ColourValue v) { return ColourValueToQColor(v); }

VsNetBut::HotKeyPause& PauseHandler() {
  static VsNetBut::HotKeyPause handler;
  return handler;
}

// One-pixel frame just inside r.
void Frame(QPainter& p, const QRect& r, const QColor& colour) {
  if (r.width() <= 0 || r.height() <= 0) return;
  p.setPen(QPen(colour, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
}

// Alignment of a 3 x 3 grid position (0 top left ... 8 bottom right);
// values outside the grid centre.
Qt::Alignment GridAlignment(int32_t v) {
  if (v < 0 || v > 8) v = 4;
  static const Qt::Alignment h[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  static const Qt::Alignment vt[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
  return h[v % 3] | vt[v / 3];
}

QRect Inset(const QRect& r, int left, int top, int right, int bottom) {
  return QRect(QPoint(r.left() + left, r.top() + top), QPoint(r.right() - right, r.bottom() - bottom));
}

int ToInt(double v) {
  if (!(v == v)) return 0;
  if (v > 1e6) return 1000000;
  if (v < -1e6) return -1000000;
  return ProMod::RoundToInt32(v);
}

// The picture as drawn: with alpha when it has some; otherwise the colour
// of its top-left pixel is the transparent one, as toolbar bitmaps expect.
QImage Drawable(const QImage& picture) {
  if (picture.isNull()) return QImage();
  QImage img = picture.convertToFormat(QImage::Format_ARGB32);
  if (!picture.hasAlphaChannel()) {
    const QRgb key = img.pixel(0, 0);
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x)
        if ((line[x] & 0xFFFFFFu) == (key & 0xFFFFFFu)) line[x] = 0;
    }
  }
  return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Silhouette(const QImage& picture, const QColor& colour) {
  QImage s(picture.size(), QImage::Format_ARGB32_Premultiplied);
  s.fill(Qt::transparent);
  QPainter p(&s);
  p.drawImage(0, 0, picture);
  p.setCompositionMode(QPainter::CompositionMode_SourceIn);
  p.fillRect(s.rect(), colour);
  return s;
}

Qt::CursorShape ShapeFor(int16_t pointer) {
  switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

// ---- construction --------------------------------------------------------

VsNetBut::VsNetBut(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  loading_ = true;
  InitProperties();
  loading_ = false;
}

VsNetBut::~VsNetBut() = default;

void VsNetBut::Notify(const char* name) {
  if (!loading_) emit PropertyChanged(QString::fromLatin1(name));
}

void VsNetBut::Refuse(const char* property, const QString& message) const {
  throw InvalidPropertyValue(QString::fromLatin1(kTypeName), QString::fromLatin1(property), message);
}

void VsNetBut::RequireStyle(const char* property, std::initializer_list<int32_t> styles,
                            const QString& styleMessage) const {
  if (std::find(styles.begin(), styles.end(), buttonAppearance_) == styles.end()) Refuse(property, styleMessage);
}

// ---- simple properties ---------------------------------------------------

#define VSNET_SETTER(Name, member, Type, relayout) \
  void VsNetBut::set##Name(Type value) {           \
    member = value;                                \
    if (relayout) Relayout();                      \
    update();                                      \
    Notify(#Name);                                 \
  }

VSNET_SETTER(Office2003Style, office2003Style_, bool, false)
VSNET_SETTER(DownColorXP, downColorXP_, ColourValue, false)
VSNET_SETTER(OverColorXP, overColorXP_, ColourValue, false)
VSNET_SETTER(CheckedColorXP, checkedColorXP_, ColourValue, false)
VSNET_SETTER(ShowShadow, showShadow_, bool, false)
VSNET_SETTER(ShowCaption, showCaption_, bool, true)
VSNET_SETTER(AutoMultiLine, autoMultiLine_, bool, false)
VSNET_SETTER(CaptionOffsetBottom, captionOffsetBottom_, int16_t, true)
VSNET_SETTER(CaptionOffsetLeft, captionOffsetLeft_, int16_t, true)
VSNET_SETTER(CaptionOffsetRight, captionOffsetRight_, int16_t, true)
VSNET_SETTER(CaptionOffsetTop, captionOffsetTop_, int16_t, true)
VSNET_SETTER(PictureOffsetBottom, pictureOffsetBottom_, int16_t, true)
VSNET_SETTER(PictureOffsetLeft, pictureOffsetLeft_, int16_t, true)
VSNET_SETTER(PictureOffsetRight, pictureOffsetRight_, int16_t, true)
VSNET_SETTER(PictureOffsetTop, pictureOffsetTop_, int16_t, true)
VSNET_SETTER(ShadowColor, shadowColor_, ColourValue, false)
VSNET_SETTER(ShadowOffset, shadowOffset_, int16_t, false)
VSNET_SETTER(HotKeyDynamicEffect, hotKeyDynamicEffect_, bool, false)
VSNET_SETTER(ShowEdgeOnNoFocus, showEdgeOnNoFocus_, bool, false)
VSNET_SETTER(ShowFocusRect, showFocusRect_, bool, false)
VSNET_SETTER(FoucsRectOffSet, foucsRectOffSet_, int16_t, false)
VSNET_SETTER(ShowPictureFixSize, showPictureFixSize_, bool, true)
VSNET_SETTER(PicAreaFixHeight, picAreaFixHeight_, double, true)
VSNET_SETTER(PicAreaFixWidth, picAreaFixWidth_, double, true)
VSNET_SETTER(CaptionLayout, captionLayout_, int32_t, false)
VSNET_SETTER(PictureLayout, pictureLayout_, int32_t, true)
VSNET_SETTER(CaptionAreaLayout, captionAreaLayout_, int32_t, true)
VSNET_SETTER(EnableDblClick, enableDblClick_, bool, false)
VSNET_SETTER(EdgeColor, edgeColor_, ColourValue, false)
VSNET_SETTER(BackColor, backColor_, ColourValue, false)
VSNET_SETTER(ForeColor, foreColor_, ColourValue, false)
VSNET_SETTER(DownColorStar, downColorStar_, ColourValue, false)
VSNET_SETTER(DownColorEnd, downColorEnd_, ColourValue, false)
VSNET_SETTER(CheckOverColorStar, checkOverColorStar_, ColourValue, false)
VSNET_SETTER(CheckOverColorEnd, checkOverColorEnd_, ColourValue, false)
VSNET_SETTER(OverColorStar, overColorStar_, ColourValue, false)
VSNET_SETTER(OverColorEnd, overColorEnd_, ColourValue, false)
VSNET_SETTER(CheckedColorStar, checkedColorStar_, ColourValue, false)
VSNET_SETTER(CheckedColorEnd, checkedColorEnd_, ColourValue, false)
VSNET_SETTER(Check, check_, bool, false)
#undef VSNET_SETTER

void VsNetBut::setFontBold(bool value) {
  QFont f = font();
  f.setBold(value);
  setFont(f);
}

void VsNetBut::setFontItalic(bool value) {
  QFont f = font();
  f.setItalic(value);
  setFont(f);
}

void VsNetBut::setFontUnderline(bool value) {
  QFont f = font();
  f.setUnderline(value);
  setFont(f);
}

float VsNetBut::FontSize() const {
  const QFont f = font();
  return f.pointSizeF() > 0 ? static_cast<float>(f.pointSizeF()) : static_cast<float>(f.pixelSize() * 0.75);
}

void VsNetBut::setFontSize(float value) {
  if (!(value > 0) || value > 2000) return;
  QFont f = font();
  f.setPointSizeF(value);
  setFont(f);
}

void VsNetBut::setFontName(const QString& value) {
  QFont f = font();
  f.setFamily(value);
  setFont(f);
}

void VsNetBut::setMouseIcon(const QPixmap& value) {
  mouseIcon_ = value;
  ApplyCursor();
  Notify("MouseIcon");
}

void VsNetBut::setMousePointer(int16_t value) {
  mousePointer_ = value;
  ApplyCursor();
  Notify("MousePointer");
}

void VsNetBut::ApplyCursor() {
  if (mousePointer_ == 0) {
    unsetCursor();
  } else if (mousePointer_ == 99) {
    if (mouseIcon_.isNull())
      unsetCursor();
    else
      setCursor(QCursor(mouseIcon_));
  } else {
    setCursor(ShapeFor(mousePointer_));
  }
}

void VsNetBut::setCaptionAreaPercent(double value) {
  if (!(value >= 0 && value <= 100)) Refuse("CaptionAreaPercent", Msg(kMsgPercent));
  captionAreaPercent_ = value;
  Relayout();
  update();
  Notify("CaptionAreaPercent");
}

QChar VsNetBut::AccessKeyOf(const QString& caption) {
  // "&&" stands for a plain "&"; the first single "&" marks the key, so the
  // key is always the letter the caption shows underlined.
  for (int i = 0; i + 1 < caption.size(); ++i) {
    if (caption.at(i) != QLatin1Char('&')) continue;
    const QChar next = caption.at(i + 1);
    if (next == QLatin1Char('&')) {
      ++i;
      continue;
    }
    if (next.isSurrogate() || next.isSpace()) return QChar();
    return next.toUpper();
  }
  return QChar();
}

void VsNetBut::setCaption(const QString& value) {
  caption_ = value;
  accessKey_ = AccessKeyOf(value);
  UpdateShortcuts();
  Relayout();
  update();
  Notify("Caption");
}

void VsNetBut::setButtonPicture(const QImage& value) {
  buttonPicture_ = value;
  drawnPicture_ = Drawable(value);
  Relayout();
  update();
  Notify("ButtonPicture");
}

bool VsNetBut::LoadButtonPicture(const QString& path) {
  QImage image;
  if (path.isEmpty() || !image.load(path) || image.isNull()) return false;
  setButtonPicture(image);
  return true;
}

void VsNetBut::setSepForeColor(ColourValue value) {
  RequireStyle("SepForeColor", {sbSep2003, sbMainSep2003}, Msg(kMsgSepStyle));
  if (!bigEnough_) Refuse("SepForeColor", Msg(kMsgTooSmall));
  sepForeColor_ = value;
  update();
  Notify("SepForeColor");
}

void VsNetBut::setMainSepForeColor(ColourValue value) {
  RequireStyle("MainSepForeColor", {sbSep2003, sbMainSep2003}, Msg(kMsgSepStyle));
  if (!bigEnough_) Refuse("MainSepForeColor", Msg(kMsgTooSmall));
  mainSepForeColor_ = value;
  update();
  Notify("MainSepForeColor");
}

void VsNetBut::setMainSepThick(int16_t value) {
  RequireStyle("MainSepThick", {sbMainSep2003}, Msg(kMsgMainSepStyle));
  const int16_t old = mainSepThick_;
  mainSepThick_ = value;
  bool big = false;
  ComputeLayout(buttonAppearance_, rect(), false, &big);
  if (!big) {
    mainSepThick_ = old;
    Refuse("MainSepThick", Msg(kMsgTooSmall));
  }
  Relayout();
  update();
  Notify("MainSepThick");
}

void VsNetBut::setMainSepLineBetweenSpace(int16_t value) {
  RequireStyle("MainSepLineBetweenSpace", {sbMainSep2003}, Msg(kMsgMainSepStyle));
  const int16_t old = mainSepLineBetweenSpace_;
  mainSepLineBetweenSpace_ = value;
  bool big = false;
  ComputeLayout(buttonAppearance_, rect(), false, &big);
  if (!big) {
    mainSepLineBetweenSpace_ = old;
    Refuse("MainSepLineBetweenSpace", Msg(kMsgTooSmall));
  }
  Relayout();
  update();
  Notify("MainSepLineBetweenSpace");
}

void VsNetBut::setUp_DownWidht(int16_t value) {
  RequireStyle("Up_DownWidht", {sbUp_Down2003}, Msg(kMsgUpDownStyle));
  const int16_t old = up_DownWidht_;
  up_DownWidht_ = value;
  bool big = false;
  ComputeLayout(buttonAppearance_, rect(), false, &big);
  if (!big) {
    up_DownWidht_ = old;
    Refuse("Up_DownWidht", Msg(kMsgTooSmall));
  }
  Relayout();
  update();
  Notify("Up_DownWidht");
}

void VsNetBut::setIgnoeDisEnabledEffect(bool value) {
  RequireStyle("IgnoeDisEnabledEffect", {sbOffice2003}, Msg(kMsgIgnoeStyle));
  ignoeDisEnabledEffect_ = value;
  update();
  Notify("IgnoeDisEnabledEffect");
}

void VsNetBut::setButtonAppearance(int32_t value) {
  if (value >= sbSep2003 && value <= sbChevron2003 && !BigEnoughFor(value))
    Refuse("ButtonAppearance", Msg(kMsgAppearanceTooSmall));  // nothing changed yet
  setEnabled(true);
  buttonAppearance_ = value;
  if (value == sbSep2003 || value == sbMainSep2003) setEnabled(false);
  Relayout();
  update();
  Notify("ButtonAppearance");
}

void VsNetBut::setDefault(bool value) {
  default_ = value;
  UpdateShortcuts();
}

void VsNetBut::setCancel(bool value) {
  cancel_ = value;
  UpdateShortcuts();
}

void VsNetBut::UpdateShortcuts() {
  for (int* id : {&mnemonicShortcut_, &returnShortcut_, &enterShortcut_, &escapeShortcut_}) {
    if (*id) releaseShortcut(*id);
    *id = 0;
  }
  if (!accessKey_.isNull()) mnemonicShortcut_ = grabShortcut(QKeySequence::mnemonic(caption_));
  if (default_) {
    returnShortcut_ = grabShortcut(QKeySequence(Qt::Key_Return));
    enterShortcut_ = grabShortcut(QKeySequence(Qt::Key_Enter));
  }
  if (cancel_) escapeShortcut_ = grabShortcut(QKeySequence(Qt::Key_Escape));
}

// ---- stored properties ---------------------------------------------------

struct VsNetBut::StoredProperty {
  const char* name;
  // Reads the property from the bag (the default when it is missing or unusable).
  void (*read)(VsNetBut&, const PropertyBag&, const QString&);
  void (*write)(const VsNetBut&, PropertyBag&, const QString&);
};

namespace {
QFont HostFont(const QWidget& w) { return w.parentWidget() ? w.parentWidget()->font() : QApplication::font(); }
// Pictures are the one kind only the button stores.
QImage ReadPicture(const PropertyBag& bag, const QString& name) { return bag.ReadProperty(name).value<QImage>(); }
void WritePicture(PropertyBag& bag, const QString& name, const QImage& picture) {
  bag.WriteProperty(name, picture, QImage());
}
}  // namespace

const std::vector<VsNetBut::StoredProperty>& VsNetBut::StoredProperties() {
  using B = VsNetBut;
  using Bag = PropertyBag;
  using N = QString;
#define TYPED(Kind, Name, member, Default)                                                               \
  StoredProperty {                                                                                       \
    #Name, [](B& b, const Bag& bag, const N& n) { b.member = Read##Kind##Property(bag, n, Default); },  \
        [](const B& b, Bag& bag, const N& n) { Write##Kind##Property(bag, n, b.member, Default); }       \
  }
#define COLOUR(Name, member, Default) TYPED(Colour, Name, member, Default)
#define BOOL(Name, member, Default) TYPED(Bool, Name, member, Default)
#define SHORT(Name, member, Default) TYPED(Int16, Name, member, Default)
#define LONG(Name, member, Default) TYPED(Int32, Name, member, Default)
  static const std::vector<StoredProperty> props = {
      {"Font", [](B& b, const Bag& bag, const N& n) { b.setFont(ReadFontProperty(bag, n)); },
       [](const B& b, Bag& bag, const N& n) { WriteFontProperty(bag, n, b.font(), HostFont(b)); }},
      BOOL(Office2003Style, office2003Style_, true),
      COLOUR(DownColorXP, downColorXP_, kDefaultDownColorXP),
      COLOUR(OverColorXP, overColorXP_, kDefaultOverColorXP),
      COLOUR(CheckedColorXP, checkedColorXP_, kDefaultCheckedColorXP),
      BOOL(ShowShadow, showShadow_, true),
      {"Enabled", [](B& b, const Bag& bag, const N& n) { b.setEnabled(ReadBoolProperty(bag, n, true)); },
       [](const B& b, Bag& bag, const N& n) { WriteBoolProperty(bag, n, b.isEnabled(), true); }},
      {"MouseIcon", [](B& b, const Bag& bag, const N& n) { b.mouseIcon_ = QPixmap::fromImage(ReadPicture(bag, n)); },
       [](const B& b, Bag& bag, const N& n) {
         WritePicture(bag, n, b.mouseIcon_.isNull() ? QImage() : b.mouseIcon_.toImage());
       }},
      SHORT(MousePointer, mousePointer_, 0),
      BOOL(ShowCaption, showCaption_, true),
      {"CaptionAreaPercent",
       [](B& b, const Bag& bag, const N& n) {
         b.captionAreaPercent_ = std::clamp(ReadDoubleProperty(bag, n, 80.0), 0.0, 100.0);
       },
       [](const B& b, Bag& bag, const N& n) { WriteDoubleProperty(bag, n, b.captionAreaPercent_, 80.0); }},
      TYPED(Text, Caption, caption_, QString::fromUtf8(kDefaultCaption)),
      BOOL(AutoMultiLine, autoMultiLine_, false),
      SHORT(CaptionOffsetBottom, captionOffsetBottom_, 2),
      SHORT(CaptionOffsetLeft, captionOffsetLeft_, 2),
      SHORT(CaptionOffsetRight, captionOffsetRight_, 2),
      SHORT(CaptionOffsetTop, captionOffsetTop_, 2),
      SHORT(PictureOffsetBottom, pictureOffsetBottom_, 4),
      SHORT(PictureOffsetLeft, pictureOffsetLeft_, 4),
      SHORT(PictureOffsetRight, pictureOffsetRight_, 4),
      SHORT(PictureOffsetTop, pictureOffsetTop_, 4),
      COLOUR(ShadowColor, shadowColor_, kDefaultShadowColor),
      SHORT(ShadowOffset, shadowOffset_, 2),
      BOOL(HotKeyDynamicEffect, hotKeyDynamicEffect_, true),
      BOOL(ShowEdgeOnNoFocus, showEdgeOnNoFocus_, false),
      BOOL(ShowFocusRect, showFocusRect_, false),
      SHORT(FoucsRectOffSet, foucsRectOffSet_, 2),
      {"ButtonPicture",
       [](B& b, const Bag& bag, const N& n) {
         b.buttonPicture_ = ReadPicture(bag, n);
         b.drawnPicture_ = Drawable(b.buttonPicture_);
       },
       [](const B& b, Bag& bag, const N& n) { WritePicture(bag, n, b.buttonPicture_); }},
      BOOL(ShowPictureFixSize, showPictureFixSize_, true),
      COLOUR(SepForeColor, sepForeColor_, kDefaultSepForeColor),
      COLOUR(MainSepForeColor, mainSepForeColor_, kDefaultSepForeColor),
      SHORT(MainSepThick, mainSepThick_, 3),
      SHORT(Up_DownWidht, up_DownWidht_, 12),
      SHORT(MainSepLineBetweenSpace, mainSepLineBetweenSpace_, 2),
      TYPED(Double, PicAreaFixHeight, picAreaFixHeight_, 26.0),
      TYPED(Double, PicAreaFixWidth, picAreaFixWidth_, 26.0),
      BOOL(IgnoeDisEnabledEffect, ignoeDisEnabledEffect_, false),
      LONG(CaptionLayout, captionLayout_, 4),
      LONG(PictureLayout, pictureLayout_, 4),
      LONG(ButtonAppearance, buttonAppearance_, 0),
      LONG(CaptionAreaLayout, captionAreaLayout_, 1),
      BOOL(EnableDblClick, enableDblClick_, false),
      COLOUR(EdgeColor, edgeColor_, kDefaultEdgeColor),
      COLOUR(BackColor, backColor_, kDefaultBackColor),
      COLOUR(ForeColor, foreColor_, kDefaultForeColor),
      COLOUR(DownColorStar, downColorStar_, kDefaultDownColorStar),
      COLOUR(DownColorEnd, downColorEnd_, kDefaultDownColorEnd),
      COLOUR(CheckOverColorStar, checkOverColorStar_, kDefaultDownColorStar),
      COLOUR(CheckOverColorEnd, checkOverColorEnd_, kDefaultDownColorEnd),
      COLOUR(OverColorStar, overColorStar_, kDefaultOverColorStar),
      COLOUR(OverColorEnd, overColorEnd_, kDefaultOverColorEnd),
      COLOUR(CheckedColorStar, checkedColorStar_, kDefaultCheckedColorStar),
      COLOUR(CheckedColorEnd, checkedColorEnd_, kDefaultCheckedColorEnd),
      BOOL(Check, check_, false),
  };
#undef COLOUR
#undef BOOL
#undef SHORT
#undef LONG
#undef TYPED
  return props;
}

QStringList VsNetBut::StoredPropertyNames() {
  QStringList names;
  for (const StoredProperty& p : StoredProperties()) names << QString::fromLatin1(p.name);
  return names;
}

void VsNetBut::InitProperties() {
  ReadProperties(PropertyBag());
}

void VsNetBut::ReadProperties(const PropertyBag& bag) {
  // Stored values are taken as they are, in their order, without the
  // setters' checks: a separator's colours come before its style.
  const bool wasLoading = loading_;
  loading_ = true;
  for (const StoredProperty& p : StoredProperties()) p.read(*this, bag, QString::fromLatin1(p.name));
  accessKey_ = AccessKeyOf(caption_);
  ApplyCursor();
  UpdateShortcuts();
  Relayout();
  loading_ = wasLoading;
  update();
}

void VsNetBut::WriteProperties(PropertyBag& bag) const {
  const auto& props = StoredProperties();
  auto write = [&](const StoredProperty& p) { p.write(*this, bag, QString::fromLatin1(p.name)); };
  for (const StoredProperty& p : props)
    if (qstrcmp(p.name, "Enabled") == 0) write(p);
  for (const StoredProperty& p : props)
    if (qstrcmp(p.name, "Enabled") != 0) write(p);
}

// ---- layout --------------------------------------------------------------

void VsNetBut::LayoutMain(const QRect& area, QRect* captionArea, QRect* pictureArea) const {
  *captionArea = QRect();
  *pictureArea = QRect();
  if (captionAreaPercent_ >= 100) {
    *captionArea = area;
    return;
  }
  if (captionAreaPercent_ <= 0 || caption_.isEmpty() || !showCaption_) {
    *pictureArea = area;
    return;
  }
  const bool sideBySide = captionAreaLayout_ != kCaptionTop && captionAreaLayout_ != kCaptionBottom;
  const int extent = sideBySide ? area.width() : area.height();
  int pictureExtent;
  if (showPictureFixSize_) {
    pictureExtent = std::clamp(ToInt(sideBySide ? picAreaFixWidth_ : picAreaFixHeight_), 0, std::max(0, extent));
  } else {
    const int captionExtent = static_cast<int>(std::floor(captionAreaPercent_ * extent / 100.0));
    pictureExtent = std::max(0, extent - captionExtent);
  }
  const int captionExtent = std::max(0, extent - pictureExtent);
  switch (captionAreaLayout_) {
    case kCaptionLeft:
      *captionArea = QRect(area.left(), area.top(), captionExtent, area.height());
      *pictureArea = QRect(area.left() + captionExtent, area.top(), pictureExtent, area.height());
      break;
    case kCaptionTop:
      *captionArea = QRect(area.left(), area.top(), area.width(), captionExtent);
      *pictureArea = QRect(area.left(), area.top() + captionExtent, area.width(), pictureExtent);
      break;
    case kCaptionBottom:
      *pictureArea = QRect(area.left(), area.top(), area.width(), pictureExtent);
      *captionArea = QRect(area.left(), area.top() + pictureExtent, area.width(), captionExtent);
      break;
    default:  // caption at the right, the picture at the left
      *pictureArea = QRect(area.left(), area.top(), pictureExtent, area.height());
      *captionArea = QRect(area.left() + pictureExtent, area.top(), captionExtent, area.height());
      break;
  }
}

bool VsNetBut::ComputeLayout(int32_t appearance, const QRect& r, bool store, bool* bigEnough) const {
  QRect captionArea, pictureArea, dropDown, main, sep, glyph;
  bool big = true;
  const QRect inset = Inset(r, pictureOffsetLeft_, pictureOffsetTop_, pictureOffsetRight_, pictureOffsetBottom_);
  switch (appearance) {
    case sbOffice2003:
      main = r;
      LayoutMain(r, &captionArea, &pictureArea);
      break;
    case sbSep2003:
      sep = inset;
      big = inset.width() >= 1 && inset.height() >= 1;
      break;
    case sbMainSep2003:
      sep = inset;
      big = mainSepLineBetweenSpace_ < inset.height() && mainSepThick_ < inset.width();
      break;
    case sbUp_Down2003: {
      const int dw = std::clamp(static_cast<int>(up_DownWidht_), 0, std::max(0, r.width()));
      dropDown = QRect(r.left() + r.width() - dw, r.top(), dw, r.height());
      main = QRect(r.left(), r.top(), r.width() - dw, r.height());
      LayoutMain(main, &captionArea, &pictureArea);
      big = up_DownWidht_ < r.width() && r.height() > 2;
      break;
    }
    case sbChevron2003:
      glyph = QRect(r.left() + (r.width() - 8) / 2, r.top() + (r.height() - 14) / 2, 8, 14);
      main = r;
      big = r.width() > 8 && r.height() > 14;
      break;
    default:
      return false;  // unknown styles keep the layout they had
  }
  if (bigEnough) *bigEnough = big;
  if (store) {
    auto* self = const_cast<VsNetBut*>(this);
    self->captionArea_ = captionArea;
    self->pictureArea_ = pictureArea;
    self->captionRect_ = captionArea.isNull()
                             ? QRect()
                             : Inset(captionArea, captionOffsetLeft_, captionOffsetTop_, captionOffsetRight_,
                                     captionOffsetBottom_);
    self->pictureRect_ = pictureArea.isNull()
                             ? QRect()
                             : Inset(pictureArea, pictureOffsetLeft_, pictureOffsetTop_, pictureOffsetRight_,
                                     pictureOffsetBottom_);
    self->dropDownRect_ = dropDown;
    self->mainRect_ = main;
    self->sepRect_ = sep;
    self->glyphRect_ = glyph;
    self->bigEnough_ = big;
  }
  return true;
}

bool VsNetBut::BigEnoughFor(int32_t appearance) const {
  bool big = true;
  if (!ComputeLayout(appearance, rect(), false, &big)) return true;
  return big;
}

void VsNetBut::Relayout() { ComputeLayout(buttonAppearance_, rect(), true, nullptr); }

void VsNetBut::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

// ---- drawing -------------------------------------------------------------

void VsNetBut::FillGradient(QPainter& hdc, int LeftX, int TopY, int RightX, int BottomY, ColourValue clrFirst,
                            ColourValue clrSecond, bool bVertical, bool bDrawBorder, ColourValue clrBorder) {
  const int w = RightX - LeftX;
  const int h = BottomY - TopY;
  if (w <= 0 || h <= 0) return;
  const QColor a = C(clrFirst);
  const QColor b = C(clrSecond);
  const int steps = bVertical ? h : w;
  for (int i = 0; i < steps; ++i) {
    const double t = steps > 1 ? static_cast<double>(i) / (steps - 1) : 0.0;
    const QColor c(static_cast<int>(std::lround(a.red() + (b.red() - a.red()) * t)),
                   static_cast<int>(std::lround(a.green() + (b.green() - a.green()) * t)),
                   static_cast<int>(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
    if (bVertical)
      hdc.fillRect(LeftX, TopY + i, w, 1, c);
    else
      hdc.fillRect(LeftX + i, TopY, 1, h, c);
  }
  if (bDrawBorder && clrBorder != kNoBorder) Frame(hdc, QRect(LeftX, TopY, w, h), C(clrBorder));
}

void VsNetBut::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  QPainter p(this);
  Render(p);
}

void VsNetBut::Render(QPainter& p) {
  const QRect r = rect();
  const bool separator = buttonAppearance_ == sbSep2003 || buttonAppearance_ == sbMainSep2003;
  const bool disabledLook = !isEnabled() && !ignoeDisEnabledEffect_;
  const bool gradientLook = office2003Style_;

  // Background by state.
  if (separator) {
    p.fillRect(r, C(backColor_));
  } else {
    auto gradient = [&](ColourValue top, ColourValue bottom) {
      FillGradient(p, r.left(), r.top(), r.right() + 1, r.bottom() + 1, top, bottom, true, true, edgeColor_);
    };
    auto flat = [&](ColourValue fill) {
      p.fillRect(r, C(fill));
      Frame(p, r, C(edgeColor_));
    };
    switch (state_) {
      case kStateNormal:
        if (check_)
          gradientLook ? gradient(checkedColorStar_, checkedColorEnd_) : flat(checkedColorXP_);
        else
          p.fillRect(r, C(backColor_));
        break;
      case kStateHover:
        if (gradientLook)
          check_ ? gradient(checkOverColorStar_, checkOverColorEnd_) : gradient(overColorStar_, overColorEnd_);
        else
          flat(check_ ? downColorXP_ : overColorXP_);
        break;
      case kStatePressed:
        gradientLook ? gradient(downColorStar_, downColorEnd_) : flat(downColorXP_);
        break;
    }
  }

  const int32_t style = buttonAppearance_;
  const bool hasMain = style == sbOffice2003 || style == sbUp_Down2003 || style < 0 || style > sbChevron2003;
  if (hasMain) {
    DrawPicture(p, state_, disabledLook);
    DrawCaption(p, disabledLook);
  }
  if (separator) DrawSeparator(p);
  if (style == sbUp_Down2003) {
    DrawDropDownGlyph(p, disabledLook);
    if (state_ != kStateNormal) Frame(p, dropDownRect_, C(edgeColor_));
  }
  if (style == sbChevron2003) DrawChevronGlyph(p, disabledLook);

  if (hasFocus() && showFocusRect_ && !separator) {
    QPen pen(C(foreColor_), 0, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int o = foucsRectOffSet_;
    auto focusRect = [&](const QRect& part) {
      const QRect f = Inset(part, o, o, o, o);
      if (f.width() > 1 && f.height() > 1) p.drawRect(f.x(), f.y(), f.width() - 1, f.height() - 1);
    };
    if (style == sbUp_Down2003) {
      focusRect(mainRect_);
      focusRect(dropDownRect_);
    } else {
      focusRect(r);
    }
  }

  if (!separator && (state_ != kStateNormal || showEdgeOnNoFocus_)) {
    const QColor edge = C(disabledLook ? shadowColor_ : edgeColor_);
    Frame(p, r, edge);
    if (style == sbUp_Down2003 && state_ == kStateNormal) Frame(p, dropDownRect_, edge);
  }
}

void VsNetBut::DrawPicture(QPainter& p, VisualState state, bool disabledLook) {
  if (drawnPicture_.isNull() || pictureRect_.width() <= 0 || pictureRect_.height() <= 0) return;
  QImage picture = drawnPicture_;
  if (picture.width() > pictureRect_.width() || picture.height() > pictureRect_.height())
    picture = picture.scaled(pictureRect_.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (picture.isNull()) return;
  const QRect place =
      QStyle::alignedRect(Qt::LeftToRight, GridAlignment(pictureLayout_), picture.size(), pictureRect_);
  p.save();
  p.setClipRect(pictureArea_.united(pictureRect_));
  if (disabledLook) {
    p.drawImage(place.topLeft(), Silhouette(picture, C(shadowColor_)));
  } else if (state == kStateHover && showShadow_) {
    ColourValue shade = shadowColor_;
    if (!office2003Style_)
      shade = kFlatSilhouette;
    else if (check_)
      shade = kCheckedGradientSilhouette;
    p.drawImage(place.topLeft(), Silhouette(picture, C(shade)));
    p.drawImage(place.topLeft() - QPoint(shadowOffset_, shadowOffset_), picture);
  } else {
    p.drawImage(place.topLeft(), picture);
  }
  p.restore();
}

void VsNetBut::DrawCaption(QPainter& p, bool disabledLook) {
  if (!showCaption_ || caption_.isEmpty() || captionRect_.width() <= 0 || captionRect_.height() <= 0) return;
  int flags = static_cast<int>(GridAlignment(captionLayout_)) | Qt::TextShowMnemonic;
  flags |= autoMultiLine_ ? Qt::TextWordWrap : Qt::TextSingleLine;
  p.save();
  p.setClipRect(captionRect_);
  p.setFont(font());
  p.setPen(C(disabledLook ? shadowColor_ : foreColor_));
  p.drawText(captionRect_, flags, caption_);
  p.restore();
}

void VsNetBut::DrawSeparator(QPainter& p) {
  if (sepRect_.width() <= 0 || sepRect_.height() <= 0) return;
  p.setPen(QPen(C(sepForeColor_), 0));
  if (buttonAppearance_ == sbSep2003) {
    const int x = sepRect_.left() + sepRect_.width() / 2;
    p.drawLine(x, sepRect_.top(), x, sepRect_.bottom());
    return;
  }
  // Grip bar: short lines on every row that is a multiple of the pitch. A
  // pitch below one would leave no rows to step by; draw every row then.
  const int pitch = std::max<int>(1, mainSepLineBetweenSpace_);
  const int length = std::min<int>(mainSepThick_, sepRect_.width());
  if (length <= 0) return;
  const int x0 = sepRect_.left() + (sepRect_.width() - length) / 2;
  for (int y = sepRect_.top(); y <= sepRect_.bottom(); ++y)
    if (y % pitch == 0) p.drawLine(x0, y, x0 + length - 1, y);
}

void VsNetBut::DrawDropDownGlyph(QPainter& p, bool disabledLook) {
  if (dropDownRect_.width() <= 0) return;
  // A downward triangle 6 pixels wide: rows of 6, 4 and 2 pixels.
  const QColor colour = C(disabledLook ? shadowColor_ : foreColor_);
  const int x0 = dropDownRect_.left() + (dropDownRect_.width() - 6) / 2;
  const int y0 = dropDownRect_.top() + (dropDownRect_.height() - 3) / 2;
  for (int row = 0; row < 3; ++row) p.fillRect(x0 + row, y0 + row, 6 - 2 * row, 1, colour);
}

void VsNetBut::DrawChevronGlyph(QPainter& p, bool disabledLook) {
  const QColor colour = C(disabledLook ? shadowColor_ : foreColor_);
  const QPoint o = glyphRect_.topLeft();
  // Two right-pointing chevrons of single pixels, then a small filled
  // downward triangle, inside the 8 x 14 box.
  static const char* const kGlyph[14] = {
      "........", "X.X.....", ".X.X....", "..X.X...", ".X.X....", "X.X.....", "........",
      "........", "........", "XXXXX...", ".XXX....", "..X.....", "........", "........",
  };
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 8; ++x)
      if (kGlyph[y][x] == 'X') p.fillRect(o.x() + x + 1, o.y() + y, 1, 1, colour);
}

// ---- interaction ---------------------------------------------------------

void VsNetBut::SetLook(VisualState state) {
  if (state_ == state) return;
  state_ = state;
  update();
}

void VsNetBut::DoMouseDown(int16_t button, int16_t shift, float x, float y) {
  QPointer<VsNetBut> self(this);
  emit MouseDown(button, shift, x, y);
  if (!self) return;
  lastButton_ = button;
  if (button != 2) SetLook(kStatePressed);
}

void VsNetBut::DoMouseMove(int16_t buttons, int16_t shift, float x, float y) {
  QPointer<VsNetBut> self(this);
  emit MouseMove(buttons, shift, x, y);
  if (!self) return;
  if (buttons != 0 && buttons != 1) return;
  const bool inside = x >= 0 && y >= 0 && x < width() && y < height();
  if (!inside) {
    SetLook(kStateNormal);
  } else if (buttons == 0) {
    if (!hovering_) {
      hovering_ = true;
      emit MouseEnter();
      if (!self) return;
      SetLook(kStateHover);
    }
  } else {
    SetLook(kStatePressed);
  }
}

void VsNetBut::DoMouseUp(int16_t button, int16_t shift, float x, float y, bool inside) {
  QPointer<VsNetBut> self(this);
  if (buttonAppearance_ == sbUp_Down2003 && button == 1) {
    // The split button answers its own release: the drop-down part, or
    // the main part. A release away from the button is no click at all.
    if (inside && x >= dropDownRect_.left() && dropDownRect_.width() > 0) {
      emit DropDownClick();
    } else {
      emit MouseUp(button, shift, x, y);
      if (self && inside) emit Click();
    }
  } else {
    emit MouseUp(button, shift, x, y);
  }
  if (!self) return;
  if (button != 2) SetLook(kStateNormal);
}

void VsNetBut::DoClick() {
  if (!isEnabled() || lastButton_ != 1) return;
  QPointer<VsNetBut> self(this);
  SetLook(kStateNormal);
  if (buttonAppearance_ != sbUp_Down2003) emit Click();  // a split button clicked on release
  if (!self) return;
  if (hovering_) SetLook(kStateHover);
}

void VsNetBut::DoDblClick() {
  if (enableDblClick_) {
    emit DblClick();
  } else if (lastButton_ == 1) {
    DoClick();  // the second click of a quick pair
  }
}

void VsNetBut::mousePressEvent(QMouseEvent* event) {
  afterDoubleClick_ = false;
  const QPointF pos = event->position();
  DoMouseDown(vbinput::MouseButton(event->button()), vbinput::ShiftState(event->modifiers()),
              static_cast<float>(pos.x()), static_cast<float>(pos.y()));
}

void VsNetBut::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  DoMouseMove(vbinput::MouseButtons(event->buttons()), vbinput::ShiftState(event->modifiers()),
              static_cast<float>(pos.x()), static_cast<float>(pos.y()));
}

void VsNetBut::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  const bool inside = rect().contains(pos.toPoint());
  const bool endsDoubleClick = afterDoubleClick_;
  afterDoubleClick_ = false;
  QPointer<VsNetBut> self(this);
  DoMouseUp(vbinput::MouseButton(event->button()), vbinput::ShiftState(event->modifiers()),
            static_cast<float>(pos.x()), static_cast<float>(pos.y()), inside);
  // A press and release over the button is a click; the release ending a
  // double click is not (the double click stood for it).
  if (self && inside && !endsDoubleClick) DoClick();
}

void VsNetBut::mouseDoubleClickEvent(QMouseEvent* event) {
  afterDoubleClick_ = true;
  DoDblClick();
}

void VsNetBut::keyPressEvent(QKeyEvent* event) {
  QPointer<VsNetBut> self(this);
  int16_t keyCode = vbinput::KeyCode(event);
  int16_t shift = vbinput::ShiftState(event->modifiers());
  emit KeyDown(keyCode, shift);
  if (!self) return;
  lastKey_ = vbinput::KeyCode(event);
  switch (lastKey_) {
    case vbinput::kKeySpace:
      if (!event->isAutoRepeat()) DoMouseDown(1, 0, 1, 1);
      break;
    case vbinput::kKeyRight:
    case vbinput::kKeyDown:
      focusNextPrevChild(true);
      break;
    case vbinput::kKeyLeft:
    case vbinput::kKeyUp:
      focusNextPrevChild(false);
      break;
    default:
      event->ignore();  // Enter, Esc and the rest go on to the host window
      break;
  }
  if (!self) return;
  const int code = vbinput::CharacterCode(event);
  if (code >= 0) {
    int16_t keyAscii = static_cast<int16_t>(code);
    emit KeyPress(keyAscii);
  }
}

void VsNetBut::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  QPointer<VsNetBut> self(this);
  int16_t keyCode = vbinput::KeyCode(event);
  int16_t shift = vbinput::ShiftState(event->modifiers());
  emit KeyUp(keyCode, shift);
  if (!self) return;
  if (vbinput::KeyCode(event) == vbinput::kKeySpace && lastKey_ == vbinput::kKeySpace) {
    lastKey_ = 0;
    DoMouseUp(1, 0, 1, 1, true);
    if (self) DoClick();
  }
}

void VsNetBut::SetHotKeyPause(HotKeyPause pause) { PauseHandler() = std::move(pause); }

void VsNetBut::HoldLook(int rounds) {
  if (PauseHandler()) {
    PauseHandler()(this, rounds);
    return;
  }
  repaint();
  QElapsedTimer timer;
  timer.start();
  const qint64 ms = rounds / 100;
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void VsNetBut::AccessKeyPress() {
  if (!isEnabled() || animating_) return;
  QPointer<VsNetBut> self(this);
  if (hotKeyDynamicEffect_) {
    animating_ = true;
    SetLook(kStateHover);
    HoldLook(kHotKeyHoverRounds);
    if (!self) return;
    SetLook(kStatePressed);
    HoldLook(kHotKeyPressedRounds);
    if (!self) return;
    SetLook(kStateNormal);
    animating_ = false;
  }
  // A key press is a left click whatever mouse button was used last.
  lastButton_ = 1;
  if (buttonAppearance_ == sbUp_Down2003)
    emit Click();  // the split button has no release to raise it
  else
    DoClick();
  if (!self) return;
  SetLook(hovering_ ? kStateHover : kStateNormal);
}

// The window system reports the pointer leaving (also when the button is
// hidden or covered under it, and after a press that was dragged out is
// released), so no timer needs to watch a resting pointer.
void VsNetBut::PointerLeft() {
  if (!hovering_) return;
  hovering_ = false;
  SetLook(kStateNormal);
  emit MouseExit();
}

void VsNetBut::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  PointerLeft();
}

void VsNetBut::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void VsNetBut::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void VsNetBut::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
    case QEvent::FontChange:
      Relayout();
      update();
      Notify("Font");
      break;
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        hovering_ = false;
        state_ = kStateNormal;
      }
      update();
      Notify("Enabled");
      break;
    default: break;
  }
}

bool VsNetBut::event(QEvent* event) {
  if (event->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    const int id = shortcut->shortcutId();
    if (id != 0 && (id == mnemonicShortcut_ || id == returnShortcut_ || id == enterShortcut_ || id == escapeShortcut_)) {
      if (id == mnemonicShortcut_ && shortcut->isAmbiguous()) {
        setFocus(Qt::ShortcutFocusReason);  // several buttons share the key: step through them
        return true;
      }
      AccessKeyPress();
      return true;
    }
  }
  return QWidget::event(event);
}
