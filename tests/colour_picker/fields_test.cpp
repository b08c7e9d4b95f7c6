#include <QClipboard>
#include <QLabel>
#include <QGuiApplication>

#include "tests/colour_picker/dialog_fixture.h"

using namespace ColorDialogMod;

namespace {
const QString kHue = QStringLiteral("请输入一个0至360之间的整数！");
const QString kPercent = QStringLiteral("请输入一个0至100之间的整数！");
const QString kComponent = QStringLiteral("请输入一个0至255之间的整数！");
}  // namespace

TEST_F(ColourDialogTest, HueAppliesAsTypedAndRefusesAboveThreeSixty) {
  Type(dialog_->txtH(), "120");
  EXPECT_EQ(messages_.Count(), 0);
  EXPECT_DOUBLE_EQ(dialog_->Values().h, 120);
  EXPECT_EQ(Selected(), HsbToRgb(120, RgbToHsb(kOpening).s, RgbToHsb(kOpening).b));
  EXPECT_EQ(Rgb(), Selected());
  EXPECT_FLOAT_EQ(SliderY, SliderYFor(kModeH, dialog_->Values()));

  Type(dialog_->txtH(), "361");
  ASSERT_EQ(messages_.Count(), 1);
  EXPECT_EQ(messages_.Last().text, kHue);
  EXPECT_EQ(messages_.Last().title, QStringLiteral("色彩管理"));
  EXPECT_EQ(messages_.Last().icon, 2);
  EXPECT_FALSE(messages_.Last().twoButtons);
  EXPECT_EQ(TextOf(dialog_->txtH()), "0");
  EXPECT_DOUBLE_EQ(dialog_->Values().h, 0);
  EXPECT_EQ(Selected(), HsbToRgb(0, RgbToHsb(kOpening).s, RgbToHsb(kOpening).b));
  EXPECT_TRUE(dialog_->txtH()->Text1()->hasFocus());

  Type(dialog_->txtH(), "360");
  EXPECT_EQ(messages_.Count(), 1) << "360 is accepted";
  EXPECT_EQ(Selected(), HsbToRgb(0, RgbToHsb(kOpening).s, RgbToHsb(kOpening).b)) << "hue 360 is red";
}

TEST_F(ColourDialogTest, SaturationAndBrightnessRefuseAboveOneHundredAndEmptiness) {
  Type(dialog_->txtS(), "101");
  ASSERT_EQ(messages_.Count(), 1);
  EXPECT_EQ(messages_.Last().text, kPercent);
  EXPECT_EQ(TextOf(dialog_->txtS()), "0");
  EXPECT_EQ(Selected(), HsbToRgb(RgbToHsb(kOpening).h, 0, RgbToHsb(kOpening).b)) << "saturation 0 applied: a grey";

  Type(dialog_->txtB(), "");
  ASSERT_EQ(messages_.Count(), 2);
  EXPECT_EQ(messages_.Last().text, kPercent);
  EXPECT_EQ(TextOf(dialog_->txtB()), "") << "an empty field keeps the focus, not a value";
  EXPECT_TRUE(dialog_->txtB()->Text1()->hasFocus());
  // The Enter that closed the warning is released in the field: no second
  // warning, and no endless round of them.
  QTest::keyRelease(dialog_->txtB()->Text1(), Qt::Key_Return);
  EXPECT_EQ(messages_.Count(), 2);
  // Nor does the Tab that arrives in a field apply it again.
  QTest::keyRelease(dialog_->txtH()->Text1(), Qt::Key_Tab);
  EXPECT_EQ(messages_.Count(), 2);
}

TEST_F(ColourDialogTest, KeyFiltersLetOnlyDigitsAndBackspaceThrough) {
  Type(dialog_->Text1(), "a-1.x2+");
  EXPECT_EQ(TextOf(dialog_->Text1()), "12");
  EXPECT_EQ(Selected(), RgbValue(12, 139, 205));
  auto* edit = static_cast<QLineEdit*>(dialog_->Text1()->Text1());
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(TextOf(dialog_->Text1()), "1");
  QGuiApplication::clipboard()->setText("99");
  int16_t code = 22;
  emit dialog_->Text1()->KeyPress(code);
  EXPECT_EQ(code, 0) << "no pasting by key into R";
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(TextOf(dialog_->Text1()), "1") << "no pasting by key into R";
  Type(dialog_->txtH(), "abc");
  EXPECT_EQ(TextOf(dialog_->txtH()), QString::number(TruncateValue(RgbToHsb(1, 139, 205).h)))
      << "letters leave the field as it was";
  EXPECT_EQ(messages_.Count(), 0);
  // Three characters at most.
  Type(dialog_->Text3(), "12345");
  EXPECT_EQ(TextOf(dialog_->Text3()), "123");
  // Enter is swallowed by the field and presses the default button, OK.
  QTest::keyClick(dialog_->Text3()->Text1(), Qt::Key_Return);
  EXPECT_EQ(TextOf(dialog_->Text3()), "123");
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(CurrentColor, RgbValue(1, 139, 123));
}

