#pragma once
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "editor/appearance_file.h"
#include "app/online_lists.h"
#include "core/listening_engine.h"

class QCheckBox;
class QComboBox;
class QWheelEvent;
struct ListeningSettings;
class QKeyEvent;
class QLabel;
class MyStree;
class QelPBar;
class QelTextMu;
class VsNetBut;
class PictureBox;
class ClickLabel;

// A rectangle in twips (1/1440 inch, 15 to a pixel at 96 dots per inch).
struct TwipRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
};

// The start-up window and hub: the category and recording lists, the
// sentence list with its remark box, the position bars, the play and pause
// images, the repeat switches and the toolbar that opens every other window.
//
// The window holds no audio of its own: it opens the current recording
// through SoundMod and polls its position every 10 ms while it plays
// (Timer3). All lengths of the layout are twips and are converted to pixels
// only where a control is placed.
class MainForm : public QWidget {
  Q_OBJECT

 public:
  // ---- layout, twips ----
  static constexpr int kMinWidth = 12000;
  static constexpr int kMinHeight = 9000;
  static constexpr int kToolbarHeight = 855;     // Picture2
  static constexpr int kLeftStripWidth = 60;     // Picture1
  static constexpr int kListLeft = 60;           // MyStree1 and Combo1
  static constexpr int kRecordingListWidth = 3300;
  static constexpr int kComboHeight = 375;
  static constexpr int kCheckBoxWidth = 240;
  static constexpr int kCheckBoxHeight = 375;
  static constexpr int kRemarkHeight = 900;      // QelTextMu1
  static constexpr int kSaveButtonWidth = 1200;  // "保存备注"
  static constexpr int kSaveButtonHeight = 480;
  static constexpr int kImageSize = 600;         // play and pause images
  static constexpr int kSentenceBarHeight = 360;
  static constexpr int kToolButtonWidth = 840;
  static constexpr int kToolButtonHeight = 780;
  static constexpr int kToolButtonTop = 38;
  static constexpr int kToolSeparatorWidth = 180;
  static constexpr int kLinkImageWidth = 4200;
  static constexpr int kLinkImageHeight = 720;
  static constexpr int kPollIntervalMs = 10;
  static constexpr int kLinkRotationMs = 30000;
  // The window's first size (pixels), comfortable on a 1280 x 800 screen.
  static constexpr int kDefaultWidthPixels = 1060;
  static constexpr int kDefaultHeightPixels = 700;

  // Texts of the window.
  static inline const QString kLinkLine = QStringLiteral("点击访问Velmo女孩主页，下载更多音频资料、电子书、软件。");
  static inline const QString kShoppingLine = QStringLiteral(
      "Velmo女孩全球网购体验-淘宝精选,皇冠大全所有商品均来自淘宝网,请大家放心选购,点击进入!");
  // The material server's home page: the built-in advertising link
  // (LinkAddresses(0)) and the web site the messages name. Empty when the
  // build names no material server.
  static QString HomePage();
  static QString BuiltInLink();

  // The windows the toolbar opens. A replaceable factory lets tests supply
  // their own dialogs; where it gives none, the real window is made.
  enum class ChildWindow { SetStree, ExeForm, ExeFindForm, NumberExeForm, SetForm };
  using ChildWindowFactory = std::function<QDialog*(ChildWindow which, QWidget* parent)>;
  static void SetChildWindowFactory(ChildWindowFactory factory);  // empty restores the real windows

  explicit MainForm(QWidget* parent = nullptr);
  ~MainForm() override;

  // ---- public members other windows use ----
  // Set by a child window that changed the store and wants it saved.
  bool EidtIsSave() const { return eidtIsSave_; }
  void setEidtIsSave(bool value) { eidtIsSave_ = value; }
  // The one entry to playback: PlayId is a sentence's table index (0 = the
  // whole recording), GetStar and GetEnd positions in ms (GetEnd -1 = the
  // end of the recording).
  void PlayPara(int16_t PlayId, int32_t GetStar, int32_t GetEnd);

  // The check-box row and the toolbar buttons by their numbers.
  enum CheckBox { kHideText = 0, kLoopRecording = 1, kLoopSentence = 2, kCheckCount = 3 };
  enum ToolButton {
    kSettingsButton = 1,      // "窗口设置"
    kSegmentButton = 2,       // "语音分段"
    kDictationButton = 3,     // "复读练习"
    kRecordsButton = 4,       // "练习汇总"
    kNumbersButton = 5,       // "数字听力"
    kQuitButton = 6,          // "退 出"
    kHelpButton = 7,          // "帮 助"
    kSaveRemarkButton = 8,    // "保存备注"
    kNewMaterialsButton = 9,  // "最新资料"
  };

