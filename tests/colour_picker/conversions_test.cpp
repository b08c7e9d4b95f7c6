#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <cmath>

#include "colour_picker/colour_dialog_mod.h"

using namespace ColorDialogMod;

namespace {

struct Rgb {
  int r, g, b;
};
Rgb Split(ColourValue c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

}  // namespace

TEST(ColourConversions, EdgesGreyBlackWhiteAndPrimaries) {
  struct Case {
    int r, g, b;
    double h, s, v;
  } cases[] = {
      {0, 0, 0, 0, 0, 0},       {255, 255, 255, 0, 0, 100}, {128, 128, 128, 0, 0, 128 * 100.0 / 255},
      {255, 0, 0, 0, 100, 100}, {0, 255, 0, 120, 100, 100}, {0, 0, 255, 240, 100, 100},
      {255, 255, 0, 60, 100, 100}, {0, 255, 255, 180, 100, 100}, {255, 0, 255, 300, 100, 100},
  };
  for (const Case& c : cases) {
    const Hsb v = RgbToHsb(c.r, c.g, c.b);
    EXPECT_DOUBLE_EQ(v.h, c.h) << c.r << "," << c.g << "," << c.b;
    EXPECT_DOUBLE_EQ(v.s, c.s) << c.r << "," << c.g << "," << c.b;
    EXPECT_DOUBLE_EQ(v.b, c.v) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(HsbToRgb(v), RgbValue(c.r, c.g, c.b));
  }
  // Zero saturation is a grey of the brightness whatever the hue.
  EXPECT_EQ(HsbToRgb(200, 0, 50), RgbValue(128, 128, 128));  // 127.5 rounds to the even 128
  EXPECT_EQ(HsbToRgb(77, 100, 0), RgbValue(0, 0, 0));
}

TEST(ColourConversions, HueThreeSixtyIsRedNotMagenta) {
  EXPECT_EQ(HsbToRgb(360, 100, 100), RgbValue(255, 0, 0));
  EXPECT_EQ(HsbToRgb(360, 50, 100), HsbToRgb(0, 50, 100));
  // Out-of-range values are clamped, never wrapped into nonsense.
  EXPECT_EQ(HsbToRgb(-20, 100, 100), RgbValue(255, 0, 0));
  EXPECT_EQ(HsbToRgb(120, 400, 250), RgbValue(0, 255, 0));
  EXPECT_EQ(HsbToRgb(NAN, NAN, NAN), RgbValue(0, 0, 0));
}

TEST(ColourConversions, EveryHueFollowsTheSixSectors) {
  for (int hue = 0; hue <= 360; ++hue) {
    const Rgb c = Split(HsbToRgb(hue, 100, 100));
    // Fully saturated and bright: one component 255, one 0, the third
    // rising or falling linearly with the hue inside its sector.
    const double x = (hue % 60) / 60.0;
    const int sector = hue / 60 % 6;
    const double up = x * 255, down = (1 - x) * 255;
    const double expected[6][3] = {{255, up, 0}, {down, 255, 0}, {0, 255, up}, {0, down, 255}, {up, 0, 255}, {255, 0, down}};
    EXPECT_NEAR(c.r, expected[sector][0], 0.501) << hue;
    EXPECT_NEAR(c.g, expected[sector][1], 0.501) << hue;
    EXPECT_NEAR(c.b, expected[sector][2], 0.501) << hue;
    EXPECT_NEAR(RgbToHsb(c.r, c.g, c.b).h, hue % 360, 0.71) << hue;
  }
}

TEST(ColourConversions, RgbSurvivesTheRoundTripThroughHsb) {
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 7) {
        const Hsb v = RgbToHsb(r, g, b);
        ASSERT_GE(v.h, 0);
        ASSERT_LT(v.h, 360);
        ASSERT_EQ(HsbToRgb(v), RgbValue(r, g, b)) << r << "," << g << "," << b;
      }
}

