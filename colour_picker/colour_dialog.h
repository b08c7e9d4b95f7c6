#pragma once
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>

#include "colour_picker/colour_dialog_mod.h"
#include "controls/colour_value.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QelText;
class VsNetBut;
class ColourSwatch;

// The colour picker window "Qel色彩管理 V2.1". The picker page shows a
// 256 × 256 square and a bar for one of three modes (H, S or B on the bar)
// with the fields for H, S, B, R, G, B, C, M, Y and K; the palette page
// shows the 224 custom colours (kept in usercolors.cps), the 216 web-safe
// colours, or a few words about the picker.
//
// The window is loaded once and then only hidden; ColorBox opens it
// (ColorDialogMod::Dialog). It draws on a canvas of its own client area,
// coordinates in pixels. Warnings go through ProMod::ShowMsgBox.
class ColorDialog : public QDialog {
  Q_OBJECT

 public:
  // Page states.
  enum Page : int16_t { kPagePicker = 0, kPageAbout = 1, kPageCustom = 2, kPageWebSafe = 3 };

  static constexpr int kClientWidth = 480;
  static constexpr int kClientHeight = 314;
  static const char* const kCaption;

  explicit ColorDialog(QWidget* parent = nullptr);
  ~ColorDialog() override;

  int16_t Mode() const { return page_; }

  // Records the picker mode; for modes 0 to 2 redraws the picker page for
  // the colour of lblSelColor in that mode and fills every field.
  void LoadMode(int16_t pickerMode);

  QString GetHexVal(int red, int green, int blue) const { return ColorDialogMod::HexText(red, green, blue); }
  ColourValue GetSafeColor(int16_t cell) const { return ColorDialogMod::SafeColorOfCell(cell); }
  // Draws (erase false) or erases the selection edge of a palette cell.
  void DrawSafePicker(int16_t cell, bool erase);
  // Draws the square cursor, inverted: drawing it again removes it.
  void DrawPicker();
  // Draws the sunken edge around the square.
  void DrawSelFrame();

  // ---- handlers, as the controls call them ----
  void Command1_Click();  // OK
  void Command2_Click();  // cancel
  void Command3_Click();  // picker page <-> palette page
  void cmbPreset_Click(int entry);
  void cmdADD_Click();
  void chkWeb_Click();
  void optMode_Click(int16_t pickerMode);
  void Label2_Click();
  void Label2_DblClick();
  // The left button on the window's own surface (client pixels).
  void SurfaceDown(const QPoint& p);
  void SurfaceMove(const QPoint& p);
  void SurfaceUp(const QPoint& p);

  // ---- what ColorBox.Show uses ----
  // Sets lblSelColor and Label2 to the colour the dialog opens with.
  void SetOpeningColour(ColourValue colour);
  // Shows the page and view of a picker mode (0..2 picker page with the
  // option ticked, 3 or 4 the palette page with that palette) without
  // running the options' handlers.
  void SelectView(int16_t pickerMode);
  // True while one of the window's own event handlers runs.
  bool InsideHandler() const { return handlerDepth_ > 0; }

  // ---- pieces, for hosts and tests ----
  ColourSwatch* lblSelColor() const { return lblSelColor_; }
  ColourSwatch* Label2() const { return label2_; }
  ColourSwatch* lblADDColor() const { return lblADDColor_; }
  QRadioButton* optH() const { return optH_; }
  QRadioButton* optS() const { return optS_; }
  QRadioButton* optB() const { return optB_; }
  QelText* txtH() const { return txtH_; }
  QelText* txtS() const { return txtS_; }
  QelText* txtB() const { return txtB_; }
  QelText* Text1() const { return text1_; }
  QelText* Text2() const { return text2_; }
  QelText* Text3() const { return text3_; }
  QelText* txtCyan() const { return txtCyan_; }
  QelText* txtMagenta() const { return txtMagenta_; }
  QelText* txtYellow() const { return txtYellow_; }
  QelText* txtK() const { return txtK_; }
  QLabel* lblHex() const { return lblHex_; }
  QCheckBox* chkWeb() const { return chkWeb_; }
  QWidget* Frame2() const { return frame2_; }
  QComboBox* cmbPreset() const { return cmbPreset_; }
  VsNetBut* cmdADD() const { return cmdADD_; }
  VsNetBut* Command1() const { return command1_; }
  VsNetBut* Command2() const { return command2_; }
  VsNetBut* Command3() const { return command3_; }
  // The client area as drawn (square, bar, cursor, markers, palette, texts).
  const QImage& Canvas() const { return canvas_; }
  const QImage& Square() const { return square_; }
  const QImage& Bar() const { return bar_; }
  // The values the picker shows (not truncated).
  ColorDialogMod::Hsb Values() const { return hsb_; }
  // The two hot areas at the top right corner.
  QRect HotInner() const;
  QRect HotOuter() const;
  QRect InfoArea() const;

