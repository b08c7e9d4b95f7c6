#pragma once
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <cstdint>

#include "controls/colour_value.h"

class PropertyBag;

// The colour picker's launcher. A host window places it, sets Color, calls
// Show (which returns when the dialog has closed) and reads Color back: the
// chosen colour after OK, the old one after cancelling.
//
//   colorBox->setColor(swatchColour);
//   colorBox->Show();
//   swatchColour = colorBox->Color();
//
// Color and WebColors are shared by every ColorBox and the single dialog
// (ColorDialogMod). The box keeps itself 480 × 280 twips and shows its
// colour; hosts that only use it as a launcher hide it.
class ColorBox : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 480;
  static constexpr int kHeightTwips = 280;
  enum StartUpPosition : int32_t { kCentreOnHost = 0, kCentreOnScreen = 1, kAtDialogLeftTop = 2 };

  explicit ColorBox(QWidget* parent = nullptr);
  // Releases the dialog.
  ~ColorBox() override;

  // The chosen colour. A system colour (top bit set) is resolved to its
  // current colour when set; a value that names no colour is refused and
  // the old colour kept.
  ColourValue Color() const;
  void setColor(ColourValue value);
  // The dialog's window icon. Only an icon is accepted: a plain picture
  // shows "Not an Icon" and keeps the old icon.
  QIcon Icon() const { return icon_; }
  void setIcon(const QIcon& value);
  void setIcon(const QPixmap& picture);
  // Takes the icon from an .ico file; any other file is not an icon.
  bool LoadIcon(const QString& path);
  // Pixels; used with DialogStartUpPosition 2.
  int32_t DialogLeft() const { return dialogLeft_; }
  void setDialogLeft(int32_t value);
  int32_t DialogTop() const { return dialogTop_; }
  void setDialogTop(int32_t value);
  bool AdjustPosition() const { return adjustPosition_; }
  void setAdjustPosition(bool value);
  // 0 centred on the host window, 1 centred on the screen, 2 at
  // DialogLeft, DialogTop; other values count as 0.
  int32_t DialogStartUpPosition() const { return startUpPosition_; }
  void setDialogStartUpPosition(int32_t value);
  // The view the dialog opens with: 0 H, 1 S, 2 B picker, 3 custom palette,
  // 4 web-safe palette. It is the dialog's own mode, so a view the user
  // chose is kept for the next opening. Other values are ignored.
  int32_t Mode() const;
  void setMode(int32_t value);
  bool WebColors() const;
  void setWebColors(bool value);

  // Opens the dialog modally and returns when it is hidden.
  void Show();
  // Unloads the dialog; if it was open, opens it again.
  void Refresh();

  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Where the dialog goes (top-left of its frame, pixels), for a dialog of
  // `dialog` size, a host window frame `host` and the usable screen area.
  static QPoint DialogPosition(int32_t startUpPosition, const QRect& host, const QRect& screen, const QSize& dialog,
                               int32_t left, int32_t top, bool adjust);

 signals:
  // The left button pressed on the dialog's surface or moved over it held:
  // the colour selected then.
  void ColorChange(ColourValue color);
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Notify(const char* name);

  QIcon icon_;
  int32_t dialogLeft_ = 0;
  int32_t dialogTop_ = 0;
  bool adjustPosition_ = true;
  int32_t startUpPosition_ = kCentreOnHost;
  bool loading_ = false;
};
