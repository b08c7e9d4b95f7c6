#include <QComboBox>

#include "controls/vsnet_button.h"
#include "tests/colour_picker/dialog_fixture.h"

using namespace ColorDialogMod;

namespace {
QPoint Inside(int cell) { return CellRect(cell).center(); }
}  // namespace

TEST_F(ColourDialogTest, PalettePageShowsTheCustomColoursAndStoresOne) {
  folder_.Write("usercolors.cps", " 0\r\n 255\r\n 65280\r\n 16711680\r\n");
  dialog_->Command3_Click();
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPageCustom);
  EXPECT_EQ(PickerMode, kModeCustom);
  EXPECT_FALSE(dialog_->Frame2()->isVisible());
  EXPECT_TRUE(dialog_->cmbPreset()->isVisible());
  EXPECT_EQ(dialog_->cmbPreset()->currentIndex(), 1);
  EXPECT_EQ(dialog_->Command3()->Caption(), QStringLiteral("选择(&P)"));
  EXPECT_TRUE(dialog_->cmdADD()->isVisible());
  EXPECT_EQ(dialog_->lblADDColor()->Color(), kOpening);
  // Cells drawn from the file, framed in black.
  EXPECT_EQ(PixelColour(dialog_->Canvas(), Inside(2).x(), Inside(2).y()), RgbValue(0, 255, 0));
  EXPECT_EQ(PixelColour(dialog_->Canvas(), CellRect(2).left(), Inside(2).y()), 0u);
  EXPECT_EQ(PixelColour(dialog_->Canvas(), Inside(50).x(), Inside(50).y()), 0u);

  dialog_->SurfaceDown(Inside(3));
  EXPECT_EQ(SelectedCell, 3);
  EXPECT_EQ(Selected(), RgbValue(0, 0, 255));
  dialog_->SurfaceMove(Inside(1));  // dragging over the cells selects as it goes
  EXPECT_EQ(SelectedCell, 1);
  EXPECT_EQ(Selected(), RgbValue(255, 0, 0));
  dialog_->SurfaceMove(CellRect(5).topLeft());  // on a border: nothing
  EXPECT_EQ(SelectedCell, 1);
  dialog_->SurfaceUp(Inside(1));
  // The selection edge sits 3 pixels outside the cell.
  const QRgb back = dialog_->palette().color(QPalette::Window).rgb();
  EXPECT_NE(dialog_->Canvas().pixel(CellRect(1).left() - 3, Inside(1).y()), back);
  EXPECT_EQ(dialog_->Canvas().pixel(CellRect(3).left() - 3, Inside(3).y()), back) << "the old edge is erased";

  dialog_->cmdADD_Click();
  EXPECT_EQ(CustomColors[1], kOpening);
  EXPECT_EQ(SelectedCell, 1);
  EXPECT_EQ(Selected(), kOpening);
  EXPECT_EQ(PixelColour(dialog_->Canvas(), Inside(1).x(), Inside(1).y()), kOpening);
  const QList<QByteArray> lines = folder_.Read("usercolors.cps").split('\n');
  ASSERT_GE(lines.size(), 225);
  EXPECT_EQ(lines[1], " " + QByteArray::number(kOpening) + "\r");
  EXPECT_EQ(lines[2], " 65280\r");
  EXPECT_EQ(messages_.Count(), 0);

  // Back to the picker, in the ticked mode, with the stored colour.
  dialog_->Command3_Click();
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPagePicker);
  EXPECT_EQ(PickerMode, kModeH);
  EXPECT_TRUE(dialog_->Frame2()->isVisible());
  EXPECT_FALSE(dialog_->cmbPreset()->isVisible());
  EXPECT_FALSE(dialog_->cmdADD()->isVisible());
  EXPECT_EQ(dialog_->Command3()->Caption(), QStringLiteral("预设(&P)"));
  EXPECT_EQ(TextOf(dialog_->Text3()), "205");
}

TEST_F(ColourDialogTest, AStoreThatCannotBeWrittenIsTold) {
  dialog_->Command3_Click();
  platform::SetApplicationFolder(folder_.File("gone/away"));
  dialog_->SurfaceDown(Inside(9));
  dialog_->SurfaceUp(Inside(9));
  dialog_->cmdADD_Click();
  ASSERT_EQ(messages_.Count(), 1);
  EXPECT_EQ(messages_.Last().title, QStringLiteral("色彩管理"));
}

TEST_F(ColourDialogTest, WebSafePaletteAndAboutPage) {
  dialog_->Command3_Click();
  dialog_->cmbPreset()->setCurrentIndex(2);
  dialog_->cmbPreset_Click(2);
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPageWebSafe);
  EXPECT_EQ(PickerMode, kModeWebSafe);
  EXPECT_FALSE(dialog_->cmdADD()->isVisible());
  EXPECT_FALSE(dialog_->lblADDColor()->isVisible());
  const int cell = 36 * 1 + 6 * 2 + 3 + 1;
  EXPECT_EQ(PixelColour(dialog_->Canvas(), Inside(cell).x(), Inside(cell).y()), RgbValue(51, 102, 153));
  dialog_->SurfaceDown(Inside(cell));
  EXPECT_EQ(Selected(), RgbValue(51, 102, 153));
  dialog_->SurfaceUp(Inside(cell));
  dialog_->SurfaceDown(Inside(220));
  EXPECT_EQ(Selected(), 0u);
  dialog_->SurfaceUp(Inside(220));
  dialog_->SurfaceDown(Inside(216));
  EXPECT_EQ(Selected(), RgbValue(255, 255, 255));
  dialog_->SurfaceUp(Inside(216));

  dialog_->cmbPreset()->setCurrentIndex(0);
  dialog_->cmbPreset_Click(0);
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPageAbout);
  dialog_->SurfaceDown(Inside(cell));  // no cells on the about page
  EXPECT_EQ(Selected(), RgbValue(255, 255, 255));
  // OK on the about page goes to the web-safe palette first.
  dialog_->Command1_Click();
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPageWebSafe);
  EXPECT_EQ(PickerMode, kModeWebSafe);
  EXPECT_EQ(CurrentColor, RgbValue(255, 255, 255));
  EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(ColourDialogTest, OpeningSwatchOnThePalettePageOnlyUpdatesTheText) {
  dialog_->Command3_Click();
  dialog_->SurfaceDown(Inside(4));
  dialog_->SurfaceUp(Inside(4));
  EXPECT_EQ(Selected(), 0u);
  dialog_->Label2_Click();
  EXPECT_EQ(Selected(), kOpening);
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPageCustom);
  EXPECT_FALSE(dialog_->Frame2()->isVisible());
}
