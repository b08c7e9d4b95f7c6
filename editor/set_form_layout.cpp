// The controls of the appearance dialog and where they stand.
#include <QComboBox>
#include <QLabel>

#include "colour_picker/colour_box.h"
#include "colour_picker/colour_swatch.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "editor/set_form.h"

namespace {

// Pixels. The swatches stand in four columns, one for each control they
// colour: recording list, sentence list, whole-recording bar, sentence bar.
constexpr int kMargin = 12;
constexpr int kSwatchWidth = 196;
constexpr int kSwatchHeight = 26;
constexpr int kSwatchPitchX = 204;
constexpr int kSwatchPitchY = 32;
constexpr int kColumnStarts[] = {0, 7, 13, 19, 25};
constexpr int kSettingsTop = kMargin + 7 * kSwatchPitchY + 12;
constexpr int kRowHeight = 26;
constexpr int kWidth = 2 * kMargin + 4 * kSwatchPitchX - (kSwatchPitchX - kSwatchWidth);
constexpr int kHeight = kSettingsTop + 262;

VsNetBut* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* b = new VsNetBut(parent);
  b->setObjectName(name);
  b->setCaption(caption);
  b->setShowEdgeOnNoFocus(true);
  b->setCaptionAreaPercent(100);  // no picture: the caption takes the whole button
  return b;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QRect SwatchRect(int i) {
  int column = 0;
  while (i >= kColumnStarts[column + 1]) ++column;
  const int row = i - kColumnStarts[column];
  return {kMargin + column * kSwatchPitchX, kMargin + row * kSwatchPitchY, kSwatchWidth, kSwatchHeight};
}

}  // namespace

void SetForm::CreateControls() {
  for (int i = 0; i < kSwatchCount; ++i) {
    picture1_[i] = new ColourSwatch(this);
    picture1_[i]->setObjectName(QStringLiteral("Picture1_%1").arg(i));
    picture1_[i]->setCursor(Qt::PointingHandCursor);
    label1_[i] = new QLabel(appearance::Keys()[static_cast<size_t>(i)].key, picture1_[i]);
    label1_[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    label1_[i]->setAlignment(Qt::AlignCenter);
    // A click on the caption is a click on its swatch.
    label1_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  const QString angleCaptions[] = {QStringLiteral("文件选择框背景色角度"), QStringLiteral("句子选择框背景色角度"),
                                   QStringLiteral("字体"), QStringLiteral("字号")};
  for (int i = 0; i < 4; ++i) label2_[i] = MakeLabel(this, QStringLiteral("Label2_%1").arg(i), angleCaptions[i]);
  for (int k = 0; k < 2; ++k) {
    qelText1_[k] = new QelText(this);
    qelText1_[k]->setObjectName(QStringLiteral("QelText1_%1").arg(k));
    qelText1_[k]->setAlignment(2);
    qelText1_[k]->setMaxLength(3);
  }
  combo1_ = new QComboBox(this);
  combo1_->setObjectName(QStringLiteral("Combo1"));
  combo1_->setEditable(false);
  combo1_->setMaxVisibleItems(20);
  const QString sizeCaptions[] = {QStringLiteral("小"), QStringLiteral("较小"), QStringLiteral("中"),
                                  QStringLiteral("较大"), QStringLiteral("大")};
  for (size_t k = 0; k < kFontSizes.size(); ++k)
    fontSizeSelect_[kFontSizes[k]] =
        MakeButton(this, QStringLiteral("FontSizeSelect_%1").arg(kFontSizes[k]), sizeCaptions[k]);
  label3_ = new QLabel(kSampleText, this);
  label3_->setObjectName(QStringLiteral("Label3"));
  label3_->setAlignment(Qt::AlignCenter);
  label3_->setFrameShape(QFrame::StyledPanel);
  QelPBar** previews[] = {&qelPBar1_, &qelPBar2_};
  for (int k = 0; k < 2; ++k) {
    *previews[k] = new QelPBar(this);
    (*previews[k])->setObjectName(QStringLiteral("QelPBar%1").arg(k + 1));
    (*previews[k])->setCaption(kPreviewCaption);
    (*previews[k])->setCanDrag(true);
  }
  command3_ = MakeButton(this, QStringLiteral("Command3"), QStringLiteral("预 览"));
  timer1_.setInterval(kPreviewIntervalMs);
  colorBox1_ = new ColorBox(this);
  colorBox1_->setObjectName(QStringLiteral("ColorBox1"));
  colorBox1_->hide();  // only the launcher of the picker
  vsNetBut1_ = MakeButton(this, QStringLiteral("VsNetBut1"), QStringLiteral("保 存"));
  vsNetBut3_ = MakeButton(this, QStringLiteral("VsNetBut3"), QStringLiteral("退 出"));
}

void SetForm::LayoutControls() {
  setFixedSize(kWidth, kHeight);
  for (int i = 0; i < kSwatchCount; ++i) {
    picture1_[i]->setGeometry(SwatchRect(i));
    label1_[i]->setGeometry(0, 0, kSwatchWidth, kSwatchHeight);
  }
  int y = kSettingsTop;
  label2_[0]->setGeometry(kMargin, y, 160, kRowHeight);
  qelText1_[0]->setGeometry(kMargin + 166, y, 56, kRowHeight);
  label2_[1]->setGeometry(kMargin + 240, y, 160, kRowHeight);
  qelText1_[1]->setGeometry(kMargin + 406, y, 56, kRowHeight);
  y += 38;
  label2_[2]->setGeometry(kMargin, y, 40, kRowHeight);
  combo1_->setGeometry(kMargin + 46, y, 260, kRowHeight);
  label2_[3]->setGeometry(kMargin + 320, y, 40, kRowHeight);
  int x = kMargin + 366;
  for (int16_t s : kFontSizes) {
    fontSizeSelect_[s]->setGeometry(x, y, 60, kRowHeight);
    x += 66;
  }
  y += 38;
  label3_->setGeometry(kMargin, y, kWidth - 2 * kMargin, 56);
  y += 68;
  const int barWidth = kWidth - 2 * kMargin - 110;
  qelPBar1_->setGeometry(kMargin, y, barWidth, 22);
  qelPBar2_->setGeometry(kMargin, y + 30, barWidth, 22);
  command3_->setGeometry(kWidth - kMargin - 96, y + 6, 96, 40);
  y += 70;
  vsNetBut1_->setGeometry(kWidth - kMargin - 2 * 96 - 12, y, 96, 34);
  vsNetBut3_->setGeometry(kWidth - kMargin - 96, y, 96, 34);
}

void SetForm::Connect() {
  for (int i = 0; i < kSwatchCount; ++i)
    connect(picture1_[i], &ColourSwatch::Click, this, [this, i] { Picture1_Click(i); });
  for (int k = 0; k < 2; ++k) connect(qelText1_[k], &QelText::Change, this, [this, k] { QelText1_Change(k); });
  connect(combo1_, &QComboBox::currentIndexChanged, this, [this](int) { Combo1_Click(); });
  for (auto& [size, button] : fontSizeSelect_)
    connect(button, &VsNetBut::Click, this, [this, s = size] { FontSizeSelect_Click(s); });
  connect(command3_, &VsNetBut::Click, this, &SetForm::Command3_Click);
  connect(&timer1_, &QTimer::timeout, this, &SetForm::Timer1_Timer);
  connect(vsNetBut1_, &VsNetBut::Click, this, [this] { VsNetBut1_Click(); });
  connect(vsNetBut3_, &VsNetBut::Click, this, &SetForm::VsNetBut3_Click);
}
