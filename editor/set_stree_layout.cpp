// The editor's controls and where they stand. Everything is placed in
// twips; the sentence list and the editing panel take the window's width,
// the list its height, and the buttons on the right stay at the edge.
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QResizeEvent>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "editor/set_stree.h"
#include "editor/waveform_strip.h"

namespace {

const QColor kFace(236, 233, 216);
constexpr int kButtonWidth = 1320;
constexpr int kButtonHeight = 480;
constexpr int kColumnWidth = 1560;  // the buttons' column, margins included
constexpr int kMargin = 60;
constexpr int kRowButtonHeight = 420;
constexpr int kLabelWidth = 1020;
constexpr int kTextLeft = 1140;
constexpr int kTextHeight = 660;
// Under the timeline and its markers: the whole recording's waveform, the
// magnified bar, the range's waveform, then the nudge and shift rows.
constexpr int kMagnifiedTop = 3060;
constexpr int kMagnifiedHeight = 375;
constexpr int kRangeWaveTop = 3450;
constexpr int kNudgeTitleTop = 4155;
constexpr int kShiftTitleTop = 4965;
constexpr int kTitleHeight = 255;
constexpr int kBottomRowTop = 5745;
constexpr int kGap = 30;

void Paint(QWidget* w, const QColor& colour) {
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, colour);
  w->setPalette(pal);
}

}  // namespace

VsNetBut* SetStree::MakeButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* b = new VsNetBut(parent);
  b->setObjectName(name);
  b->setCaption(caption);
  b->setShowEdgeOnNoFocus(true);
  b->setCaptionAreaPercent(100);  // no picture: the caption takes the whole button
  return b;
}

VsNetBut* SetStree::VsNetButton(int number) const {
  auto it = buttons_.find(number);
  return it == buttons_.end() ? nullptr : it->second;
}

void SetStree::CreateControls() {
  myStree1_ = new MyStree(this);
  myStree1_->setObjectName(QStringLiteral("MyStree1"));
  buttons_[5] = MakeButton(this, QStringLiteral("VsNetBut5"), QStringLiteral("导入LRC"));
  buttons_[1] = MakeButton(this, QStringLiteral("VsNetBut1"), QStringLiteral("保 存"));
  buttons_[3] = MakeButton(this, QStringLiteral("VsNetBut3"), QStringLiteral("退 出"));
  buttons_[9] = MakeButton(this, QStringLiteral("VsNetBut9"), kAutoSplitTitle);
  CreatePanel();
  CreateOverlay();
  CreateWaveform();
}

// The whole recording's strip belongs to the window, not the panel, so that
// it stays in view above the overlay while no sentence is chosen: that is
// when a new recording is cut. The range's strip lives in the panel.
void SetStree::CreateWaveform() {
  waveform_[0] = new WaveformStrip(this);
  waveform_[0]->setObjectName(QStringLiteral("Waveform0"));
  waveform_[1] = new WaveformStrip(picture2_);
  waveform_[1]->setObjectName(QStringLiteral("Waveform1"));
  waveformProgress_ = new QProgressBar(this);
  waveformProgress_->setObjectName(QStringLiteral("WaveformProgress"));
  waveformProgress_->setRange(0, 100);
  waveformProgress_->setFormat(QStringLiteral("正在计算波形 %p%"));
  waveformProgress_->hide();
}

