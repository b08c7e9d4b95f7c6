#include "practice/number_exe_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "controls/colour_value.h"
#include "controls/gradient.h"
#include "controls/qel_pbar.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "core/message_service.h"
#include "core/random_source.h"
#include "platform/speech.h"
#include "practice/number_generators.h"

namespace {

using twips::ToPixels;

// Places, twips, in the client area.
constexpr int kMargin = 180;
constexpr int kListWidth = 5100;
constexpr QRect kLabel4Rect(kMargin, 150, 2400, 240);
constexpr QRect kList1Rect(kMargin, 420, kListWidth, 1890);
constexpr QRect kFrame1Rect(5460, 330, 3360, 1980);
constexpr QRect kLabel2Rect(kMargin, 2490, 2400, 240);
constexpr QRect kList2Rect(kMargin, 2760, kListWidth, 2250);
constexpr QRect kLabel3Rect(kMargin, 5130, 2400, 240);
constexpr int kBarTop = 5400;
constexpr int kBarHeight = 360;
constexpr int kButtonLeft = 5940;
constexpr int kButtonWidth = 2400;
constexpr int kButtonHeight = 480;
constexpr int kButtonTops[] = {2760, 3420, 4080, 5280};  // speak, new number, help, exit
// Options in the frame: two columns of four.
constexpr int kOptionLeft[] = {300, 1800};
constexpr int kOptionTop = 390;
constexpr int kOptionStep = 360;
constexpr int kOptionWidth = 1380;
constexpr int kOptionHeight = 300;

const char* const kOptionCaptions[NumberExeForm::kOptionCount] = {"个", "十", "百", "千",
                                                                   "万", "十万", "百万", "千万"};

struct KindEntry {
  const char* text;
  int16_t digits;  // 0: the kind has no digit setting
};
const KindEntry kKinds[] = {
    {"整数（右侧选择位数）", 3},
    {"小数（下方选择整数位数，小数固定三位。）", 2},
    {"分数（下方选择分子分母位数）", 2},
    {"百分数（100%内）", 0},
    {"年份（1501-2100年,系统可能读会读成整数）", 0},
    {"月份", 0},
};
constexpr int kKindCount = 6;
// Fractions take 1 to 4 digits: options from this index on are off for them.
constexpr int kFractionOptionLimit = 4;
// A redraw loop gives up after this many draws, so that a generator that
// keeps returning the same number cannot hang the window.
constexpr int kMaxRedraws = 100000;

const QString kNoVoices = QStringLiteral("没有语单包，请先安装语音包！");
const QString kNoVoiceTicked = QStringLiteral("至少要选择一种发音！");
const QString kVoiceFailed = QStringLiteral("此发音无法播放，请换一种发音！");
const QString kHelp =
    QStringLiteral("快捷键：单击Shift键，产生新数字；  Enter,播放语音；  按住Ctrl键,显示数示。");
const QString kRateCaption = QStringLiteral("当语速为： ");
const QString kFractionBar = QStringLiteral("\n————\n");

QFont FormFont() { return QFont(QStringLiteral("宋体"), 9); }

QImage PanelGradient(const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  clsGradient gradient;
  gradient.setAngle(90);
  gradient.setColor1(RgbValue(221, 221, 221));
  gradient.setColor2(RgbValue(255, 255, 255));
  gradient.Draw(&image);
  return image;
}

bool IsTicked(const QListWidget* list, int row) {
  const QListWidgetItem* item = list->item(row);
  return item && item->checkState() == Qt::Checked;
}

bool AnyTicked(const QListWidget* list) {
  for (int i = 0; i < list->count(); ++i)
    if (IsTicked(list, i)) return true;
  return false;
}

QListWidgetItem* AddTickEntry(QListWidget* list, const QString& text, bool ticked) {
  auto* item = new QListWidgetItem(text, list);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  return item;
}

}  // namespace

// ---------------------------------------------------------------------------
// NumberPanel

NumberPanel::NumberPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Picture1"));
  setFocusPolicy(Qt::StrongFocus);
}

void NumberPanel::setShape1(const QRect& twipsRect) {
  shape1_ = twipsRect;
  update();
}

void NumberPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  background_ = PanelGradient(size());
}

void NumberPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull())
    p.drawImage(0, 0, background_);
  else
    p.fillRect(rect(), Qt::white);
  if (shape1_.isValid()) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    const QRect r = ToPixels(shape1_);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

// ---------------------------------------------------------------------------
// NumberExeForm: opening

