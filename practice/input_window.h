#pragma once
#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>

class QLabel;
class QelText;
class VsNetBut;

// Asks for one line of text in the style of the message window: gradient
// background, an icon, the prompt, a text box and the buttons "确 定" and
// "取 消". The text box keeps its default digits-only filter (a host that
// wants free text switches OnlyNumber off through QelText1()). Enter in the
// box acts as OK; Esc and the close box as Cancel.
class ZQelInputForm : public QDialog {
  Q_OBJECT

 public:
  // Designed places, twips (outer window sizes include title bar and borders).
  static constexpr int kWindowWidth = 5400;
  static constexpr int kIconLeft = 270;
  static constexpr int kIconTop = 360;
  static constexpr int kLabelLeft = 930;
  static constexpr int kLabelTop = 360;
  static constexpr int kLabelWidth = 4080;
  static constexpr int kTextGap = 180;
  static constexpr int kTextHeight = 330;
  static constexpr int kButtonGap = 300;
  static constexpr int kButtonWidth = 1320;
  static constexpr int kButtonHeight = 375;
  static constexpr int kSecondButtonOffset = 1560;
  static constexpr int kBottomAfterButtonTop = 1050;
  static constexpr int kNonClientWidth = 90;
  static constexpr int kNonClientHeight = 450;
  static constexpr int kMaxLabelHeight = 4500;  // longer prompts are cut off

  explicit ZQelInputForm(QWidget* parent = nullptr);
  ~ZQelInputForm() override;

  // The text of the box after OK; "" after Cancel or closing.
  QString MyInputValue() const { return myInputValue_; }

  // Puts the prompt, title (empty: the application title) and icon (0..3,
  // others: information) into the window and sizes it.
  void Prepare(const QString& prompt, const QString& title, int16_t iconIndex = 0);
  // Shows the window modally; 1 after OK, 0 otherwise.
  int Run();

  QLabel* Label1() const { return label1_; }
  QLabel* Image1() const { return image1_; }
  QelText* QelText1() const { return qelText1_; }
  VsNetBut* VsNetBut1() const { return vsNetBut1_; }
  VsNetBut* VsNetBut2() const { return vsNetBut2_; }

  // Height of the outer window, twips, after Prepare.
  int WindowHeight() const { return windowHeight_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  void Ok();
  void CancelPressed();

  QString myInputValue_;
  bool confirmed_ = false;
  QLabel* label1_ = nullptr;
  QLabel* image1_ = nullptr;
  QelText* qelText1_ = nullptr;
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut2_ = nullptr;
  QImage background_;
  int windowHeight_ = 0;
};
