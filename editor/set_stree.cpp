#include "editor/set_stree.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressBar>
#include <algorithm>

#include "controls/invalid_property_value.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vb_input.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/auto_split.h"
#include "core/message_service.h"
#include "core/peak_loader.h"
#include "editor/subtitle_import.h"
#include "editor/waveform_strip.h"
#include "platform/app_paths.h"

// The working table is numbered 1 .. n like the list beside it; every
// handler checks the current sentence against the table's size, so an
// import that leaves it beyond the table cannot reach a missing entry.

namespace {

const QColor kFace(236, 233, 216);  // the editing panel's colour, taken by the window and the overlay

SetStree::SubtitleFileChooser& Chooser() {
  static SetStree::SubtitleFileChooser chooser;
  return chooser;
}

QString AskForSubtitleFile(QWidget* owner) {
  return QFileDialog::getOpenFileName(owner, QStringLiteral("选择歌词文件LRC"), platform::ApplicationFolder(),
                                      QStringLiteral("字幕文件 (*.Lrc *.srt *.vtt)"));
}

void ShowStop(const QString& text) { ProMod::ShowMsgBox(text, 1, QString(), ProMod::kIconStop); }

}  // namespace

// ---------------------------------------------------------------------------
// The markers

TimelineMarker::TimelineMarker(const QColor& colour, QWidget* parent) : QLabel(QStringLiteral("▲"), parent) {
  setAlignment(Qt::AlignCenter);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, colour);
  setPalette(pal);
  setCursor(Qt::SizeHorCursor);
}

#define VELMO_MARKER_EVENT(handler, signal)                                   \
  void TimelineMarker::handler(QMouseEvent* event) {                          \
    int16_t button = event->type() == QEvent::MouseMove                      \
                         ? vbinput::MouseButtons(event->buttons())            \
                         : vbinput::MouseButton(event->button());             \
    int16_t shift = vbinput::ShiftState(event->modifiers());                  \
    float x = static_cast<float>(twips::FromPixels(event->position().x()));   \
    float y = static_cast<float>(twips::FromPixels(event->position().y()));   \
    emit signal(button, shift, x, y);                                         \
  }
VELMO_MARKER_EVENT(mousePressEvent, MouseDown)
VELMO_MARKER_EVENT(mouseMoveEvent, MouseMove)
VELMO_MARKER_EVENT(mouseReleaseEvent, MouseUp)
#undef VELMO_MARKER_EVENT

// ---------------------------------------------------------------------------
// Opening

void SetStree::SetSubtitleFileChooser(SubtitleFileChooser chooser) { Chooser() = std::move(chooser); }

SetStree::SetStree(QWidget* parent, const MyStree* listLook, const QelPBar* wholeBarLook,
                   const QelPBar* sentenceBarLook)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("复读设置"));
  setFont(QFont(QStringLiteral("宋体"), 9));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kFace);
  setPalette(pal);
  setMinimumSize(twips::ToPixels(kMinWidth), twips::ToPixels(kMinHeight));
  timer1_.setInterval(kWatchIntervalMs);
  timer1_.setTimerType(Qt::PreciseTimer);
  loader_ = new PeakLoader(this);
  CreateControls();
  ConnectControls();
  TakeLook(listLook, wholeBarLook, sentenceBarLook);
  resize(kDefaultWidthPixels, kDefaultHeightPixels);
  Layout();
  FormLoad();
  StartWaveform();
}

SetStree::~SetStree() {
  loader_->Stop();
  timer1_.stop();
  if (engine_.Playing()) engine_.Pause();
}

void SetStree::TakeLook(const MyStree* list, const QelPBar* whole, const QelPBar* sentence) {
  if (list) {
    myStree1_->setBackGroundColor1(list->BackGroundColor1());
    myStree1_->setBackGroundAngel(list->BackGroundAngel());
    myStree1_->setBackGroundColor2(list->BackGroundColor2());
    myStree1_->setBorderColor(list->BorderColor());
    myStree1_->setLabelColorClick(list->LabelColorClick());
    myStree1_->setLabelColorMoveIn(list->LabelColorMoveIn());
    myStree1_->setLabelColorMoveOut(list->LabelColorMoveOut());
    myStree1_->setLabelFontName(list->LabelFontName());
    myStree1_->setLabelFontSize(list->LabelFontSize());
  }
  auto copyBar = [](QelPBar* to, const QelPBar* from) {
    if (!from) return;
    to->setBorderColor(from->BorderColor());
    to->setColorLeft(from->ColorLeft());
    to->setColorRight(from->ColorRight());
    to->setForeColor1(from->ForeColor1());
    to->setForeColor2(from->ForeColor2());
    to->setBackColor(from->BackColor());
  };
  copyBar(qelPBar1_, whole);
  copyBar(qelPBar2_, sentence);
}

