#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QPainter>

#include "controls/colour_value.h"
#include "controls/gradient.h"
#include "controls/twips.h"

namespace {

ColourValue PixelValue(const QImage& image, int x, int y) { return QColorToColourValue(image.pixelColor(x, y)); }

QImage Painted(clsGradient& g, int w, int h, bool* drawn = nullptr) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  bool ok = g.Draw(&image);
  if (drawn) *drawn = ok;
  return image;
}

clsGradient BlackToWhite(float angle) {
  clsGradient g;
  g.setColor1(RgbValue(0, 0, 0));
  g.setColor2(RgbValue(255, 255, 255));
  g.setAngle(angle);
  return g;
}

}  // namespace

TEST(ColourValueTest, ChannelsAndSystemColours) {
  EXPECT_EQ(RgbValue(208, 255, 255), 0xFFFFD0u);
  EXPECT_EQ(RgbValue(-4, 300, 64), 0x40FF00u);
  EXPECT_EQ(ColourValueToQColor(0x400000u), QColor(0, 0, 64));
  const QPalette palette = QApplication::palette();
  EXPECT_EQ(ColourValueToQColor(SystemColourValue(kSysButtonFace)), palette.color(QPalette::Active, QPalette::Button).toRgb());
  EXPECT_EQ(ColourValueToQColor(SystemColourValue(kSysHighlight)), palette.color(QPalette::Active, QPalette::Highlight).toRgb());
  EXPECT_EQ(ResolveColourValue(SystemColourValue(kSysWindowText)), QColorToColourValue(palette.color(QPalette::Text)));
  // Unused or unknown slots keep their value; drawing reads their low bytes.
  EXPECT_EQ(ResolveColourValue(0x80000019u), 0x80000019u);
  EXPECT_EQ(ResolveColourValue(0x80001234u), 0x80001234u);
  EXPECT_EQ(ColourValueToQColor(0x80000019u), QColor(0x19, 0, 0));
}

TEST(TwipsTest, ConvertsBothWays) {
  EXPECT_EQ(twips::ToPixels(1500), 100);
  EXPECT_EQ(twips::ToPixels(22.5), 2);  // 1.5 px: halves go to the even neighbour
  EXPECT_EQ(twips::ToPixels(37.5), 2);  // 2.5 px
  EXPECT_EQ(twips::ToPixels(-30), -2);
  EXPECT_EQ(twips::ToPixels(1e300), INT32_MAX);
  EXPECT_EQ(twips::FromPixelsInt(7), 105);
  EXPECT_EQ(twips::FromPixelsInt(INT32_MAX), INT32_MAX);
  EXPECT_EQ(twips::ToPixels(QRect(15, 30, 1500, 150)), QRect(1, 2, 100, 10));
}

