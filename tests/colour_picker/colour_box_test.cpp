#include <QComboBox>
#include <QRadioButton>
#include <QTimer>

#include "colour_picker/colour_box.h"
#include "controls/property_bag.h"
#include "tests/colour_picker/dialog_fixture.h"

using namespace ColorDialogMod;

namespace {

class ColorBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetState();
    platform::SetApplicationFolder(folder_.Path());
    ColorDialog::SetPointerWarp([](const QPoint&) {});
    host_ = std::make_unique<QWidget>();
    host_->resize(400, 300);
    box_ = new ColorBox(host_.get());
    box_->InitProperties();
    host_->show();
  }
  void TearDown() override {
    host_.reset();
    ColorDialog::SetPointerWarp(nullptr);
    platform::SetApplicationFolder(QString());
    ResetState();
  }
  // Runs `action` on the open dialog once Show has shown it.
  void WhileShown(const std::function<void(ColorDialog*)>& action) {
    QTimer::singleShot(0, [action] {
      ColorDialog* dialog = LoadedDialog();
      ASSERT_NE(dialog, nullptr);
      ASSERT_TRUE(dialog->isVisible());
      action(dialog);
    });
    QTimer::singleShot(5000, [] {
      if (ColorDialog* dialog = LoadedDialog()) dialog->hide();
    });
  }

  TempFolder folder_;
  MsgBoxRecorder messages_;
  std::unique_ptr<QWidget> host_;
  ColorBox* box_ = nullptr;
};

}  // namespace

TEST_F(ColorBoxTest, DefaultsSizeAndStoredProperties) {
  EXPECT_EQ(box_->Color(), 0u);
  EXPECT_TRUE(box_->Icon().isNull());
  EXPECT_EQ(box_->DialogLeft(), 0);
  EXPECT_EQ(box_->DialogTop(), 0);
  EXPECT_TRUE(box_->AdjustPosition());
  EXPECT_EQ(box_->DialogStartUpPosition(), 0);
  EXPECT_EQ(box_->Mode(), 0);
  EXPECT_FALSE(box_->WebColors());
  EXPECT_EQ(box_->size(), QSize(32, 19));
  box_->resize(300, 300);
  EXPECT_EQ(box_->size(), QSize(32, 19)) << "480 x 280 twips whatever the host asks";

  PropertyBag bag;
  box_->WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 0) << "defaults are not stored";
  box_->setColor(RgbValue(1, 2, 3));
  box_->setDialogLeft(40);
  box_->setDialogStartUpPosition(2);
  box_->setMode(4);
  box_->setWebColors(true);
  box_->setAdjustPosition(false);
  box_->WriteProperties(bag);
  EXPECT_EQ(bag.Names(), (QStringList{"Color", "DialogLeft", "AdjustPosition", "DialogStartUpPosition", "Mode",
                                      "WebColors"}));
  box_->InitProperties();
  EXPECT_EQ(box_->Color(), 0u);
  box_->ReadProperties(bag);
  EXPECT_EQ(box_->Color(), RgbValue(1, 2, 3));
  EXPECT_EQ(box_->DialogLeft(), 40);
  EXPECT_EQ(box_->DialogStartUpPosition(), 2);
  EXPECT_EQ(box_->Mode(), 4);
  EXPECT_TRUE(box_->WebColors());
  EXPECT_FALSE(box_->AdjustPosition());
}

TEST_F(ColorBoxTest, ColourValuesSystemColoursAndRefusals) {
  box_->setColor(SystemColourValue(kSysWindowText));
  EXPECT_FALSE(IsSystemColourValue(box_->Color()));
  EXPECT_EQ(box_->Color(), QColorToColourValue(QGuiApplication::palette().color(QPalette::Active, QPalette::Text)));
  box_->setColor(RgbValue(9, 8, 7));
  for (ColourValue bad : {SystemColourValue(25), SystemColourValue(4000), 0xFFFFFFFBu, 0x7F000000u}) {
    box_->setColor(bad);
    EXPECT_EQ(box_->Color(), RgbValue(9, 8, 7)) << bad;
  }
  // Shared by every box.
  ColorBox other(host_.get());
  EXPECT_EQ(other.Color(), RgbValue(9, 8, 7));
  other.setMode(9);
  EXPECT_EQ(box_->Mode(), 0) << "modes beyond 4 are ignored";
}

