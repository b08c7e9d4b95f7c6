#include <gtest/gtest.h>

#include <QTest>

#include "controls/property_bag.h"
#include "controls/qel_pbar.h"
#include "tests/common/msgbox_recorder.h"

namespace {

struct MouseLog {
  struct Entry {
    char kind;
    int button;
    float x, y;
    int valueSeen;
  };
  std::vector<Entry> entries;
  int clicks = 0;
  void Attach(QelPBar& bar) {
    QObject::connect(&bar, &QelPBar::MouseDown, &bar, [this, &bar](int16_t& b, int16_t&, float& x, float& y) {
      entries.push_back({'d', b, x, y, bar.Value()});
    });
    QObject::connect(&bar, &QelPBar::MouseMove, &bar, [this, &bar](int16_t& b, int16_t&, float& x, float& y) {
      entries.push_back({'m', b, x, y, bar.Value()});
    });
    QObject::connect(&bar, &QelPBar::MouseUp, &bar, [this, &bar](int16_t& b, int16_t&, float& x, float& y) {
      entries.push_back({'u', b, x, y, bar.Value()});
    });
    QObject::connect(&bar, &QelPBar::Click, &bar, [this] { ++clicks; });
  }
};

// 3030 twips wide: one per cent of the inner width is exactly 30 twips.
class BarFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_.resize(202, 20);
    bar_.show();  // a hidden widget gets its resize (and so its layout) when shown
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar_));
  }
  QelPBar bar_;
  PlainMessageRecorder messages_;
};

}  // namespace

TEST_F(BarFixture, FillFollowsTheValue) {
  EXPECT_EQ(bar_.FillWidth(), 1500);
  EXPECT_EQ(bar_.FillRectPixels(), QRect(1, 1, 100, 18));
  bar_.setAutoPerCent(true);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("50.0%"));
  bar_.setValue(0);
  EXPECT_EQ(bar_.FillWidth(), 0);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("0.0%"));
  bar_.setValue(100);
  EXPECT_EQ(bar_.FillWidth(), 3000);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("100.0%"));
  bar_.setMaxValue(800);
  bar_.setValue(300);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("37.5%"));
  EXPECT_EQ(bar_.FillWidth(), 1125);
  bar_.setMaxValue(3);  // lowers the value with it
  EXPECT_EQ(bar_.Value(), 3);
  bar_.setValue(1);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("33.3%"));
  EXPECT_EQ(bar_.FillWidth(), 1000);
  // While the percentage shows, Caption cannot be set; afterwards it can.
  bar_.setCaption(QStringLiteral("ignored"));
  EXPECT_EQ(bar_.Caption(), QStringLiteral("33.3%"));
  bar_.setAutoPerCent(false);
  EXPECT_EQ(bar_.Caption(), QStringLiteral("33.3%"));
  bar_.setCaption(QStringLiteral("00:01:02.003"));
  EXPECT_EQ(bar_.Caption(), QStringLiteral("00:01:02.003"));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(BarFixture, SettersClampOrRefuse) {
  bar_.setValue(150);
  EXPECT_EQ(bar_.Value(), 100);
  bar_.setMaxValue(400000000);
  EXPECT_EQ(bar_.MaxValue(), 300000000);
  bar_.setMinValue(-5);
  EXPECT_EQ(bar_.MinValue(), 0);
  ASSERT_TRUE(messages_.shown.empty());

  bar_.setMaxValue(0);  // equal to the minimum
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, QStringLiteral("最大值不能与最小值相同！请重新输入！"));
  EXPECT_EQ(messages_.shown[0].title, QStringLiteral("数值错误"));
  EXPECT_EQ(bar_.MaxValue(), 300000000);
  bar_.setMinValue(300000000);
  EXPECT_EQ(messages_.shown.back().text, QStringLiteral("最大值不能与最小值相同！请重新输入！"));
  EXPECT_EQ(bar_.MinValue(), 0);

  bar_.setMaxValue(100);
  bar_.setValue(40);
  bar_.setMinValue(60);  // raises the value
  EXPECT_EQ(bar_.Value(), 60);
  bar_.setMinValue(10);
  bar_.setValue(30);
  bar_.setMaxValue(20);  // lowers it
  EXPECT_EQ(bar_.Value(), 20);

  // LeftPos: clamped into [MinValue, Value]; above MaxValue refused.
  bar_.setMaxValue(100);
  bar_.setValue(50);
  const size_t before = messages_.shown.size();
  bar_.setLeftPos(101);
  ASSERT_EQ(messages_.shown.size(), before + 1);
  EXPECT_EQ(messages_.shown.back().text, QStringLiteral("数值必须小于最大值！请重新输入！"));
  EXPECT_EQ(bar_.LeftPos(), 0);
  bar_.setLeftPos(80);
  EXPECT_EQ(bar_.LeftPos(), 50);
  bar_.setLeftPos(-3);
  EXPECT_EQ(bar_.LeftPos(), 10);
  bar_.setLeftPos(30);
  bar_.setValue(20);  // below the left offset
  EXPECT_EQ(bar_.Value(), 30);
  bar_.setMaxValue(25);
  EXPECT_EQ(messages_.shown.back().text, QStringLiteral("最大值数值必须大于左偏值！请重新输入！"));
  EXPECT_EQ(bar_.MaxValue(), 100);
  // Every value refusal offers OK and Cancel; neither answer lets the value in.
  for (const auto& shown : messages_.shown) EXPECT_TRUE(shown.twoButtons) << shown.text.toStdString();
  {
    PlainMessageRecorder cancelling(0);
    bar_.setMaxValue(25);
    bar_.setLeftPos(101);
    ASSERT_EQ(cancelling.shown.size(), 2u);
    EXPECT_EQ(bar_.MaxValue(), 100);
    EXPECT_EQ(bar_.LeftPos(), 30);
  }
}

