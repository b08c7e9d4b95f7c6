#include <gtest/gtest.h>

#include <QFont>

#include "controls/my_stree.h"
#include "controls/property_bag.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"

namespace {

PropertyBag BagWith(const QVariant& value) {
  PropertyBag bag;
  bag.WriteProperty(QStringLiteral("P"), value);
  return bag;
}

const QString P = QStringLiteral("P");

}  // namespace

// One rule for every kind: missing or holding no number gives the default;
// numbers are rounded (halves to even) and clamped to the kind's range.
TEST(StoredPropertyKinds, MissingNonNumericAndNumericValues) {
  const PropertyBag empty;
  const PropertyBag words = BagWith(QStringLiteral("abc"));
  const PropertyBag font = BagWith(QFont(QStringLiteral("Arial")));

  EXPECT_EQ(ReadColourProperty(empty, P, 0x123u), 0x123u);
  EXPECT_EQ(ReadColourProperty(words, P, 0x123u), 0x123u);
  EXPECT_EQ(ReadColourProperty(font, P, 0x123u), 0x123u);
  EXPECT_EQ(ReadColourProperty(BagWith(0), P, 0x123u), 0u) << "0 is black, not missing";
  EXPECT_EQ(ReadColourProperty(BagWith(-2147483633), P, 0u), 0x8000000Fu);
  EXPECT_EQ(ReadColourProperty(BagWith(QVariant::fromValue<qlonglong>(0x18000000Fll)), P, 0u), 0x8000000Fu);
  EXPECT_EQ(ReadColourProperty(BagWith(QStringLiteral(" 255 ")), P, 0u), 255u);
  EXPECT_EQ(ReadColourProperty(BagWith(1e30), P, 7u), 7u);

  EXPECT_TRUE(ReadBoolProperty(empty, P, true));
  EXPECT_TRUE(ReadBoolProperty(words, P, true)) << "a word that is no Boolean is no True";
  EXPECT_FALSE(ReadBoolProperty(words, P, false));
  EXPECT_FALSE(ReadBoolProperty(BagWith(0), P, true));
  EXPECT_TRUE(ReadBoolProperty(BagWith(-1), P, false));
  EXPECT_FALSE(ReadBoolProperty(BagWith(QStringLiteral("False")), P, true));
  EXPECT_TRUE(ReadBoolProperty(BagWith(QStringLiteral("TRUE")), P, false));

  EXPECT_EQ(ReadInt16Property(empty, P, 180), 180);
  EXPECT_EQ(ReadInt16Property(words, P, 180), 180);
  EXPECT_EQ(ReadInt16Property(BagWith(0), P, 180), 0);
  EXPECT_EQ(ReadInt16Property(BagWith(100000), P, 0), 32767);
  EXPECT_EQ(ReadInt16Property(BagWith(2.5), P, 0), 2);
  EXPECT_EQ(ReadInt16Property(BagWith(3.5), P, 0), 4);
  EXPECT_EQ(ReadInt16Property(BagWith(true), P, 9), 9) << "a Boolean is no number";

  EXPECT_EQ(ReadInt32Property(empty, P, 100), 100);
  EXPECT_EQ(ReadInt32Property(words, P, 100), 100);
  EXPECT_EQ(ReadInt32Property(BagWith(QStringLiteral("-7")), P, 100), -7);
  EXPECT_EQ(ReadInt32Property(BagWith(-1e12), P, 0), INT32_MIN);

  EXPECT_EQ(ReadDoubleProperty(empty, P, 26.0), 26.0);
  EXPECT_EQ(ReadDoubleProperty(words, P, 26.0), 26.0);
  EXPECT_EQ(ReadDoubleProperty(BagWith(std::nan("")), P, 26.0), 26.0);
  EXPECT_EQ(ReadDoubleProperty(BagWith(12.25), P, 26.0), 12.25);

  EXPECT_EQ(ReadTextProperty(empty, P, QStringLiteral("Text1")), QStringLiteral("Text1"));
  EXPECT_EQ(ReadTextProperty(BagWith(QString()), P, QStringLiteral("Text1")), QString()) << "an empty text is a text";
  EXPECT_EQ(ReadTextProperty(BagWith(12), P, QString()), QStringLiteral("12"));

  EXPECT_EQ(ReadFontProperty(empty, P), QFont());
  EXPECT_EQ(ReadFontProperty(words, P), QFont());
  EXPECT_EQ(ReadFontProperty(font, P).family(), QStringLiteral("Arial"));
}

TEST(StoredPropertyKinds, WritingLeavesDefaultsOutAndReadsBack) {
  PropertyBag bag;
  WriteColourProperty(bag, QStringLiteral("A"), 5u, 5u);
  WriteBoolProperty(bag, QStringLiteral("B"), true, true);
  WriteInt16Property(bag, QStringLiteral("C"), 3, 3);
  EXPECT_EQ(bag.Count(), 0);
  WriteColourProperty(bag, QStringLiteral("A"), 0x8000000Fu, 5u);
  WriteInt16Property(bag, QStringLiteral("C"), -4, 3);
  WriteDoubleProperty(bag, QStringLiteral("D"), 0.5, 26.0);
  EXPECT_EQ(ReadColourProperty(bag, QStringLiteral("A"), 5u), 0x8000000Fu);
  EXPECT_EQ(ReadInt16Property(bag, QStringLiteral("C"), 3), -4);
  EXPECT_EQ(ReadDoubleProperty(bag, QStringLiteral("D"), 26.0), 0.5);
}

// Every control reads a colour that holds no number as its default.
TEST(StoredPropertyKinds, EveryControlFollowsTheRule) {
  PropertyBag bag;
  for (const char* name : {"BackColor", "BorderColor", "ForeColor", "MouseMoveColor", "Office2003Style",
                           "CaptionAreaPercent", "两行间高", "MaxValue"})
    bag.WriteProperty(QString::fromUtf8(name), QStringLiteral("junk"));
  MyStree list;
  list.setBorderColor(1);
  list.set两行间高(5);
  list.ReadProperties(bag);
  EXPECT_EQ(list.BorderColor(), MyStree::kDefaultBorderColor);
  EXPECT_EQ(list.BackColor(), MyStree::kDefaultBackColor);
  EXPECT_EQ(list.两行间高(), MyStree::kDefaultLineGap);
  QelPBar bar;
  bar.ReadProperties(bag);
  EXPECT_EQ(bar.BorderColor(), QelPBar::kDefaultBorderColor);
  EXPECT_EQ(bar.MaxValue(), QelPBar::kDefaultMaxValue);
  QelText text;
  text.setMouseMoveColor(1);
  text.ReadProperties(bag);
  EXPECT_EQ(text.ForeColor(), QelTextBase::kDefaultForeColor);
  EXPECT_EQ(text.MouseMoveColor(), QelTextBase::kDefaultMouseMoveColor);
  EXPECT_EQ(text.BorderColor(), QelTextBase::kDefaultBorderColor);
  VsNetBut button;
  button.ReadProperties(bag);
  EXPECT_EQ(button.BackColor(), VsNetBut::kDefaultBackColor);
  EXPECT_EQ(button.ForeColor(), VsNetBut::kDefaultForeColor);
  EXPECT_TRUE(button.Office2003Style());
  EXPECT_EQ(button.CaptionAreaPercent(), 80.0);
}
