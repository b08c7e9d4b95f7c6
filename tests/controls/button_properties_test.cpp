#include <gtest/gtest.h>

#include <QSignalSpy>
#include <functional>

#include "button_test_util.h"
#include "controls/invalid_property_value.h"
#include "controls/property_bag.h"

namespace {

// Runs `set`, expects error 380 with `message` from `property`.
void ExpectRefused(const std::function<void()>& set, const char* property, const char* message) {
  try {
    set();
    ADD_FAILURE() << property << " was accepted";
  } catch (const InvalidPropertyValue& e) {
    EXPECT_EQ(e.Number(), 380);
    EXPECT_EQ(e.Message(), QString::fromUtf8(message));
    EXPECT_EQ(e.Source(), InvalidPropertyValue::ExecutableName() + ".VsNetBut:" + property);
  }
}

const char* const kStyleSep =
    "只有当按钮风格为sbSep2003或sbMainSep2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kStyleMainSep =
    "只有当按钮风格为sbMainSep2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kStyleUpDown =
    "只有当按钮风格为sbUp_Down2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。";
const char* const kTooSmall = "将按钮拉大些再看有没有效果。";

}  // namespace

TEST(VsNetButProperties, DefaultsOfANewButton) {
  VsNetBut b;
  EXPECT_EQ(b.Caption(), QString::fromUtf8("Office2003 特效按钮"));
  EXPECT_TRUE(b.Office2003Style());
  EXPECT_EQ(b.DownColorXP(), 12615808u);
  EXPECT_EQ(b.OverColorXP(), 13741485u);
  EXPECT_EQ(b.CheckedColorXP(), 14208204u);
  EXPECT_EQ(b.CaptionAreaPercent(), 80.0);
  EXPECT_EQ(b.CaptionOffsetLeft(), 2);
  EXPECT_EQ(b.PictureOffsetTop(), 4);
  EXPECT_EQ(b.ShadowColor(), 12232358u);
  EXPECT_EQ(b.Up_DownWidht(), 12);
  EXPECT_EQ(b.MainSepThick(), 3);
  EXPECT_EQ(b.MainSepLineBetweenSpace(), 2);
  EXPECT_EQ(b.PicAreaFixWidth(), 26.0);
  EXPECT_EQ(b.CaptionLayout(), 4);
  EXPECT_EQ(b.CaptionAreaLayout(), 1);
  EXPECT_EQ(b.ButtonAppearance(), 0);
  EXPECT_EQ(b.EdgeColor(), 0x962D00u);
  EXPECT_EQ(b.BackColor(), 0x8000000Fu);
  EXPECT_EQ(b.ForeColor(), 0x80000008u);
  EXPECT_EQ(b.CheckOverColorStar(), b.DownColorStar());
  EXPECT_EQ(b.OverColorStar(), 0xD3FEFDu);
  EXPECT_EQ(b.CheckedColorEnd(), 0x4AB9F5u);
  EXPECT_TRUE(b.HotKeyDynamicEffect());
  EXPECT_FALSE(b.ShowEdgeOnNoFocus());
  EXPECT_FALSE(b.EnableDblClick());
  EXPECT_FALSE(b.Check());
  EXPECT_EQ(b.LastMouseButton(), 1);
  PropertyBag bag;
  b.WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 0) << bag.Names().join(",").toStdString();
}

TEST(VsNetButProperties, ReadingOrderAndWritingWithEnabledFirst) {
  const QStringList order = VsNetBut::StoredPropertyNames();
  ASSERT_EQ(order.size(), 54);
  EXPECT_EQ(order.first(), "Font");
  EXPECT_EQ(order.indexOf("Enabled"), 6);
  EXPECT_LT(order.indexOf("SepForeColor"), order.indexOf("ButtonAppearance"));
  EXPECT_EQ(order.mid(37, 5), (QStringList{"CaptionLayout", "PictureLayout", "ButtonAppearance",
                                          "CaptionAreaLayout", "EnableDblClick"}));
  EXPECT_EQ(order.last(), "Check");

  ButtonRig rig;
  VsNetBut* b = rig.button;
  b->setCheck(true);
  b->setCaption("Go");
  b->setEnabled(false);
  b->setOffice2003Style(false);
  PropertyBag bag;
  b->WriteProperties(bag);
  EXPECT_EQ(bag.Names(), (QStringList{"Enabled", "Office2003Style", "Caption", "Check"}));
}

TEST(VsNetButProperties, StoredValuesComeBackWithoutTheSettersChecks) {
  // A grip bar's colour and pitch are stored before its style: reading
  // them must not be refused.
  PropertyBag bag;
  bag.WriteProperty("SepForeColor", QVariant::fromValue<uint>(0x0000FF));
  bag.WriteProperty("MainSepLineBetweenSpace", 4);
  bag.WriteProperty("ButtonAppearance", 2);
  bag.WriteProperty("Enabled", false);
  bag.WriteProperty("Caption", "Tool&s");
  bag.WriteProperty("CaptionAreaPercent", 250.0);  // hand-edited beyond the range
  ButtonRig rig;
  VsNetBut* b = rig.button;
  QSignalSpy changed(b, &VsNetBut::PropertyChanged);
  EXPECT_NO_THROW(b->ReadProperties(bag));
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(b->SepForeColor(), 0x0000FFu);
  EXPECT_EQ(b->MainSepLineBetweenSpace(), 4);
  EXPECT_EQ(b->ButtonAppearance(), 2);
  EXPECT_FALSE(b->Enabled());
  EXPECT_EQ(b->AccessKey(), QChar('S'));
  EXPECT_EQ(b->CaptionAreaPercent(), 100.0);

  PropertyBag again;
  b->WriteProperties(again);
  ButtonRig other;
  other.button->ReadProperties(again);
  PropertyBag third;
  other.button->WriteProperties(third);
  EXPECT_EQ(third.Names(), again.Names());
  for (const QString& name : again.Names()) EXPECT_EQ(third.ReadProperty(name), again.ReadProperty(name)) << name.toStdString();
}

