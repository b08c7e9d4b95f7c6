#pragma once
#include <QDialog>
#include <QImage>
#include <QRect>
#include <cstdint>

#include "core/message_service.h"

class QLabel;
class QPlainTextEdit;
class VsNetBut;

// The system's own message window: a grey-to-white gradient background, one
// of four icons, the message, and one or two buttons "确 定" and "取 消".
// It sizes itself to the message: at least 3360 twips wide, wider by what
// the text exceeds 2100 twips, taller for every line. A message too large
// for the screen is capped and scrolls inside the window.
//
// Lengths are twips (15 to a pixel); the window sizes are outer sizes, the
// title bar and borders included.
class ZQelMsgForm : public QDialog {
  Q_OBJECT

 public:
  // Designed places, in twips.
  static constexpr int kMinWindowWidth = 3360;
  static constexpr int kWideLabelFrom = 2100;
  static constexpr int kIconLeft = 270;
  static constexpr int kIconTop = 360;
  static constexpr int kNarrowGroupSpan = 2640;  // icon and short text are centred in it
  static constexpr int kLabelAfterIcon = 660;
  static constexpr int kIconSize = 480;
  static constexpr int kLabelLeft = 930;
  static constexpr int kLabelTop = 480;
  static constexpr int kButtonGap = 270;  // between the message and the buttons
  static constexpr int kButtonWidth = 1320;
  static constexpr int kButtonHeight = 375;
  static constexpr int kButtonPairWidth = 2880;
  static constexpr int kSecondButtonOffset = 1560;
  static constexpr int kButton1DesignLeft = 240;
  static constexpr int kButton2DesignLeft = 1800;
  static constexpr int kBottomAfterButtonTop = 1050;
  // Title bar and borders, which the outer sizes include.
  static constexpr int kNonClientWidth = 90;
  static constexpr int kNonClientHeight = 450;
  // Share of the screen a window may take before its message scrolls.
  static constexpr double kScreenShare = 0.9;

  explicit ZQelMsgForm(QWidget* parent = nullptr);
  ~ZQelMsgForm() override;

  // 1 after OK, 0 after Cancel or any other way of closing.
  int32_t MyMsgBoxValue() const { return myMsgBoxValue_; }

  // Puts the request into the window and sizes it (everything but showing).
  // The icon index is expected corrected; other values show information.
  void Prepare(const ProMod::MsgBoxRequest& request);
  // Shows the window modally; returns MyMsgBoxValue.
  int Run();

  // The screen area (pixels) the window must fit in; by default the
  // available area of the screen it opens on.
  void setAvailableArea(const QRect& area) { availableArea_ = area; }

  // The computed geometry, twips.
  int WindowWidth() const { return windowWidth_; }
  int WindowHeight() const { return windowHeight_; }
  QRect LabelRect() const { return labelRect_; }
  QRect IconRect() const { return iconRect_; }
  QRect Button1Rect() const { return button1Rect_; }
  QRect Button2Rect() const { return button2Rect_; }
  bool TextScrolls() const { return textScrolls_; }
  int ShownIcon() const { return shownIcon_; }

  QLabel* Label1() const { return label1_; }
  QLabel* Image1(int index) const;
  VsNetBut* VsNetBut1() const { return vsNetBut1_; }
  VsNetBut* VsNetBut2() const { return vsNetBut2_; }

  // Presents a message request in this window: what ShowMsgBox calls once
  // the window is installed. Returns 1 for OK, 0 otherwise.
  static int Present(const ProMod::MsgBoxRequest& request);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void Ok();
  void CancelPressed();
  QRect ScreenArea() const;

  int32_t myMsgBoxValue_ = 0;
  QLabel* label1_ = nullptr;
  QPlainTextEdit* longText_ = nullptr;  // in the label's place when the message scrolls
  QLabel* image1_[4] = {nullptr, nullptr, nullptr, nullptr};
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut2_ = nullptr;
  QImage background_;
  QRect availableArea_;

  int windowWidth_ = kMinWindowWidth;
  int windowHeight_ = 0;
  QRect labelRect_, iconRect_, button1Rect_, button2Rect_;
  bool textScrolls_ = false;
  int shownIcon_ = 0;
};

// Makes ZQelMsgForm the window every ShowMsgBox call shows. The
// application calls it once at start-up.
void InstallMessageWindow();