TEST_F(ColorBoxTest, OnlyAnIconIsAcceptedAsIcon) {
  PlainMessageRecorder plain;
  QPixmap picture(16, 16);
  picture.fill(Qt::red);
  box_->setIcon(QIcon(picture));
  ASSERT_FALSE(box_->Icon().isNull());
  const qint64 key = box_->Icon().cacheKey();
  box_->setIcon(picture);
  ASSERT_EQ(plain.shown.size(), 1u);
  EXPECT_EQ(plain.shown[0].text, QStringLiteral("Not an Icon"));
  EXPECT_EQ(plain.shown[0].title, QStringLiteral("ColorBox"));
  EXPECT_EQ(box_->Icon().cacheKey(), key);

  ASSERT_TRUE(picture.save(folder_.File("picture.png")));
  EXPECT_FALSE(box_->LoadIcon(folder_.File("picture.png")));
  EXPECT_EQ(plain.shown.size(), 2u);
  EXPECT_EQ(box_->Icon().cacheKey(), key);
  ASSERT_TRUE(picture.save(folder_.File("real.ico"), "ICO"));
  EXPECT_TRUE(box_->LoadIcon(folder_.File("real.ico")));
  EXPECT_NE(box_->Icon().cacheKey(), key);
  EXPECT_FALSE(box_->LoadIcon(folder_.File("missing.ico")));
}

TEST(ColorBoxPosition, StartUpPositionsAndAdjusting) {
  const QRect screen(0, 0, 1280, 800);
  const QRect host(100, 100, 600, 400);
  const QSize dialog(480, 340);
  EXPECT_EQ(ColorBox::DialogPosition(0, host, screen, dialog, 0, 0, true), QPoint(160, 130));
  EXPECT_EQ(ColorBox::DialogPosition(1, host, screen, dialog, 0, 0, true), QPoint(400, 230));
  EXPECT_EQ(ColorBox::DialogPosition(2, host, screen, dialog, 33, 44, true), QPoint(33, 44));
  EXPECT_EQ(ColorBox::DialogPosition(7, host, screen, dialog, 33, 44, true), QPoint(160, 130)) << "unknown: host";
  // Kept inside the screen.
  EXPECT_EQ(ColorBox::DialogPosition(2, host, screen, dialog, -50, -9, true), QPoint(0, 0));
  EXPECT_EQ(ColorBox::DialogPosition(2, host, screen, dialog, 1000, 700, true), QPoint(800, 460));
  EXPECT_EQ(ColorBox::DialogPosition(0, QRect(-400, 650, 300, 300), screen, dialog, 0, 0, true), QPoint(0, 460));
  EXPECT_EQ(ColorBox::DialogPosition(2, host, screen, dialog, INT32_MAX, INT32_MIN, true), QPoint(800, 0));
  // Not kept when not asked to.
  EXPECT_EQ(ColorBox::DialogPosition(2, host, screen, dialog, -50, 1000, false), QPoint(-50, 1000));
}