void SetStree::CreatePanel() {
  picture2_ = new QWidget(this);
  picture2_->setObjectName(QStringLiteral("Picture2"));
  Paint(picture2_, kFace);
  textLabel_ = new QLabel(QStringLiteral("句子文本："), picture2_);
  remarkLabel_ = new QLabel(QStringLiteral("备注文本："), picture2_);
  qelText1_ = new QelTextMu(picture2_);
  qelText1_->setObjectName(QStringLiteral("QelText1"));
  qelText2_ = new QelTextMu(picture2_);
  qelText2_->setObjectName(QStringLiteral("QelText2"));
  for (QelTextMu* box : {qelText1_, qelText2_}) {
    box->setOnlyNumber(false);  // sentences and remarks are free text
    box->setBorderColor(0);
  }
  qelPBar1_ = new QelPBar(picture2_);
  qelPBar1_->setObjectName(QStringLiteral("QelPBar1"));
  qelPBar1_->setCanDrag(false);
  qelPBar1_->setCaption(QStringLiteral("拉动下方两个小三角，选择范围，所选择的范围将在次进度条中放大。"));
  qelPBar2_ = new QelPBar(picture2_);
  qelPBar2_->setObjectName(QStringLiteral("QelPBar2"));
  qelPBar2_->setCanDrag(true);
  qelPBar2_->setFont(QFont(QStringLiteral("宋体"), 8));  // the range caption is long
  // The colours of the main window's bars, kept when there is no main
  // window to copy them from.
  qelPBar1_->setBackColor(8438015);
  qelPBar1_->setColorLeft(33023);
  qelPBar1_->setColorRight(255);
  qelPBar1_->setBorderColor(0);
  qelPBar2_->setBackColor(16761087);
  qelPBar2_->setColorLeft(16744703);
  qelPBar2_->setColorRight(16744576);
  qelPBar2_->setBorderColor(0);
  picture1_[0] = new TimelineMarker(QColor(0, 192, 0), picture2_);
  picture1_[0]->setObjectName(QStringLiteral("Picture1_0"));
  picture1_[1] = new TimelineMarker(QColor(192, 0, 0), picture2_);
  picture1_[1]->setObjectName(QStringLiteral("Picture1_1"));
  CreateNudgeButtons();
  vsNetNext_ = MakeButton(picture2_, QStringLiteral("VsNetNext"), QStringLiteral("此句尾做为下句头"));
  vsNetBut2_[0] = MakeButton(picture2_, QStringLiteral("VsNetBut2_0"), QStringLiteral("删除此句"));
  buttons_[4] = MakeButton(picture2_, QStringLiteral("VsNetBut4"), QStringLiteral("句前插入"));
  buttons_[6] = MakeButton(picture2_, QStringLiteral("VsNetBut6"), QStringLiteral("尾部新增"));
}

void SetStree::CreateNudgeButtons() {
  const QString titles[4] = {QStringLiteral("开头音频微调"), QStringLiteral("结尾音频微调"),
                             QStringLiteral("此句之后全部整句提前"), QStringLiteral("此句之后全部整句延迟")};
  for (int i = 0; i < 4; ++i) {
    label3_[i] = new QLabel(titles[i], picture2_);
    label3_[i]->setObjectName(QStringLiteral("Label3_%1").arg(i));
  }
  const QString nudges[6] = {QStringLiteral("提前0.1秒"), QStringLiteral("提前0.2秒"), QStringLiteral("提前0.5秒"),
                             QStringLiteral("延迟0.1秒"), QStringLiteral("延迟0.2秒"), QStringLiteral("延迟0.5秒")};
  for (int k = 0; k < 12; ++k)
    command1_[k] = MakeButton(picture2_, QStringLiteral("Command1_%1").arg(k), nudges[k % 6]);
  const QString shifts[8] = {QStringLiteral("0.1秒"), QStringLiteral("0.2秒"), QStringLiteral("0.5秒"),
                             QStringLiteral("1 秒"),  QStringLiteral("2 秒"),  QStringLiteral("5 秒"),
                             QStringLiteral("10 秒"), QStringLiteral("20 秒")};
  for (int k = 0; k < 16; ++k)
    vsNetBut8_[k] = MakeButton(picture2_, QStringLiteral("VsNetBut8_%1").arg(k), shifts[k % 8]);
}

void SetStree::CreateOverlay() {
  picture3_ = new QWidget(this);
  picture3_->setObjectName(QStringLiteral("Picture3"));
  Paint(picture3_, kFace);
  label4_ = new QLabel(kChooseSentence, picture3_);
  label4_->setObjectName(QStringLiteral("Label4"));
  label4_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont big = font();
  big.setPointSize(12);
  label4_->setFont(big);
  vsNetBut2_[1] = MakeButton(picture3_, QStringLiteral("VsNetBut2_1"), QStringLiteral("恢复此句"));
  vsNetBut2_[1]->hide();
  buttons_[7] = MakeButton(picture3_, QStringLiteral("VsNetBut7"), QStringLiteral("新增一句"));
  buttons_[7]->hide();
}

