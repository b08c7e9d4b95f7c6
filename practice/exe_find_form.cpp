#include "practice/exe_find_form.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSet>
#include <algorithm>
#include <cstdlib>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/time_text.h"
#include "practice/drawing_box.h"
#include "practice/practice_window_parts.h"

using practice_parts::Place;
using PracticeRecords::PracticeRecord;

namespace {

// Window size and places, twips.
constexpr int kWindowWidth = 12000;
constexpr int kWindowHeight = 8100;
constexpr int kListWidth = 4200;
constexpr int kRightLeft = 4560;
constexpr int kRightWidth = 7260;
constexpr int kButtonWidth = 1260;
constexpr int kButtonHeight = 420;
constexpr int kButtonTop = 6660;

// The main window's sentence bar colours, for a host without one.
constexpr ColourValue kBarBack = 16761087;
constexpr ColourValue kBarLeft = 16744703;
constexpr ColourValue kBarRight = 16744576;
constexpr ColourValue kHighlight = RgbValue(255, 255, 0);

constexpr int kLeftButton = 1;

QFont AnswerFont() { return QFont(QStringLiteral("Arial"), 11); }

// Moves the bar to [lo, hi] in an order the bar accepts: it refuses a
// minimum equal to its maximum, even for a moment.
void SetBarRange(QelPBar* bar, int32_t lo, int32_t hi) {
  lo = std::max<int32_t>(0, lo);
  if (hi <= lo) hi = lo + 1;
  if (lo >= bar->MaxValue()) {
    bar->setMaxValue(hi);
    bar->setMinValue(lo);
  } else {
    bar->setMinValue(lo);
    bar->setMaxValue(hi);
  }
}

}  // namespace

QDialog* CreateExeFindForm(QWidget* parent) { return new ExeFindForm(parent); }

ExeFindForm::ExeFindForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  practice_parts::SetWindowLook(this);
  setFixedSize(qRound(kWindowWidth / 15.0), qRound(kWindowHeight / 15.0));
  timer2_.setTimerType(Qt::PreciseTimer);
  CreateControls();
  ConnectControls();
  CopyLook(parent);
  qApp->installEventFilter(this);
  FormLoad();
}

ExeFindForm::~ExeFindForm() {
  qApp->removeEventFilter(this);
  timer2_.stop();
}