TEST(GradientTest, PropertiesDefaultsAndReduction) {
  clsGradient g;
  EXPECT_EQ(g.Color1(), 0xFFFFD0u);
  EXPECT_EQ(g.Color2(), 0x400000u);
  EXPECT_FLOAT_EQ(g.Angle(), 315.0f);
  for (auto [in, out] : {std::pair<float, float>{-45, 315}, {720, 0}, {360, 0}, {-90, 270}, {359.5f, 359.5f}, {-1e-9f, 0}}) {
    g.setAngle(in);
    EXPECT_GE(g.Angle(), 0.0f);
    EXPECT_LT(g.Angle(), 360.0f);
    EXPECT_FLOAT_EQ(g.Angle(), out) << in;
  }
  g.setAngle(std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(g.Angle(), 0.0f);
  // System colours in the classic slots are stored resolved; others unchanged.
  g.setColor1(0x8000000Fu);
  EXPECT_EQ(g.Color1(), QColorToColourValue(QApplication::palette().color(QPalette::Button)));
  g.setColor1(0x80000019u);
  EXPECT_EQ(g.Color1(), 0x80000019u);
  g.setColor2(0x123456u);
  EXPECT_EQ(g.Color2(), 0x123456u);
}

TEST(GradientTest, BlendColors) {
  std::vector<ColourValue> colours{1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(clsGradient::BlendColors(0, 0xFFFFFF, 4, colours), 4);
  EXPECT_EQ(colours, (std::vector<ColourValue>{0x000000, 0x404040, 0x808080, 0xFFFFFF}));
  for (int steps : {1, 0, -5}) {
    EXPECT_EQ(clsGradient::BlendColors(0x0000FF, 0xFF0000, steps, colours), 2);
    EXPECT_EQ(colours, (std::vector<ColourValue>{0x0000FF, 0xFF0000}));
  }
  // Channels move independently and downwards too; the last step is double.
  clsGradient::BlendColors(RgbValue(200, 0, 100), RgbValue(0, 100, 100), 5, colours);
  EXPECT_EQ(colours[1], RgbValue(160, 20, 100));
  EXPECT_EQ(colours[3], RgbValue(80, 60, 100));
  EXPECT_EQ(colours[4], RgbValue(0, 100, 100));
}

TEST(GradientTest, AngleZeroPaintsColumnXWithEntryX) {
  clsGradient g = BlackToWhite(0);
  const auto lines = g.SweepLines(100, 40);
  ASSERT_EQ(lines.size(), 102u);  // columns 0 .. 101
  std::vector<ColourValue> table;
  clsGradient::BlendColors(0, 0xFFFFFF, 102, table);
  bool drawn = false;
  QImage image = Painted(g, 100, 40, &drawn);
  EXPECT_TRUE(drawn);
  for (int x = 0; x < 100; ++x)
    for (int y : {0, 19, 39}) ASSERT_EQ(PixelValue(image, x, y), table[x]) << x << "," << y;
  EXPECT_EQ(PixelValue(image, 0, 0), 0u);
  // 360 is the same picture as 0.
  clsGradient full = BlackToWhite(360);
  EXPECT_EQ(Painted(full, 100, 40), image);
}

TEST(GradientTest, RightAnglesPutColor1OnTheirSide) {
  const int W = 30, H = 20;
  {  // 90: colour 1 at the bottom; the first line lies just below the surface.
    clsGradient g = BlackToWhite(90);
    QImage image = Painted(g, W, H);
    std::vector<ColourValue> table;
    clsGradient::BlendColors(0, 0xFFFFFF, H + 2, table);
    for (int y = 0; y < H; ++y) EXPECT_EQ(PixelValue(image, 7, y), table[H - y]) << y;
  }
  {  // 180: colour 1 at the right, first line just beyond it.
    clsGradient g = BlackToWhite(180);
    QImage image = Painted(g, W, H);
    std::vector<ColourValue> table;
    clsGradient::BlendColors(0, 0xFFFFFF, W + 2, table);
    for (int x = 0; x < W; ++x) EXPECT_EQ(PixelValue(image, x, 5), table[W - x]) << x;
  }
  {  // 270 and -90: colour 1 at the top row.
    clsGradient g = BlackToWhite(-90);
    QImage image = Painted(g, W, H);
    std::vector<ColourValue> table;
    clsGradient::BlendColors(0, 0xFFFFFF, H + 2, table);
    for (int y = 0; y < H; ++y) EXPECT_EQ(PixelValue(image, 3, y), table[y]) << y;
  }
}

TEST(GradientTest, DiagonalCoversEverythingAndRunsCornerToCorner) {
  clsGradient g = BlackToWhite(315);
  QImage image = Painted(g, 60, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_NE(image.pixelColor(x, y), QColor(Qt::magenta)) << x << "," << y;
  // Darker towards the top left, lighter towards the bottom right, constant
  // along the anti-diagonal lines of the sweep (give or take a rounding step).
  EXPECT_LT(image.pixelColor(0, 0).red(), image.pixelColor(30, 20).red());
  EXPECT_LT(image.pixelColor(30, 20).red(), image.pixelColor(59, 39).red());
  EXPECT_LT(image.pixelColor(0, 0).red(), 20);
  EXPECT_GT(image.pixelColor(59, 39).red(), 235);
  EXPECT_NEAR(image.pixelColor(40, 10).red(), image.pixelColor(20, 30).red(), 8);
  // Grey: all three channels equal on every pixel.
  QColor c = image.pixelColor(17, 23);
  EXPECT_EQ(c.red(), c.green());
  EXPECT_EQ(c.green(), c.blue());
}

TEST(GradientTest, TinySurfaces) {
  clsGradient g = BlackToWhite(0);
  bool drawn = false;
  QImage two = Painted(g, 2, 2, &drawn);
  EXPECT_TRUE(drawn);
  EXPECT_GT(g.SweepLines(2, 2).size(), 1u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_NE(two.pixelColor(x, y), QColor(Qt::magenta));
  EXPECT_EQ(two.pixelColor(0, 0), QColor(0, 0, 0));
  for (QSize size : {QSize(1, 100), QSize(100, 1), QSize(0, 0)}) {
    QImage image = Painted(g, size.width(), size.height(), &drawn);
    EXPECT_FALSE(drawn);
    EXPECT_TRUE(g.SweepLines(size.width(), size.height()).empty());
    if (!image.isNull()) {
      EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::magenta));
    }
  }
  EXPECT_FALSE(g.Draw(static_cast<QPaintDevice*>(nullptr)));
}

TEST(GradientTest, OtherDevicesGetTheSamePicture) {
  clsGradient g = BlackToWhite(30);
  QImage direct = Painted(g, 50, 30);
  QPixmap pixmap(50, 30);
  pixmap.fill(Qt::magenta);
  EXPECT_TRUE(g.Draw(&pixmap));
  EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_RGB32), direct);
  QImage indexed(50, 30, QImage::Format_RGB888);
  indexed.fill(Qt::magenta);
  EXPECT_TRUE(g.Draw(&indexed));
  EXPECT_EQ(indexed.convertToFormat(QImage::Format_RGB32), direct);
}

