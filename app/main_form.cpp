#include "app/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <cstdlib>

#include "app/online_lists.h"
#include "app/picture_box.h"
#include "app/pictures.h"
#include "app/toolbar_icons.h"
#include "app/listening_settings.h"
#include "editor/set_form.h"
#include "editor/set_stree.h"
#include "practice/exe_find_form.h"
#include "practice/exe_form.h"
#include "practice/number_exe_form.h"
#include "controls/colour_value.h"
#include "controls/invalid_property_value.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vb_input.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/library_scan.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/number_text.h"
#include "core/time_text.h"
#include "core/recording.h"
#include "platform/app_paths.h"

namespace {

const QString kCheckCaptions[3] = {QStringLiteral("隐藏文本"), QStringLiteral("单曲循环"), QStringLiteral("单句循环")};
const QString kShowTextCaption = QStringLiteral("显示文本");

// The window's own colours: a light face like the controls' button face.
const QColor kWindowFace(236, 233, 216);
const QColor kToolbarEdge(190, 186, 166);

MainForm::ChildWindowFactory& Factory() {
  static MainForm::ChildWindowFactory factory;
  return factory;
}

}  // namespace

void MainForm::SetChildWindowFactory(ChildWindowFactory factory) { Factory() = std::move(factory); }

MainForm::MainForm(QWidget* parent) : QWidget(parent) {
  setWindowTitle(ProMod::kAppTitle);
  setFont(QFont(QStringLiteral("宋体"), 9));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kWindowFace);
  setPalette(pal);
  setMinimumSize(twips::ToPixels(kMinWidth), twips::ToPixels(kMinHeight));
  resize(kDefaultWidthPixels, kDefaultHeightPixels);

  timer3_.setInterval(kPollIntervalMs);
  timer3_.setTimerType(Qt::PreciseTimer);
  timer1_.setInterval(kLinkRotationMs);

  CreateControls();
  CreateListeningControls();
  SetDesignAppearance();
  ConnectControls();
  qApp->installEventFilter(this);
  FormLoad();
}

MainForm::~MainForm() {
  qApp->removeEventFilter(this);
  timer3_.stop();
  timer1_.stop();
}

// ---------------------------------------------------------------------------
// Controls

