#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "controls/colour_value.h"
#include "editor/appearance_file.h"

class ColorBox;
class ColourSwatch;
class MyStree;
class QComboBox;
class QLabel;
class QelPBar;
class QelText;
class QelTextMu;
class VsNetBut;

// The main window's controls whose look the appearance dialog edits; any
// may be null (then nothing of it is shown or changed).
struct SetFormTargets {
  MyStree* recordingList = nullptr;  // MyStree1
  MyStree* sentenceList = nullptr;   // MyStree2
  QelPBar* wholeBar = nullptr;       // QelPBar1
  QelPBar* sentenceBar = nullptr;    // QelPBar2
  QelTextMu* remarkBox = nullptr;    // QelTextMu1, framed like the whole-recording bar
};

// "窗口界面设置": the colours, gradient angles and sentence font of the main
// window. It keeps no settings of its own: the swatches, the angle boxes and
// the sample text hold the values, and every change goes straight to the
// main window's controls. "保 存" writes them all to FaceSet.ini; the main
// window reads that file again when the dialog has closed, so unsaved
// changes fall back to the file's values.
class SetForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSwatchCount = 25;
  static constexpr int kPreviewIntervalMs = 30;
  static constexpr std::array<int16_t, 5> kFontSizes = {10, 12, 16, 20, 24};
  static inline const QString kCaption = QStringLiteral("窗口界面设置");
  static inline const QString kSampleText = QStringLiteral("句子选择框文字示例 Aa Bb Cc Xx Yy Zz");
  static inline const QString kPreviewCaption = QStringLiteral("Velmo复读机");
  static inline const QString kSaveFailed =
      QStringLiteral("窗口界面设置没有保存，原来的 FaceSet.ini 保持不变。\r\n"
                     "请检查程序文件夹是否可写、FaceSet.ini 是否被设为只读。");

  SetForm(QWidget* parent, const SetFormTargets& targets);
  ~SetForm() override;

  // Where the font list comes from. The default is the screen's font
  // families; an empty source restores it.
  using FontFamilySource = std::function<QStringList()>;
  static void SetFontFamilySource(FontFamilySource source);
  // The font names the list offers, in the source's order, without the
  // vertical-writing variants (names starting with "@").
  static QStringList FontNames();

  // A size that is not one of the five buttons' moves up to the next one
  // (at most 10 gives 10, above 20 gives 24).
  static int16_t NextFontSize(int16_t size);
  // The fixed rule for near-black colours: c mod 65025 < 44 and
  // c / 65025 < 44 (c the colour as a number).
  static bool NearBlack(ColourValue colour);
  // A caption readable on `swatch`: white on near-black and dark colours,
  // black on light ones. System colours are judged by what they show.
  static ColourValue CaptionColourFor(ColourValue swatch);

  // ---- state ----
  bool Loading() const { return loading_; }
  // The angle box k (0 recording list, 1 sentence list) as a number: its
  // leading decimal number to the nearest 16-bit whole number; 0 when the
  // text does not start with a number. A box left as it opened gives the
  // list's angle then, also one too long for its three characters.
  int16_t Angle(int k) const;
  // What "保 存" writes: the 25 colours, the two angles, size and font.
  std::vector<appearance::Setting> CurrentSettings() const;
  // The swatch's colour and its caption's.
  ColourValue SwatchColour(int i) const;
  ColourValue CaptionColour(int i) const;
  QString SampleFontName() const;
  int16_t SampleFontSize() const;
  const SetFormTargets& Targets() const { return targets_; }

  // ---- controls (indices out of range give null) ----
  ColourSwatch* Picture1(int i) const;
  QLabel* Label1(int i) const;
  QelText* QelText1(int k) const;
  QLabel* Label2(int i) const;
  QComboBox* Combo1() const { return combo1_; }
  VsNetBut* FontSizeSelect(int size) const;
  QLabel* Label3() const { return label3_; }
  QelPBar* QelPBar1() const { return qelPBar1_; }
  QelPBar* QelPBar2() const { return qelPBar2_; }
  VsNetBut* Command3() const { return command3_; }
  const QTimer& Timer1() const { return timer1_; }
  ColorBox* ColorBox1() const { return colorBox1_; }
  VsNetBut* VsNetBut1() const { return vsNetBut1_; }
  VsNetBut* VsNetBut3() const { return vsNetBut3_; }

  // ---- handlers ----
  // Opens the colour picker with swatch i's colour and applies its answer.
  void Picture1_Click(int i);
  // Swatch i, its target (and preview bar) take `colour`.
  void ApplyColour(int i, ColourValue colour);
  void Combo1_Click();
  void FontSizeSelect_Click(int size);
  void QelText1_Change(int k);
  void Command3_Click();  // "预 览"
  void Timer1_Timer();
  // "保 存": false (and the user told) when the file could not be written.
  bool VsNetBut1_Click();
  void VsNetBut3_Click();  // "退 出"

 protected:
  void done(int result) override;

 private:
  void CreateControls();
  void LayoutControls();
  void Connect();
  void Load();
  void LoadFonts();
  void LoadFontSize();
  void LoadColours();
  void SetCaptionColour(int i);
  ColourValue TargetColour(int i) const;
  void SetTargetColour(int i, ColourValue colour);
  MyStree* AngleTarget(int k) const;
  void SetSampleFont(const QString& name, int16_t size);

  SetFormTargets targets_;
  bool loading_ = false;
  std::array<ColourSwatch*, kSwatchCount> picture1_{};
  std::array<QLabel*, kSwatchCount> label1_{};
  std::array<QelText*, 2> qelText1_{};
  std::array<int16_t, 2> openedAngle_{};  // the lists' angles at opening
  std::array<bool, 2> angleEdited_{};     // the box changed since
  std::array<QLabel*, 4> label2_{};
  QComboBox* combo1_ = nullptr;
  std::map<int, VsNetBut*> fontSizeSelect_;
  QLabel* label3_ = nullptr;
  QelPBar* qelPBar1_ = nullptr;
  QelPBar* qelPBar2_ = nullptr;
  VsNetBut* command3_ = nullptr;
  QTimer timer1_;
  ColorBox* colorBox1_ = nullptr;
  VsNetBut* vsNetBut1_ = nullptr;
  VsNetBut* vsNetBut3_ = nullptr;
};

// The factory the main window's "窗口设置" uses: the dialog on the parent's
// MyStree1, MyStree2, QelPBar1, QelPBar2 and QelTextMu1 (found by name).
QDialog* CreateSetForm(QWidget* parent);