void ExeFindForm::CreateControls() {
  combo1_ = new QComboBox(this);
  combo1_->setObjectName(QStringLiteral("Combo1"));
  combo1_->setMaxVisibleItems(20);
  Place(combo1_, 180, 150, 3300, 330);
  Place(practice_parts::MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("练习句子    备注      改错结果")),
        3720, 210, 5000, 300);

  myStree1_ = new MyStree(this);
  myStree1_->setObjectName(QStringLiteral("MyStree1"));
  Place(myStree1_, 180, 600, kListWidth, 5760);

  picture1_ = new DrawingBox(this);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  picture1_->setFont(AnswerFont());
  Place(picture1_, kRightLeft, 600, kRightWidth, 2640);

  qelTextMu1_ = new QelTextMu(this);
  qelTextMu1_->setObjectName(QStringLiteral("QelTextMu1"));
  qelTextMu1_->setOnlyNumber(false);
  qelTextMu1_->setLocked(true);
  qelTextMu1_->setFont(AnswerFont());
  Place(qelTextMu1_, kRightLeft, 3360, kRightWidth, 1080);

  qelTextMu2_ = new QelTextMu(this);
  qelTextMu2_->setObjectName(QStringLiteral("QelTextMu2"));
  qelTextMu2_->setOnlyNumber(false);
  qelTextMu2_->setFont(AnswerFont());
  Place(qelTextMu2_, kRightLeft, 4560, kRightWidth - kButtonWidth - 120, 1080);
  vsNetBut8_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut8"), QStringLiteral("保存备注"));
  Place(vsNetBut8_, kRightLeft + kRightWidth - kButtonWidth, 4560, kButtonWidth, kButtonHeight);

  qelPBar2_ = new QelPBar(this);
  qelPBar2_->setObjectName(QStringLiteral("QelPBar2"));
  qelPBar2_->setCanDrag(true);
  Place(qelPBar2_, kRightLeft, 5880, kRightWidth, 360);

  vsNetBut1_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut1"), QStringLiteral("播放语音"));
  vsNetBut2_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut2"), QStringLiteral("查看同句"));
  vsNetBut4_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut4"), QStringLiteral("删除此句"));
  vsNetBut7_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut7"), QStringLiteral("帮 助"));
  vsNetBut6_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut6"), QStringLiteral("退 出"));
  int left = kRightLeft;
  for (VsNetBut* b : {vsNetBut1_, vsNetBut2_, vsNetBut4_}) {
    Place(b, left, kButtonTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + 120;
  }
  Place(vsNetBut6_, kRightLeft + kRightWidth - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
  Place(vsNetBut7_, kRightLeft + kRightWidth - 2 * kButtonWidth - 120, kButtonTop, kButtonWidth, kButtonHeight);

  QLabel* note = practice_parts::MakeLabel(
      this, QStringLiteral("Label2"),
      QStringLiteral("以处是对您以往练习的汇总，你可以上框中选你以往的练习，可以对备注进行修改，但无法对练习进行修改"));
  note->setWordWrap(true);
  Place(note, 180, 7320, 11640, 600);
}

void ExeFindForm::ConnectControls() {
  connect(combo1_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int) { Combo1_Click(); });
  // Choosing the entry already selected (after "查看同句") lists it again.
  connect(combo1_, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
    if (index == combo1_->currentIndex()) Combo1_Click();
  });
  connect(myStree1_, &MyStree::LabelClick, this, [this](int16_t& Index) { MyStree1_LabelClick(Index); });
  connect(qelPBar2_, &QelPBar::MouseDown, this,
          [this](int16_t& Button, int16_t&, float&, float&) { QelPBar2_MouseDown(Button); });
  connect(qelPBar2_, &QelPBar::MouseUp, this,
          [this](int16_t& Button, int16_t&, float&, float&) { QelPBar2_MouseUp(Button); });
  connect(vsNetBut1_, &VsNetBut::Click, this, &ExeFindForm::PlayRecord);
  connect(vsNetBut2_, &VsNetBut::Click, this, &ExeFindForm::VsNetBut2_Click);
  connect(vsNetBut4_, &VsNetBut::Click, this, &ExeFindForm::VsNetBut4_Click);
  connect(vsNetBut8_, &VsNetBut::Click, this, &ExeFindForm::VsNetBut8_Click);
  connect(vsNetBut7_, &VsNetBut::Click, this, &ExeFindForm::VsNetBut7_Click);
  connect(vsNetBut6_, &VsNetBut::Click, this, [this] { close(); });
  connect(&timer2_, &QTimer::timeout, this, &ExeFindForm::Timer2_Timer);
}

void ExeFindForm::CopyLook(QWidget* host) {
  myStree1_->setHightLightUse(true);
  // The chosen record's caption (red) stays readable on the main window's
  // yellow highlight; on the list's own dark blue it would not.
  myStree1_->setHightLightColor(kHighlight);
  qelPBar2_->setBackColor(kBarBack);
  qelPBar2_->setColorLeft(kBarLeft);
  qelPBar2_->setColorRight(kBarRight);
  qelPBar2_->setBorderColor(0);
  if (!host) return;
  if (auto* list = host->findChild<MyStree*>(QStringLiteral("MyStree1"))) {
    myStree1_->setHightLightColor(list->HightLightColor());
    myStree1_->setBackGroundColor1(list->BackGroundColor1());
    myStree1_->setBackGroundColor2(list->BackGroundColor2());
    myStree1_->setBorderColor(list->BorderColor());
    myStree1_->setLabelColorClick(list->LabelColorClick());
    myStree1_->setLabelColorMoveIn(list->LabelColorMoveIn());
    myStree1_->setLabelColorMoveOut(list->LabelColorMoveOut());
    myStree1_->setLabelFontName(list->LabelFontName());
    myStree1_->setLabelFontSize(list->LabelFontSize());
  }
  if (auto* bar = host->findChild<QelPBar*>(QStringLiteral("QelPBar2"))) {
    qelPBar2_->setBackColor(bar->BackColor());
    qelPBar2_->setBorderColor(bar->BorderColor());
    qelPBar2_->setColorLeft(bar->ColorLeft());
    qelPBar2_->setColorRight(bar->ColorRight());
    qelPBar2_->setForeColor1(bar->ForeColor1());
    qelPBar2_->setForeColor2(bar->ForeColor2());
  }
}