void MainForm::CreateControls() {
  picture2_ = new QWidget(this);
  picture2_->setObjectName(QStringLiteral("Picture2"));
  picture2_->setAutoFillBackground(true);
  toolbarEdge_ = new QWidget(picture2_);
  toolbarEdge_->setAutoFillBackground(true);
  QPalette edge = toolbarEdge_->palette();
  edge.setColor(QPalette::Window, kToolbarEdge);
  toolbarEdge_->setPalette(edge);
  picture1_ = new QWidget(this);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  Place(picture2_, {0, 0, kMinWidth, kToolbarHeight});
  Place(picture1_, {0, kToolbarHeight, kLeftStripWidth, kMinHeight - kToolbarHeight});

  CreateToolbar();

  combo1_ = new QComboBox(this);
  combo1_->setObjectName(QStringLiteral("Combo1"));
  combo1_->setEditable(false);
  combo1_->setMaxVisibleItems(20);
  Place(combo1_, {kListLeft, kToolbarHeight + 60, 2400, kComboHeight});

  myStree1_ = new MyStree(this);
  myStree1_->setObjectName(QStringLiteral("MyStree1"));
  Place(myStree1_, {kListLeft, 1350, kRecordingListWidth, 6000});

  myStree2_ = new MyStree(this);
  myStree2_->setObjectName(QStringLiteral("MyStree2"));
  Place(myStree2_, {3900, 1350, 7800, 4800});

  for (int i = 0; i < kCheckCount; ++i) {
    check1_[i] = new QCheckBox(this);
    check1_[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
    check1_[i]->setFocusPolicy(Qt::TabFocus);
    Place(check1_[i], {3900 + i * 1800, kToolbarHeight + 60, kCheckBoxWidth, kCheckBoxHeight});
    labelCheck_[i] = new ClickLabel(kCheckCaptions[i], this);
    labelCheck_[i]->setObjectName(QStringLiteral("LabelCheck_%1").arg(i));
    labelCheck_[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Place(labelCheck_[i], {4200 + i * 1800, kToolbarHeight + 60, 1200, kCheckBoxHeight});
  }

  qelTextMu1_ = new QelTextMu(this);
  qelTextMu1_->setObjectName(QStringLiteral("QelTextMu1"));
  qelTextMu1_->setOnlyNumber(false);  // a remark is free text
  Place(qelTextMu1_, {3900, 6300, 6500, kRemarkHeight});

  auto* save = new VsNetBut(this);
  save->setObjectName(QStringLiteral("VsNetBut8"));
  save->setCaption(QStringLiteral("保存备注"));
  save->setShowEdgeOnNoFocus(true);
  save->setCaptionAreaPercent(100);  // no picture: the caption takes the whole button
  buttons_[kSaveRemarkButton] = save;
  Place(save, {10500, 6300, kSaveButtonWidth, kSaveButtonHeight});

  imageMp3Click_[0] = new PictureBox(
      [](const QSize& size, qreal ratio, bool enabled) { return pictures::PauseButton(size, ratio, enabled); }, this);
  imageMp3Click_[1] = new PictureBox(
      [](const QSize& size, qreal ratio, bool enabled) { return pictures::PlayButton(size, ratio, enabled); }, this);
  for (int i = 0; i < 2; ++i) {
    imageMp3Click_[i]->setObjectName(QStringLiteral("ImageMp3Click_%1").arg(i));
    imageMp3Click_[i]->setToolTip(i == 0 ? QStringLiteral("暂停 (S)") : QStringLiteral("播放 (S)"));
    Place(imageMp3Click_[i], {3900, 7300, kImageSize, kImageSize});
    imageMp3Click_[i]->setEnabled(false);
  }
  imageMp3Click_[0]->hide();

  qelPBar1_ = new QelPBar(this);
  qelPBar1_->setObjectName(QStringLiteral("QelPBar1"));
  Place(qelPBar1_, {4560, 7300, 7000, kImageSize});
  qelPBar2_ = new QelPBar(this);
  qelPBar2_->setObjectName(QStringLiteral("QelPBar2"));
  Place(qelPBar2_, {5260, 7420, 5600, kSentenceBarHeight});
  // The sentence caption is long; a point smaller keeps it inside the bar
  // at the window's smallest size.
  qelPBar2_->setFont(QFont(QStringLiteral("宋体"), 8));
  qelPBar2_->raise();
  qelPBar2_->hide();

  auto* link = new PictureBox(
      [](const QSize& size, qreal ratio, bool) { return pictures::LinkBanner(size, ratio); }, picture2_);
  link->setObjectName(QStringLiteral("UrlImage_0"));
  urlImage_.push_back(link);
  Place(link, {kMinWidth - kLinkImageWidth, (kToolbarHeight - kLinkImageHeight) / 2, kLinkImageWidth,
               kLinkImageHeight});
}

void MainForm::CreateToolbar() {
  struct Tool {
    int number;  // 0 = separator
    const char* caption;
    pictures::ToolIcon icon;
  };
  using pictures::ToolIcon;
  const Tool tools[] = {
      {2, "语音分段", ToolIcon::Segment},      {3, "复读练习", ToolIcon::Dictation},
      {4, "练习汇总", ToolIcon::Records},      {5, "数字听力", ToolIcon::Numbers},
      {0, "", ToolIcon::Help},                 {1, "窗口设置", ToolIcon::Settings},
      {9, "最新资料", ToolIcon::NewMaterials}, {0, "", ToolIcon::Help},
      {7, "帮 助", ToolIcon::Help},            {6, "退 出", ToolIcon::Quit},
  };
  int left = 90;
  for (const Tool& tool : tools) {
    auto* b = new VsNetBut(picture2_);
    if (tool.number == 0) {
      b->setObjectName(QStringLiteral("VsNetTopSp_%1").arg(separators_.size()));
      Place(b, {left, kToolButtonTop + 90, kToolSeparatorWidth, kToolButtonHeight - 180});
      try {
        b->setButtonAppearance(VsNetBut::sbSep2003);
      } catch (const InvalidPropertyValue&) {
      }
      b->setEnabled(false);
      separators_.push_back(b);
      left += kToolSeparatorWidth + 30;
      continue;
    }
    b->setObjectName(QStringLiteral("VsNetBut%1").arg(tool.number));
    b->setCaption(QString::fromUtf8(tool.caption));
    b->setButtonPicture(pictures::ToolbarIcon(tool.icon, 24));
    b->setCaptionAreaLayout(VsNetBut::kCaptionBottom);
    b->setCaptionAreaPercent(38);
    b->setShowPictureFixSize(false);
    Place(b, {left, kToolButtonTop, kToolButtonWidth, kToolButtonHeight});
    buttons_[tool.number] = b;
    left += kToolButtonWidth + 30;
  }
}

void MainForm::SetDesignAppearance() {
  // The colours the window is designed with; FaceSet.ini may change them.
  myStree1_->setHightLightColor(65535);
  myStree1_->setLabelColorMoveIn(65535);
  myStree2_->setHightLightColor(65535);
  qelPBar1_->setBackColor(8438015);
  qelPBar1_->setColorLeft(33023);
  qelPBar1_->setColorRight(255);
  qelPBar1_->setBorderColor(0);
  qelPBar2_->setBackColor(16761087);
  qelPBar2_->setColorLeft(16744703);
  qelPBar2_->setColorRight(16744576);
  qelPBar2_->setBorderColor(0);
  qelTextMu1_->setBorderColor(0);

  qelPBar1_->setCaption(QString());
  qelPBar1_->setValue(0);
  qelPBar1_->setCanDrag(false);
  qelPBar2_->setCaption(QString());
  qelPBar2_->setValue(0);

  // The buttons rest in the window's face colour.
  const ColourValue face = QColorToColourValue(kWindowFace);
  for (auto& entry : buttons_) entry.second->setBackColor(face);
  for (VsNetBut* separator : separators_) separator->setBackColor(face);
}

void MainForm::ConnectControls() {
  connect(combo1_, QOverload<int>::of(&QComboBox::activated), this, [this](int) { Combo1_Click(); });
  connect(myStree1_, &MyStree::LabelClick, this, [this](int16_t& Index) { MyStree1_LabelClick(Index); });
  connect(myStree2_, &MyStree::LabelClick, this, [this](int16_t& Index) { MyStree2_LabelClick(Index); });
  connect(&timer3_, &QTimer::timeout, this, &MainForm::Timer3_Timer);
  connect(imageMp3Click_[0], &PictureBox::Click, this, &MainForm::PauseImage_Click);
  connect(imageMp3Click_[1], &PictureBox::Click, this, &MainForm::PlayImage_Click);
  for (int i = 0; i < kCheckCount; ++i) {
    connect(check1_[i], &QCheckBox::clicked, this, [this, i](bool) { Check1_Click(i); });
    connect(labelCheck_[i], &ClickLabel::Click, this, [this, i] { LabelCheck_Click(i); });
  }
  connect(urlImage_[0], &PictureBox::Click, this, [this] { UrlImage_Click(0); });
  connect(&timer1_, &QTimer::timeout, this, &MainForm::Timer1_Timer);
  connect(buttons_[kSaveRemarkButton], &VsNetBut::Click, this, &MainForm::SaveRemark_Click);
  connect(buttons_[kSegmentButton], &VsNetBut::Click, this, &MainForm::OpenSegmentation);
  connect(buttons_[kDictationButton], &VsNetBut::Click, this, &MainForm::OpenDictation);
  connect(buttons_[kRecordsButton], &VsNetBut::Click, this, &MainForm::OpenRecords);
  connect(buttons_[kNumbersButton], &VsNetBut::Click, this, &MainForm::OpenNumberPractice);
  connect(buttons_[kSettingsButton], &VsNetBut::Click, this, &MainForm::OpenSettings);
  connect(buttons_[kNewMaterialsButton], &VsNetBut::Click, this, &MainForm::ShowNewMaterials);
  connect(buttons_[kHelpButton], &VsNetBut::Click, this, &MainForm::ShowHelp);
  connect(buttons_[kQuitButton], &VsNetBut::Click, this, [this] { close(); });

  connect(qelPBar1_, &QelPBar::MouseDown, this,
          [this](int16_t& Button, int16_t&, float&, float&) { WholeBar_MouseDown(Button); });
  connect(qelPBar1_, &QelPBar::MouseMove, this,
          [this](int16_t& Button, int16_t&, float&, float&) { WholeBar_MouseMove(Button); });
  connect(qelPBar1_, &QelPBar::MouseUp, this,
          [this](int16_t& Button, int16_t&, float&, float&) { WholeBar_MouseUp(Button); });
  connect(qelPBar2_, &QelPBar::MouseDown, this,
          [this](int16_t& Button, int16_t&, float&, float&) { SentenceBar_MouseDown(Button); });
  connect(qelPBar2_, &QelPBar::MouseMove, this,
          [this](int16_t& Button, int16_t&, float&, float&) { SentenceBar_MouseMove(Button); });
  connect(qelPBar2_, &QelPBar::MouseUp, this,
          [this](int16_t& Button, int16_t&, float&, float&) { SentenceBar_MouseUp(Button); });
}

PictureBox* MainForm::ImageMp3Click(int index) const {
  return index >= 0 && index < 2 ? imageMp3Click_[index] : nullptr;
}
QCheckBox* MainForm::Check1(int index) const { return index >= 0 && index < kCheckCount ? check1_[index] : nullptr; }
QLabel* MainForm::LabelCheck(int index) const { return index >= 0 && index < kCheckCount ? labelCheck_[index] : nullptr; }
PictureBox* MainForm::UrlImage(int index) const {
  return index >= 0 && index < static_cast<int>(urlImage_.size()) ? urlImage_[index] : nullptr;
}
VsNetBut* MainForm::VsNetButton(int number) const {
  auto it = buttons_.find(number);
  return it == buttons_.end() ? nullptr : it->second;
}

TwipRect MainForm::Geometry(const QWidget* control) const {
  auto it = geometry_.find(control);
  return it == geometry_.end() ? TwipRect{} : it->second;
}

// ---------------------------------------------------------------------------
// Layout. Every rule works in twips; Place converts to pixels.

void MainForm::Place(QWidget* control, const TwipRect& rect) {
  geometry_[control] = rect;
  control->setGeometry(twips::ToPixels(rect.Left), twips::ToPixels(rect.Top),
                       std::max(0, twips::ToPixels(rect.Width)), std::max(0, twips::ToPixels(rect.Height)));
}

void MainForm::showEvent(QShowEvent* event) { QWidget::showEvent(event); }

void MainForm::PlaceField(QWidget* control, int TwipRect::*field, int value) {
  TwipRect r = Geometry(control);
  r.*field = value;
  Place(control, r);
}
void MainForm::PlaceLeft(QWidget* control, int left) { PlaceField(control, &TwipRect::Left, left); }
void MainForm::PlaceTop(QWidget* control, int top) { PlaceField(control, &TwipRect::Top, top); }
void MainForm::PlaceWidth(QWidget* control, int width) { PlaceField(control, &TwipRect::Width, width); }
void MainForm::PlaceHeight(QWidget* control, int height) { PlaceField(control, &TwipRect::Height, height); }

int MainForm::LabelWidthTwips(const QLabel* label) const {
  // An auto-sized label: as wide as its caption.
  return twips::FromPixelsInt(QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2);
}

void MainForm::LayoutCheckRow() {
  for (int i = 0; i < kCheckCount; ++i) {
    const TwipRect box = Geometry(check1_[i]);
    PlaceWidth(labelCheck_[i], LabelWidthTwips(labelCheck_[i]));
    PlaceLeft(labelCheck_[i], box.Right() + 60);
    if (i + 1 < kCheckCount) PlaceLeft(check1_[i + 1], Geometry(labelCheck_[i]).Right() + 120);
  }
  LayoutListeningControls();
}

void MainForm::StartupLayout() {
  const int windowWidth = twips::FromPixelsInt(width());
  const TwipRect pic1 = Geometry(picture1_);
  TwipRect combo = Geometry(combo1_);
  combo.Width = Geometry(myStree1_).Width;
  combo.Top = pic1.Top + 60;
  Place(combo1_, combo);
  PlaceTop(myStree1_, combo.Bottom() + 60);
  const TwipRect list1 = Geometry(myStree1_);
  TwipRect list2 = Geometry(myStree2_);
  list2.Top = list1.Top;
  list2.Left = list1.Right() + 60;
  list2.Width = windowWidth - list2.Left - 240;
  Place(myStree2_, list2);
  PlaceLeft(qelTextMu1_, list2.Left);
  PlaceLeft(check1_[kHideText], list2.Left);
  PlaceLeft(imageMp3Click_[0], list2.Left);
  // The check row sits beside the category list, above the sentence list.
  for (int i = 0; i < kCheckCount; ++i) {
    PlaceTop(check1_[i], combo.Top);
    PlaceTop(labelCheck_[i], combo.Top);
  }
  LayoutCheckRow();
  const TwipRect image = Geometry(imageMp3Click_[0]);
  TwipRect bar1 = Geometry(qelPBar1_);
  bar1.Height = image.Height;
  bar1.Left = image.Right() + 60;
  Place(qelPBar1_, bar1);
  const TwipRect bar2 = Geometry(qelPBar2_);
  PlaceLeft(qelPBar2_, bar1.Left + (bar1.Width - bar2.Width) / 2);
  PlaceLeft(imageMp3Click_[1], image.Left);
}

void MainForm::FitToWindow() {
  const int w = twips::FromPixelsInt(width());
  const int h = twips::FromPixelsInt(height());
  const TwipRect pic2Old = Geometry(picture2_);
  const TwipRect pic1Old = Geometry(picture1_);
  const TwipRect pic2{0, 0, w, kToolbarHeight};
  const TwipRect pic1{0, kToolbarHeight, kLeftStripWidth, std::max(0, h - kToolbarHeight)};
  Place(picture2_, pic2);
  Place(picture1_, pic1);
  if (pic1.Width != pic1Old.Width || pic1.Height != pic1Old.Height || !loaded_) Picture1_Resize();
  if (pic2.Width != pic2Old.Width || pic2.Height != pic2Old.Height || !loaded_) Picture2_Resize();
}

void MainForm::Picture1_Resize() {
  const int bottom = Geometry(picture1_).Bottom();
  PlaceHeight(myStree1_, bottom - 60 - Geometry(myStree1_).Top);
  const TwipRect image = Geometry(imageMp3Click_[0]);
  const TwipRect list2 = Geometry(myStree2_);
  PlaceHeight(myStree2_, bottom - list2.Top - image.Height - 120 - Geometry(qelTextMu1_).Height);
  PlaceTop(qelTextMu1_, Geometry(myStree2_).Bottom() + 30);
  const TwipRect remark = Geometry(qelTextMu1_);
  PlaceTop(buttons_[kSaveRemarkButton], remark.Top);
  PlaceTop(imageMp3Click_[0], remark.Bottom() + 30);
  PlaceTop(imageMp3Click_[1], remark.Bottom() + 30);
  PlaceTop(qelPBar1_, remark.Bottom() + 30);
  const TwipRect bar1 = Geometry(qelPBar1_);
  PlaceTop(qelPBar2_, bar1.Top + (bar1.Height - Geometry(qelPBar2_).Height) / 2);
}

void MainForm::Picture2_Resize() {
  const TwipRect pic2 = Geometry(picture2_);
  const TwipRect list2 = Geometry(myStree2_);
  PlaceWidth(myStree2_, pic2.Width - list2.Left - 60);
  const int listWidth = Geometry(myStree2_).Width;
  PlaceWidth(qelTextMu1_, listWidth - Geometry(buttons_[kSaveRemarkButton]).Width - 60);
  PlaceLeft(buttons_[kSaveRemarkButton], Geometry(qelTextMu1_).Right() + 60);
  PlaceWidth(qelPBar1_, listWidth - Geometry(imageMp3Click_[0]).Width - 60);
  const TwipRect bar1 = Geometry(qelPBar1_);
  const int bar2Width = ProMod::RoundToInt32(0.8 * bar1.Width);
  PlaceWidth(qelPBar2_, bar2Width);
  // Keep the sentence bar centred on the whole-recording bar as it narrows
  // or widens with the window.
  PlaceLeft(qelPBar2_, bar1.Left + (bar1.Width - bar2Width) / 2);
  for (PictureBox* image : urlImage_) PlaceLeft(image, pic2.Width - Geometry(image).Width);
  Place(toolbarEdge_, {0, pic2.Height - 15, pic2.Width, 15});
}

void MainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!isMinimized()) {
    const int w = twips::FromPixelsInt(width());
    const int h = twips::FromPixelsInt(height());
    if (w < kMinWidth) {
      resize(twips::ToPixels(kMinWidth), height());
      return;
    }
    if (h < kMinHeight) {
      resize(width(), twips::ToPixels(kMinHeight));
      return;
    }
  }
  FitToWindow();
}

void MainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange && loaded_) LayoutCheckRow();
}

// ---------------------------------------------------------------------------
// Start-up, browsing and loading

void MainForm::FormLoad() {
  linkAddresses_ = QStringList{BuiltInLink()};
  SoundMod::CloseAudio();
  StartupLayout();
  FitToWindow();
  ReadAppearance();
  ProMod::EnsureLibraryRoot();
  myStree1_->setHightLightUse(true);
  ProMod::Sentences.Clear();
  combo1_->clear();
  combo1_->addItems(ProMod::CategoryList());
  combo1_->setCurrentIndex(0);
  Combo1_Click();
  SetRecordingButtonsEnabled(false, false, false, false);
  buttons_[kSettingsButton]->setEnabled(true);
  ApplyListeningSettings(ListeningSettings::Read());
  LoadOnlineLists();
  loaded_ = true;
}

void MainForm::SetRecordingButtonsEnabled(bool segment, bool dictation, bool records, bool saveRemark) {
  buttons_[kSegmentButton]->setEnabled(segment);
  buttons_[kDictationButton]->setEnabled(dictation);
  buttons_[kRecordsButton]->setEnabled(records);
  buttons_[kSaveRemarkButton]->setEnabled(saveRemark);
}

void MainForm::Combo1_Click() {
  const int entry = combo1_->currentIndex();
  if (entry < 0) return;
  ProMod::CurrentFolder = ProMod::FolderForCategory(entry, combo1_->itemText(entry));
  myStree1_->setGetData(ProMod::ListFolder(ProMod::CurrentFolder, false));
  openRecordingItem_ = 0;
  qelTextMu1_->setText(QString());
  SetRecordingButtonsEnabled(false, false, false, false);
  ProMod::CurrentAudioPath.clear();
  ProMod::CurrentMaterialPath.clear();
  myStree2_->setGetData(QString());
  if (!QFileInfo(ProMod::CurrentFolder).isDir()) {
    // A category folder deleted or moved since start-up.
    ProMod::ShowMsgBox(QStringLiteral("找不到分类目录：") + ProMod::kCrLf + ProMod::CurrentFolder + ProMod::kCrLf +
                           QStringLiteral("它可能已被删除或移动。重新启动程序可刷新分类列表。"),
                       1, ProMod::kAppTitle, ProMod::kIconWarning);
  }
}