void SetStree::FormLoad() {
  current_ = 0;
  // Scales: a recording that could not be measured still gets a scale
  // the bars accept (their ends must differ).
  const int32_t length = std::max<int32_t>(1, ProMod::TotalLength);
  for (QelPBar* bar : {qelPBar1_, qelPBar2_}) {
    bar->setMinValue(0);
    bar->setMaxValue(length);
    bar->setValue(0);
  }
  // The working table: Sentences entry k + 1 becomes entry k.
  table_.assign(1, SentenceRecord{});
  const SentenceTable& sentences = ProMod::Sentences;
  for (int k = 1; k <= sentences.UBound() - 1; ++k) {
    SentenceRecord r = sentences[k + 1];
    r.Deleted = false;
    table_.push_back(std::move(r));
  }
  FillList();
  savedSection_ = SentenceSection();
  ComputeMarkerLimits();
  ShowRange(0, length);
  ShowOverlay(kChooseSentence, false);
}

void SetStree::FillList() {
  QStringList texts;
  texts.reserve(Count());
  for (int k = 1; k <= Count(); ++k) {
    QString caption = table_[k].Deleted ? kDeletedCaption : table_[k].Text;
    // A text holding the list's separator must stay one item.
    if (caption.contains(ProMod::kEnter)) caption.replace(ProMod::kEnter, QStringLiteral("＜KVQENTER>"));
    texts << caption;
  }
  // One empty text would be an empty block, which is no item at all.
  if (texts.size() == 1 && texts[0].isEmpty()) {
    myStree1_->setGetData(QString());
    myStree1_->AddItem(QString());
  } else {
    myStree1_->setGetData(texts.join(ProMod::kEnter));
  }
  buttons_[7]->setVisible(Count() == 0);
  RefreshWaveform();
}

// ---------------------------------------------------------------------------
// Selecting

const SentenceRecord& SetStree::Entry(int k) const {
  static const SentenceRecord empty;
  return (k >= 1 && k <= Count()) ? table_[k] : empty;
}

void SetStree::Halt() {
  timer1_.stop();
  engine_.Pause();
}

void SetStree::ShowOverlay(const QString& text, bool restoreButton) {
  label4_->setText(text);
  vsNetBut2_[1]->setVisible(restoreButton);
  picture2_->setEnabled(false);
  picture3_->show();
  picture3_->raise();
  waveform_[0]->raise();
  waveformProgress_->raise();
}

void SetStree::SelectSentence(int i) {
  if (i < 1 || i > Count()) return;
  Halt();
  loading_ = true;
  current_ = i;
  vsNetNext_->setEnabled(i < Count());
  const SentenceRecord& e = table_[i];
  if (e.Deleted) {
    ShowOverlay(QStringLiteral("此句已被临时删除。如要恢复请点击<恢复此句>。"), true);
  } else {
    picture3_->hide();
    picture2_->setEnabled(true);
    vsNetBut2_[1]->hide();
  }
  qelText1_->setText(e.Text);
  qelText2_->setText(e.Remark);
  selStart_ = e.Start;
  selEnd_ = std::min(e.End, ProMod::TotalLength);
  if (selStart_ < 1) selStart_ = 0;
  KeepRangeValid(selStart_, selEnd_);
  ShowRange(selStart_, selEnd_);
  loading_ = false;
}

void SetStree::MyStree1_LabelClick(int i) { SelectSentence(i); }

bool SetStree::RequireSentence() {
  if (current_ >= 1 && current_ <= Count()) return true;
  ShowStop(kChooseFirst);
  return false;
}

// ---------------------------------------------------------------------------
// Text and remark