TEST_F(BarFixture, LeftPosMovesTheFillAndStopsDragging) {
  bar_.setCanDrag(true);
  ASSERT_TRUE(bar_.CanDrag());
  bar_.setLeftPos(20);
  // Shift = (W - 15) x 20 / 100 = 603 twips; the width still counts from MinValue.
  EXPECT_EQ(bar_.FillLeft(), 15 + 603);
  EXPECT_EQ(bar_.FillWidth(), 1500);
  EXPECT_FALSE(bar_.CanDrag());
  bar_.setCanDrag(true);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, QStringLiteral("左移值不等于最小值无法设为拖动"));
  EXPECT_EQ(messages_.shown[0].title, QStringLiteral("拖动设置失败"));
  EXPECT_FALSE(messages_.shown[0].twoButtons) << "the drag refusal has OK only";
  EXPECT_FALSE(bar_.CanDrag());
  bar_.setCanDrag(false);  // switching off is never refused
  EXPECT_EQ(messages_.shown.size(), 1u);
  // A relayout computes the same offset from scratch.
  bar_.resize(202, 21);
  EXPECT_EQ(bar_.FillLeft(), 15 + 603);
}

TEST_F(BarFixture, DraggingSetsTheValueBeforeTheEvents) {
  MouseLog log;
  log.Attach(bar_);
  // Without CanDrag: clicks only.
  QTest::mouseClick(&bar_, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(bar_.Value(), 50);

  bar_.setCanDrag(true);
  log.entries.clear();
  QTest::mousePress(&bar_, Qt::LeftButton, {}, QPoint(101, 10));
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].kind, 'd');
  EXPECT_EQ(log.entries[0].valueSeen, 50);  // 1515 x 100 / 3030
  QTest::mouseMove(&bar_, QPoint(-40, 10));
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[1].kind, 'm');
  EXPECT_EQ(log.entries[1].x, 0.0f);
  EXPECT_EQ(log.entries[1].valueSeen, 0);
  QTest::mouseMove(&bar_, QPoint(400, 10));
  EXPECT_EQ(log.entries.back().x, 3030.0f);
  EXPECT_EQ(log.entries.back().valueSeen, 100);
  QTest::mouseMove(&bar_, QPoint(67, 10));  // 1005 x 100 / 3030 = 33.2 -> 33
  EXPECT_EQ(log.entries.back().valueSeen, 33);
  EXPECT_EQ(bar_.FillWidth(), 990);
  QTest::mouseRelease(&bar_, Qt::LeftButton, {}, QPoint(150, 10));
  EXPECT_EQ(log.entries.back().kind, 'u');
  EXPECT_EQ(bar_.Value(), 33);  // the release does not move it
  EXPECT_EQ(log.clicks, 1);     // no Click while dragging is on
  // The right button raises MouseDown but leaves the value.
  QTest::mousePress(&bar_, Qt::RightButton, {}, QPoint(180, 10));
  EXPECT_EQ(log.entries.back().kind, 'd');
  EXPECT_EQ(log.entries.back().button, 2);
  EXPECT_EQ(bar_.Value(), 33);
  QTest::mouseRelease(&bar_, Qt::RightButton, {}, QPoint(180, 10));
  // Moves without a button are reported too.
  const size_t count = log.entries.size();
  QTest::mouseMove(&bar_, QPoint(120, 5));
  ASSERT_EQ(log.entries.size(), count + 1);
  EXPECT_EQ(log.entries.back().button, 0);
  EXPECT_EQ(bar_.Value(), 33);
}