void MainForm::MyStree1_LabelClick(int a) {
  if (a < 1 || a > myStree1_->LabelCount()) return;
  const QString audioPath = ProMod::CurrentFolder + myStree1_->GetLabelData(a);
  // A file that went away after the list was read changes nothing: the open
  // recording and its material stay, so that nothing of it can be written
  // under the vanished recording's name; the list keeps pointing at it.
  if (!QFileInfo(audioPath).isFile()) {
    myStree1_->setLabelCurClick(openRecordingItem_);
    return;
  }
  SettleRemark();
  if (!ProMod::ChooseRecording(audioPath)) {
    myStree1_->setLabelCurClick(openRecordingItem_);
    return;
  }
  OpenChosenRecording(a);
}

// Shows the recording the store has just chosen: bars, images, the sentence
// list between the link line and the shopping line, the buttons.
void MainForm::OpenChosenRecording(int item) {
  timer3_.stop();
  engine_.Reset();  // a new recording starts at its beginning
  myStree2_->setLabelCurClick(0);
  qelPBar1_->setValue(0);
  if (ProMod::AudioLoaded) {
    qelPBar1_->setMaxValue(ProMod::TotalLength);
    qelPBar1_->setValue(0);
  }
  qelPBar1_->setCaption(ProMod::CurrentAudioPath);
  imageMp3Click_[0]->setEnabled(ProMod::AudioLoaded);
  imageMp3Click_[1]->setEnabled(ProMod::AudioLoaded);
  ShowMode();

  const SentenceTable& table = ProMod::Sentences;
  const int upper = table.UBound();
  QString block = kLinkLine;
  for (int i = table.IsEmpty() ? 0 : 2; i <= upper; ++i) {
    block += ProMod::kEnter;
    block += table[i].Text;
  }
  block += ProMod::kEnter;
  block += kShoppingLine;
  myStree2_->setGetData(block);
  myStree2_->ShowHideCaptialSet(1, false);
  myStree2_->ShowHideCaptialSet(myStree2_->LabelCount(), false);
  openRecordingItem_ = item;

  if (!table.IsEmpty()) {
    for (int k = 2; k <= upper; ++k) myStree2_->SetabelItemData(k, table[k].Remark);
    SetRecordingButtonsEnabled(true, true, true, buttons_[kSaveRemarkButton]->isEnabled());
  } else {
    ProMod::ShowMsgBox(MissingMaterialMessage(), 1, QStringLiteral("未找到复读文件"), ProMod::kIconInformation);
    SetRecordingButtonsEnabled(buttons_[kSegmentButton]->isEnabled(), false, false, false);
  }
  buttons_[kSegmentButton]->setEnabled(true);
  remarkIndex_ = 0;
  remarkShown_.clear();
  qelTextMu1_->setText(QString());
  UpdateRemarkBox();
}