void SetStree::QelText1_Change() {
  if (loading_) return;
  if (!RequireSentence()) return;
  QString text = ProMod::TrimSentenceText(qelText1_->Text());
  if (text.isEmpty()) text = kUndefinedText;
  table_[current_].Text = text;
  if (!table_[current_].Deleted) myStree1_->SetLabelData(current_, text);
}

void SetStree::QelText2_Change() {
  if (loading_) return;
  if (!RequireSentence()) return;
  table_[current_].Remark = qelText2_->Text();
}

// ---------------------------------------------------------------------------
// Delete, restore, insert, append

void SetStree::VsNetBut2_Click(int i) {
  if (current_ < 1 || current_ > Count()) return;
  SentenceRecord& e = table_[current_];
  e.Deleted = (i == 0);
  myStree1_->SetLabelData(current_, e.Deleted ? kDeletedCaption : e.Text);
  SelectSentence(current_);
}

// A new sentence fills the gap it is made for: before sentence i it runs
// from the end of the sentence before (or the recording's start) to the
// start of sentence i, after the last it runs from the last one's end to
// the recording's end. Where that gap is too short to keep it spans the
// whole recording, and the learner places it with the markers.
SentenceRecord SetStree::NewSentence(int index, int32_t from, int32_t to) {
  const int32_t length = ProMod::TotalLength;
  from = std::clamp<int32_t>(from, 0, std::max<int32_t>(0, length));
  to = std::clamp<int32_t>(to, 0, std::max<int32_t>(0, length));
  if (to - from < kShortestSentenceMs) {
    from = 0;
    to = length;
  }
  SentenceRecord r;
  r.Index = static_cast<int16_t>(index);
  r.Text = kUndefinedText;
  r.Remark = kUndefinedRemark;
  r.Start = from;
  r.StartText = SoundMod::FormatTime(from);
  r.End = to;
  r.EndText = SoundMod::FormatTime(to);
  r.Deleted = false;
  return r;
}

// The list keeps at most MyStree::kGrowLimit items it can grow to; the
// table stops there too, so that item k always shows entry k.
bool SetStree::CanGrow() {
  if (Count() < MyStree::kGrowLimit && myStree1_->LabelCount() == Count()) return true;
  ProMod::ShowMsgBox(QStringLiteral("句子数量已达上限，无法再增加句子。"), 1, QString(), ProMod::kIconStop);
  return false;
}

void SetStree::VsNetBut4_Click() {
  if (current_ < 1 || current_ > Count()) return;
  if (!CanGrow()) return;
  const int i = current_;
  const int32_t from = i > 1 ? table_[i - 1].End : 0;
  table_.insert(table_.begin() + i, NewSentence(Count() + 1, from, table_[i].Start));
  myStree1_->InsertItem(i, table_[i].Text, table_[i].Remark);
  SelectSentence(i);
}

void SetStree::AppendSentence() {
  if (!CanGrow()) return;
  const int32_t from = Count() > 0 ? table_.back().End : 0;
  table_.push_back(NewSentence(Count() + 1, from, ProMod::TotalLength));
  const SentenceRecord& r = table_.back();
  myStree1_->AddItem(r.Text, r.Remark);
  buttons_[7]->hide();
  SelectSentence(Count());
}

// ---------------------------------------------------------------------------
// Moving boundaries
//
// A start never reaches within kShortestSentenceMs of its end, an end never
// comes that close to its start, a start never goes below 0 and an end
// never beyond the recording. A refused move changes nothing.

void SetStree::MinChangeTime(int16_t ChangeTime, bool IsStart, bool IsGoback, bool ClickRefresh,
                             int16_t& GetEditSenId) {
  if (!ProMod::AudioLoaded) {
    ProMod::ShowMsgBox(QStringLiteral("音频文件不存在！"), 1, QStringLiteral("播放错误"), ProMod::kIconStop);
    return;
  }
  if (current_ < 1 || current_ > Count()) {
    ShowStop(kChooseFirst);
    return;
  }
  if (GetEditSenId == 0) GetEditSenId = static_cast<int16_t>(current_);
  if (GetEditSenId < 1 || GetEditSenId > Count()) return;
  SentenceRecord& e = table_[GetEditSenId];
  const int64_t step = int64_t{ChangeTime} * (IsGoback ? -1 : 1);
  if (IsStart) {
    int64_t v = e.Start + step;
    if (v < 1) v = 0;
    if (v > int64_t{e.End} - kShortestSentenceMs) return;
    e.Start = static_cast<int32_t>(v);
    e.StartText = SoundMod::FormatTime(e.Start);
  } else {
    int64_t v = e.End + step;
    if (v < int64_t{e.Start} + kShortestSentenceMs) return;
    if (v >= ProMod::TotalLength) v = ProMod::TotalLength;
    if (v < int64_t{e.Start} + kShortestSentenceMs) return;  // a sentence that starts at the very end
    e.End = static_cast<int32_t>(v);
    e.EndText = SoundMod::FormatTime(e.End);
  }
  if (ClickRefresh) SelectSentence(GetEditSenId);
}