  // ---- window state ----
  // What is being listened to; the bars and images only show it.
  const ListeningEngine& Engine() const { return engine_; }
  int16_t CurrentSentence() const { return static_cast<int16_t>(engine_.Current()); }
  int16_t NextSentence() const { return static_cast<int16_t>(engine_.Next()); }
  int32_t PlayEnd() const { return engine_.PlayEnd(); }
  // Table index of the sentence the remark box belongs to (0: none); the
  // remark save writes there.
  int RemarkSentence() const { return remarkIndex_; }
  const QStringList& LinkAddresses() const { return linkAddresses_; }

  // ---- controls ----
  QWidget* Picture1() const { return picture1_; }
  QWidget* Picture2() const { return picture2_; }
  QComboBox* Combo1() const { return combo1_; }
  MyStree* MyStree1() const { return myStree1_; }
  MyStree* MyStree2() const { return myStree2_; }
  QelTextMu* QelTextMu1() const { return qelTextMu1_; }
  QelPBar* QelPBar1() const { return qelPBar1_; }
  QelPBar* QelPBar2() const { return qelPBar2_; }
  // 0 = the pause image (shown while playing), 1 = the play image.
  PictureBox* ImageMp3Click(int index) const;
  QCheckBox* Check1(int index) const;
  QLabel* LabelCheck(int index) const;
  PictureBox* UrlImage(int index) const;
  // VsNetBut1 .. VsNetBut9 by number (nullptr for others).
  VsNetBut* VsNetButton(int number) const;
  VsNetBut* VsNetBut8() const { return VsNetButton(8); }  // "保存备注"
  const std::vector<VsNetBut*>& VsNetTopSp() const { return separators_; }
  QTimer* Timer3() { return &timer3_; }
  QTimer* Timer1() { return &timer1_; }
  // Where a control was placed, in twips (all zero for an unknown widget).
  TwipRect Geometry(const QWidget* control) const;

  // Speech speed (0.5 .. 1.5, steps of 0.05) and the shadowing controls.
  void SetSpeechSpeed(double speed);
  void StepSpeed(int steps);
  QLabel* SpeedValue() const;
  VsNetBut* SpeedButton(bool faster) const { return faster ? faster_ : slower_; }
  QCheckBox* ShadowCheck() const { return shadowCheck_; }
  QComboBox* ShadowCount() const { return shadowCount_; }
  QComboBox* ShadowPause() const { return shadowPause_; }

  // ---- event handlers, callable as the events would call them ----
  void Combo1_Click();
  // A recording chosen (item a of the recording list).
  void MyStree1_LabelClick(int a);
  // A sentence list item clicked (item k).
  void MyStree2_LabelClick(int k);
  void Timer3_Timer();
  void PauseImage_Click();  // ImageMp3Click(0)
  void PlayImage_Click();   // ImageMp3Click(1)
  void Check1_Click(int index);
  void LabelCheck_Click(int index);
  void SaveRemark_Click();  // "保存备注"
  void UrlImage_Click(int index);
  // Link image rotation: one of the downloaded link images, at random.
  void Timer1_Timer();
  // A key seen by the window before the focused control (key preview).
  void PreviewKey(int16_t KeyAscii);

  // Toolbar actions.
  void OpenSegmentation();  // "语音分段"
  void OpenDictation();     // "复读练习"
  void OpenRecords();       // "练习汇总"
  void OpenNumberPractice();  // "数字听力"
  void OpenSettings();      // "窗口设置"
  void ShowNewMaterials();  // "最新资料"
  void ShowHelp();          // "帮 助"

  // Shows a child window modally after pausing playback; afterwards saves
  // the material file and reloads the recording when the window has set
  // EidtIsSave. A non-empty refusal is shown instead when no recording is
  // loaded. Returns false when refused.
  bool ShowChildWindow(QDialog* window, const QString& caption, const QString& refusal);

  // Reads FaceSet.ini and applies it to the lists, the bars and the remark box.
  void ReadAppearance();
  void ApplyAppearance(const std::vector<appearance::Setting>& settings);

  // The start-up fetch of the online lists: shows the built-in link image
  // with the built-in link, and once the window's first frame is on the
  // screen fetches the start-up page and the link images in the background.
  // Nothing is fetched without a material server.
  void LoadOnlineLists();
  // Whether an online list or picture is being fetched (or the start-up
  // fetch waits for the first frame).
  bool FetchingOnline() const;

  // The texts of the two messages, built as the user sees them.
  QString MissingMaterialMessage() const;
  QString HelpMessage() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void CreateToolbar();
  void ConnectControls();
  void SetDesignAppearance();
  void FormLoad();
  void StartupLayout();
  void FitToWindow();
  void Picture1_Resize();
  void Picture2_Resize();
  void Place(QWidget* control, const TwipRect& rect);
  QString SentenceCaption(int32_t elapsed, int32_t length) const;
  void PlaceField(QWidget* control, int TwipRect::*field, int value);
  void PlaceLeft(QWidget* control, int left);
  void PlaceTop(QWidget* control, int top);
  void PlaceWidth(QWidget* control, int width);
  void PlaceHeight(QWidget* control, int height);
  int LabelWidthTwips(const QLabel* label) const;
  void LayoutCheckRow();