QString MainForm::MissingMaterialMessage() const {
  const QString quote = QStringLiteral("\"");
  const QStringList lines = {
      QStringLiteral("未读取复读文件内容，可能文件不存在，也可能文件格式出错，"),
      QStringLiteral("复读文件为：") + ProMod::CurrentMaterialPath,
      QString(),
      QStringLiteral("您通过") + quote + QStringLiteral("复读设置") + quote + QStringLiteral("进行设置。"),
      QString(),
      QStringLiteral("如果你有此文件，请将 ") + quote + QStringLiteral("Qvl") + quote +
          QStringLiteral(" 文件拷至与音频相的目录下。"),
      QStringLiteral("音频所在目录为： ") + ProMod::CurrentFolder,
      QString(),
      WebSiteLine(),
  };
  return lines.join(ProMod::kCrLf);
}

QString MainForm::HelpMessage() const {
  const QStringList lines = {
      platform::ApplicationFolderIsProgramFolder()
          ? QStringLiteral("文件存储：您只需把您的Mp3文件拷到程序目录上的<语音>目录下即可。")
          : QStringLiteral("文件存储：您只需把您的Mp3文件拷到<") + QDir::toNativeSeparators(ProMod::LibraryRoot()) +
                QStringLiteral(">目录下即可。"),
      QStringLiteral("           放在<语音>的一级目录，即可进行分类。"),
      QString(),
      QStringLiteral("复读文件：通过语音分段，会在音频的同目录建立一个数据文件<文件名.qvl>，以及之后的练习都将存在这个文件中。"),
      QStringLiteral("           您也可以通过<Velmo女孩>网站直接下载您需要的音频及语音分段文件。"),
      QString(),
      QStringLiteral("快 捷 键：S,播放/暂停；  A,全文播放；  R,句子播放；  H,") + labelCheck_[0]->text(),
  };
  return lines.join(ProMod::kCrLf);
}