VsNetBut* ExeFindForm::Button(const QString& objectName) const { return findChild<VsNetBut*>(objectName); }

// ---------------------------------------------------------------------------
// Reading and listing

void ExeFindForm::FormLoad() {
  SetBarRange(qelPBar2_, 0, ProMod::TotalLength);
  PracticeRecords::Section section = PracticeRecords::ReadSection(ProMod::ExeData);
  records_ = std::move(section.records);
  kept_ = std::move(section.kept);
  // The order of the records is the browser's own: the section is written
  // back in it.
  PracticeRecords::SortNewestFirst(records_);
  shown_.assign(records_.size(), false);

  QSignalBlocker block(combo1_);
  combo1_->clear();
  combo1_->addItem(kAllRecords);
  QSet<QDate> days;
  for (const PracticeRecord& r : records_) {
    if (days.contains(r.date)) continue;
    days.insert(r.date);
    combo1_->addItem(PracticeRecords::DayEntryText(r.date));
  }
  if (records_.empty() && section.unreadableDates > 0) {
    // Records were there but none could be dated. They stay in the section
    // untouched; the learner is told that nothing could be listed.
    ProMod::ShowMsgBox(kNoRecords, 1, QStringLiteral("练习记录"), ProMod::kIconStop);
    combo1_->clear();
    myStree1_->setEnabled(false);
    ResetSelection();
    return;
  }
  combo1_->setCurrentIndex(0);
  Combo1_Click();
}

void ExeFindForm::Combo1_Click() {
  if (!combo1_->isEnabled() || combo1_->currentIndex() < 0) return;
  const int selected = combo1_->currentIndex();
  const QString day = combo1_->currentText();
  std::fill(shown_.begin(), shown_.end(), false);
  listed_.clear();
  QStringList items;
  for (size_t i = 0; i < records_.size(); ++i) {
    const PracticeRecord& r = records_[i];
    const QString entry = PracticeRecords::DayEntryText(r.date);
    if (selected == 0) {
      items.append(QLatin1Char('[') + entry + QLatin1Char(']') + ProMod::kCrLf + r.sentence);
    } else if (entry == day) {
      items.append(r.sentence);
    } else {
      continue;
    }
    shown_[i] = true;
    listed_.push_back(static_cast<int>(i));
  }
  FillList(items);
  ResetSelection();
}

void ExeFindForm::FillList(const QStringList& items) {
  myStree1_->setGetData(items.join(ProMod::kEnter));
}

void ExeFindForm::ResetSelection() {
  current_ = -1;
  qelTextMu1_->setText(QString());
  qelTextMu2_->setText(QString());
  picture1_->Cls();
  qelPBar2_->setCaption(kChooseRecord);
  SetRecordButtons(false);
}

void ExeFindForm::SetRecordButtons(bool enabled) {
  for (VsNetBut* b : {vsNetBut1_, vsNetBut2_, vsNetBut8_, vsNetBut4_}) b->setEnabled(enabled);
}

void ExeFindForm::MyStree1_LabelClick(int index) {
  if (index < 1 || index > static_cast<int>(listed_.size())) return;
  const int record = listed_[static_cast<size_t>(index - 1)];
  if (record == current_) return;  // a play in progress goes on
  current_ = record;
  timer2_.stop();
  engine_.Pause();
  const PracticeRecord& r = records_[static_cast<size_t>(record)];
  SetBarRange(qelPBar2_, r.start, r.end);
  qelPBar2_->setValue(qelPBar2_->MinValue());
  qelPBar2_->setCaption(QStringLiteral("正在复读原句，总长为： [") +
                        SoundMod::FormatTime(std::abs(r.end - r.start)) + QLatin1Char(']'));
  SetRecordButtons(true);
  picture1_->DrawComparison(r.sentence, r.typed);
  qelTextMu1_->setText(r.typed);
  qelTextMu2_->setText(r.remark);
}

// ---------------------------------------------------------------------------
// Playing

