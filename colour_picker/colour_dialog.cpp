#include "colour_picker/colour_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolTip>

#include "colour_picker/colour_swatch.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"

using namespace ColorDialogMod;

const char* const ColorDialog::kCaption = "Qel色彩管理 V2.1";

namespace {

// Right-hand column of the window.
constexpr int kColumnLeft = 300;
constexpr int kPaletteEntryCustom = 1;
constexpr int kPaletteEntryWebSafe = 2;

ColorDialog::PointerWarp& Warp() {
  static ColorDialog::PointerWarp warp;
  return warp;
}

// The pointer shown while the square holds it: a small cross with an open
// centre, so the inverted circle stays visible.
QCursor PickCursor() {
  QPixmap pixmap(15, 15);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawLine(7, 0, 7, 4);
  p.drawLine(7, 10, 7, 14);
  p.drawLine(0, 7, 4, 7);
  p.drawLine(10, 7, 14, 7);
  p.end();
  return QCursor(pixmap, 7, 7);
}

bool InSquare(const QPoint& p) {
  return p.x() >= kSquareLeft && p.x() <= kSquareRight && p.y() >= kSquareTop && p.y() <= kSquareBottom;
}

bool InSliderArea(const QPoint& p) { return p.x() >= 277 && p.x() < 303 && p.y() >= 8 && p.y() < 268; }

}  // namespace

void ColorDialog::SetPointerWarp(PointerWarp warp) { Warp() = std::move(warp); }

ColorDialog::ColorDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmColor"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setModal(true);
  setFont(QFont(QStringLiteral("宋体"), 9));
  setFixedSize(kClientWidth, kClientHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  canvas_ = QImage(kClientWidth, kClientHeight, QImage::Format_RGB32);
  CreateControls();
  // A freshly loaded window: picker page, first cell, the shared flag.
  page_ = kPagePicker;
  SelectedCell = 1;
  {
    const QSignalBlocker block(chkWeb_);
    chkWeb_->setChecked(WebColors);
  }
  QRadioButton* ticked = PickerMode == kModeS ? optS_ : (PickerMode == kModeB ? optB_ : optH_);
  ticked->setChecked(true);
  ClearCanvas();
  DrawChrome();
}

ColorDialog::~ColorDialog() = default;