TEST_F(ColorBoxTest, ShowReturnsTheChosenColourOrTheOldOneAfterCancelling) {
  box_->setColor(RgbValue(10, 20, 30));
  WhileShown([](ColorDialog* d) {
    EXPECT_EQ(d->lblSelColor()->Color(), RgbValue(10, 20, 30));
    EXPECT_EQ(d->Label2()->Color(), RgbValue(10, 20, 30));
    d->SurfaceDown(QPoint(200, 50));
    d->SurfaceUp(QPoint(200, 50));
    d->Command2_Click();
  });
  box_->Show();
  EXPECT_EQ(box_->Color(), RgbValue(10, 20, 30));
  EXPECT_EQ(LastColor, 0u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone again";

  ColourValue picked = 0;
  WhileShown([&picked](ColorDialog* d) {
    d->SurfaceDown(QPoint(200, 50));
    d->SurfaceUp(QPoint(200, 50));
    picked = d->lblSelColor()->Color();
    d->close();  // the close box is a cancel too
  });
  box_->Show();
  EXPECT_EQ(box_->Color(), RgbValue(10, 20, 30));

  WhileShown([&picked](ColorDialog* d) {
    d->SurfaceDown(QPoint(200, 50));
    d->SurfaceUp(QPoint(200, 50));
    picked = d->lblSelColor()->Color();
    d->Command1_Click();
  });
  box_->Show();
  EXPECT_NE(picked, RgbValue(10, 20, 30));
  EXPECT_EQ(box_->Color(), picked);
  EXPECT_EQ(LastColor, picked);
}

TEST_F(ColorBoxTest, ColorChangeWhileDraggingOnTheDialog) {
  std::vector<ColourValue> changes;
  QObject::connect(box_, &ColorBox::ColorChange, [&changes](ColourValue c) { changes.push_back(c); });
  WhileShown([](ColorDialog* d) {
    QTest::mousePress(d, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 90), d->mapToGlobal(QPointF(120, 90)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d, &move);
    QMouseEvent hover(QEvent::MouseMove, QPointF(130, 90), d->mapToGlobal(QPointF(130, 90)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(d, &hover);  // no button held: no change
    QTest::mouseRelease(d, Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));
    EXPECT_EQ(d->lblSelColor()->Color(), PixelColour(d->Square(), 110, 80));
    d->Command1_Click();
  });
  box_->Show();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0], HsbToRgb(0, 40 * 100 / 255.0, (255 - 40) * 100 / 255.0));
  EXPECT_EQ(changes[1], box_->Color());
  // After Show the box hears nothing from the dialog.
  emit LoadedDialog()->SurfaceColour(5);
  EXPECT_EQ(changes.size(), 2u);
}

TEST_F(ColorBoxTest, TheViewTheUserChoseIsKeptForTheNextOpening) {
  box_->setMode(1);
  WhileShown([](ColorDialog* d) {
    EXPECT_TRUE(d->optS()->isChecked());
    EXPECT_EQ(d->Mode(), ColorDialog::kPagePicker);
    d->optB()->click();
    d->Command2_Click();
  });
  box_->Show();
  EXPECT_EQ(box_->Mode(), 2);
  WhileShown([](ColorDialog* d) {
    EXPECT_TRUE(d->optB()->isChecked());
    d->Command2_Click();
  });
  box_->Show();

  box_->setMode(4);
  WhileShown([](ColorDialog* d) {
    EXPECT_EQ(d->Mode(), ColorDialog::kPageWebSafe);
    EXPECT_EQ(d->cmbPreset()->currentIndex(), 2);
    d->Command2_Click();
  });
  box_->Show();
  box_->setMode(0);
  WhileShown([](ColorDialog* d) {
    EXPECT_EQ(d->Mode(), ColorDialog::kPagePicker);
    EXPECT_TRUE(d->optH()->isChecked());
    EXPECT_TRUE(d->Frame2()->isVisible());
    d->Command2_Click();
  });
  box_->Show();
}

TEST_F(ColorBoxTest, RefreshReloadsTheDialogAndAClosingBoxReleasesIt) {
  box_->Refresh();  // nothing loaded: nothing to do
  EXPECT_EQ(LoadedDialog(), nullptr);
  ColorDialog* first = nullptr;
  ColorDialog* second = nullptr;
  int shown = 0;
  box_->setColor(RgbValue(0, 128, 0));
  // A ColorChange handler asking for a reload while the dialog is open.
  QObject::connect(box_, &ColorBox::ColorChange, box_, [this] { box_->Refresh(); }, Qt::SingleShotConnection);
  QTimer::singleShot(0, [&] {
    first = LoadedDialog();
    ++shown;
    QTimer::singleShot(0, [&] {
      second = LoadedDialog();
      ++shown;
      ASSERT_NE(second, nullptr);
      EXPECT_TRUE(second->isVisible());
      second->Command2_Click();
    });
    first->SurfaceDown(QPoint(50, 50));
  });
  box_->Show();
  EXPECT_EQ(shown, 2);
  EXPECT_NE(first, second);
  EXPECT_EQ(box_->Color(), RgbValue(0, 128, 0));
  QApplication::processEvents();
  ASSERT_NE(LoadedDialog(), nullptr);
  delete box_;
  EXPECT_EQ(LoadedDialog(), nullptr);
}