TEST(ColourConversions, CmykTakesTheBlackOut) {
  auto cmyk = [](int r, int g, int b) {
    const Cmyk c = RgbToCmyk(r, g, b);
    return std::vector<int>{c.c, c.m, c.y, c.k};
  };
  EXPECT_EQ(cmyk(0, 0, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(cmyk(255, 255, 255), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(cmyk(255, 0, 0), (std::vector<int>{0, 255, 255, 0}));
  EXPECT_EQ(cmyk(46, 139, 205), (std::vector<int>{159, 66, 0, 50}));
  EXPECT_EQ(cmyk(254, 254, 254), (std::vector<int>{0, 0, 0, 1}));
}

TEST(ColourConversions, HexTextBothWays) {
  EXPECT_EQ(HexText(0, 5, 10), QStringLiteral("00050A"));
  EXPECT_EQ(HexText(255, 255, 255), QStringLiteral("FFFFFF"));
  EXPECT_EQ(HexText(171, 205, 239), QStringLiteral("ABCDEF"));
  for (int c = 0; c < 256; ++c) {
    const QString hex = HexText(c, 255 - c, c / 2);
    ASSERT_EQ(hex.size(), 6);
    EXPECT_EQ(hex.mid(0, 2).toInt(nullptr, 16), c);
    EXPECT_EQ(hex.mid(2, 2).toInt(nullptr, 16), 255 - c);
    EXPECT_EQ(hex.mid(4, 2).toInt(nullptr, 16), c / 2);
  }
}

TEST(ColourConversions, WebSafeRoundingAndPalette) {
  EXPECT_EQ(WebSafeComponent(25), 0);
  EXPECT_EQ(WebSafeComponent(26), 51);
  EXPECT_EQ(WebSafeComponent(76), 51);
  EXPECT_EQ(WebSafeComponent(77), 102);
  EXPECT_EQ(WebSafeComponent(255), 255);
  for (int c = 0; c < 256; ++c) {
    const int w = WebSafeComponent(c);
    EXPECT_EQ(w % 51, 0);
    EXPECT_LE(std::abs(w - c), 25);
  }
  EXPECT_EQ(WebSafeColour(RgbValue(30, 130, 240)), RgbValue(51, 153, 255));

  EXPECT_EQ(SafeColorOfCell(1), RgbValue(0, 0, 0));
  EXPECT_EQ(SafeColorOfCell(216), RgbValue(255, 255, 255));
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        EXPECT_EQ(SafeColorOfCell(36 * r + 6 * g + b + 1), RgbValue(r * 51, g * 51, b * 51));
  for (int cell : {0, 217, 224, -3, 9999}) EXPECT_EQ(SafeColorOfCell(cell), 0u) << cell;
}

TEST(ColourConversions, SystemColoursResolveAndNonColoursAreRefused) {
  ColourValue accepted = 12345;
  ASSERT_TRUE(AcceptColourValue(SystemColourValue(kSysButtonFace), &accepted));
  EXPECT_EQ(accepted, QColorToColourValue(QGuiApplication::palette().color(QPalette::Active, QPalette::Button)));
  EXPECT_FALSE(IsSystemColourValue(accepted));
  accepted = 7;
  EXPECT_FALSE(AcceptColourValue(SystemColourValue(25), &accepted));  // an unused slot
  EXPECT_FALSE(AcceptColourValue(0xFFFFFFFBu, &accepted));           // -5
  EXPECT_FALSE(AcceptColourValue(0x01000000u, &accepted));
  EXPECT_EQ(accepted, 7u);
  EXPECT_TRUE(AcceptColourValue(0xFFFFFFu, &accepted));
  EXPECT_EQ(accepted, 0xFFFFFFu);
}

TEST(ColourConversions, FieldValuesAreTruncatedWithoutLosingWholeNumbers) {
  EXPECT_EQ(TruncateValue(50.99), 50);
  EXPECT_EQ(TruncateValue(99.99999), 100);  // float error of a position, not a fraction
  EXPECT_EQ(TruncateValue(0), 0);
  EXPECT_EQ(TruncateValue(INFINITY), 0);
}

TEST(PaletteGrid, CellsAndTheirBorders) {
  EXPECT_EQ(CellRect(1), QRect(10, 10, 15, 15));
  EXPECT_EQ(CellRect(2).left(), 28);
  EXPECT_EQ(CellRect(17).topLeft(), QPoint(10, 28));
  EXPECT_EQ(CellRect(224).topLeft(), QPoint(10 + 15 * 18, 10 + 13 * 18));
  EXPECT_TRUE(CellRect(0).isNull());
  EXPECT_TRUE(CellRect(225).isNull());
  for (int cell = 1; cell <= kCellCount; ++cell) {
    EXPECT_EQ(CellRects[cell], CellRect(cell));
    const QRect r = CellRect(cell);
    EXPECT_EQ(CellAt(r.center()), cell);
    EXPECT_EQ(CellAt(QPoint(r.left() + 1, r.top() + 1)), cell);
    EXPECT_EQ(CellAt(QPoint(r.left() + 14, r.top() + 14)), cell);
    // Exactly on the border, or in the gap beside it: nothing.
    EXPECT_EQ(CellAt(r.topLeft()), 0);
    EXPECT_EQ(CellAt(QPoint(r.left(), r.center().y())), 0);
    EXPECT_EQ(CellAt(QPoint(r.center().x(), r.top())), 0);
    EXPECT_EQ(CellAt(QPoint(r.left() + 15, r.center().y())), 0);
    EXPECT_EQ(CellAt(QPoint(r.center().x(), r.top() + 15)), 0);
  }
  EXPECT_EQ(CellAt(QPoint(-5, -5)), 0);
  EXPECT_EQ(CellAt(QPoint(400, 20)), 0);
  EXPECT_EQ(CellAt(QPoint(20, 300)), 0);
}