  // Moves the pointer while the square holds it (global pixels). Tests
  // replace it; an empty handler restores the default.
  using PointerWarp = std::function<void(const QPoint& global)>;
  static void SetPointerWarp(PointerWarp warp);

 signals:
  // The left button was pressed on the surface or moved over it held;
  // the colour of lblSelColor afterwards.
  void SurfaceColour(ColourValue colour);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { None, Square, Slider, Cells, Hot };

  void CreateControls();
  void CreateFields();
  void ConnectFields();
  QelText* NewField(QWidget* parent, const QRect& r);
  void LayOutPalettePieces();

  // picker page drawing
  void ClearCanvas();
  void DrawChrome();
  void RedrawPickerPage();
  void RedrawSquare();
  void RedrawBar();
  void XorCursorAt(const QPoint& centre);
  void XorMarkersAt(int row);
  void MoveCursor(const QPoint& p);
  void MoveSlider(double y);
  void ShowValues(const ColorDialogMod::Hsb& values, ColourValue colour);
  void Pick();
  void PickFromPosition(const QPoint& p, bool start);

  // palette page drawing
  void DrawCustomPalette();
  void DrawWebSafePalette();
  void DrawAboutPage();
  void DrawCell(int cell, ColourValue colour);
  void SelectCell(int cell);
  void PrintInfo(ColourValue colour);

  // fields
  void FillRgbFields(ColourValue colour);
  void FillHsbFields(const ColorDialogMod::Hsb& values);
  void SetFieldText(QelText* field, const QString& text);
  void UpdateCmyk();
  void HsbFieldKeyUp(QelText* field);
  void RgbFieldChanged(QelText* field);
  void KFieldChanged();
  bool ValidateLeaving(QelText* field);
  void Warn(const QString& text, QelText* field);
  int FieldMaximum(QelText* field) const;
  ColorDialogMod::Hsb ValuesFromFields() const;
  void ApplyValues(const ColorDialogMod::Hsb& values);
  void SetSelected(ColourValue colour);
  void RestoreLastAccepted();

  // pieces
  ColourSwatch* lblSelColor_ = nullptr;
  ColourSwatch* label2_ = nullptr;
  ColourSwatch* lblADDColor_ = nullptr;
  QRadioButton* optH_ = nullptr;
  QRadioButton* optS_ = nullptr;
  QRadioButton* optB_ = nullptr;
  QelText* txtH_ = nullptr;
  QelText* txtS_ = nullptr;
  QelText* txtB_ = nullptr;
  QelText* text1_ = nullptr;
  QelText* text2_ = nullptr;
  QelText* text3_ = nullptr;
  QelText* txtCyan_ = nullptr;
  QelText* txtMagenta_ = nullptr;
  QelText* txtYellow_ = nullptr;
  QelText* txtK_ = nullptr;
  QLabel* lblHex_ = nullptr;
  QCheckBox* chkWeb_ = nullptr;
  QWidget* frame2_ = nullptr;
  QComboBox* cmbPreset_ = nullptr;
  VsNetBut* cmdADD_ = nullptr;
  VsNetBut* command1_ = nullptr;
  VsNetBut* command2_ = nullptr;
  VsNetBut* command3_ = nullptr;

  // drawing
  QImage canvas_;
  QImage square_;
  QImage bar_;
  bool cursorShown_ = false;
  QPoint shownCursor_;
  bool markersShown_ = false;
  int shownMarkerRow_ = 0;

  // state
  int16_t page_ = kPagePicker;
  ColorDialogMod::Hsb hsb_;
  Drag drag_ = Drag::None;
  bool hotLeft_ = false;
  bool filling_ = false;   // the dialog itself writes the fields
  bool warning_ = false;   // a warning is up: focus changes are no leaving
  bool refocusing_ = false;  // a refused field takes the focus back
  QelText* pressedIn_ = nullptr;  // the H, S or B field the last key went down in
  int handlerDepth_ = 0;
};
