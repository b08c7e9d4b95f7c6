#include "colour_picker/colour_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_dialog_mod.h"
#include "controls/property_bag.h"
#include "controls/twips.h"
#include "platform/plain_message.h"

ColorBox::ColorBox(QWidget* parent) : QWidget(parent) {
  setFixedSize(twips::ToPixels(kWidthTwips), twips::ToPixels(kHeightTwips));
}

ColorBox::~ColorBox() { ColorDialogMod::UnloadDialog(); }

void ColorBox::Notify(const char* name) {
  if (!loading_) emit PropertyChanged(QString::fromLatin1(name));
}

// ---- properties -------------------------------------------------------------------

ColourValue ColorBox::Color() const { return ColorDialogMod::CurrentColor; }

void ColorBox::setColor(ColourValue value) {
  ColourValue accepted;
  if (!ColorDialogMod::AcceptColourValue(value, &accepted)) return;
  ColorDialogMod::CurrentColor = accepted;
  update();
  Notify("Color");
}

void ColorBox::setIcon(const QIcon& value) {
  icon_ = value;
  Notify("Icon");
}

void ColorBox::setIcon(const QPixmap& picture) {
  if (picture.isNull()) {
    setIcon(QIcon());
    return;
  }
  platform::ShowPlainMessage(QStringLiteral("Not an Icon"), QStringLiteral("ColorBox"));
}

bool ColorBox::LoadIcon(const QString& path) {
  QImageReader reader(path);
  if (reader.format() != "ico" || !reader.canRead()) {
    platform::ShowPlainMessage(QStringLiteral("Not an Icon"), QStringLiteral("ColorBox"));
    return false;
  }
  setIcon(QIcon(path));
  return true;
}

void ColorBox::setDialogLeft(int32_t value) {
  dialogLeft_ = value;
  Notify("DialogLeft");
}

void ColorBox::setDialogTop(int32_t value) {
  dialogTop_ = value;
  Notify("DialogTop");
}

void ColorBox::setAdjustPosition(bool value) {
  adjustPosition_ = value;
  Notify("AdjustPosition");
}

void ColorBox::setDialogStartUpPosition(int32_t value) {
  startUpPosition_ = value;
  Notify("DialogStartUpPosition");
}

int32_t ColorBox::Mode() const { return ColorDialogMod::PickerMode; }

void ColorBox::setMode(int32_t value) {
  if (value < ColorDialogMod::kModeH || value > ColorDialogMod::kModeWebSafe) return;
  ColorDialogMod::PickerMode = static_cast<int16_t>(value);
  Notify("Mode");
}

bool ColorBox::WebColors() const { return ColorDialogMod::WebColors; }

void ColorBox::setWebColors(bool value) {
  ColorDialogMod::WebColors = value;
  if (ColorDialog* dialog = ColorDialogMod::LoadedDialog()) {
    const QSignalBlocker block(dialog->chkWeb());
    dialog->chkWeb()->setChecked(value);
  }
  Notify("WebColors");
}

// ---- stored properties ----------------------------------------------------------

void ColorBox::InitProperties() {
  loading_ = true;
  setColor(0);
  setIcon(QIcon());
  setDialogLeft(0);
  setDialogTop(0);
  setAdjustPosition(true);
  setDialogStartUpPosition(kCentreOnHost);
  setMode(ColorDialogMod::kModeH);
  setWebColors(false);
  loading_ = false;
}

void ColorBox::ReadProperties(const PropertyBag& bag) {
  loading_ = true;
  setColor(bag.ReadProperty("Color", 0u).toUInt());
  const QVariant icon = bag.ReadProperty("Icon");
  setIcon(icon.canConvert<QIcon>() ? icon.value<QIcon>() : QIcon());
  setDialogLeft(bag.ReadProperty("DialogLeft", 0).toInt());
  setDialogTop(bag.ReadProperty("DialogTop", 0).toInt());
  setAdjustPosition(bag.ReadProperty("AdjustPosition", true).toBool());
  setDialogStartUpPosition(bag.ReadProperty("DialogStartUpPosition", 0).toInt());
  setMode(bag.ReadProperty("Mode", 0).toInt());
  setWebColors(bag.ReadProperty("WebColors", false).toBool());
  loading_ = false;
}

void ColorBox::WriteProperties(PropertyBag& bag) const {
  bag.WriteProperty("Color", QVariant::fromValue<uint>(Color()), QVariant::fromValue<uint>(0));
  if (!icon_.isNull()) bag.WriteProperty("Icon", icon_);
  bag.WriteProperty("DialogLeft", dialogLeft_, 0);
  bag.WriteProperty("DialogTop", dialogTop_, 0);
  bag.WriteProperty("AdjustPosition", adjustPosition_, true);
  bag.WriteProperty("DialogStartUpPosition", startUpPosition_, 0);
  bag.WriteProperty("Mode", Mode(), 0);
  bag.WriteProperty("WebColors", WebColors(), false);
}

// ---- opening ----------------------------------------------------------------------

QPoint ColorBox::DialogPosition(int32_t startUpPosition, const QRect& host, const QRect& screen, const QSize& dialog,
                                int32_t left, int32_t top, bool adjust) {
  long long x, y;
  if (startUpPosition == kCentreOnScreen) {
    x = screen.left() + screen.width() / 2 - dialog.width() / 2;
    y = screen.top() + screen.height() / 2 - dialog.height() / 2;
  } else if (startUpPosition == kAtDialogLeftTop) {
    x = left;
    y = top;
  } else {
    x = host.left() + host.width() / 2 - dialog.width() / 2;
    y = host.top() + host.height() / 2 - dialog.height() / 2;
  }
  if (adjust) {
    // Past the right or bottom edge: moved to touch it; then never above or
    // left of the screen, so the title bar stays within reach.
    x = std::min<long long>(x, static_cast<long long>(screen.right()) + 1 - dialog.width());
    y = std::min<long long>(y, static_cast<long long>(screen.bottom()) + 1 - dialog.height());
    x = std::max<long long>(x, screen.left());
    y = std::max<long long>(y, screen.top());
  }
  auto fit = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1000000, 1000000)); };
  return QPoint(fit(x), fit(y));
}

void ColorBox::Show() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QWidget* host = window();
  ColorDialog* dialog = ColorDialogMod::Dialog(host != this ? host : nullptr);
  dialog->SetOpeningColour(ColorDialogMod::CurrentColor);

  QScreen* screen = host->screen() ? host->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  const QRect hostFrame = host != this && host->isVisible() ? host->frameGeometry() : area;
  if (!dialog->isVisible())
    dialog->move(DialogPosition(startUpPosition_, hostFrame, area, dialog->frameGeometry().size(), dialogLeft_,
                                dialogTop_, adjustPosition_));

  dialog->LoadMode(ColorDialogMod::PickerMode);
  dialog->SelectView(ColorDialogMod::PickerMode);
  QApplication::restoreOverrideCursor();
  if (dialog->isVisible()) return;

  dialog->setWindowIcon(icon_);
  QPointer<ColorBox> self(this);
  const auto link = connect(dialog, &ColorDialog::SurfaceColour, this, &ColorBox::ColorChange);
  dialog->exec();
  if (self) {
    disconnect(link);
    update();
  }
}

void ColorBox::Refresh() {
  ColorDialog* dialog = ColorDialogMod::LoadedDialog();
  const bool wasVisible = dialog && dialog->isVisible();
  ColorDialogMod::UnloadDialog();
  if (wasVisible) Show();
}

void ColorBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ColourValueToQColor(Color()));
  p.setPen(QColor(128, 128, 128));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}