TEST(GradientTest, LinePixelsLeaveOutTheEnd) {
  QImage image(10, 10, QImage::Format_RGB32);
  image.fill(Qt::black);
  clsGradient::DrawLinePixels(image, QPoint(2, 3), QPoint(7, 3), 0xFFFFFFFFu);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(image.pixelColor(x, 3) == Qt::white, x >= 2 && x < 7) << x;
  image.fill(Qt::black);
  clsGradient::DrawLinePixels(image, QPoint(-5, -5), QPoint(20, 20), 0xFFFFFFFFu);  // clipped diagonal
  for (int i = 0; i < 10; ++i) EXPECT_EQ(image.pixelColor(i, i), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(1, 0), QColor(Qt::black));
  image.fill(Qt::black);
  clsGradient::DrawLinePixels(image, QPoint(4, 4), QPoint(4, 4), 0xFFFFFFFFu);
  EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::black));
}

TEST(GradientTest, EveryAngleCoversTheWholeSurface) {
  for (float angle : {0.f, 10.f, 45.f, 89.f, 90.f, 91.f, 135.f, 180.f, 200.f, 225.f, 269.f, 270.f, 300.f, 359.f}) {
    for (QSize size : {QSize(60, 40), QSize(40, 60), QSize(2, 2), QSize(3, 50), QSize(97, 13)}) {
      clsGradient g = BlackToWhite(angle);
      bool drawn = false;
      QImage image = Painted(g, size.width(), size.height(), &drawn);
      ASSERT_TRUE(drawn);
      int holes = 0;
      for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) holes += image.pixelColor(x, y) == QColor(Qt::magenta);
      EXPECT_EQ(holes, 0) << "angle " << angle << " size " << size.width() << "x" << size.height();
    }
  }
}
