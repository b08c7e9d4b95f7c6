#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "button_test_util.h"
#include "controls/colour_value.h"

namespace {

// 8 x 8 picture: opaque red square in the middle of a transparent field.
QImage RedSquare() {
  QImage img(8, 8, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) img.setPixelColor(x, y, Qt::red);
  return img;
}

}  // namespace

TEST(VsNetButLayout, CaptionAndPictureAreasFollowSideSizeAndPercent) {
  ButtonRig rig(QSize(100, 40));
  VsNetBut* b = rig.button;
  // Fixed picture area opposite the caption.
  EXPECT_EQ(b->PictureArea(), QRect(0, 0, 26, 40));
  EXPECT_EQ(b->CaptionArea(), QRect(26, 0, 74, 40));
  EXPECT_EQ(b->CaptionRect(), QRect(28, 2, 70, 36));
  EXPECT_EQ(b->PictureRect(), QRect(4, 4, 18, 32));
  b->setCaptionAreaLayout(VsNetBut::kCaptionLeft);
  EXPECT_EQ(b->PictureArea(), QRect(74, 0, 26, 40));
  b->setCaptionAreaLayout(VsNetBut::kCaptionBottom);
  EXPECT_EQ(b->PictureArea(), QRect(0, 0, 100, 26));
  EXPECT_EQ(b->CaptionArea(), QRect(0, 26, 100, 14));
  b->setCaptionAreaLayout(VsNetBut::kCaptionTop);
  EXPECT_EQ(b->CaptionArea(), QRect(0, 0, 100, 14));

  // Percentages of the width, rounded down for the caption.
  b->setCaptionAreaLayout(VsNetBut::kCaptionRight);
  b->setShowPictureFixSize(false);
  b->setCaptionAreaPercent(33.9);
  EXPECT_EQ(b->CaptionArea(), QRect(67, 0, 33, 40));
  EXPECT_EQ(b->PictureArea(), QRect(0, 0, 67, 40));
  b->setCaptionAreaPercent(100);
  EXPECT_EQ(b->CaptionArea(), b->rect());
  EXPECT_TRUE(b->PictureArea().isNull());
  b->setCaptionAreaPercent(0);
  EXPECT_EQ(b->PictureArea(), b->rect());
  b->setCaptionAreaPercent(50);
  b->setCaption("");
  EXPECT_EQ(b->PictureArea(), b->rect());
  b->setCaption("x");
  b->setShowCaption(false);
  EXPECT_EQ(b->PictureArea(), b->rect());
}

TEST(VsNetButDrawing, FrameAtRestOnlyWithShowEdgeOnNoFocus) {
  ButtonRig rig(QSize(60, 24));
  VsNetBut* b = rig.button;
  b->setBackColor(0x00FF00);
  EXPECT_EQ(rig.Shot().pixelColor(0, 0), QColor(0, 255, 0));
  b->setShowEdgeOnNoFocus(true);
  EXPECT_EQ(rig.Shot().pixelColor(0, 0), ColourValueToQColor(b->EdgeColor()));
  EXPECT_EQ(rig.Shot().pixelColor(59, 23), ColourValueToQColor(b->EdgeColor()));
  b->setEnabled(false);
  EXPECT_EQ(rig.Shot().pixelColor(0, 0), ColourValueToQColor(b->ShadowColor()));
  b->setButtonAppearance(VsNetBut::sbOffice2003);  // enables again
  b->setIgnoeDisEnabledEffect(true);
  b->setEnabled(false);
  EXPECT_EQ(rig.Shot().pixelColor(0, 0), ColourValueToQColor(b->EdgeColor()));
}

TEST(VsNetButDrawing, FillGradientEndsInBothColoursAndFrames) {
  QImage img(10, 5, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    VsNetBut::FillGradient(p, 0, 0, 10, 5, RgbValue(0, 0, 0), RgbValue(200, 100, 40), true, false, 0);
  }
  EXPECT_EQ(img.pixelColor(3, 0), QColor(0, 0, 0));
  EXPECT_EQ(img.pixelColor(3, 4), QColor(200, 100, 40));
  EXPECT_EQ(img.pixelColor(3, 2), QColor(100, 50, 20));
  {
    QPainter p(&img);
    VsNetBut::FillGradient(p, 0, 0, 10, 5, RgbValue(0, 0, 0), RgbValue(90, 90, 90), false, true, RgbValue(255, 0, 0));
  }
  EXPECT_EQ(img.pixelColor(0, 2), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(9, 4), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(5, 2), QColor(50, 50, 50));
  {
    QPainter p(&img);
    // No frame for -1, nothing at all for an empty rectangle.
    VsNetBut::FillGradient(p, 0, 0, 10, 5, RgbValue(1, 2, 3), RgbValue(1, 2, 3), true, true, VsNetBut::kNoBorder);
    VsNetBut::FillGradient(p, 5, 5, 5, 9, 0, 0, true, true, 0);
  }
  EXPECT_EQ(img.pixelColor(0, 0), QColor(1, 2, 3));
}

