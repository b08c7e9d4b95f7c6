#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/fonts.h"
#include "platform/plain_message.h"

int main(int argc, char** argv) {
  // Discovery runs the binary without the test environment: never try to
  // reach a display that is not there.
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  platform::RegisterFontSubstitutions();
  platform::SetBeepHandler([] {});
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
