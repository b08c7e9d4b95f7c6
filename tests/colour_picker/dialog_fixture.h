#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_dialog_mod.h"
#include "colour_picker/colour_swatch.h"
#include "controls/text_box.h"
#include "platform/app_paths.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"

// Waits (handling events) until `done` holds or the time is up; reports
// to GoogleTest when it never held.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) {
      ADD_FAILURE() << "condition not reached within " << ms << " ms";
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A shown colour dialog on a fresh application folder, opened with
// `kOpening` in mode H; warnings are recorded, the pointer is never moved.
class ColourDialogTest : public ::testing::Test {
 protected:
  static constexpr ColourValue kOpening = RgbValue(46, 139, 205);

  void SetUp() override {
    ColorDialogMod::ResetState();
    platform::SetApplicationFolder(folder_.Path());
    ColorDialog::SetPointerWarp([this](const QPoint& global) { warps_.push_back(global); });
    dialog_ = std::make_unique<ColorDialog>();
    dialog_->SetOpeningColour(kOpening);
    dialog_->LoadMode(ColorDialogMod::kModeH);
    dialog_->show();
    dialog_->activateWindow();
    QApplication::processEvents();
  }
  void TearDown() override {
    dialog_.reset();
    ColorDialog::SetPointerWarp(nullptr);
    platform::SetApplicationFolder(QString());
    ColorDialogMod::ResetState();
  }

  ColourValue Selected() const { return dialog_->lblSelColor()->Color(); }
  QString TextOf(QelText* field) const { return field->Text(); }
  // Replaces the field's text by typing, as a user would.
  void Type(QelText* field, const QString& keys) {
    field->setFocus();
    auto* edit = static_cast<QLineEdit*>(field->Text1());
    edit->selectAll();
    if (keys.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
      return;
    }
    QTest::keyClicks(edit, keys);
  }
  ColourValue Rgb() const {
    return RgbValue(dialog_->Text1()->Text().toInt(), dialog_->Text2()->Text().toInt(), dialog_->Text3()->Text().toInt());
  }

  TempFolder folder_;
  MsgBoxRecorder messages_;
  std::vector<QPoint> warps_;
  std::unique_ptr<ColorDialog> dialog_;
};