void SetStree::Command1_Click(int k) {
  if (k < 0 || k > 11) return;
  if (!RequireSentence()) return;
  Halt();
  static constexpr int16_t kSteps[3] = {100, 200, 500};
  const bool isStart = k < 6;
  const bool earlier = (k % 6) < 3;
  int16_t id = 0;
  MinChangeTime(kSteps[k % 3], isStart, earlier, true, id);
}

void SetStree::VsNetBut8_Click(int k) {
  if (k < 0 || k > 15) return;
  if (!RequireSentence()) return;
  Halt();
  static constexpr int16_t kSteps[8] = {100, 200, 500, 1000, 2000, 5000, 10000, 20000};
  const int16_t step = kSteps[k % 8];
  const bool earlier = k < 8;
  for (int j = current_; j <= Count(); ++j) {
    int16_t id = static_cast<int16_t>(j);
    MinChangeTime(step, true, earlier, false, id);
    id = static_cast<int16_t>(j);
    MinChangeTime(step, false, earlier, false, id);
  }
  SelectSentence(current_);
}

void SetStree::VsNetNext_Click() {
  const int i = current_;
  if (i < 1 || i >= Count()) {
    ShowStop(QStringLiteral("请先选择一个句子。且不能为最后一句"));
    return;
  }
  const int32_t length = ProMod::TotalLength;
  SentenceRecord& e = table_[i];
  SentenceRecord& next = table_[i + 1];
  if (e.End > length - 60) {
    ShowStop(QStringLiteral("此句结尾已相当后面了，设置失败。"));
    return;
  }
  // An end within 60 ms of its start is not kept by the material file.
  if (int64_t{next.End} - 60 <= e.End) {
    if (ProMod::ShowMsgBox(QStringLiteral("设置后开头在结尾之后，如果你确定要设置，下句的结尾将设为最后。"), 2,
                           QString(), ProMod::kIconWarning) != 1)
      return;
    next.End = length;
    next.EndText = SoundMod::FormatTime(length);
  }
  next.Start = e.End;
  next.StartText = e.EndText;
  RefreshWaveform();
}

// ---------------------------------------------------------------------------
// Automatic cutting
//
// The proposal replaces the working table only when the learner agrees;
// like an import it is saved only by "保 存".

void SetStree::VsNetBut9_Click() {
  if (!peaks_) {
    ProMod::ShowMsgBox(peaksFailed_ ? kWaveformFailed : kWaveformPending, 1, kAutoSplitTitle, ProMod::kIconWarning);
    return;
  }
  std::vector<SentenceRecord> proposal = ProposalTable(ProposeSentences(*peaks_));
  // The decoder's length and the player's may differ by a frame or so.
  const int32_t length = ProMod::TotalLength;
  for (SentenceRecord& r : proposal) {
    r.End = std::min(r.End, length);
    r.EndText = SoundMod::FormatTime(r.End);
  }
  proposal.erase(std::remove_if(proposal.begin(), proposal.end(),
                                [](const SentenceRecord& r) { return r.End - r.Start < kShortestSentenceMs; }),
                 proposal.end());
  if (proposal.empty()) {
    ProMod::ShowMsgBox(kNothingToSplit, 1, kAutoSplitTitle, ProMod::kIconWarning);
    return;
  }
  const int count = std::min<int>(static_cast<int>(proposal.size()), MyStree::kMaxItems);
  const QString question = QStringLiteral("自动分段找到%1句，将替换现有的全部句子。").arg(count) + ProMod::kCrLf +
                           QStringLiteral("替换后可以修改句子的文本和时间，点击<保 存>后才会保存。确定要替换吗？");
  if (ProMod::ShowMsgBox(question, 2, kAutoSplitTitle, ProMod::kIconInformation) != 1) return;
  Halt();
  table_.assign(1, SentenceRecord{});
  for (int k = 0; k < count; ++k) table_.push_back(std::move(proposal[k]));
  FillList();
  current_ = 0;
  ShowOverlay(kChooseSentence, false);
  ShowRange(0, std::max<int32_t>(1, length));
}