void MainForm::ShowHelp() { ProMod::ShowMsgBox(HelpMessage(), 1, ProMod::kAppTitle, ProMod::kIconInformation); }

// ---------------------------------------------------------------------------
// Child windows

QDialog* MainForm::MakeChildWindow(ChildWindow which) {
  if (Factory()) {
    if (QDialog* dialog = Factory()(which, this)) return dialog;
  }
  switch (which) {
    case ChildWindow::SetStree: return CreateSetStree(this);
    case ChildWindow::ExeForm: return CreateExeForm(this);
    case ChildWindow::ExeFindForm: return CreateExeFindForm(this);
    case ChildWindow::NumberExeForm: return CreateNumberExeForm(this);
    case ChildWindow::SetForm: return CreateSetForm(this);
  }
  return nullptr;
}

bool MainForm::ShowChildWindow(QDialog* window, const QString& caption, const QString& refusal) {
  if (!refusal.isEmpty() && (ProMod::CurrentAudioPath.isEmpty() || !ProMod::AudioLoaded)) {
    ProMod::ShowMsgBox(refusal, 1, QStringLiteral("复读设置"), ProMod::kIconStop);
    return false;
  }
  if (!window) return false;
  SettleRemark();
  // Pause as the pause image would, so that the play image resumes
  // afterwards; a recording that is not playing keeps its paused position.
  if (SoundMod::State() == SoundMod::PlayState::Playing || PauseImageShown())
    PauseImage_Click();
  timer3_.stop();
  const int32_t resume = engine_.ResumePosition();
  eidtIsSave_ = false;
  if (!caption.isEmpty()) window->setWindowTitle(caption);
  window->setWindowModality(Qt::ApplicationModal);
  window->exec();
  // The practice and editor windows say it through their own property.
  if (window->property("EidtIsSave").toBool()) eidtIsSave_ = true;
  if (eidtIsSave_) {
    // A failed save is told to the user and keeps the changes in memory:
    // reloading would throw them away.
    if (ProMod::SaveMaterialFile()) {
      int item = myStree1_->LabelCurClick();
      if (item < 1) item = openRecordingItem_;
      MyStree1_LabelClick(item);
    }
  }
  // The child window played parts of the recording itself; "play" goes on
  // from where the learner paused (within a recording that may be shorter
  // now).
  engine_.SetResumePosition(resume);
  qelPBar1_->setValue(std::clamp<int32_t>(resume, 0, std::max<int32_t>(0, qelPBar1_->MaxValue())));
  eidtIsSave_ = false;
  return true;
}