void SetStree::ConnectControls() {
  connect(myStree1_, &MyStree::LabelClick, this, [this](int16_t& i) { MyStree1_LabelClick(i); });
  connect(qelText1_, &QelTextBase::Change, this, [this] { QelText1_Change(); });
  connect(qelText2_, &QelTextBase::Change, this, [this] { QelText2_Change(); });
  for (int k = 0; k < 12; ++k) connect(command1_[k], &VsNetBut::Click, this, [this, k] { Command1_Click(k); });
  for (int k = 0; k < 16; ++k) connect(vsNetBut8_[k], &VsNetBut::Click, this, [this, k] { VsNetBut8_Click(k); });
  for (int i = 0; i < 2; ++i) {
    connect(vsNetBut2_[i], &VsNetBut::Click, this, [this, i] { VsNetBut2_Click(i); });
    connect(picture1_[i], &TimelineMarker::MouseDown, this,
            [this, i](int16_t& b, int16_t&, float& x, float&) { Picture1_MouseDown(i, b, x); });
    connect(picture1_[i], &TimelineMarker::MouseMove, this,
            [this, i](int16_t& b, int16_t&, float& x, float&) { Picture1_MouseMove(i, b, x); });
    connect(picture1_[i], &TimelineMarker::MouseUp, this,
            [this, i](int16_t& b, int16_t&, float&, float&) { Picture1_MouseUp(i, b); });
  }
  connect(vsNetNext_, &VsNetBut::Click, this, [this] { VsNetNext_Click(); });
  connect(buttons_[4], &VsNetBut::Click, this, [this] { VsNetBut4_Click(); });
  connect(buttons_[6], &VsNetBut::Click, this, [this] { AppendSentence(); });
  connect(buttons_[7], &VsNetBut::Click, this, [this] { AppendSentence(); });
  connect(buttons_[5], &VsNetBut::Click, this, [this] { VsNetBut5_Click(); });
  connect(buttons_[1], &VsNetBut::Click, this, [this] { VsNetBut1_Click(); });
  connect(buttons_[3], &VsNetBut::Click, this, [this] { VsNetBut3_Click(); });
  connect(buttons_[9], &VsNetBut::Click, this, [this] { VsNetBut9_Click(); });
  connect(qelPBar2_, &QelPBar::MouseDown, this, [this](int16_t& b, int16_t&, float&, float&) { QelPBar2_MouseDown(b); });
  connect(qelPBar2_, &QelPBar::MouseUp, this, [this](int16_t& b, int16_t&, float&, float&) { QelPBar2_MouseUp(b); });
  connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void SetStree::Place(QWidget* w, const TwipBox& box) {
  geometry_[w] = box;
  w->setGeometry(twips::ToPixels(box.Left), twips::ToPixels(box.Top), twips::ToPixels(box.Width),
                 twips::ToPixels(box.Height));
}

void SetStree::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Layout();
}

