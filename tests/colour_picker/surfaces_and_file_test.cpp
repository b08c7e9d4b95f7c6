#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QPalette>

#include "colour_picker/colour_dialog_mod.h"
#include "platform/app_paths.h"
#include "tests/common/temp_folder.h"

using namespace ColorDialogMod;

namespace {

bool AllWebSafe(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) % 51 || qGreen(p) % 51 || qBlue(p) % 51) return false;
    }
  return true;
}

}  // namespace

TEST(PickerSurfaces, ModeHSquareAndBarAtKnownPoints) {
  QImage square, bar;
  DrawSquare(square, kModeH, Hsb{0, 0, 0}, false);
  DrawBar(bar, kModeH, Hsb{}, false);
  ASSERT_EQ(square.size(), QSize(256, 256));
  ASSERT_EQ(bar.size(), QSize(16, 256));
  EXPECT_EQ(PixelColour(square, 0, 0), RgbValue(255, 255, 255));  // white top left
  EXPECT_EQ(PixelColour(square, 255, 0), RgbValue(255, 0, 0));    // the hue, full
  for (int x = 0; x < 256; x += 15) EXPECT_EQ(PixelColour(square, x, 255), 0u) << "black along the bottom";
  EXPECT_EQ(PixelColour(square, 0, 128), RgbValue(127, 127, 127));  // grey on the left
  // The bar runs from red at the top through blue and green back to red.
  EXPECT_EQ(PixelColour(bar, 0, 0), RgbValue(255, 0, 0));
  EXPECT_EQ(PixelColour(bar, 7, 85), RgbValue(0, 0, 255));
  EXPECT_EQ(PixelColour(bar, 15, 170), RgbValue(0, 255, 0));
  EXPECT_EQ(PixelColour(bar, 0, 255), RgbValue(255, 0, 0));

  DrawSquare(square, kModeH, Hsb{240, 0, 0}, false);
  EXPECT_EQ(PixelColour(square, 255, 0), RgbValue(0, 0, 255));
}

TEST(PickerSurfaces, EveryPixelShowsTheColourOfItsPosition) {
  const Hsb fixed{200, 60, 70};
  QImage square, bar;
  for (int mode : {kModeH, kModeS, kModeB}) {
    DrawSquare(square, mode, fixed, false);
    DrawBar(bar, mode, fixed, false);
    const float slider = SliderYFor(mode, fixed);
    for (int y = 0; y < 256; y += 17)
      for (int x = 0; x < 256; x += 13) {
        Hsb at = ValuesAt(mode, QPoint(10 + x, 10 + y), slider);
        if (mode == kModeH) at.h = fixed.h;
        ASSERT_EQ(PixelColour(square, x, y), HsbToRgb(at)) << mode << " " << x << "," << y;
      }
    for (int y = 0; y < 256; ++y) {
      Hsb at = ValuesAt(mode, CursorFor(mode, fixed), static_cast<float>(10 + y));
      if (mode != kModeH) {
        // The bar is drawn for the square's exact values.
        if (mode == kModeS) at.h = fixed.h, at.b = fixed.b;
        if (mode == kModeB) at.h = fixed.h, at.s = fixed.s;
      } else {
        at.s = 100, at.b = 100;
      }
      ASSERT_EQ(PixelColour(bar, 3, y), HsbToRgb(at)) << mode << " row " << y;
    }
  }
}

TEST(PickerSurfaces, WebColoursOnlyDrawWebSafeColours) {
  QImage square, bar;
  for (int mode : {kModeH, kModeS, kModeB})
    for (const Hsb& v : {Hsb{0, 100, 100}, Hsb{77, 33, 58}, Hsb{359, 1, 99}}) {
      DrawSquare(square, mode, v, true);
      DrawBar(bar, mode, v, true);
      EXPECT_TRUE(AllWebSafe(square)) << mode;
      EXPECT_TRUE(AllWebSafe(bar)) << mode;
    }
}

TEST(PickerSurfaces, PositionsForValuesAndBack) {
  // Mode H: S across, B up, hue on the bar from 360 at the top.
  const Hsb v{90, 40, 80};
  EXPECT_EQ(CursorFor(kModeH, v), QPoint(10 + 102, 10 + 51));
  EXPECT_FLOAT_EQ(SliderYFor(kModeH, v), 10 + 270 * 255 / 360.0f);
  EXPECT_EQ(CursorFor(kModeS, v), QPoint(10 + 64, 10 + 51));  // 63.75 rounds to 64
  EXPECT_FLOAT_EQ(SliderYFor(kModeS, v), 10 + 60 * 2.55f);
  EXPECT_EQ(CursorFor(kModeB, v), QPoint(10 + 64, 10 + 153));
  EXPECT_FLOAT_EQ(SliderYFor(kModeB, v), 10 + 20 * 2.55f);
  EXPECT_FLOAT_EQ(SliderYFor(kModeH, Hsb{0, 0, 0}), 265);
  EXPECT_FLOAT_EQ(SliderYFor(kModeH, Hsb{360, 0, 0}), 10);

  for (int mode : {kModeH, kModeS, kModeB})
    for (int h = 0; h <= 360; h += 45)
      for (int sb = 0; sb <= 100; sb += 25) {
        const Hsb in{static_cast<double>(h), static_cast<double>(sb), static_cast<double>(100 - sb)};
        const Hsb out = ValuesAt(mode, CursorFor(mode, in), SliderYFor(mode, in));
        // The bar value comes back whole; the square values within a pixel.
        const double slider = mode == kModeH ? out.h : (mode == kModeS ? out.s : out.b);
        const double wanted = mode == kModeH ? in.h : (mode == kModeS ? in.s : in.b);
        EXPECT_EQ(TruncateValue(slider), wanted) << mode;
        EXPECT_NEAR(out.h, in.h, 1.5);
        EXPECT_NEAR(out.s, in.s, 0.4);
        EXPECT_NEAR(out.b, in.b, 0.4);
      }
  // Positions outside the square stand for its edges.
  const Hsb edge = ValuesAt(kModeH, QPoint(-50, 999), -3);
  EXPECT_DOUBLE_EQ(edge.s, 0);
  EXPECT_DOUBLE_EQ(edge.b, 0);
  EXPECT_DOUBLE_EQ(edge.h, 360);
}