TEST_F(ColourDialogTest, RgbFieldsApplyAWholeComponentAndUpdateCmyk) {
  Type(dialog_->Text2(), "0");
  EXPECT_EQ(Selected(), RgbValue(46, 0, 205));
  const Hsb v = RgbToHsb(46, 0, 205);
  EXPECT_EQ(TextOf(dialog_->txtH()), QString::number(TruncateValue(v.h)));
  EXPECT_EQ(TextOf(dialog_->txtS()), "100");
  EXPECT_EQ(TextOf(dialog_->txtB()), "80");
  EXPECT_EQ(TextOf(dialog_->txtMagenta()), "205");
  EXPECT_EQ(TextOf(dialog_->txtK()), "50");
  EXPECT_EQ(QPoint(CursorX, CursorY), CursorFor(kModeH, v));
  EXPECT_EQ(dialog_->lblHex()->text(), "#2E00CD");

  // An emptied field applies nothing and leaves C, M, Y, K alone.
  Type(dialog_->Text1(), "");
  EXPECT_EQ(Selected(), RgbValue(46, 0, 205));
  EXPECT_EQ(TextOf(dialog_->txtCyan()), "159");
  // Another field changing while R is empty: nothing applied either.
  Type(dialog_->Text3(), "9");
  EXPECT_EQ(Selected(), RgbValue(46, 0, 205));
  EXPECT_EQ(TextOf(dialog_->txtCyan()), "159");
  // Over 255: the last whole component typed (30) stays; no warning until
  // the field is left.
  Type(dialog_->Text1(), "300");
  EXPECT_EQ(Selected(), RgbValue(30, 0, 9));
  EXPECT_EQ(messages_.Count(), 0);
}

TEST_F(ColourDialogTest, KWarnsAboutValuesOutsideTheComponentRange) {
  Type(dialog_->txtK(), "300");
  ASSERT_EQ(messages_.Count(), 1);
  EXPECT_EQ(messages_.Last().text, kComponent);
  EXPECT_EQ(Selected(), kOpening) << "C, M, Y and K never change the colour";
  Type(dialog_->txtK(), "");
  EXPECT_EQ(messages_.Count(), 1) << "an empty K is no mistake";
  Type(dialog_->txtK(), "12");
  EXPECT_EQ(messages_.Count(), 1);
}

TEST_F(ColourDialogTest, LeavingAFieldChecksItAndKeepsTheFocusOnARefusal) {
  Type(dialog_->Text1(), "300");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(WaitFor([&] { return messages_.Count() == 1; }));
  EXPECT_EQ(messages_.Last().text, kComponent);
  ASSERT_TRUE(WaitFor([&] { return dialog_->Text1()->Text1()->hasFocus(); }));

  Type(dialog_->Text1(), "007");
  EXPECT_EQ(Selected(), RgbValue(7, 139, 205));
  dialog_->Text2()->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(WaitFor([&] { return TextOf(dialog_->Text1()) == "7"; })) << "rewritten without leading zeros";
  EXPECT_EQ(messages_.Count(), 1);

  Type(dialog_->txtH(), "");
  ASSERT_EQ(messages_.Count(), 2);  // on the key release
  dialog_->txtS()->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(WaitFor([&] { return messages_.Count() == 3; }));
  EXPECT_EQ(messages_.Last().text, kHue);
  ASSERT_TRUE(WaitFor([&] { return dialog_->txtH()->Text1()->hasFocus(); }));
}

TEST_F(ColourDialogTest, PastedMegabyteAndLettersKeepTheOldColour) {
  QString huge(1 << 20, QLatin1Char('x'));
  for (int i = 0; i < huge.size(); i += 7) huge[i] = QLatin1Char('7');
  QGuiApplication::clipboard()->setText(huge);
  for (QelText* field : {dialog_->Text1(), dialog_->txtH(), dialog_->txtK()}) {
    field->setFocus();
    auto* edit = static_cast<QLineEdit*>(field->Text1());
    edit->selectAll();
    edit->paste();  // as from the field's menu
    EXPECT_LE(field->Text().size(), 3);
  }
  EXPECT_EQ(TextOf(dialog_->Text1()), "7xx");
  EXPECT_EQ(Selected(), kOpening) << "letters are no component";
  dialog_->Text2()->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(WaitFor([&] { return messages_.Count() >= 1; }));
  EXPECT_EQ(Selected(), kOpening);
}
