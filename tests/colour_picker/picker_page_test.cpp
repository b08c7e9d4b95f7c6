#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QRadioButton>

#include "tests/colour_picker/dialog_fixture.h"

using namespace ColorDialogMod;

TEST_F(ColourDialogTest, OpeningFillsEveryFieldAndPlacesCursorAndSlider) {
  EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Qel色彩管理 V2.1"));
  EXPECT_EQ(Selected(), kOpening);
  EXPECT_EQ(dialog_->Label2()->Color(), kOpening);
  EXPECT_EQ(TextOf(dialog_->Text1()), "46");
  EXPECT_EQ(TextOf(dialog_->Text2()), "139");
  EXPECT_EQ(TextOf(dialog_->Text3()), "205");
  EXPECT_EQ(TextOf(dialog_->txtH()), "204");
  EXPECT_EQ(TextOf(dialog_->txtS()), "77");
  EXPECT_EQ(TextOf(dialog_->txtB()), "80");
  EXPECT_EQ(TextOf(dialog_->txtCyan()), "159");
  EXPECT_EQ(TextOf(dialog_->txtMagenta()), "66");
  EXPECT_EQ(TextOf(dialog_->txtYellow()), "0");
  EXPECT_EQ(TextOf(dialog_->txtK()), "50");
  EXPECT_EQ(dialog_->lblHex()->text(), "#2E8BCD");
  EXPECT_EQ(dialog_->Mode(), ColorDialog::kPagePicker);

  const Hsb v = RgbToHsb(kOpening);
  for (int mode : {kModeH, kModeS, kModeB}) {
    dialog_->LoadMode(static_cast<int16_t>(mode));
    EXPECT_EQ(PickerMode, mode);
    EXPECT_EQ(QPoint(CursorX, CursorY), CursorFor(mode, v)) << mode;
    EXPECT_FLOAT_EQ(SliderY, SliderYFor(mode, v)) << mode;
    // The inverted circle around the cursor, the markers beside the bar.
    const QImage& canvas = dialog_->Canvas();
    const QRgb under = dialog_->Square().pixel(CursorX + 5 - 10, CursorY - 10);
    EXPECT_EQ(canvas.pixel(CursorX + 5, CursorY) & 0xFFFFFF, ~under & 0xFFFFFF) << mode;
    const int row = static_cast<int>(std::lrint(SliderY));
    EXPECT_EQ(canvas.pixel(273, row) & 0xFFFFFF, ~dialog_->palette().color(QPalette::Window).rgb() & 0xFFFFFF);
    EXPECT_EQ(canvas.pixel(295, row + 1) & 0xFFFFFF, ~dialog_->palette().color(QPalette::Window).rgb() & 0xFFFFFF);
    // The selected colour is the one the picker shows for it.
    EXPECT_EQ(Selected(), kOpening);
  }
}

TEST_F(ColourDialogTest, TheCursorDrawnTwiceLeavesNoTrace) {
  const QImage before = dialog_->Canvas().copy();
  dialog_->DrawPicker();
  EXPECT_NE(dialog_->Canvas(), before);
  dialog_->DrawPicker();
  EXPECT_EQ(dialog_->Canvas(), before);
}