  void SetRecordingButtonsEnabled(bool segment, bool dictation, bool records, bool saveRemark);
  void UpdateRemarkBox();
  bool RemarkEdited() const;
  // Asks whether a changed remark is to be saved before the box moves on.
  void SettleRemark();
  void ShowPauseImage(bool playing);
  bool PauseImageShown() const;
  void ShowMode();
  void ShowSentenceRange();
  void ShowPosition(const ListeningEngine::Tick& tick);
  void ShowFollowed(int index);
  void OpenChosenRecording(int item);
  // Speed and shadowing (app/speed_and_shadowing.cpp).
  void CreateListeningControls();
  void LayoutListeningControls();
  void ApplyListeningSettings(const ListeningSettings& settings);
  ListeningSettings CurrentListeningSettings() const;
  void ShadowingChanged();
  bool SpeedWheel(QWheelEvent* event);
  QString ShadowCaption() const;
  void KeyR();
  void KeyA();
  void KeyS();
  void KeyH();
  void WholeBar_MouseDown(int16_t Button);
  void WholeBar_MouseMove(int16_t Button);
  void WholeBar_MouseUp(int16_t Button);
  void SentenceBar_MouseDown(int16_t Button);
  void SentenceBar_MouseMove(int16_t Button);
  void SentenceBar_MouseUp(int16_t Button);
  QString WholeCaption(const QString& separator) const;
  bool PreviewKeyEvent(QObject* watched, QKeyEvent* event);
  QDialog* MakeChildWindow(ChildWindow which);
  void RunChildWindow(ChildWindow which, const QString& caption, const QString& refusal);
  // Online lists (main_form_online.cpp).
  static QString WebSiteLine();
  void ShowBuiltInLink();
  void StartOnlineFetch();
  void AutoPageArrived(const QString& path);
  void LinkListArrived(const QString& path);
  void ShowLinkImages(const std::vector<online::LinkEntry>& entries, const std::vector<QImage>& pictures);
  void NewMaterialsArrived(const QString& path);
  void OpenNewDataForm(const std::vector<online::MaterialEntry>& entries);

  // controls
  QWidget* picture1_ = nullptr;
  QWidget* picture2_ = nullptr;
  QWidget* toolbarEdge_ = nullptr;  // the line under the toolbar
  QComboBox* combo1_ = nullptr;
  MyStree* myStree1_ = nullptr;
  MyStree* myStree2_ = nullptr;
  QelTextMu* qelTextMu1_ = nullptr;
  QelPBar* qelPBar1_ = nullptr;
  QelPBar* qelPBar2_ = nullptr;
  std::array<PictureBox*, 2> imageMp3Click_{};
  std::array<QCheckBox*, kCheckCount> check1_{};
  std::array<ClickLabel*, kCheckCount> labelCheck_{};
  std::vector<PictureBox*> urlImage_;
  std::map<int, VsNetBut*> buttons_;
  std::vector<VsNetBut*> separators_;
  QTimer timer3_;
  QTimer timer1_;
  std::map<const QWidget*, TwipRect> geometry_;

  // window state
  ListeningEngine engine_;
  QStringList linkAddresses_;
  bool eidtIsSave_ = false;
  int remarkIndex_ = 0;   // table index the remark box belongs to
  QString remarkShown_;   // the text the box was given; anything else is an edit
  // Recording list item of the open recording (0 = none).
  int openRecordingItem_ = 0;
  bool loaded_ = false;  // the start-up has run
  // speed and shadowing
  QLabel* speedLabel_ = nullptr;
  VsNetBut* slower_ = nullptr;
  ClickLabel* speedValue_ = nullptr;
  VsNetBut* faster_ = nullptr;
  QCheckBox* shadowCheck_ = nullptr;
  ClickLabel* shadowLabel_ = nullptr;
  QComboBox* shadowCount_ = nullptr;
  QComboBox* shadowPause_ = nullptr;
  // Key events the window passes on itself after looking at them.
  std::vector<const QEvent*> keysInFlight_;
  // Online lists: the start-up fetch waits for the first frame; the start-up
  // lists and "最新资料" have a downloader each. Last, so that they are gone
  // (and their downloads cancelled) before anything their answers touch.
  QPointer<QObject> firstPaintWatch_;
  std::unique_ptr<online::Downloader> startupDownloads_;
  std::unique_ptr<online::Downloader> newMaterialsDownloads_;
};
