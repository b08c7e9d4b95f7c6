#pragma once
#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include <optional>

#include "core/listening_engine.h"
#include "core/material_store.h"
#include "core/waveform_peaks.h"

class MyStree;
class PeakLoader;
class QProgressBar;
class WaveformStrip;
class QelPBar;
class QelTextMu;
class VsNetBut;

// A small triangle under the timeline that the learner drags to a start or
// an end. Mouse positions are reported in twips in the marker's own
// coordinates, buttons as 1 left, 2 right, 4 middle.
class TimelineMarker : public QLabel {
  Q_OBJECT
 public:
  TimelineMarker(const QColor& colour, QWidget* parent);

 signals:
  void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The segmentation editor: cuts the current recording into sentences.
//
// It works on its own copy of the sentence table (the working table,
// entries 1 .. n; list item k shows entry k) and never writes a file:
// "保 存" puts the table's text into ProMod::BaseData and sets EidtIsSave,
// and the main window, which reads that property after the window has
// closed, writes the material file and reloads the recording. The range of
// the chosen sentence is picked with two markers under a timeline of the
// whole recording and heard through the window's own ListeningEngine,
// which hands the player the range's end so nothing after it is heard.
//
// Lengths of the layout are twips; times are milliseconds.
class SetStree : public QDialog {
  Q_OBJECT
  Q_PROPERTY(bool EidtIsSave READ EidtIsSave)

 public:
  // ---- layout, twips ----
  static constexpr int kMinWidth = 13800;
  static constexpr int kMinHeight = 9900;
  static constexpr int kDefaultWidthPixels = 1000;
  static constexpr int kDefaultHeightPixels = 700;
  static constexpr int kPanelHeight = 6255;
  static constexpr int kMarkerSize = 255;
  static constexpr int kMarkerTop = 2160;
  static constexpr int kTimelineLeft = 120;
  static constexpr int kTimelineTop = 1560;
  static constexpr int kTimelineHeight = 615;
  static constexpr int kMarkerGap = 60;  // the markers never come closer
  static constexpr int kWaveTop = 2430;     // the whole recording's strip, under the markers
  static constexpr int kWaveHeight = 570;
  static constexpr int kWatchIntervalMs = 10;
  // A sentence line whose end lies at most 60 ms after its start is read
  // back without its end, so no boundary move makes a sentence shorter.
  static constexpr int32_t kShortestSentenceMs = 61;

  static inline const QString kUndefinedText = QStringLiteral("句子未定义");
  static inline const QString kUndefinedRemark = QStringLiteral("备注未定义");
  static inline const QString kDeletedCaption = QStringLiteral("此句已被临时删除");
  static inline const QString kChooseSentence = QStringLiteral("选择句子进行设置");
  static inline const QString kChooseFirst = QStringLiteral("请先选择一个句子。");
  static inline const QString kAutoSplitTitle = QStringLiteral("自动分段");
  static inline const QString kNothingToSplit =
      QStringLiteral("录音中没有找到句子之间的停顿（可能是静音、噪声或单一的声音），无法自动分段。");
  static inline const QString kWaveformPending = QStringLiteral("波形还在计算中，请稍候再试。");
  static inline const QString kWaveformFailed = QStringLiteral("无法读取录音的波形，无法自动分段。");

  // The list and bars whose look the editor takes (the main window's
  // sentence list, whole-recording bar and sentence bar); any may be null.
  SetStree(QWidget* parent, const MyStree* listLook = nullptr, const QelPBar* wholeBarLook = nullptr,
           const QelPBar* sentenceBarLook = nullptr);
  ~SetStree() override;

  // Where "导入LRC" gets its file from. The default asks with the
  // platform's open-file dialog; "" means cancelled.
  using SubtitleFileChooser = std::function<QString(QWidget* owner)>;
  static void SetSubtitleFileChooser(SubtitleFileChooser chooser);  // empty restores the dialog

  // ---- state ----
  bool EidtIsSave() const { return eidtIsSave_; }
  int CurrentSentence() const { return current_; }
  bool Loading() const { return loading_; }
  int32_t SelectionStart() const { return selStart_; }
  int32_t SelectionEnd() const { return selEnd_; }
  int Count() const { return static_cast<int>(table_.size()) - 1; }
  // Working entry k (1 .. Count()); an empty record out of range.
  const SentenceRecord& Entry(int k) const;
  // What saving would write now differs from what was opened or saved last.
  bool HasUnsavedChanges() const;
  // The sentence section text the working table gives (deleted entries left out).
  QString SentenceSection() const;
  const ListeningEngine& Engine() const { return engine_; }
  int32_t MarkerMinLeft() const { return markerMinLeft_; }
  int32_t MarkerMaxLeft() const { return markerMaxLeft_; }
  int32_t MarkerLeft(int i) const { return markerLeft_[i & 1]; }
  int TimelineWidth() const;  // twips

  // ---- controls ----
  MyStree* MyStree1() const { return myStree1_; }
  QelTextMu* QelText1() const { return qelText1_; }
  QelTextMu* QelText2() const { return qelText2_; }
  QelPBar* QelPBar1() const { return qelPBar1_; }
  QelPBar* QelPBar2() const { return qelPBar2_; }
  TimelineMarker* Picture1(int i) const { return picture1_[i & 1]; }
  QWidget* Picture2() const { return picture2_; }
  QWidget* Picture3() const { return picture3_; }
  QLabel* Label4() const { return label4_; }
  QLabel* Label3(int i) const { return label3_[i & 3]; }
  VsNetBut* Command1(int k) const { return command1_[k]; }
  VsNetBut* VsNetBut8(int k) const { return vsNetBut8_[k]; }
  VsNetBut* VsNetBut2(int i) const { return vsNetBut2_[i & 1]; }
  VsNetBut* VsNetNext() const { return vsNetNext_; }
  VsNetBut* VsNetButton(int number) const;  // VsNetBut1, 3, 4, 5, 6, 7
  QTimer* Timer1() { return &timer1_; }
  VsNetBut* AutoSplitButton() const { return VsNetButton(9); }  // "自动分段"
  // 0: the whole recording, under the timeline; 1: the chosen range with
  // its surroundings, under the magnified bar.
  WaveformStrip* Waveform(int i) const { return waveform_[i & 1]; }
  QProgressBar* WaveformProgress() const { return waveformProgress_; }
  PeakLoader* Loader() const { return loader_; }
  // The peaks shown: the full ones, else the coarse outline, else none.
  const WaveformPeaks* ShownPeaks() const;