TEST_F(ColourDialogTest, ModeHPicksTheSquarePixelAndKeepsThePointerInside) {
  std::vector<ColourValue> changes;
  QObject::connect(dialog_.get(), &ColorDialog::SurfaceColour, [&](ColourValue c) { changes.push_back(c); });
  dialog_->SurfaceDown(QPoint(137, 60));
  EXPECT_EQ(QPoint(CursorX, CursorY), QPoint(137, 60));
  EXPECT_EQ(Selected(), PixelColour(dialog_->Square(), 127, 50));
  EXPECT_EQ(Selected(), HsbToRgb(dialog_->Values()));
  EXPECT_EQ(Rgb(), Selected());
  EXPECT_EQ(TextOf(dialog_->txtH()), "204");
  EXPECT_EQ(TextOf(dialog_->txtS()), "49");  // 49.8, truncated
  EXPECT_EQ(TextOf(dialog_->txtB()), "80");
  EXPECT_TRUE(warps_.empty());

  dialog_->SurfaceMove(QPoint(400, -20));
  EXPECT_EQ(QPoint(CursorX, CursorY), QPoint(265, 10));
  ASSERT_EQ(warps_.size(), 1u);
  EXPECT_EQ(warps_[0], dialog_->mapToGlobal(QPoint(265, 10)));
  EXPECT_EQ(Selected(), PixelColour(dialog_->Square(), 255, 0));
  dialog_->SurfaceMove(QPoint(12, 300));
  EXPECT_EQ(QPoint(CursorX, CursorY), QPoint(12, 265));
  EXPECT_EQ(Selected(), 0u) << "black along the bottom";
  dialog_->SurfaceUp(QPoint(12, 300));

  // ColorChange: the press and every move with the button held, each with
  // the colour selected at that moment.
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[1], PixelColour(dialog_->Square(), 255, 0));
  EXPECT_EQ(changes[2], 0u);
  dialog_->SurfaceMove(QPoint(100, 100));
  EXPECT_EQ(QPoint(CursorX, CursorY), QPoint(12, 265)) << "a move after the release picks nothing";
}

TEST_F(ColourDialogTest, TheHueBarRedrawsTheSquareWhileDragging) {
  dialog_->SurfaceDown(QPoint(200, 40));
  dialog_->SurfaceUp(QPoint(200, 40));
  dialog_->SurfaceDown(QPoint(285, 95));  // hue 240
  EXPECT_FLOAT_EQ(SliderY, 95);
  EXPECT_EQ(TextOf(dialog_->txtH()), "240");
  EXPECT_EQ(PixelColour(dialog_->Square(), 255, 0), RgbValue(0, 0, 255));
  EXPECT_EQ(Selected(), PixelColour(dialog_->Square(), 190, 30));
  EXPECT_GT(BlueOf(Selected()), RedOf(Selected()));
  dialog_->SurfaceMove(QPoint(500, 180));  // hue 120, x no matter
  EXPECT_FLOAT_EQ(SliderY, 180);
  EXPECT_EQ(TextOf(dialog_->txtH()), "120");
  EXPECT_EQ(PixelColour(dialog_->Square(), 255, 0), RgbValue(0, 255, 0));
  EXPECT_GT(GreenOf(Selected()), BlueOf(Selected()));
  dialog_->SurfaceMove(QPoint(285, -40));
  EXPECT_FLOAT_EQ(SliderY, 10);
  EXPECT_EQ(TextOf(dialog_->txtH()), "360");
  dialog_->SurfaceUp(QPoint(285, -40));
  EXPECT_TRUE(warps_.empty()) << "only the square holds the pointer";
}

TEST_F(ColourDialogTest, ModesSAndBReadTheBarAtTheSlider) {
  for (int mode : {kModeS, kModeB}) {
    dialog_->LoadMode(static_cast<int16_t>(mode));
    dialog_->SurfaceDown(QPoint(60, 100));  // a new hue and brightness (S) or saturation (B)
    const int row = static_cast<int>(std::lrint(SliderY)) - 10;
    EXPECT_EQ(Selected(), PixelColour(dialog_->Bar(), 0, row)) << mode;
    EXPECT_EQ(Selected(), HsbToRgb(dialog_->Values())) << mode;
    dialog_->SurfaceUp(QPoint(60, 100));
    dialog_->SurfaceDown(QPoint(290, 200));
    EXPECT_FLOAT_EQ(SliderY, 200);
    EXPECT_EQ(Selected(), PixelColour(dialog_->Bar(), 0, 190)) << mode;
    EXPECT_EQ(TextOf(mode == kModeS ? dialog_->txtS() : dialog_->txtB()), "25");  // 100 - 190 * 100 / 255
    dialog_->SurfaceUp(QPoint(290, 200));
  }
}