void ColorDialog::CreateControls() {
  lblSelColor_ = new ColourSwatch(this);
  lblSelColor_->setObjectName(QStringLiteral("lblSelColor"));
  lblSelColor_->setGeometry(kColumnLeft + 8, 10, 56, 30);
  lblSelColor_->setToolTip(QStringLiteral("选中的颜色"));
  label2_ = new ColourSwatch(this);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setGeometry(kColumnLeft + 8, 40, 56, 26);
  label2_->setToolTip(QStringLiteral("打开时的颜色（单击取回）"));
  connect(label2_, &ColourSwatch::Click, this, &ColorDialog::Label2_Click);
  connect(label2_, &ColourSwatch::DblClick, this, &ColorDialog::Label2_DblClick);

  CreateFields();

  cmbPreset_ = new QComboBox(this);
  cmbPreset_->setObjectName(QStringLiteral("cmbPreset"));
  cmbPreset_->addItems({QStringLiteral("关于色彩管理"), QStringLiteral("增强色（16位）"),
                        QStringLiteral("普通色（216色）")});
  cmbPreset_->setGeometry(kColumnLeft, 80, 176, 24);
  cmbPreset_->hide();
  connect(cmbPreset_, &QComboBox::activated, this, &ColorDialog::cmbPreset_Click);

  cmdADD_ = new VsNetBut(this);
  cmdADD_->setObjectName(QStringLiteral("cmdADD"));
  cmdADD_->setCaption(QStringLiteral("<<保存"));
  cmdADD_->setShowEdgeOnNoFocus(true);
  cmdADD_->setGeometry(kColumnLeft, 204, 72, 26);
  cmdADD_->hide();
  connect(cmdADD_, &VsNetBut::Click, this, &ColorDialog::cmdADD_Click);
  lblADDColor_ = new ColourSwatch(this);
  lblADDColor_->setObjectName(QStringLiteral("lblADDColor"));
  lblADDColor_->setGeometry(kColumnLeft + 80, 204, 44, 26);
  lblADDColor_->hide();

  auto button = [this](const char* name, const QString& caption, const QRect& r) {
    auto* b = new VsNetBut(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setShowEdgeOnNoFocus(true);
    b->setGeometry(r);
    return b;
  };
  command3_ = button("Command3", QStringLiteral("预设(&P)"), QRect(10, 280, 84, 26));
  command1_ = button("Command1", QStringLiteral("确定(&K)"), QRect(300, 280, 84, 26));
  command2_ = button("Command2", QStringLiteral("退出(&X)"), QRect(392, 280, 84, 26));
  command1_->setDefault(true);
  command2_->setCancel(true);
  connect(command1_, &VsNetBut::Click, this, &ColorDialog::Command1_Click);
  connect(command2_, &VsNetBut::Click, this, &ColorDialog::Command2_Click);
  connect(command3_, &VsNetBut::Click, this, &ColorDialog::Command3_Click);
}

QRect ColorDialog::HotOuter() const {
  const int w = width() - 8;
  return QRect(QPoint(w - 55, 25), QPoint(w, 45));
}

QRect ColorDialog::HotInner() const {
  const int w = width() - 8;
  return QRect(QPoint(w - 51, 29), QPoint(w - 33, 41));
}

// ---- closing ------------------------------------------------------------------

void ColorDialog::Command1_Click() {
  if (page_ == kPageAbout) {
    cmbPreset_->setCurrentIndex(kPaletteEntryWebSafe);
    cmbPreset_Click(kPaletteEntryWebSafe);
  }
  CurrentColor = lblSelColor_->Color();
  LastColor = CurrentColor;
  done(QDialog::Accepted);
}

void ColorDialog::Command2_Click() { done(QDialog::Rejected); }

void ColorDialog::RestoreLastAccepted() {
  SetSelected(LastColor);
  if (page_ == kPagePicker && PickerMode <= kModeB) LoadMode(PickerMode);
}

// ---- pages --------------------------------------------------------------------

void ColorDialog::Command3_Click() {
  if (page_ == kPagePicker) {
    frame2_->hide();
    command3_->setCaption(QStringLiteral("选择(&P)"));
    cmbPreset_->show();
    cmbPreset_->setCurrentIndex(kPaletteEntryCustom);
    cmbPreset_Click(kPaletteEntryCustom);  // loads the custom colours and draws them
    lblADDColor_->setColor(lblSelColor_->Color());
    cmdADD_->show();
    lblADDColor_->show();
    PrintInfo(lblSelColor_->Color());
    return;
  }
  cmbPreset_->hide();
  command3_->setCaption(QStringLiteral("预设(&P)"));
  const int16_t mode = optS_->isChecked() ? kModeS : (optB_->isChecked() ? kModeB : kModeH);
  page_ = kPagePicker;
  LoadMode(mode);
  frame2_->show();
  cmdADD_->hide();
  lblADDColor_->hide();
}

void ColorDialog::cmbPreset_Click(int entry) {
  frame2_->hide();
  if (entry == kPaletteEntryCustom) {
    page_ = kPageCustom;
    PickerMode = kModeCustom;
    DrawCustomPalette();
    cmdADD_->show();
    lblADDColor_->show();
  } else if (entry == kPaletteEntryWebSafe) {
    page_ = kPageWebSafe;
    PickerMode = kModeWebSafe;
    DrawWebSafePalette();
    cmdADD_->hide();
    lblADDColor_->hide();
  } else {
    page_ = kPageAbout;
    cmdADD_->hide();
    lblADDColor_->hide();
    DrawAboutPage();
  }
  if (page_ != kPageAbout) PrintInfo(lblSelColor_->Color());
  update();
}

void ColorDialog::SelectView(int16_t pickerMode) {
  if (pickerMode >= kModeCustom) {
    if (page_ == kPagePicker) Command3_Click();
    const int entry = pickerMode == kModeWebSafe ? kPaletteEntryWebSafe : kPaletteEntryCustom;
    cmbPreset_->setCurrentIndex(entry);
    cmbPreset_Click(entry);
    return;
  }
  if (page_ != kPagePicker) {
    cmbPreset_->hide();
    command3_->setCaption(QStringLiteral("预设(&P)"));
    frame2_->show();
    cmdADD_->hide();
    lblADDColor_->hide();
    page_ = kPagePicker;
    LoadMode(pickerMode);
  }
  QRadioButton* option = pickerMode == kModeS ? optS_ : (pickerMode == kModeB ? optB_ : optH_);
  const QSignalBlocker block(option);
  option->setChecked(true);
}

void ColorDialog::SetOpeningColour(ColourValue colour) {
  lblSelColor_->setColor(colour);
  label2_->setColor(colour);
}

void ColorDialog::SetSelected(ColourValue colour) {
  lblSelColor_->setColor(colour);
  lblHex_->setText(QStringLiteral("#") + GetHexVal(RedOf(colour), GreenOf(colour), BlueOf(colour)));
}

void ColorDialog::optMode_Click(int16_t pickerMode) { LoadMode(pickerMode); }

void ColorDialog::Label2_Click() {
  SetSelected(label2_->Color());
  if (page_ == kPagePicker)
    LoadMode(PickerMode <= kModeB ? PickerMode : static_cast<int16_t>(kModeH));
  else
    PrintInfo(lblSelColor_->Color());
}

void ColorDialog::Label2_DblClick() { SetSelected(label2_->Color()); }

void ColorDialog::cmdADD_Click() {
  const int cell = SelectedCell;
  if (cell < 1 || cell > kCellCount) return;
  const ColourValue colour = lblADDColor_->Color();
  CustomColors[cell] = colour;
  if (page_ == kPageCustom) {
    DrawCell(cell, colour);
    DrawSafePicker(static_cast<int16_t>(cell), false);
  }
  if (!SaveCustomColors())
    Warn(QStringLiteral("自定义颜色无法保存到 usercolors.cps！"), nullptr);
  SetSelected(colour);
  PrintInfo(colour);
  update();
}

void ColorDialog::chkWeb_Click() {
  WebColors = chkWeb_->isChecked();
  if (page_ == kPagePicker) ApplyValues(ValuesFromFields());
}

// ---- the surface ----------------------------------------------------------------

void ColorDialog::SurfaceDown(const QPoint& p) {
  drag_ = Drag::None;
  hotLeft_ = false;
  if (page_ == kPagePicker && PickerMode <= kModeB) {
    if (InSquare(p)) {
      drag_ = Drag::Square;
      setCursor(PickCursor());
      PickFromPosition(p, true);
    } else if (InSliderArea(p)) {
      drag_ = Drag::Slider;
      PickFromPosition(p, true);
    }
  } else if (page_ == kPageCustom || page_ == kPageWebSafe) {
    drag_ = Drag::Cells;
    if (const int cell = CellAt(p)) SelectCell(cell);
  }
  if (HotInner().contains(p)) {
    if (page_ == kPagePicker && PickerMode <= kModeB) RestoreLastAccepted();
  } else if (HotOuter().contains(p)) {
    drag_ = Drag::Hot;
  }
  emit SurfaceColour(lblSelColor_->Color());
}

void ColorDialog::SurfaceMove(const QPoint& p) {
  switch (drag_) {
    case Drag::Square:
    case Drag::Slider: PickFromPosition(p, false); break;
    case Drag::Cells:
      if (const int cell = CellAt(p)) SelectCell(cell);
      break;
    case Drag::Hot:
      if (!HotOuter().contains(p)) hotLeft_ = true;
      break;
    case Drag::None: break;
  }
  emit SurfaceColour(lblSelColor_->Color());
}

void ColorDialog::SurfaceUp(const QPoint& p) {
  const Drag ended = drag_;
  drag_ = Drag::None;
  if (ended == Drag::Square) unsetCursor();
  if (ended == Drag::Hot && !hotLeft_ && HotOuter().contains(p)) {
    SetSelected(LastColor);
    Command1_Click();
  }
}

// Moves the cursor (square) or the slider (bar) to `p` and picks. While
// dragging, the position is kept inside the square or the bar, and the
// pointer is held inside the square.
void ColorDialog::PickFromPosition(const QPoint& p, bool start) {
  if (drag_ == Drag::Square) {
    const QPoint inside(std::clamp(p.x(), kSquareLeft, kSquareRight), std::clamp(p.y(), kSquareTop, kSquareBottom));
    if (!start && inside != p) {
      const QPoint global = mapToGlobal(inside);
      if (Warp())
        Warp()(global);
      else
        QCursor::setPos(global);
    }
    MoveCursor(inside);
  } else {
    MoveSlider(std::clamp(p.y(), kSquareTop, kSquareBottom));
  }
  Pick();
}

bool ColorDialog::event(QEvent* event) {
  if (event->type() == QEvent::DeferredDelete) return QDialog::event(event);  // ends the window
  ++handlerDepth_;
  bool handled;
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (HotInner().contains(help->pos()))
      QToolTip::showText(help->globalPos(), QStringLiteral("上次确定的颜色（单击取回）"), this);
    else if (HotOuter().contains(help->pos()))
      QToolTip::showText(help->globalPos(), QStringLiteral("取回上次确定的颜色并关闭"), this);
    else
      QToolTip::hideText();
    handled = true;
  } else {
    handled = QDialog::event(event);
  }
  --handlerDepth_;
  return handled;
}

void ColorDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SurfaceDown(event->position().toPoint());
}

void ColorDialog::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) SurfaceMove(event->position().toPoint());
}

void ColorDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SurfaceUp(event->position().toPoint());
}

void ColorDialog::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.drawImage(event->rect().topLeft(), canvas_, event->rect());
}