  // ---- procedures ----
  // Moves one boundary of working entry GetEditSenId (0: the current one,
  // and it is set to it). See the window's notes in set_stree.cpp.
  void MinChangeTime(int16_t ChangeTime, bool IsStart, bool IsGoback, bool ClickRefresh, int16_t& GetEditSenId);
  // Shows entry i in the editing panel (the list's mark stays where it is).
  void SelectSentence(int i);

  // ---- handlers, callable as the events call them ----
  void MyStree1_LabelClick(int i);
  void QelText1_Change();
  void QelText2_Change();
  void Command1_Click(int k);
  void VsNetBut8_Click(int k);
  void VsNetNext_Click();
  void VsNetBut2_Click(int i);  // 0 "删除此句", 1 "恢复此句"
  void VsNetBut4_Click();       // "句前插入"
  void AppendSentence();        // "尾部新增" and "新增一句"
  void VsNetBut5_Click();       // "导入LRC"
  void VsNetBut1_Click();       // "保 存"
  void VsNetBut3_Click();       // "退 出"
  void VsNetBut9_Click();       // "自动分段"
  void Picture1_MouseDown(int i, int16_t Button, float X);
  void Picture1_MouseMove(int i, int16_t Button, float X);
  void Picture1_MouseUp(int i, int16_t Button);
  void QelPBar2_MouseDown(int16_t Button);
  void QelPBar2_MouseUp(int16_t Button);
  void Timer1_Timer();

 public slots:
  void done(int result) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TwipBox {
    int Left = 0, Top = 0, Width = 0, Height = 0;
  };

  void CreateControls();
  void CreatePanel();
  void CreateNudgeButtons();
  void CreateOverlay();
  void CreateWaveform();
  void StartWaveform();
  void RefreshWaveform();
  void PeaksArrived(bool ok);
  VsNetBut* MakeButton(QWidget* parent, const QString& name, const QString& caption);
  void ConnectControls();
  void TakeLook(const MyStree* listLook, const QelPBar* wholeBarLook, const QelPBar* sentenceBarLook);
  void FormLoad();
  void Layout();
  void LayoutPanel(int panelWidth);
  void Place(QWidget* w, const TwipBox& box);

  void FillList();
  bool RequireSentence();
  void Halt();
  void ShowOverlay(const QString& text, bool restoreButton);
  static SentenceRecord NewSentence(int index, int32_t from, int32_t to);
  bool CanGrow();

  // Timeline
  void ComputeMarkerLimits();
  void ShowRange(int32_t s, int32_t e);
  void PlaceMarker(int i, int32_t left);
  int32_t MarkerLeftFor(int32_t time) const;
  void BringMagnifiedBar(int32_t s, int32_t e);
  QString RangeCaption() const;
  QString DragCaption(int i, bool withPosition) const;
  void KeepRangeValid(int32_t& s, int32_t& e) const;
  void StartWatch(int32_t from);

  // controls
  MyStree* myStree1_ = nullptr;
  QWidget* picture2_ = nullptr;
  QWidget* picture3_ = nullptr;
  QLabel* textLabel_ = nullptr;
  QLabel* remarkLabel_ = nullptr;
  QelTextMu* qelText1_ = nullptr;
  QelTextMu* qelText2_ = nullptr;
  QelPBar* qelPBar1_ = nullptr;
  QelPBar* qelPBar2_ = nullptr;
  std::array<TimelineMarker*, 2> picture1_{};
  std::array<QLabel*, 4> label3_{};
  std::array<VsNetBut*, 12> command1_{};
  std::array<VsNetBut*, 16> vsNetBut8_{};
  std::array<VsNetBut*, 2> vsNetBut2_{};
  VsNetBut* vsNetNext_ = nullptr;
  std::map<int, VsNetBut*> buttons_;
  QLabel* label4_ = nullptr;
  std::array<WaveformStrip*, 2> waveform_{};
  QProgressBar* waveformProgress_ = nullptr;
  PeakLoader* loader_ = nullptr;
  QTimer timer1_;
  std::map<const QWidget*, TwipBox> geometry_;

  // state
  std::vector<SentenceRecord> table_;  // [0] unused; entries 1 .. n
  int current_ = 0;
  bool loading_ = false;
  int32_t selStart_ = 0;
  int32_t selEnd_ = 0;
  int32_t markerMinLeft_ = 0;
  int32_t markerMaxLeft_ = 0;
  std::array<int32_t, 2> markerLeft_{};
  float dragAnchor_ = 0;
  bool eidtIsSave_ = false;
  QString savedSection_;  // what the last save (or the opening) amounts to
  std::optional<WaveformPeaks> peaks_;   // the full peaks, once computed
  std::optional<WaveformPeaks> coarse_;  // the outline shown until then
  bool peaksFailed_ = false;
  ListeningEngine engine_;
};

// The factory the main window's child-window procedure uses: the editor for
// the current recording, looking like the main window's list and bars.
QDialog* CreateSetStree(QWidget* parent);