TEST(VsNetButDrawing, LiftedPictureCastsItsSilhouette) {
  ButtonRig rig(QSize(26, 26));
  VsNetBut* b = rig.button;
  b->setCaption("");
  b->setButtonPicture(RedSquare());
  // The 8 x 8 picture is centred in the 18 x 18 picture rectangle at (4, 4).
  const QImage rest = rig.Shot();
  EXPECT_EQ(rest.pixelColor(11, 11), QColor(255, 0, 0));
  rig.Move({12, 12});
  const QImage lifted = rig.Shot();
  EXPECT_EQ(lifted.pixelColor(9, 9), QColor(255, 0, 0)) << "moved up and left by ShadowOffset";
  EXPECT_EQ(lifted.pixelColor(14, 14), ColourValueToQColor(b->ShadowColor()));
  b->setOffice2003Style(false);
  EXPECT_EQ(rig.Shot().pixelColor(14, 14), ColourValueToQColor(VsNetBut::kFlatSilhouette));
  b->setOffice2003Style(true);
  b->setCheck(true);
  EXPECT_EQ(rig.Shot().pixelColor(14, 14), ColourValueToQColor(VsNetBut::kCheckedGradientSilhouette));
  b->setShowShadow(false);
  EXPECT_EQ(rig.Shot().pixelColor(11, 11), QColor(255, 0, 0));

  // Disabled: the whole picture as a silhouette in ShadowColor.
  b->setEnabled(false);
  EXPECT_EQ(rig.Shot().pixelColor(11, 11), ColourValueToQColor(b->ShadowColor()));
}

TEST(VsNetButDrawing, BitmapWithoutAlphaTakesItsCornerColourAsTransparent) {
  ButtonRig rig(QSize(26, 26));
  VsNetBut* b = rig.button;
  b->setCaption("");
  b->setBackColor(RgbValue(0, 0, 255));
  QImage bmp(8, 8, QImage::Format_RGB32);
  bmp.fill(QColor(255, 0, 255));
  bmp.setPixelColor(4, 4, Qt::green);
  b->setButtonPicture(bmp);
  const QImage shot = rig.Shot();
  EXPECT_EQ(shot.pixelColor(9, 9), QColor(0, 0, 255));
  EXPECT_EQ(shot.pixelColor(13, 13), QColor(0, 255, 0));
}

TEST(VsNetButDrawing, SeparatorAndGripLinesInSepForeColor) {
  ButtonRig rig(QSize(20, 30));
  VsNetBut* b = rig.button;
  b->setButtonAppearance(VsNetBut::sbSep2003);
  b->setSepForeColor(RgbValue(255, 0, 0));
  QImage shot = rig.Shot();
  EXPECT_EQ(shot.pixelColor(4 + 6, 15), QColor(255, 0, 0));  // middle of the 12-pixel inset
  EXPECT_NE(shot.pixelColor(9, 15), QColor(255, 0, 0));
  EXPECT_NE(shot.pixelColor(10, 2), QColor(255, 0, 0)) << "inset by the picture offsets";

  b->setButtonAppearance(VsNetBut::sbMainSep2003);
  b->setMainSepThick(4);
  b->setMainSepLineBetweenSpace(3);
  shot = rig.Shot();
  // Lines 4 long centred in x 4..15 (x 8..11) on rows 6, 9, 12, ...
  EXPECT_EQ(shot.pixelColor(8, 6), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(11, 9), QColor(255, 0, 0));
  EXPECT_NE(shot.pixelColor(8, 7), QColor(255, 0, 0));
  EXPECT_NE(shot.pixelColor(12, 6), QColor(255, 0, 0));
}

TEST(VsNetButBadInput, HugeEmptyAndOddCaptionsPicturesAndSizes) {
  ButtonRig rig(QSize(120, 30));
  VsNetBut* b = rig.button;
  b->setCaption(QString(10000, QChar(0x5B57)));
  EXPECT_NO_THROW(rig.Shot());
  b->setAutoMultiLine(true);
  EXPECT_NO_THROW(rig.Shot());
  b->setCaption("");
  EXPECT_TRUE(b->AccessKey().isNull());
  EXPECT_NO_THROW(rig.Shot());
  b->setCaption("Exit&");
  EXPECT_TRUE(b->AccessKey().isNull());
  EXPECT_NO_THROW(rig.Shot());

  b->setButtonPicture(RedSquare());
  QTemporaryDir dir;
  QFile junk(dir.filePath("broken.bmp"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a picture");
  junk.close();
  EXPECT_FALSE(b->LoadButtonPicture(junk.fileName()));
  EXPECT_FALSE(b->LoadButtonPicture(dir.filePath("missing.png")));
  EXPECT_EQ(b->ButtonPicture(), RedSquare()) << "the old picture stays";

  // A picture larger than its place is shrunk into it.
  QImage big(200, 200, QImage::Format_ARGB32);
  big.fill(Qt::blue);
  b->setButtonPicture(big);
  EXPECT_EQ(rig.Shot().pixelColor(60, 15), ColourValueToQColor(b->BackColor()));

  // Negative offsets, odd layouts and a zero-size button draw without harm.
  b->setPictureOffsetLeft(-30);
  b->setCaptionOffsetRight(-500);
  b->setPictureLayout(42);
  b->setCaptionLayout(-1);
  b->setCaptionAreaLayout(9);
  EXPECT_NO_THROW(rig.Shot());
  b->resize(0, 0);
  EXPECT_NO_THROW(rig.Shot());
  rig.Move({0, 0});
  rig.Press({0, 0});
  rig.Release({0, 0});
  b->setFontSize(0);
  b->setFontSize(-5);
  EXPECT_GT(b->FontSize(), 0);
}