TEST_F(BarFixture, CaptionChangesColourExactlyAtTheFillEdge) {
  bar_.resize(300, 30);
  QFont font = bar_.font();
  font.setPixelSize(20);
  bar_.setFont(font);
  bar_.setCaption(QStringLiteral("MMMMMMMMMMMM"));
  bar_.setBackColor(RgbValue(255, 255, 255));
  bar_.setColorLeft(RgbValue(0, 0, 0));
  bar_.setColorRight(RgbValue(0, 0, 0));
  bar_.setForeColor1(RgbValue(255, 0, 0));
  bar_.setForeColor2(RgbValue(0, 255, 0));
  bar_.setValue(50);
  const QImage shot = bar_.grab().toImage();
  const QRect fill = bar_.FillRectPixels();
  const QRect caption = bar_.CaptionRectPixels().toAlignedRect().intersected(QRect(2, 2, 297, 26));
  ASSERT_GT(fill.right(), caption.left() + 10);
  ASSERT_LT(fill.right(), caption.right() - 10);
  int greenInside = 0, redOutside = 0;
  for (int y = caption.top(); y <= caption.bottom(); ++y) {
    for (int x = caption.left(); x <= caption.right(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (x <= fill.right()) {
        ASSERT_EQ(c.red(), 0) << x << "," << y;  // only black fill and green text
        greenInside += c.green() > 128;
      } else {
        ASSERT_EQ(c.red(), 255) << x << "," << y;  // only white and red text
        redOutside += c.green() < 128;
      }
    }
  }
  EXPECT_GT(greenInside, 20);
  EXPECT_GT(redOutside, 20);
}

TEST_F(BarFixture, GradientSpansTheBarAndIsRevealedByTheValue) {
  bar_.setCaption(QString());  // only the fill in the picture
  bar_.setColorLeft(RgbValue(0, 0, 0));
  bar_.setColorRight(RgbValue(255, 255, 255));
  bar_.resize(202, 20);
  bar_.resize(203, 20);  // layout: gradient over W - 30 = 201 pixels
  EXPECT_EQ(bar_.GradientImage().width(), 201);
  bar_.setValue(100);
  QImage shot = bar_.grab().toImage();
  EXPECT_EQ(shot.pixelColor(1, 10), QColor(0, 0, 0));  // gradient starts at the fill's left
  EXPECT_GT(shot.pixelColor(201, 10).red(), 245);      // and ends near colour 2 at full value
  bar_.setValue(50);
  shot = bar_.grab().toImage();
  const int edge = bar_.FillRectPixels().right();
  EXPECT_NEAR(shot.pixelColor(edge, 10).red(), 127, 4);  // half way along, not stretched
  // A colour change paints across the whole control width.
  bar_.setColorRight(RgbValue(254, 254, 254));
  EXPECT_EQ(bar_.GradientImage().width(), 203);
  // The fill keeps its width: one per cent is 30.15 twips in single
  // precision (30.1499996...), so half of 3015 twips comes to 1507.
  EXPECT_EQ(bar_.FillWidth(), 1507);
}

TEST(QelPBarPropertiesTest, StoredKeysInOrderAndReadWithoutValidation) {
  QelPBar bar;
  PropertyBag bag;
  bar.WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 0);
  bar.setBackColor(1);
  QFont f = bar.font();
  f.setPixelSize(31);
  bar.setFont(f);
  bar.setBorderColor(2);
  bar.setCaption(QStringLiteral("c"));
  bar.setMaxValue(1000);
  bar.setMinValue(5);
  bar.setValue(70);
  bar.setForeColor1(3);
  bar.setForeColor2(4);
  bar.setColorLeft(5);
  bar.setColorRight(6);
  bar.setAutoPerCent(true);
  bar.setCanDrag(true);
  bar.setLeftPos(6);
  bar.WriteProperties(bag);
  EXPECT_EQ(bag.Names(), (QStringList{"BackColor", "Font", "BorderColor", "Caption", "MaxValue", "MinValue", "Value",
                                      "ForeColor1", "ForeColor2", "ColorLeft", "ColorRight", "AutoPerCent",
                                      "LeftPos"}));  // CanDrag went off with the left offset

  // Stored values are taken as they are, even ones the setters refuse.
  PropertyBag odd;
  odd.WriteProperty(QStringLiteral("MaxValue"), 7);
  odd.WriteProperty(QStringLiteral("MinValue"), 7);
  odd.WriteProperty(QStringLiteral("Value"), -4);
  odd.WriteProperty(QStringLiteral("ColorLeft"), -2147483633);
  odd.WriteProperty(QStringLiteral("CanDrag"), true);
  QelPBar copy;
  copy.ReadProperties(odd);
  EXPECT_EQ(copy.MaxValue(), 7);
  EXPECT_EQ(copy.MinValue(), 7);
  EXPECT_EQ(copy.Value(), -4);
  EXPECT_EQ(copy.ColorLeft(), 0x8000000Fu);
  EXPECT_TRUE(copy.CanDrag());
  EXPECT_EQ(copy.Caption(), QStringLiteral("Qel进度条"));
  copy.resize(100, 20);  // an empty range lays out without dividing by zero
  EXPECT_EQ(copy.FillLeft(), 15);
  (void)copy.grab();

  QelPBar restored;
  restored.ReadProperties(bag);
  EXPECT_EQ(restored.font().pixelSize(), 31);
  EXPECT_EQ(restored.Value(), 70);
  EXPECT_EQ(restored.LeftPos(), 6);
  EXPECT_TRUE(restored.AutoPerCent());
}

