#include "core/random_source.h"
#include "practice/exe_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/message_service.h"
#include "practice/drawing_box.h"
#include "practice/practice_records.h"
#include "practice/practice_window_parts.h"

using practice_parts::Place;

namespace {

// Window size and places, twips.
constexpr int kWindowWidth = 10800;
constexpr int kWindowHeight = 7560;
constexpr int kBoxLeft = 1200;
constexpr int kBoxWidth = 9360;
constexpr int kButtonTop = 6840;
constexpr int kButtonWidth = 1260;
constexpr int kButtonHeight = 420;
constexpr int32_t kPromptMargin = 120;

const QString kEmptyAnswer = PracticeRecords::kFieldSeparator;

QFont AnswerFont() { return QFont(QStringLiteral("Arial"), 12); }

}  // namespace

QDialog* CreateExeForm(QWidget* parent) { return new ExeForm(parent); }

ExeForm::ExeForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  practice_parts::SetWindowLook(this);
  setFixedSize(qRound(kWindowWidth / 15.0), qRound(kWindowHeight / 15.0));
  timer2_.setTimerType(Qt::PreciseTimer);
  CreateControls();
  ConnectControls();
  qApp->installEventFilter(this);
  // Form_Load
  ProMod::Randomize();
  BuildOrder();
  GotoItem(1);
}

ExeForm::~ExeForm() {
  qApp->removeEventFilter(this);
  timer2_.stop();
}