void MainForm::RunChildWindow(ChildWindow which, const QString& caption, const QString& refusal) {
  if (!refusal.isEmpty() && (ProMod::CurrentAudioPath.isEmpty() || !ProMod::AudioLoaded)) {
    ShowChildWindow(nullptr, caption, refusal);  // shows the refusal
    return;
  }
  QDialog* window = MakeChildWindow(which);
  QPointer<QDialog> guard(window);
  ShowChildWindow(window, caption, refusal);
  delete guard.data();
}

void MainForm::OpenSegmentation() {
  RunChildWindow(ChildWindow::SetStree, QStringLiteral("语音分段 -- ") + ProMod::CurrentAudioPath,
                 QStringLiteral("未正确选择语音文件！无法进行语音分段。"));
}

void MainForm::OpenDictation() {
  RunChildWindow(ChildWindow::ExeForm, QStringLiteral("复读练习 -- ") + ProMod::CurrentAudioPath,
                 QStringLiteral("未正确选择语音文件！无法进行复读练习。"));
}

void MainForm::OpenRecords() {
  RunChildWindow(ChildWindow::ExeFindForm, QStringLiteral("练习汇总 -- ") + ProMod::CurrentAudioPath,
                 QStringLiteral("未正确选择语音文件！无法查看练习。"));
}