NumberExeForm::NumberExeForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("NumberExeForm"));
  setModal(true);
  setWindowTitle(QStringLiteral("数字听力练习"));
  setFont(FormFont());
  setFixedSize(ToPixels(kWindowWidth - kNonClientWidth), ToPixels(kWindowHeight - kNonClientHeight));
  engine_ = platform::CreateSpeechEngine();
  CreateControls();
  LayoutControls();
  PlaceWindow();
  // The window sees the keys before its controls do.
  qApp->installEventFilter(this);

  const std::vector<platform::SpeechVoice> voices = engine_->Voices();
  if (voices.empty()) {
    ProMod::ShowMsgBox(kNoVoices, 1, QStringLiteral("错误"), ProMod::kIconStop);
    return;
  }
  FillVoices();
  FillKinds();
  SetUpSpeedBar();
  NewNumber(false);
}

NumberExeForm::~NumberExeForm() {
  qApp->removeEventFilter(this);
  EndUtterance();
}

void NumberExeForm::CreateControls() {
  auto makeLabel = [this](const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
  };
  label4_ = makeLabel(QStringLiteral("选择数字类型"), "Label4");
  label2_ = makeLabel(QStringLiteral("选择如音人"), "Label2");
  label3_ = makeLabel(QStringLiteral("语速"), "Label3");

  list1_ = new QListWidget(this);
  list1_->setObjectName(QStringLiteral("List1"));
  connect(list1_, &QListWidget::currentRowChanged, this, [this](int) { List1_Click(); });
  list2_ = new QListWidget(this);
  list2_->setObjectName(QStringLiteral("List2"));

  frame1_ = new QGroupBox(QStringLiteral("选择位数"), this);
  frame1_->setObjectName(QStringLiteral("Frame1"));
  frame1_->setAutoFillBackground(true);
  QPalette white = frame1_->palette();
  white.setColor(QPalette::Window, Qt::white);
  frame1_->setPalette(white);
  for (int k = 0; k < kOptionCount; ++k) {
    option1_[k] = new QRadioButton(QString::fromUtf8(kOptionCaptions[k]), frame1_);
    option1_[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
    connect(option1_[k], &QRadioButton::clicked, this, [this, k] { Option1_Click(k); });
  }

  qelPBar1_ = new QelPBar(this);
  qelPBar1_->setObjectName(QStringLiteral("QelPBar1"));
  qelPBar1_->setMaxValue(9);
  qelPBar1_->setMinValue(1);
  qelPBar1_->setValue(5);
  qelPBar1_->setCanDrag(true);
  connect(qelPBar1_, &QelPBar::MouseMove, this, [this](int16_t& b, int16_t&, float&, float&) { SpeedBarMoved(b); });
  // A press alone sets the bar's value too; the rate follows it at once.
  connect(qelPBar1_, &QelPBar::MouseDown, this, [this](int16_t& b, int16_t&, float&, float&) { SpeedBarMoved(b); });

  auto makeButton = [this](const QString& caption, const char* name) {
    auto* b = new VsNetBut(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setCaptionAreaPercent(100);
    b->setShowEdgeOnNoFocus(true);
    b->setFont(FormFont());
    return b;
  };
  vsNetBut1_ = makeButton(QStringLiteral("播放语音"), "VsNetBut1");
  vsNetBut2_ = makeButton(QStringLiteral("新 数 字"), "VsNetBut2");
  vsNetBut6_ = makeButton(QStringLiteral("帮 助"), "VsNetBut6");
  vsNetBut5_ = makeButton(QStringLiteral("退 出"), "VsNetBut5");
  connect(vsNetBut1_, &VsNetBut::Click, this, &NumberExeForm::SpeakNumber);
  connect(vsNetBut2_, &VsNetBut::Click, this, [this] {
    QPointer<NumberExeForm> self(this);
    NewNumber(true);
    if (self) vsNetBut1_->setFocus();
  });
  connect(vsNetBut6_, &VsNetBut::Click, this, &NumberExeForm::ShowHelp);
  connect(vsNetBut5_, &VsNetBut::Click, this, &QDialog::close);

  picture1_ = new NumberPanel(this);
  label1_ = new QLabel(picture1_);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setFont(QFont(QStringLiteral("Arial"), 40));
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setTextFormat(Qt::PlainText);
  label1_->setAttribute(Qt::WA_TranslucentBackground);
  picture1_->hide();
}

void NumberExeForm::LayoutControls() {
  label4_->setGeometry(ToPixels(kLabel4Rect));
  list1_->setGeometry(ToPixels(kList1Rect));
  frame1_->setGeometry(ToPixels(kFrame1Rect));
  for (int k = 0; k < kOptionCount; ++k) {
    const QRect r(kOptionLeft[k / 4], kOptionTop + (k % 4) * kOptionStep, kOptionWidth, kOptionHeight);
    option1_[k]->setGeometry(ToPixels(r));
  }
  label2_->setGeometry(ToPixels(kLabel2Rect));
  list2_->setGeometry(ToPixels(kList2Rect));
  label3_->setGeometry(ToPixels(kLabel3Rect));
  qelPBar1_->setGeometry(ToPixels(QRect(kMargin, kBarTop, kListWidth, kBarHeight)));
  VsNetBut* buttons[] = {vsNetBut1_, vsNetBut2_, vsNetBut6_, vsNetBut5_};
  for (int i = 0; i < 4; ++i)
    buttons[i]->setGeometry(ToPixels(QRect(kButtonLeft, kButtonTops[i], kButtonWidth, kButtonHeight)));
  // The panel covers the window; it is as high as the window itself.
  picture1_->setGeometry(0, 0, width(), ToPixels(kWindowHeight));
}

// Centred on the main window, 300 twips above its middle.
void NumberExeForm::PlaceWindow() {
  const QWidget* host = parentWidget() ? parentWidget()->window() : nullptr;
  QRect area;
  if (host && host->isVisible())
    area = host->frameGeometry();
  else if (const QScreen* screen = QGuiApplication::primaryScreen())
    area = screen->availableGeometry();
  if (area.isEmpty()) return;
  const int left = area.left() + (area.width() - ToPixels(kWindowWidth)) / 2;
  const int top = area.top() + (area.height() - ToPixels(kWindowHeight)) / 2 - ToPixels(300);
  move(std::max(left, 0), std::max(top, 0));
}

void NumberExeForm::FillVoices() {
  QListWidgetItem* firstTicked = nullptr;
  for (const platform::SpeechVoice& voice : engine_->Voices()) {
    const bool ticked = NumberGen::DefaultVoiceTicked(voice.description);
    QListWidgetItem* item = AddTickEntry(list2_, voice.description, ticked);
    if (ticked && !firstTicked) firstTicked = item;
  }
  // Long voice lists open where the ticked voices begin.
  if (firstTicked) list2_->scrollToItem(firstTicked, QAbstractItemView::PositionAtTop);
}

void NumberExeForm::FillKinds() {
  for (int i = 0; i < kKindCount; ++i) {
    QListWidgetItem* item = AddTickEntry(list1_, QString::fromUtf8(kKinds[i].text), i == 0);
    if (kKinds[i].digits > 0) item->setData(Qt::UserRole, kKinds[i].digits);
  }
  list1_->setCurrentRow(0);
  List1_Click();
}

void NumberExeForm::SetUpSpeedBar() {
  qelPBar1_->setValue(engine_->Rate() + 5);
  qelPBar1_->setCaption(kRateCaption + QString::number(qelPBar1_->Value()));
  qelPBar1_->resize(list2_->width(), qelPBar1_->height());
}

// ---------------------------------------------------------------------------
// Numbers

QString NumberExeForm::DrawNumber() {
  const int count = list1_->count();
  if (count == 0) return QString();  // the window was not set up (no voices)
  if (!AnyTicked(list1_)) list1_->item(0)->setCheckState(Qt::Checked);
  int k = 0;
  for (int i = 0; i < kMaxRedraws; ++i) {
    k = static_cast<int>(std::nearbyint(static_cast<double>(ProMod::Rnd()) * (count - 1)));
    if (IsTicked(list1_, k)) break;
  }
  if (!IsTicked(list1_, k)) k = 0;
  while (k < count && !IsTicked(list1_, k)) ++k;
  auto digits = [this](int row) { return list1_->item(row)->data(Qt::UserRole).toInt(); };
  switch (k) {
    case 0: return NumberGen::MakeInteger(digits(0), NumberGen::kGroupedPattern);
    case 1: return NumberGen::MakeDecimal(digits(1), NumberGen::kGroupedPattern, 3);
    case 2: return NumberGen::MakeFraction(digits(2));
    case 3: return NumberGen::MakePercent();
    case 4: return NumberGen::MakeYear();
    case 5: return NumberGen::MakeMonth();
  }
  return QString();
}

void NumberExeForm::NewNumber(bool speak) {
  numberText_ = DrawNumber();
  QString shown = numberText_;
  shown.replace(QLatin1Char('/'), kFractionBar);
  label1_->setText(shown);
  PlaceNumberLabel();
  if (speak) SpeakNumber();
}

// The number stays centred across the panel whatever its width; the frame
// keeps 180 twips beside it and 120 above and below.
void NumberExeForm::PlaceNumberLabel() {
  label1_->adjustSize();
  const int w = label1_->width() * twips::kPerPixel;
  const int h = label1_->height() * twips::kPerPixel;
  const int panelWidth = picture1_->width() * twips::kPerPixel;
  const int left = (panelWidth - w) / 2;
  const int top = static_cast<int>(0.4 * kWindowHeight - h / 3.0);
  label1_->move(ToPixels(left), ToPixels(top));
  picture1_->setShape1(QRect(left - 180, top - 120, w + 360, h + 240));
}

// ---------------------------------------------------------------------------
// Speaking

void NumberExeForm::SpeakNumber() {
  if (engine_->Speaking()) return;  // one utterance at a time
  if (list2_->count() == 0) {
    ProMod::ShowMsgBox(kNoVoices, 1, QStringLiteral("错误"), ProMod::kIconStop);
    return;
  }
  ProMod::Randomize();
  const int count = list2_->count();
  int v = 0;
  if (count == 1) {
    list2_->item(0)->setCheckState(Qt::Checked);
  } else if (!AnyTicked(list2_)) {
    ProMod::ShowMsgBox(kNoVoiceTicked, 1, QStringLiteral("选择发音"), ProMod::kIconStop);
    return;
  } else {
    for (int i = 0; i < kMaxRedraws; ++i) {
      v = std::clamp(static_cast<int>(ProMod::Rnd() * count), 0, count - 1);
      if (IsTicked(list2_, v)) break;
    }
    while (!IsTicked(list2_, v)) v = (v + 1) % count;
  }
  // The engine outlives this call even when the window goes away while it
  // speaks.
  const std::shared_ptr<platform::SpeechEngine> engine = engine_;
  QPointer<NumberExeForm> self(this);
  utteranceEnded_ = false;
  const bool spoken = engine->setVoice(v) && engine->Speak(NumberGen::SpokenText(numberText_));
  // An utterance ended by closing the window is no failure.
  if (!self || spoken || utteranceEnded_) return;
  ProMod::ShowMsgBox(kVoiceFailed, 1, QStringLiteral("错误"), ProMod::kIconStop);
}

void NumberExeForm::EndUtterance() {
  if (!engine_ || !engine_->Speaking() || utteranceEnded_) return;
  utteranceEnded_ = true;
  engine_->Cancel();
}

// ---------------------------------------------------------------------------
// Other controls

void NumberExeForm::List1_Click() {
  const int row = list1_->currentRow();
  if (row < 0 || row > 2) {
    frame1_->hide();
    return;
  }
  frame1_->show();
  for (int k = 0; k < kOptionCount; ++k) option1_[k]->setEnabled(row != 2 || k < kFractionOptionLimit);
  const int setting = list1_->item(row)->data(Qt::UserRole).toInt();
  if (setting >= 1 && setting <= kOptionCount) option1_[setting - 1]->setChecked(true);
}

void NumberExeForm::Option1_Click(int index) {
  QListWidgetItem* item = list1_->currentItem();
  if (!item || list1_->currentRow() > 2) return;
  item->setData(Qt::UserRole, index + 1);
}

void NumberExeForm::SpeedBarMoved(int16_t button) {
  if (button != 1) return;
  qelPBar1_->setCaption(kRateCaption + QString::number(qelPBar1_->Value()));
  engine_->setRate(qelPBar1_->Value() - 5);
}

void NumberExeForm::ShowHelp() {
  QPointer<NumberExeForm> self(this);
  ProMod::ShowMsgBox(kHelp, 1, QString(), ProMod::kIconInformation);
  if (self) vsNetBut1_->setFocus();
}

QRadioButton* NumberExeForm::Option1(int index) const {
  return index >= 0 && index < kOptionCount ? option1_[index] : nullptr;
}

bool NumberExeForm::PanelShown() const { return !picture1_->isHidden(); }

void NumberExeForm::ShowPanel() {
  picture1_->raise();
  picture1_->show();
  picture1_->setFocus();
}

void NumberExeForm::HidePanel() {
  picture1_->hide();
  vsNetBut1_->setFocus();
}

// ---------------------------------------------------------------------------
// Keys and window events

bool NumberExeForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this && HandleKey(event)) return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool NumberExeForm::HandleKey(QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyRelease) {
    if (key->key() != Qt::Key_Control || key->isAutoRepeat()) return false;
    HidePanel();
    return true;
  }
  switch (key->key()) {
    case Qt::Key_Shift:
      // The number being spoken stays until its utterance has ended.
      if ((key->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier && !PanelShown() && !engine_->Speaking())
        NewNumber(true);
      return true;
    case Qt::Key_Control:
      if (!PanelShown()) ShowPanel();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      SpeakNumber();
      return true;
    default:
      return false;
  }
}

void NumberExeForm::closeEvent(QCloseEvent* event) {
  EndUtterance();
  QDialog::closeEvent(event);
}

void NumberExeForm::reject() {
  EndUtterance();
  QDialog::reject();
}

void NumberExeForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  background_ = PanelGradient(size());
  picture1_->setGeometry(0, 0, width(), std::max(height(), ToPixels(kWindowHeight)));
  update();
}

void NumberExeForm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull())
    p.drawImage(0, 0, background_);
  else
    p.fillRect(rect(), Qt::white);
}

QDialog* CreateNumberExeForm(QWidget* parent) { return new NumberExeForm(parent); }