// ---- usercolors.cps ---------------------------------------------------------------

class CustomColourFile : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetApplicationFolder(folder_.Path()); }
  void TearDown() override {
    platform::SetApplicationFolder(QString());
    ResetState();
  }
  TempFolder folder_;
};

TEST_F(CustomColourFile, RoundTripWritesTheSignedNumbersLineByLine) {
  for (int i = 0; i < kCustomColourCount; ++i) CustomColors[i] = RgbValue(i, 255 - i, i / 3);
  ASSERT_TRUE(SaveCustomColors());
  EXPECT_EQ(CustomColorsPath(), folder_.File("usercolors.cps"));
  const QByteArray bytes = folder_.Read("usercolors.cps");
  EXPECT_TRUE(bytes.startsWith(" " + QByteArray::number(RgbValue(0, 255, 0)) + "\r\n"));
  EXPECT_TRUE(bytes.endsWith(" " + QByteArray::number(RgbValue(224, 31, 74)) + "\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), 225);
  const auto saved = CustomColors;
  CustomColors.fill(0);
  LoadCustomColors();
  EXPECT_EQ(CustomColors, saved);
}

TEST_F(CustomColourFile, MissingShortAndOverLongFiles) {
  CustomColors.fill(99);
  LoadCustomColors();
  for (ColourValue c : CustomColors) EXPECT_EQ(c, 0u) << "a missing file gives black";

  folder_.Write("usercolors.cps", " 255\r\n 65280\r\n 16711680\r\n");
  LoadCustomColors();
  EXPECT_EQ(CustomColors[0], 255u);
  EXPECT_EQ(CustomColors[1], 65280u);
  EXPECT_EQ(CustomColors[2], 16711680u);
  for (int i = 3; i < kCustomColourCount; ++i) EXPECT_EQ(CustomColors[i], 0u) << i;

  QByteArray many;
  for (int i = 0; i < 10000; ++i) many += " " + QByteArray::number(i) + "\n";  // bare line feeds too
  folder_.Write("usercolors.cps", many);
  LoadCustomColors();
  for (int i = 0; i < kCustomColourCount; ++i) EXPECT_EQ(CustomColors[i], static_cast<ColourValue>(i));
}

TEST_F(CustomColourFile, JunkAndOutOfRangeNumbersGiveBlack) {
  const QByteArray text =
      "junk\r\n"                     // 0: no number
      "  12abc\r\n"                  // 1: the number at the start
      "1e30\r\n"                     // 2: far too large
      "-5\r\n"                       // 3: no colour
      "-2147483633\r\n"              // 4: the system button face
      "16777216\r\n"                 // 5: above white
      "12.5\r\n"                     // 6: halves to even
      "\r\n"                         // 7: empty
      "-99999999999999999999\r\n"    // 8
      "\xff\xfe\x00\x01\r\n";        // 9: bytes that are no text
  folder_.Write("usercolors.cps", text);
  LoadCustomColors();
  EXPECT_EQ(CustomColors[0], 0u);
  EXPECT_EQ(CustomColors[1], 12u);
  EXPECT_EQ(CustomColors[2], 0u);
  EXPECT_EQ(CustomColors[3], 0u);
  EXPECT_EQ(CustomColors[4], QColorToColourValue(QGuiApplication::palette().color(QPalette::Active, QPalette::Button)));
  EXPECT_EQ(CustomColors[5], 0u);
  EXPECT_EQ(CustomColors[6], 12u);
  EXPECT_EQ(CustomColors[7], 0u);
  EXPECT_EQ(CustomColors[8], 0u);
  EXPECT_EQ(CustomColors[9], 0u);
  // What was read is written back as plain colours.
  ASSERT_TRUE(SaveCustomColors());
  EXPECT_TRUE(folder_.Read("usercolors.cps").startsWith(" 0\r\n 12\r\n 0\r\n 0\r\n"));
}

TEST_F(CustomColourFile, AFolderThatCannotBeWrittenFailsTheSave) {
  platform::SetApplicationFolder(folder_.File("no/such/folder"));
  EXPECT_FALSE(SaveCustomColors());
  LoadCustomColors();  // and reading it is no failure
  EXPECT_EQ(CustomColors[1], 0u);
}