TEST_F(ColourDialogTest, WebColoursMakeEveryPickWebSafe) {
  dialog_->chkWeb()->click();
  EXPECT_TRUE(WebColors);
  EXPECT_EQ(Selected(), WebSafeColour(HsbToRgb(204, 77, 80)));
  auto webSafe = [](ColourValue c) { return RedOf(c) % 51 == 0 && GreenOf(c) % 51 == 0 && BlueOf(c) % 51 == 0; };
  for (int mode : {kModeH, kModeS, kModeB}) {
    dialog_->LoadMode(static_cast<int16_t>(mode));
    for (const QPoint& p : {QPoint(17, 23), QPoint(140, 140), QPoint(250, 33), QPoint(280, 77), QPoint(290, 260)}) {
      dialog_->SurfaceDown(p);
      EXPECT_TRUE(webSafe(Selected())) << mode << " " << p.x() << "," << p.y();
      EXPECT_EQ(Rgb(), Selected());
      dialog_->SurfaceUp(p);
    }
  }
  dialog_->chkWeb()->click();
  EXPECT_FALSE(WebColors);
}

TEST_F(ColourDialogTest, TheLastAcceptedColourComesBackFromTheHotCorner) {
  LastColor = RgbValue(200, 10, 10);
  dialog_->SurfaceDown(dialog_->HotInner().center());
  EXPECT_EQ(Selected(), LastColor);
  EXPECT_EQ(TextOf(dialog_->Text1()), "200");
  dialog_->SurfaceUp(dialog_->HotInner().center());
  EXPECT_TRUE(dialog_->isVisible()) << "the inner area only restores";

  // Leaving the outer area before the release is no OK.
  dialog_->SetOpeningColour(kOpening);
  const QPoint outer = dialog_->HotOuter().topRight() + QPoint(-2, 2);
  dialog_->SurfaceDown(outer);
  dialog_->SurfaceMove(QPoint(200, 200));
  dialog_->SurfaceMove(outer);
  dialog_->SurfaceUp(outer);
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(CurrentColor, 0u);

  dialog_->SurfaceDown(outer);
  dialog_->SurfaceUp(outer);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(CurrentColor, RgbValue(200, 10, 10));
}

TEST_F(ColourDialogTest, OkTakesTheSelectedColourCancelKeepsTheCurrentOne) {
  CurrentColor = LastColor = RgbValue(1, 2, 3);
  dialog_->SurfaceDown(QPoint(100, 100));
  const ColourValue picked = Selected();
  dialog_->Command2_Click();
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(CurrentColor, RgbValue(1, 2, 3));
  EXPECT_EQ(LastColor, RgbValue(1, 2, 3));

  dialog_->show();
  dialog_->close();  // the close box
  EXPECT_EQ(CurrentColor, RgbValue(1, 2, 3));

  dialog_->show();
  dialog_->Command1_Click();
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(CurrentColor, picked);
  EXPECT_EQ(LastColor, picked);
}

TEST_F(ColourDialogTest, TheOpeningSwatchRestoresTheOpeningColour) {
  dialog_->SurfaceDown(QPoint(30, 200));
  dialog_->SurfaceUp(QPoint(30, 200));
  ASSERT_NE(Selected(), kOpening);
  dialog_->Label2_Click();
  EXPECT_EQ(Selected(), kOpening);
  EXPECT_EQ(TextOf(dialog_->Text2()), "139");
  EXPECT_EQ(QPoint(CursorX, CursorY), CursorFor(kModeH, RgbToHsb(kOpening)));
}

TEST_F(ColourDialogTest, OptionsSwitchThePickerMode) {
  dialog_->optB()->click();
  EXPECT_EQ(PickerMode, kModeB);
  EXPECT_EQ(QPoint(CursorX, CursorY), CursorFor(kModeB, RgbToHsb(kOpening)));
  dialog_->optS()->click();
  EXPECT_EQ(PickerMode, kModeS);
  EXPECT_EQ(Selected(), kOpening) << "switching the mode keeps the colour";
}
