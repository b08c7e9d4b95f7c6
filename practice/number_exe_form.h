#pragma once
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QelPBar;
class VsNetBut;
namespace platform {
class SpeechEngine;
}

// The number panel: a grey-to-white gradient with the number in large type
// and a frame around it. Hidden except while Ctrl is held.
class NumberPanel : public QWidget {
  Q_OBJECT

 public:
  explicit NumberPanel(QWidget* parent = nullptr);
  // The frame around the number, twips.
  QRect Shape1() const { return shape1_; }
  void setShape1(const QRect& twipsRect);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage background_;
  QRect shape1_;
};

// Number listening practice: speaks a random number of the kinds the
// learner ticked with one of the ticked voices at the chosen rate; the
// number shows only while Ctrl is held. Shift draws a new number and speaks
// it, Enter speaks it again. Nothing is stored: every opening starts from
// the same ticks and digit settings.
//
// Lengths are twips (15 to a pixel); window sizes are outer sizes, title
// bar and borders included.
class NumberExeForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWindowWidth = 9090;
  static constexpr int kWindowHeight = 6750;
  static constexpr int kNonClientWidth = 90;
  static constexpr int kNonClientHeight = 450;
  static constexpr int kOptionCount = 8;

  explicit NumberExeForm(QWidget* parent = nullptr);
  ~NumberExeForm() override;

  // The number last drawn: what is spoken and shown.
  QString NumberText() const { return numberText_; }

  // Draws a number, shows it on the panel and, when asked, speaks it.
  void NewNumber(bool speak);
  // Speaks the current number with a ticked voice picked at random.
  void SpeakNumber();
  bool PanelShown() const;

  // ---- controls, for hosts and tests ----
  QListWidget* List1() const { return list1_; }
  QListWidget* List2() const { return list2_; }
  QGroupBox* Frame1() const { return frame1_; }
  QRadioButton* Option1(int index) const;
  QelPBar* QelPBar1() const { return qelPBar1_; }
  NumberPanel* Picture1() const { return picture1_; }
  QLabel* Label1() const { return label1_; }
  VsNetBut* VsNetBut1() const { return vsNetBut1_; }
  VsNetBut* VsNetBut2() const { return vsNetBut2_; }
  VsNetBut* VsNetBut5() const { return vsNetBut5_; }
  VsNetBut* VsNetBut6() const { return vsNetBut6_; }
  platform::SpeechEngine* Engine() const { return engine_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void CreateControls();
  void LayoutControls();
  void PlaceWindow();
  void FillVoices();
  void FillKinds();
  void SetUpSpeedBar();
  QString DrawNumber();
  void PlaceNumberLabel();
  void List1_Click();
  void Option1_Click(int index);
  void SpeedBarMoved(int16_t button);
  void ShowHelp();
  bool HandleKey(QEvent* event);
  void ShowPanel();
  void HidePanel();
  void EndUtterance();

  std::shared_ptr<platform::SpeechEngine> engine_;
  QString numberText_;
  bool utteranceEnded_ = false;  // the window ended the running utterance
  QImage background_;

  QLabel* label4_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* label3_ = nullptr;
  QListWidget* list1_ = nullptr;
  QListWidget* list2_ = nullptr;
  QGroupBox* frame1_ = nullptr;
  QRadioButton* option1_[kOptionCount] = {};
  QelPBar* qelPBar1_ = nullptr;
  NumberPanel* picture1_ = nullptr;
  QLabel* label1_ = nullptr;
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut2_ = nullptr;
  VsNetBut* vsNetBut5_ = nullptr;
  VsNetBut* vsNetBut6_ = nullptr;
};

// Makes the number practice window for the main window, which shows it
// modally with the caption "数字听力练习" and deletes it afterwards.
QDialog* CreateNumberExeForm(QWidget* parent);