void SetStree::Layout() {
  if (!picture2_) return;
  const int w = std::max(kMinWidth, twips::FromPixelsInt(width()));
  const int h = std::max(kMinHeight, twips::FromPixelsInt(height()));
  const int column = w - kColumnWidth + 120;  // left edge of the buttons
  const int panelWidth = column - 120 - kMargin;
  const int panelTop = h - kPanelHeight - kMargin;
  Place(myStree1_, {kMargin, kMargin, panelWidth, panelTop - 2 * kMargin});
  Place(buttons_[5], {column, kMargin, kButtonWidth, kButtonHeight});
  Place(buttons_[9], {column, kMargin + kButtonHeight + 120, kButtonWidth, kButtonHeight});
  Place(buttons_[1], {column, h - kMargin - 2 * kButtonHeight - 120, kButtonWidth, kButtonHeight});
  Place(buttons_[3], {column, h - kMargin - kButtonHeight, kButtonWidth, kButtonHeight});
  Place(picture2_, {kMargin, panelTop, panelWidth, kPanelHeight});
  LayoutPanel(panelWidth);
  // The overlay covers the panel; its message sits a third of the way
  // down, "恢复此句" exactly where "删除此句" is, and "新增一句" lower,
  // centred between the window's left edge and the import button.
  Place(picture3_, {kMargin, panelTop, panelWidth, kPanelHeight});
  const int labelTop = kPanelHeight / 3;
  Place(label4_, {0, labelTop, std::min(column, panelWidth), 600});
  Place(vsNetBut2_[1], geometry_[vsNetBut2_[0]]);
  const int addWidth = 1500;
  Place(buttons_[7], {(column - addWidth) / 2 - kMargin, 2 * labelTop, addWidth, kButtonHeight});
  const int tw = panelWidth - 2 * kTimelineLeft;
  Place(waveform_[0], {kMargin + kTimelineLeft, panelTop + kWaveTop, tw, kWaveHeight});
  const int progressWidth = std::min(tw - 240, 3600);
  Place(waveformProgress_, {kMargin + kTimelineLeft + (tw - progressWidth) / 2,
                            panelTop + kWaveTop + (kWaveHeight - 300) / 2, progressWidth, 300});
  // The markers follow the timeline's new width.
  ComputeMarkerLimits();
  if (current_ >= 1 && current_ <= Count()) {
    PlaceMarker(0, MarkerLeftFor(selStart_));
    PlaceMarker(1, MarkerLeftFor(selEnd_));
  } else {
    PlaceMarker(0, markerMinLeft_);
    PlaceMarker(1, markerMaxLeft_);
  }
}

void SetStree::LayoutPanel(int pw) {
  Place(textLabel_, {120, 90, kLabelWidth, 300});
  Place(qelText1_, {kTextLeft, 60, pw - kTextLeft - 120, kTextHeight});
  Place(remarkLabel_, {120, 810, kLabelWidth, 300});
  Place(qelText2_, {kTextLeft, 780, pw - kTextLeft - 120, kTextHeight});
  const int tw = pw - 2 * kTimelineLeft;
  Place(qelPBar1_, {kTimelineLeft, kTimelineTop, tw, kTimelineHeight});
  const int nextWidth = 2280;
  const int magnifiedWidth = tw - 240 - nextWidth - 120;
  Place(qelPBar2_, {360, kMagnifiedTop, magnifiedWidth, kMagnifiedHeight});
  Place(vsNetNext_, {360 + magnifiedWidth + 120, kMagnifiedTop - 22, nextWidth, kMagnifiedHeight + 45});
  Place(waveform_[1], {360, kRangeWaveTop, magnifiedWidth, kWaveHeight});
  // Two groups side by side in each row: the start and end nudges, then
  // the earlier and later shifts.
  const int half = pw / 2;
  const int groupWidth = half - 180;
  const int groupLeft[2] = {120, half + 60};
  const int nudgeWidth = (groupWidth - 5 * kGap) / 6;
  const int shiftWidth = (groupWidth - 7 * kGap) / 8;
  for (int g = 0; g < 2; ++g) {
    Place(label3_[g], {groupLeft[g], kNudgeTitleTop, groupWidth, kTitleHeight});
    Place(label3_[g + 2], {groupLeft[g], kShiftTitleTop, groupWidth, kTitleHeight});
    for (int k = 0; k < 6; ++k)
      Place(command1_[g * 6 + k], {groupLeft[g] + k * (nudgeWidth + kGap), kNudgeTitleTop + kTitleHeight + 15,
                                   nudgeWidth, kRowButtonHeight});
    for (int k = 0; k < 8; ++k)
      Place(vsNetBut8_[g * 8 + k], {groupLeft[g] + k * (shiftWidth + kGap), kShiftTitleTop + kTitleHeight + 15,
                                    shiftWidth, kRowButtonHeight});
  }
  Place(vsNetBut2_[0], {120, kBottomRowTop, kButtonWidth, kRowButtonHeight});
  Place(buttons_[4], {120 + kButtonWidth + 120, kBottomRowTop, kButtonWidth, kRowButtonHeight});
  Place(buttons_[6], {120 + 2 * (kButtonWidth + 120), kBottomRowTop, kButtonWidth, kRowButtonHeight});
}

int SetStree::TimelineWidth() const {
  auto it = geometry_.find(qelPBar1_);
  return it == geometry_.end() ? 1 : std::max(1, it->second.Width);
}
