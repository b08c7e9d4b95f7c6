#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <vector>

#include "core/listening_engine.h"
#include "practice/practice_records.h"

class QComboBox;
class QLabel;
class MyStree;
class QelPBar;
class QelTextMu;
class VsNetBut;
class DrawingBox;

// The practice records browser "练习汇总": the practice records of the open
// recording, newest day first, filtered by day. A chosen record shows its
// comparison, typed answer and remark, plays its sentence with a draggable
// position bar, and can be deleted or have its remark changed; both rewrite
// ProMod::ExeData and set EidtIsSave, and the main window writes the file.
class ExeFindForm : public QDialog {
  Q_OBJECT
  Q_PROPERTY(bool EidtIsSave READ EidtIsSave)

 public:
  static constexpr int kTimerIntervalMs = 10;
  static inline const QString kTitle = QStringLiteral("练习汇总");
  static inline const QString kAllRecords = QStringLiteral("所有练习记录");
  static inline const QString kChooseRecord = QStringLiteral("请选择一条练习记录");
  static inline const QString kNoRecords = QStringLiteral("未读到任何有效记录。");
  static inline const QString kDeleteQuestion = QStringLiteral("您是否确定删除这项练习记录？");
  static inline const QString kHelpText = QStringLiteral("快捷键：Ctrl+S,暂停；  Ctrl+A,播放；");

  // Reads the records from the store; the parent's recordings list and
  // sentence bar ("MyStree1", "QelPBar2"), when it has them, lend their look.
  explicit ExeFindForm(QWidget* parent = nullptr);
  ~ExeFindForm() override;

  bool EidtIsSave() const { return eidtIsSave_; }

  // ---- the record list, in list order (0-based here) ----
  const std::vector<PracticeRecords::PracticeRecord>& Records() const { return records_; }
  bool Shown(int i) const { return i >= 0 && i < static_cast<int>(shown_.size()) && shown_[static_cast<size_t>(i)]; }
  // The list position of the current record, -1 for none.
  int CurrentRecord() const { return current_; }
  const QStringList& KeptPieces() const { return kept_; }

  // ---- handlers, as the controls and keys call them ----
  void Combo1_Click();
  void MyStree1_LabelClick(int index);
  void PlayRecord();
  void Timer2_Timer();
  void QelPBar2_MouseDown(int button);
  void QelPBar2_MouseUp(int button);
  void VsNetBut2_Click();  // 查看同句
  void VsNetBut4_Click();  // 删除此句
  void VsNetBut8_Click();  // 保存备注
  void VsNetBut7_Click();
  void PauseAudio();

  // ---- controls, for the host's tests ----
  QComboBox* Combo1() const { return combo1_; }
  MyStree* MyStree1() const { return myStree1_; }
  DrawingBox* Picture1() const { return picture1_; }
  QelTextMu* QelTextMu1() const { return qelTextMu1_; }
  QelTextMu* QelTextMu2() const { return qelTextMu2_; }
  QelPBar* QelPBar2() const { return qelPBar2_; }
  VsNetBut* Button(const QString& objectName) const;
  const QTimer& Timer2() const { return timer2_; }
  ListeningEngine& Engine() { return engine_; }

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void ConnectControls();
  void CopyLook(QWidget* host);
  void FormLoad();
  void FillList(const QStringList& items);
  void ResetSelection();
  void SetRecordButtons(bool enabled);
  bool ValidRecord() const { return current_ >= 0 && current_ < static_cast<int>(records_.size()); }
  void WriteRecords();

  std::vector<PracticeRecords::PracticeRecord> records_;
  QStringList kept_;
  std::vector<bool> shown_;
  std::vector<int> listed_;  // list item k shows record listed_[k - 1]
  int current_ = -1;
  bool eidtIsSave_ = false;
  bool unloaded_ = false;
  ListeningEngine engine_;
  QTimer timer2_;

  QComboBox* combo1_ = nullptr;
  MyStree* myStree1_ = nullptr;
  DrawingBox* picture1_ = nullptr;
  QelTextMu* qelTextMu1_ = nullptr;
  QelTextMu* qelTextMu2_ = nullptr;
  QelPBar* qelPBar2_ = nullptr;
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut2_ = nullptr;
  VsNetBut* vsNetBut4_ = nullptr;
  VsNetBut* vsNetBut6_ = nullptr;
  VsNetBut* vsNetBut7_ = nullptr;
  VsNetBut* vsNetBut8_ = nullptr;
};

// For the main window's child-window factory.
QDialog* CreateExeFindForm(QWidget* parent);