void ExeFindForm::PlayRecord() {
  if (!ValidRecord() || !ProMod::AudioLoaded) return;
  const PracticeRecord& r = records_[static_cast<size_t>(current_)];
  if (engine_.PlayRange(r.start, r.end)) timer2_.start(kTimerIntervalMs);
}

void ExeFindForm::Timer2_Timer() {
  if (!ValidRecord() || !ProMod::AudioLoaded) {
    timer2_.stop();
    engine_.Pause();
    return;
  }
  if (!engine_.Playing()) {  // paused meanwhile
    timer2_.stop();
    return;
  }
  const ListeningEngine::Tick tick = engine_.Poll();
  qelPBar2_->setValue(tick.position);
  if (tick.rangeEnded) timer2_.stop();
}

void ExeFindForm::QelPBar2_MouseDown(int button) {
  if (!ValidRecord() || !ProMod::AudioLoaded) {
    qelPBar2_->setCaption(kChooseRecord);
    return;
  }
  if (button != kLeftButton) return;
  timer2_.stop();
  engine_.Pause();
}

void ExeFindForm::QelPBar2_MouseUp(int button) {
  if (!ValidRecord() || !ProMod::AudioLoaded) {
    qelPBar2_->setCaption(kChooseRecord);
    return;
  }
  if (button != kLeftButton) return;
  const PracticeRecord& r = records_[static_cast<size_t>(current_)];
  if (engine_.PlayRange(qelPBar2_->Value(), r.end)) timer2_.start(kTimerIntervalMs);
}

void ExeFindForm::PauseAudio() { engine_.Pause(); }

// ---------------------------------------------------------------------------
// Changing the records

void ExeFindForm::VsNetBut2_Click() {
  // Every attempt at the current record's sentence, newest first, each with
  // its day and what was typed; the current record stays chosen.
  if (!ValidRecord()) return;
  const int keep = current_;
  const QString sentence = records_[static_cast<size_t>(keep)].sentence;
  std::fill(shown_.begin(), shown_.end(), false);
  listed_.clear();
  QStringList items;
  int keepItem = 0;
  for (size_t i = 0; i < records_.size(); ++i) {
    const PracticeRecord& r = records_[i];
    if (r.sentence != sentence) continue;
    items.append(QLatin1Char('[') + PracticeRecords::DayEntryText(r.date) + QLatin1Char(']') + ProMod::kCrLf +
                 (r.typed.isEmpty() ? QStringLiteral("（未输入）") : r.typed));
    shown_[i] = true;
    listed_.push_back(static_cast<int>(i));
    if (static_cast<int>(i) == keep) keepItem = static_cast<int>(listed_.size());
  }
  FillList(items);
  myStree1_->setLabelCurClick(keepItem);
}

void ExeFindForm::VsNetBut4_Click() {
  if (!ValidRecord() || !ProMod::AudioLoaded) return;
  if (ProMod::ShowMsgBox(kDeleteQuestion, 2, QStringLiteral("删除练习"), ProMod::kIconInformation) != 1) return;
  timer2_.stop();
  engine_.Pause();
  records_.erase(records_.begin() + current_);
  shown_.erase(shown_.begin() + current_);
  current_ = -1;
  WriteRecords();
  Combo1_Click();
}

void ExeFindForm::VsNetBut8_Click() {
  if (!ValidRecord()) return;
  records_[static_cast<size_t>(current_)].remark =
      ProMod::TrimSentenceText(PracticeRecords::CleanAnswerText(qelTextMu2_->Text()));
  WriteRecords();
}

void ExeFindForm::WriteRecords() {
  eidtIsSave_ = true;
  ProMod::ExeData = PracticeRecords::WriteSection(records_, kept_);
}

void ExeFindForm::VsNetBut7_Click() { ProMod::ShowMsgBox(kHelpText, 1, QString(), ProMod::kIconInformation); }

bool ExeFindForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this || !isVisible() || !vsNetBut1_->isEnabled()) return false;
  switch (practice_parts::ControlCharacter(static_cast<QKeyEvent*>(event))) {
    case 1: PlayRecord(); return true;
    case 19: engine_.Pause(); return true;
    default: return false;
  }
}

void ExeFindForm::done(int result) {
  if (!unloaded_) {
    unloaded_ = true;
    timer2_.stop();
    engine_.Pause();
  }
  QDialog::done(result);
}
