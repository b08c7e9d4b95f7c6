#pragma once
#include <QDialog>
#include <QString>
#include <QTimer>
#include <vector>

#include "core/listening_engine.h"
#include "core/material_store.h"

class QCheckBox;
class QLabel;
class QelTextMu;
class VsNetBut;
class DrawingBox;

// The dictation window "复读练习": every sentence of the open recording once,
// in a random order. The learner plays a sentence, types what was heard and
// a remark, and with the compare switch on sees the typed text drawn against
// the sentence. Closing offers to append one practice record per answered
// sentence to ProMod::ExeData; the main window then writes the file when
// EidtIsSave is set.
class ExeForm : public QDialog {
  Q_OBJECT
  Q_PROPERTY(bool EidtIsSave READ EidtIsSave)

 public:
  static constexpr int kTimerIntervalMs = 10;
  static inline const QString kTitle = QStringLiteral("复读练习");
  static inline const QString kSaveQuestion = QStringLiteral("您已经做过了部分练习，是否进行保存？");
  static inline const QString kHelpText =
      QStringLiteral("快捷键：Ctrl+S,暂停；  Ctrl+A,播放；；  Ctrl+N,下一句；；  Ctrl+P,上一句；");

  // Takes the sentences from the store and draws the practice order.
  explicit ExeForm(QWidget* parent = nullptr);
  ~ExeForm() override;

  // Records were appended to ExeData when the window closed.
  bool EidtIsSave() const { return eidtIsSave_; }

  // ---- the practice items (1 .. ItemCount()) ----
  int ItemCount() const { return static_cast<int>(items_.size()); }
  int CurrentItem() const { return current_; }
  const SentenceRecord& Item(int k) const;
  // "typed<KvqExeEnter>remark" of item k.
  QString AnswerField(int k) const;
  bool Answered(int k) const;

  // ---- handlers, as the controls and keys call them ----
  void GotoItem(int p);
  void PlayCurrent();
  void Timer2_Timer();
  void VsNetBut2_Click(int index);  // 0 previous, otherwise next
  void Check1_Click();
  void VsNetBut3_Click();
  void VsNetBut7_Click();
  void PauseAudio();

  // ---- controls, for the host's tests ----
  QelTextMu* Text1() const { return text1_; }
  QelTextMu* Text2() const { return text2_; }
  DrawingBox* Picture1() const { return picture1_; }
  QCheckBox* Check1() const { return check1_; }
  VsNetBut* Button(const QString& objectName) const;
  const QTimer& Timer2() const { return timer2_; }
  ListeningEngine& Engine() { return engine_; }

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Answer {
    QString typed;
    QString remark;
  };

  void CreateControls();
  void ConnectControls();
  void BuildOrder();
  void ShowComparison(const QString& emptyText);
  void FocusText1();
  void FormUnload();
  void AppendRecords();

  std::vector<SentenceRecord> items_;  // items_[k - 1] is item k
  std::vector<Answer> answers_;
  int current_ = 0;
  bool eidtIsSave_ = false;
  bool unloaded_ = false;
  ListeningEngine engine_;
  QTimer timer2_;

  QelTextMu* text1_ = nullptr;
  QelTextMu* text2_ = nullptr;
  DrawingBox* picture1_ = nullptr;
  QCheckBox* check1_ = nullptr;
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut2_[2] = {nullptr, nullptr};
  VsNetBut* vsNetBut3_ = nullptr;
  VsNetBut* vsNetBut6_ = nullptr;
  VsNetBut* vsNetBut7_ = nullptr;
};

// For the main window's child-window factory.
QDialog* CreateExeForm(QWidget* parent);