void MainForm::OpenNumberPractice() {
  RunChildWindow(ChildWindow::NumberExeForm, QStringLiteral("数字听力练习"), QString());
}

void MainForm::OpenSettings() {
  QDialog* window = MakeChildWindow(ChildWindow::SetForm);
  QPointer<QDialog> guard(window);
  window->setWindowModality(Qt::ApplicationModal);
  window->exec();
  delete guard.data();
  ReadAppearance();
}

void MainForm::closeEvent(QCloseEvent* event) {
  SettleRemark();
  timer3_.stop();
  timer1_.stop();
  SoundMod::CloseAudio();
  QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------
// Appearance file

void MainForm::ReadAppearance() { ApplyAppearance(appearance::ReadAppearanceFile()); }

void MainForm::ApplyAppearance(const std::vector<appearance::Setting>& settings) {
  using appearance::Target;
  for (const appearance::Setting& s : settings) {
    if (!s.info) continue;
    const QString& name = s.info->property;
    const ColourValue colour = static_cast<ColourValue>(s.number);
    if (s.info->target == Target::RecordingList || s.info->target == Target::SentenceList) {
      MyStree* list = s.info->target == Target::RecordingList ? myStree1_ : myStree2_;
      if (name == QLatin1String("BackGroundColor1")) list->setBackGroundColor1(colour);
      else if (name == QLatin1String("BackGroundColor2")) list->setBackGroundColor2(colour);
      else if (name == QLatin1String("BorderColor")) list->setBorderColor(colour);
      else if (name == QLatin1String("LabelColorMoveOut")) list->setLabelColorMoveOut(colour);
      else if (name == QLatin1String("LabelColorMoveIn")) list->setLabelColorMoveIn(colour);
      else if (name == QLatin1String("LabelColorClick")) list->setLabelColorClick(colour);
      else if (name == QLatin1String("HightLightColor")) list->setHightLightColor(colour);
      else if (name == QLatin1String("BackGroundAngel")) list->setBackGroundAngel(static_cast<int16_t>(s.number));
      else if (name == QLatin1String("LabelFontSize")) list->setLabelFontSize(static_cast<int16_t>(s.number));
      else if (name == QLatin1String("LabelFontName")) list->setLabelFontName(s.text);
    } else {
      QelPBar* bar = s.info->target == Target::WholeBar ? qelPBar1_ : qelPBar2_;
      if (name == QLatin1String("ColorLeft")) bar->setColorLeft(colour);
      else if (name == QLatin1String("ColorRight")) bar->setColorRight(colour);
      else if (name == QLatin1String("BackColor")) bar->setBackColor(colour);
      else if (name == QLatin1String("ForeColor1")) bar->setForeColor1(colour);
      else if (name == QLatin1String("ForeColor2")) bar->setForeColor2(colour);
      else if (name == QLatin1String("BorderColor")) {
        bar->setBorderColor(colour);
        if (bar == qelPBar1_) qelTextMu1_->setBorderColor(qelPBar1_->BorderColor());
      }
    }
  }
}