TEST_F(BarFixture, BadNumbersKeepTheBarConsistent) {
  bar_.setAutoPerCent(true);
  bar_.setMaxValue(INT32_MAX);
  EXPECT_EQ(bar_.MaxValue(), 300000000);
  bar_.setValue(INT32_MIN);
  EXPECT_EQ(bar_.Value(), 0);
  bar_.setValue(INT32_MAX);
  EXPECT_EQ(bar_.Value(), 300000000);
  EXPECT_EQ(bar_.FillWidth(), 3000);
  bar_.setMinValue(INT32_MIN);
  EXPECT_EQ(bar_.MinValue(), 0);
  // A minimum above the maximum is not refused; the fill update fails
  // quietly and leaves the last width.
  bar_.setMinValue(300000001);
  EXPECT_EQ(bar_.Value(), 300000001);
  EXPECT_EQ(bar_.FillWidth(), 0);
  bar_.setValue(5);
  EXPECT_EQ(bar_.Value(), 5);
  EXPECT_EQ(bar_.FillWidth(), 0);
  // Zero and tiny sizes.
  for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(2, 40), QSize(30000, 3)}) {
    bar_.resize(size);
    bar_.setMinValue(0);
    bar_.setValue(150000000);
    EXPECT_GE(bar_.FillWidth(), 0);
    (void)bar_.grab();
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST(QelPBarLayoutTest, AHiddenBarLaysOutAtItsCurrentSize) {
  QWidget host;
  QelPBar bar(&host);
  bar.setGeometry(0, 0, 202, 20);
  bar.setValue(25);
  EXPECT_EQ(bar.FillWidth(), 750);
  EXPECT_EQ(bar.GradientImage().width(), 200);
}

// Beyond 32 767 twips (2 184 pixels) the fill and the percentage keep
// following the value.
TEST(QelPBarLayoutTest, AWideBarFillsToItsEnd) {
  QelPBar bar;
  bar.resize(2562, 20);  // inner width 2 560 pixels, 38 400 twips
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  bar.setAutoPerCent(true);
  bar.setMaxValue(1000);
  for (int value : {900, 970, 990, 1000}) {
    bar.setValue(value);
    EXPECT_EQ(bar.FillWidth(), 38400 * value / 1000) << value;
    EXPECT_EQ(bar.Caption(), QString::number(value / 10.0, 'f', 1) + QLatin1Char('%'));
  }
  EXPECT_EQ(bar.FillRectPixels().right(), 2560);
  // A left offset far to the right moves the fill by more than 32 767 twips too.
  bar.setValue(1000);
  bar.setLeftPos(900);
  EXPECT_EQ(bar.FillLeft(), 15 + (38430 - 15) * 900 / 1000 + 1);  // 34 573.5 rounds to the even 34 574
}

// The caption is centred again by the bar itself whenever its text, its
// font or the bar's size changes.
TEST_F(BarFixture, CaptionStaysCentred) {
  auto centre = [this] { return bar_.CaptionRectPixels().center(); };
  const QPointF middle(bar_.width() / 2.0, bar_.height() / 2.0);
  auto expectCentred = [&](const char* what) {
    EXPECT_NEAR(centre().x(), middle.x(), 0.51) << what;
    EXPECT_NEAR(centre().y(), middle.y(), 0.51) << what;
  };
  expectCentred("at first");
  bar_.setCaption(QStringLiteral("a much longer caption than before"));
  expectCentred("after a longer text");
  bar_.setCaption(QStringLiteral("x"));
  expectCentred("after a shorter text");
  bar_.setAutoPerCent(true);
  bar_.setValue(100);  // "100.0%" is wider than "50.0%"
  expectCentred("after the percentage grew");
  QFont big = bar_.font();
  big.setPixelSize(16);
  bar_.setFont(big);
  expectCentred("after a font change");
  bar_.resize(300, 24);
  const QPointF wide(150, 12);
  EXPECT_NEAR(centre().x(), wide.x(), 0.51);
  EXPECT_NEAR(centre().y(), wide.y(), 0.51);
  // With a left offset the caption stays in the middle of the bar.
  bar_.setValue(100);
  bar_.setLeftPos(40);
  bar_.setAutoPerCent(false);
  bar_.setCaption(QStringLiteral("offset"));
  EXPECT_NEAR(centre().x(), wide.x(), 0.51);
}