// ---------------------------------------------------------------------------
// Import, save, close

void SetStree::VsNetBut5_Click() {
  const QString path = Chooser() ? Chooser()(this) : AskForSubtitleFile(this);
  if (path.isEmpty()) return;
  SubtitleImport imported = ImportSubtitleFile(path, ProMod::TotalLength);
  if (imported.sentences.empty()) {
    if (!imported.failure.isEmpty())
      ProMod::ShowMsgBox(imported.failure, 1, QStringLiteral("读取失败"), ProMod::kIconStop);
    return;
  }
  const int limit = std::min<int>(static_cast<int>(imported.sentences.size()), MyStree::kMaxItems);
  Halt();
  table_.assign(1, SentenceRecord{});
  for (int k = 0; k < limit; ++k) {
    SentenceRecord r = imported.sentences[k];
    r.Index = static_cast<int16_t>(k + 1);
    r.Deleted = false;
    table_.push_back(std::move(r));
  }
  FillList();
  if (current_ > Count()) {
    current_ = 0;
    ShowOverlay(kChooseSentence, false);
  }
}

QString SetStree::SentenceSection() const {
  QStringList lines;
  for (int k = 1; k <= Count(); ++k)
    if (!table_[k].Deleted) lines << ProMod::FormatSentenceLine(table_[k]);
  return lines.join(ProMod::kEnter);
}

bool SetStree::HasUnsavedChanges() const { return SentenceSection() != savedSection_; }

void SetStree::VsNetBut1_Click() {
  const bool anyDeleted = std::any_of(table_.begin() + 1, table_.end(), [](const SentenceRecord& r) { return r.Deleted; });
  if (anyDeleted) {
    ProMod::ShowMsgBox(QStringLiteral("发现有些句子已被临时删除，在窗口关闭时前句子还会临时保存，窗口关闭后，句子将不删除。") +
                           ProMod::kCrLf + QStringLiteral("如果恢复，请点击句子后再点击<恢复此句>。"),
                       1, QStringLiteral("保存"), ProMod::kIconWarning);
  }
  const QString section = SentenceSection();
  if (section.isEmpty()) {
    ProMod::ShowMsgBox(QStringLiteral("未读取到任何有效句子，如果这样保存将清除以前所有的内容。"), 1,
                       QStringLiteral("保存"), ProMod::kIconWarning);
  }
  ProMod::BaseData = section;
  savedSection_ = section;
  eidtIsSave_ = true;
}

void SetStree::VsNetBut3_Click() { close(); }

void SetStree::done(int result) {
  // Changes reach the store only through "保 存"; leaving without it
  // would lose them, so the learner is asked first.
  if (HasUnsavedChanges()) {
    if (ProMod::ShowMsgBox(QStringLiteral("分段的修改还没有保存，退出后这些修改将丢失。确定要退出吗？"), 2,
                           QStringLiteral("退出"), ProMod::kIconWarning) != 1)
      return;
  }
  Halt();
  myStree1_->StopMouseWheel();
  QDialog::done(result);
}

QDialog* CreateSetStree(QWidget* parent) {
  const MyStree* list = nullptr;
  const QelPBar* whole = nullptr;
  const QelPBar* sentence = nullptr;
  if (parent) {
    list = parent->findChild<MyStree*>(QStringLiteral("MyStree2"), Qt::FindDirectChildrenOnly);
    whole = parent->findChild<QelPBar*>(QStringLiteral("QelPBar1"), Qt::FindDirectChildrenOnly);
    sentence = parent->findChild<QelPBar*>(QStringLiteral("QelPBar2"), Qt::FindDirectChildrenOnly);
  }
  return new SetStree(parent, list, whole, sentence);
}