TEST(VsNetButValidation, CaptionAreaPercentOutsideZeroToHundred) {
  VsNetBut b;
  b.setCaptionAreaPercent(35);
  const char* msg = "本属性范围0--100，设为0时只显示图片区域，设为100时只显示标题区域";
  ExpectRefused([&] { b.setCaptionAreaPercent(-1); }, "CaptionAreaPercent", msg);
  ExpectRefused([&] { b.setCaptionAreaPercent(101); }, "CaptionAreaPercent", msg);
  ExpectRefused([&] { b.setCaptionAreaPercent(std::nan("")); }, "CaptionAreaPercent", msg);
  EXPECT_EQ(b.CaptionAreaPercent(), 35.0);
  EXPECT_NO_THROW(b.setCaptionAreaPercent(0));
  EXPECT_NO_THROW(b.setCaptionAreaPercent(100));
}

TEST(VsNetButValidation, StyleBoundPropertiesKeepTheirValueWhenRefused) {
  ButtonRig rig(QSize(60, 24));
  VsNetBut* b = rig.button;
  ExpectRefused([&] { b->setUp_DownWidht(20); }, "Up_DownWidht", kStyleUpDown);
  EXPECT_EQ(b->Up_DownWidht(), 12);
  ExpectRefused([&] { b->setSepForeColor(1); }, "SepForeColor", kStyleSep);
  ExpectRefused([&] { b->setMainSepForeColor(1); }, "MainSepForeColor", kStyleSep);
  ExpectRefused([&] { b->setMainSepThick(5); }, "MainSepThick", kStyleMainSep);
  ExpectRefused([&] { b->setMainSepLineBetweenSpace(5); }, "MainSepLineBetweenSpace", kStyleMainSep);
  EXPECT_EQ(b->SepForeColor(), VsNetBut::kDefaultSepForeColor);
  EXPECT_NO_THROW(b->setIgnoeDisEnabledEffect(true));

  b->setButtonAppearance(VsNetBut::sbUp_Down2003);
  ExpectRefused([&] { b->setIgnoeDisEnabledEffect(false); }, "IgnoeDisEnabledEffect",
                "只有按钮风格为sbOffice2003时，才能改变此属性。目的是为了保证按钮最佳效果,减少不必要的错误。");
  EXPECT_TRUE(b->IgnoeDisEnabledEffect());
  ExpectRefused([&] { b->setUp_DownWidht(60); }, "Up_DownWidht", kTooSmall);
  EXPECT_EQ(b->Up_DownWidht(), 12);
  b->setUp_DownWidht(20);
  EXPECT_EQ(b->DropDownRect(), QRect(40, 0, 20, 24));

  b->setButtonAppearance(VsNetBut::sbMainSep2003);
  EXPECT_FALSE(b->Enabled()) << "separators disable themselves";
  // inset height 24 - 8 = 16, inset width 60 - 8 = 52
  ExpectRefused([&] { b->setMainSepLineBetweenSpace(16); }, "MainSepLineBetweenSpace", kTooSmall);
  ExpectRefused([&] { b->setMainSepThick(52); }, "MainSepThick", kTooSmall);
  EXPECT_EQ(b->MainSepThick(), 3);
  EXPECT_NO_THROW(b->setMainSepThick(51));
  EXPECT_NO_THROW(b->setSepForeColor(0x00FF00));
  b->setButtonAppearance(VsNetBut::sbOffice2003);
  EXPECT_TRUE(b->Enabled());
}

TEST(VsNetButValidation, StylesNeedRoomAndUnknownStylesKeepTheLayout) {
  ButtonRig rig(QSize(0, 0));
  VsNetBut* b = rig.button;
  for (int style : {1, 2, 3, 4}) {
    ExpectRefused([&] { b->setButtonAppearance(style); }, "ButtonAppearance", "将按钮拉大些再看吧！");
    EXPECT_EQ(b->ButtonAppearance(), 0);
    EXPECT_TRUE(b->Enabled());
  }
  b->resize(8, 14);
  EXPECT_FALSE(b->BigEnoughFor(VsNetBut::sbChevron2003));
  b->resize(9, 15);
  EXPECT_NO_THROW(b->setButtonAppearance(VsNetBut::sbChevron2003));

  // A refused style leaves a separator disabled as it was.
  b->resize(40, 20);
  b->setButtonAppearance(VsNetBut::sbSep2003);
  b->resize(0, 0);
  ExpectRefused([&] { b->setButtonAppearance(VsNetBut::sbUp_Down2003); }, "ButtonAppearance",
                "将按钮拉大些再看吧！");
  EXPECT_FALSE(b->Enabled());

  b->resize(80, 24);
  b->setButtonAppearance(VsNetBut::sbUp_Down2003);
  const QRect drop = b->DropDownRect();
  EXPECT_NO_THROW(b->setButtonAppearance(7));
  EXPECT_NO_THROW(b->setButtonAppearance(-3));
  EXPECT_EQ(b->ButtonAppearance(), -3);
  b->resize(120, 24);
  EXPECT_EQ(b->DropDownRect(), drop) << "the layout stays as it was";
  EXPECT_NO_THROW(rig.Shot());
}