void ExeForm::CreateControls() {
  Place(practice_parts::MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("听    写")), 180, 240, 960, 300);
  text1_ = new QelTextMu(this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setOnlyNumber(false);
  text1_->setFont(AnswerFont());
  Place(text1_, kBoxLeft, 180, kBoxWidth, 1560);

  Place(practice_parts::MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("  备     注")), 180, 1980, 960, 300);
  text2_ = new QelTextMu(this);
  text2_->setObjectName(QStringLiteral("Text2"));
  text2_->setOnlyNumber(false);
  text2_->setFont(AnswerFont());
  Place(text2_, kBoxLeft, 1920, kBoxWidth, 900);

  Place(practice_parts::MakeLabel(this, QStringLiteral("Label3"), QStringLiteral("  改        错")), 180, 3060, 960,
        300);
  check1_ = new QCheckBox(this);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setToolTip(QStringLiteral("对照原句改错"));
  check1_->setFocusPolicy(Qt::TabFocus);
  Place(check1_, 480, 3420, 300, 300);
  picture1_ = new DrawingBox(this);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  picture1_->setFont(AnswerFont());
  Place(picture1_, kBoxLeft, 3000, kBoxWidth, 3600);

  vsNetBut1_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut1"), QStringLiteral("播放语音"));
  vsNetBut2_[0] = practice_parts::MakeButton(this, QStringLiteral("VsNetBut2_0"), QStringLiteral("上一句"));
  vsNetBut2_[1] = practice_parts::MakeButton(this, QStringLiteral("VsNetBut2_1"), QStringLiteral("下一句"));
  vsNetBut3_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut3"), QStringLiteral("查看原句"));
  vsNetBut7_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut7"), QStringLiteral("帮 助"));
  vsNetBut6_ = practice_parts::MakeButton(this, QStringLiteral("VsNetBut6"), QStringLiteral("退 出"));
  VsNetBut* row[] = {vsNetBut1_, vsNetBut2_[0], vsNetBut2_[1], vsNetBut3_};
  int left = kBoxLeft;
  for (VsNetBut* b : row) {
    Place(b, left, kButtonTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + 120;
  }
  Place(vsNetBut6_, kBoxLeft + kBoxWidth - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
  Place(vsNetBut7_, kBoxLeft + kBoxWidth - 2 * kButtonWidth - 120, kButtonTop, kButtonWidth, kButtonHeight);
}

void ExeForm::ConnectControls() {
  connect(vsNetBut1_, &VsNetBut::Click, this, &ExeForm::PlayCurrent);
  connect(vsNetBut2_[0], &VsNetBut::Click, this, [this] { VsNetBut2_Click(0); });
  connect(vsNetBut2_[1], &VsNetBut::Click, this, [this] { VsNetBut2_Click(1); });
  connect(vsNetBut3_, &VsNetBut::Click, this, &ExeForm::VsNetBut3_Click);
  connect(vsNetBut7_, &VsNetBut::Click, this, &ExeForm::VsNetBut7_Click);
  connect(vsNetBut6_, &VsNetBut::Click, this, [this] { close(); });
  connect(check1_, &QCheckBox::clicked, this, [this](bool) { Check1_Click(); });
  connect(&timer2_, &QTimer::timeout, this, &ExeForm::Timer2_Timer);
}

VsNetBut* ExeForm::Button(const QString& objectName) const { return findChild<VsNetBut*>(objectName); }

// ---------------------------------------------------------------------------
// Items

void ExeForm::BuildOrder() {
  const SentenceTable& table = ProMod::Sentences;
  const int upper = table.UBound();
  items_.clear();
  answers_.clear();
  if (table.IsEmpty()) return;
  const int count = table.Count();
  std::vector<bool> taken(static_cast<size_t>(upper) + 1, false);
  // Draw without repetition from 1 .. upper; index 1 and drawn entries are
  // drawn again. A generator that keeps missing (a fixed test source) must
  // not hang the window: after that many misses in a row the remaining
  // entries follow in table order.
  const long long patience = 100LL * (upper + 1);
  long long misses = 0;
  while (static_cast<int>(items_.size()) < count && misses < patience) {
    const int pick = static_cast<int>(ProMod::Rnd() * upper) + 1;
    if (pick < 2 || pick > upper || taken[static_cast<size_t>(pick)]) {
      ++misses;
      continue;
    }
    misses = 0;
    taken[static_cast<size_t>(pick)] = true;
    items_.push_back(table[pick]);
  }
  for (int k = 2; k <= upper; ++k)
    if (!taken[static_cast<size_t>(k)]) items_.push_back(table[k]);
  answers_.assign(items_.size(), Answer{});
  for (SentenceRecord& item : items_) item.Remark = kEmptyAnswer;
}

const SentenceRecord& ExeForm::Item(int k) const {
  static const SentenceRecord none;
  return (k >= 1 && k <= ItemCount()) ? items_[static_cast<size_t>(k - 1)] : none;
}

QString ExeForm::AnswerField(int k) const {
  if (k < 1 || k > ItemCount()) return QString();
  const Answer& a = answers_[static_cast<size_t>(k - 1)];
  return a.typed + PracticeRecords::kFieldSeparator + a.remark;
}

bool ExeForm::Answered(int k) const {
  if (k < 1 || k > ItemCount()) return false;
  const Answer& a = answers_[static_cast<size_t>(k - 1)];
  return !a.typed.isEmpty() || !a.remark.isEmpty();
}

void ExeForm::GotoItem(int p) {
  // Separators are taken out with the trimming, so that what the learner
  // typed can never split the record it goes into.
  const QString typed = ProMod::TrimSentenceText(PracticeRecords::CleanAnswerText(text1_->Text()));
  const QString remark = ProMod::TrimSentenceText(PracticeRecords::CleanAnswerText(text2_->Text()));
  if (text1_->Text() != typed) text1_->setText(typed);
  if (text2_->Text() != remark) text2_->setText(remark);
  const int n = ItemCount();
  if (current_ >= 1 && current_ <= n) {
    answers_[static_cast<size_t>(current_ - 1)] = Answer{typed, remark};
    items_[static_cast<size_t>(current_ - 1)].Remark = AnswerField(current_);
  }
  if (n == 0) {
    current_ = 0;
    return;
  }
  if (p < 1) p = n;
  if (p > n) p = 1;
  current_ = p;
  const Answer& shown = answers_[static_cast<size_t>(p - 1)];
  text1_->setText(shown.typed);
  text2_->setText(shown.remark);
  picture1_->Cls();
  if (check1_->isChecked()) ShowComparison(QStringLiteral("请输入练习句子！"));
  FocusText1();
}

void ExeForm::ShowComparison(const QString& emptyText) {
  // The comparison clears the surface first; the prompt is printed over
  // whatever is there.
  const QString typed = text1_->Text();
  if (!typed.isEmpty())
    picture1_->DrawComparison(Item(current_).Text, typed);
  else
    picture1_->PrintAt(kPromptMargin, kPromptMargin, emptyText);
}

void ExeForm::FocusText1() {
  if (isVisible()) text1_->setFocus();
}

// ---------------------------------------------------------------------------
// Playing

void ExeForm::PlayCurrent() {
  if (ProMod::AudioLoaded && current_ >= 1 && current_ <= ItemCount()) {
    // The player itself stops at the sentence's end; the timer only
    // notices that it did.
    const SentenceRecord& item = Item(current_);
    if (engine_.PlayRange(item.Start, item.End)) timer2_.start(kTimerIntervalMs);
  }
  FocusText1();
}

void ExeForm::Timer2_Timer() {
  if (current_ < 1 || current_ > ItemCount() || !ProMod::AudioLoaded) {
    timer2_.stop();
    engine_.Pause();
    return;
  }
  if (!engine_.Playing()) {  // paused meanwhile
    timer2_.stop();
    return;
  }
  // The engine halts the play once the position reaches the item's end.
  if (engine_.Poll().rangeEnded) timer2_.stop();
}

void ExeForm::PauseAudio() { engine_.Pause(); }

void ExeForm::VsNetBut2_Click(int index) {
  engine_.Pause();
  timer2_.stop();
  GotoItem(index == 0 ? current_ - 1 : current_ + 1);
}

void ExeForm::Check1_Click() {
  if (!check1_->isChecked()) return;  // the last drawing stays
  ShowComparison(QStringLiteral("请输入句子！"));
}

void ExeForm::VsNetBut3_Click() {
  ProMod::ShowMsgBox(Item(current_).Text, 1, QStringLiteral("查看原句"), ProMod::kIconWarning);
}

void ExeForm::VsNetBut7_Click() { ProMod::ShowMsgBox(kHelpText, 1, QString(), ProMod::kIconInformation); }

bool ExeForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this || !isVisible()) return false;
  switch (practice_parts::ControlCharacter(static_cast<QKeyEvent*>(event))) {
    case 1: PlayCurrent(); return true;
    case 19: engine_.Pause(); return true;
    case 14: VsNetBut2_Click(1); return true;
    case 16: VsNetBut2_Click(0); return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------
// Closing

void ExeForm::done(int result) {
  FormUnload();
  QDialog::done(result);
}

void ExeForm::FormUnload() {
  if (unloaded_) return;
  unloaded_ = true;
  engine_.Pause();
  timer2_.stop();
  GotoItem(current_);
  bool any = false;
  for (int k = 1; k <= ItemCount() && !any; ++k) any = Answered(k);
  if (!any) return;
  if (ProMod::ShowMsgBox(kSaveQuestion, 2, QStringLiteral("保存练习"), ProMod::kIconInformation) != 1) return;
  AppendRecords();
}

void ExeForm::AppendRecords() {
  eidtIsSave_ = true;
  const QDate today = PracticeSeams::Today();
  QString added;
  for (int k = 1; k <= ItemCount(); ++k) {
    if (!Answered(k)) continue;
    const SentenceRecord& item = Item(k);
    const Answer& a = answers_[static_cast<size_t>(k - 1)];
    PracticeRecords::PracticeRecord record;
    record.sentence = item.Text;
    record.start = item.Start;
    record.end = item.End;
    record.typed = a.typed;
    record.remark = a.remark;
    record.date = today;
    added += PracticeRecords::FormatRecord(record);
  }
  ProMod::ExeData += added;
}
