// The listening side of the main window, from a learner's click to the
// pause: the window asks its ListeningEngine (core/listening_engine.h) to
// play, the 10 ms poll asks it what happened, and the bars, images and
// remark box are then made to show the engine's mode. The loops, the
// follow and the exact sentence end live in the engine; this file only
// shows them.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <algorithm>
#include <memory>

#include "app/main_form.h"
#include "app/online_lists.h"
#include "app/picture_box.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/vb_input.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/time_text.h"

using Mode = ListeningEngine::Mode;

bool MainForm::PauseImageShown() const { return !imageMp3Click_[0]->isHidden(); }

void MainForm::ShowPauseImage(bool playing) {
  imageMp3Click_[0]->setVisible(playing);
  imageMp3Click_[1]->setVisible(!playing);
}

QString MainForm::SentenceCaption(int32_t elapsed, int32_t length) const {
  const int current = engine_.Current();
  return QStringLiteral("第") + QString::number(current) + QStringLiteral("句朗读(开始时间：") +
         ProMod::Sentences[ListeningEngine::TableIndex(current)].StartText + QStringLiteral(")：") +
         SoundMod::FormatTime(elapsed) + QLatin1Char('/') + SoundMod::FormatTime(length) + ShadowCaption();
}

QString MainForm::WholeCaption(const QString& separator) const {
  return QStringLiteral("全文朗读：") + SoundMod::FormatTime(qelPBar1_->Value()) + separator +
         ProMod::TotalLengthText;
}

// ---------------------------------------------------------------------------
// Showing the engine's mode

void MainForm::ShowMode() {
  const bool playing = engine_.Playing();
  ShowPauseImage(playing);
  qelPBar2_->setVisible(engine_.InRange());
  if (engine_.InRange()) qelPBar2_->raise();
  qelPBar1_->setCanDrag(ProMod::AudioLoaded && !engine_.InRange());
  if (playing && !timer3_.isActive()) timer3_.start();
  if (!playing) timer3_.stop();
}

void MainForm::ShowSentenceRange() {
  const int index = engine_.Sentence();
  if (index < 2) return;
  const SentenceRecord& s = ProMod::Sentences[index];
  // In this order, so that no step leaves the value outside the range.
  qelPBar2_->setMinValue(0);
  qelPBar2_->setValue(0);
  qelPBar2_->setMaxValue(s.End);
  qelPBar2_->setValue(s.Start);
  qelPBar2_->setMinValue(s.Start);
  qelPBar2_->setCanDrag(true);
  const int32_t from = std::clamp<int32_t>(SoundMod::GetPosition(), s.Start, s.End);
  qelPBar2_->setCaption(SentenceCaption(from - s.Start, s.End - s.Start));
}

// ---------------------------------------------------------------------------
// PlayPara: the one entry to playback

void MainForm::PlayPara(int16_t PlayId, int32_t GetStar, int32_t GetEnd) {
  if (!ProMod::AudioLoaded) return;
  if (PlayId != 0) {
    // One sentence, also one that starts at 0 ms.
    if (engine_.PlaySentence(PlayId, GetStar)) ShowSentenceRange();
  } else {
    engine_.PlayWhole(GetStar, GetStar != 0 ? -1 : GetEnd);
  }
  ShowMode();
}

// ---------------------------------------------------------------------------
// The position poll

void MainForm::Timer3_Timer() {
  if (!ProMod::AudioLoaded) {
    timer3_.stop();
    return;
  }
  const ListeningEngine::Tick tick = engine_.Poll();
  if (tick.restarted) {
    // A loop started again and has set the bars for its start; this
    // tick's reading belongs to the play that ended.
    if (engine_.InRange()) ShowSentenceRange();
    if (tick.followed) ShowFollowed(tick.followed);
    qelPBar1_->setValue(tick.recordingEnded ? 0 : tick.position);
    if (tick.recordingEnded) qelPBar1_->setCaption(ProMod::CurrentAudioPath);
    ShowMode();
    return;
  }
  ShowPosition(tick);
  if (tick.followed) ShowFollowed(tick.followed);
  ShowMode();
}

void MainForm::ShowPosition(const ListeningEngine::Tick& tick) {
  qelPBar1_->setValue(tick.recordingEnded ? 0 : tick.position);
  if (engine_.InRange()) {
    qelPBar2_->setValue(std::clamp(tick.position, qelPBar2_->MinValue(), qelPBar2_->MaxValue()));
    const int32_t elapsed = tick.position - qelPBar2_->MinValue();
    const int32_t length = qelPBar2_->MaxValue() - qelPBar2_->MinValue();
    qelPBar2_->setCaption(SentenceCaption(elapsed, length));
  }
  if (!engine_.Playing())
    qelPBar1_->setCaption(ProMod::CurrentAudioPath);
  else if (engine_.mode() == Mode::WholeRecording)
    qelPBar1_->setCaption(WholeCaption(QStringLiteral(" / ")));
}

void MainForm::ShowFollowed(int index) {
  myStree2_->setLabelCurClick(index);
  UpdateRemarkBox();
}

// ---------------------------------------------------------------------------
// Sentence list, images, bars

void MainForm::MyStree2_LabelClick(int k) {
  const SentenceTable& table = ProMod::Sentences;
  if (table.IsEmpty()) return;
  const int upper = table.UBound();
  if (k == 1) {
    if (linkAddresses_.size() > 1) ProMod::OpenWithShell(linkAddresses_[1]);
    return;
  }
  if (k == upper + 1) {
    if (linkAddresses_.size() > 2) ProMod::OpenWithShell(linkAddresses_[2]);
    return;
  }
  if (k < 2 || k > upper) return;
  // A remark typed for another sentence is kept or dropped first, as the
  // learner says.
  if (remarkIndex_ != k) SettleRemark();
  engine_.ChooseSentence(k);
  if (engine_.InRange()) ShowSentenceRange();
  UpdateRemarkBox();
  ShowMode();
}

void MainForm::PauseImage_Click() {
  engine_.Pause();
  qelPBar1_->setCaption(WholeCaption(QStringLiteral(" / ")));
  ShowMode();
}

void MainForm::PlayImage_Click() {
  if (!ProMod::AudioLoaded) return;
  if (engine_.InRange() && engine_.Sentence() > 0) {
    // Held by a press on the sentence bar: go on to the sentence end.
    PlayPara(static_cast<int16_t>(engine_.Sentence()), engine_.ResumePosition(), qelPBar2_->MaxValue());
  } else {
    PlayPara(0, engine_.ResumePosition(), -1);
  }
}

void MainForm::WholeBar_MouseDown(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  engine_.Hold();
  timer3_.stop();
  engine_.SeekSentence(qelPBar1_->Value());
  UpdateRemarkBox();
}

void MainForm::WholeBar_MouseMove(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  qelPBar1_->setCaption(WholeCaption(QStringLiteral("/")));
}

void MainForm::WholeBar_MouseUp(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  // The bar may have been dragged away from where it was pressed: the
  // list follows from the sentence at the drop position.
  engine_.SeekSentence(qelPBar1_->Value());
  UpdateRemarkBox();
  PlayPara(0, qelPBar1_->Value(), -1);
}

void MainForm::SentenceBar_MouseDown(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  engine_.Hold();
  timer3_.stop();
}

void MainForm::SentenceBar_MouseMove(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  qelPBar2_->setCaption(QStringLiteral("第") + QString::number(engine_.Current()) + QStringLiteral("句朗读：") +
                        SoundMod::FormatTime(qelPBar2_->Value() - qelPBar2_->MinValue()) + QLatin1Char('/') +
                        SoundMod::FormatTime(qelPBar2_->MaxValue() - qelPBar2_->MinValue()));
}

void MainForm::SentenceBar_MouseUp(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  PlayPara(static_cast<int16_t>(ListeningEngine::TableIndex(engine_.Current())), qelPBar2_->Value(),
           qelPBar2_->MaxValue());
}

// ---------------------------------------------------------------------------
// Check boxes and labels

void MainForm::Check1_Click(int index) {
  if (index < 0 || index >= kCheckCount) return;
  if (index == kHideText) myStree2_->setShowHideCaptial(check1_[kHideText]->isChecked());
  if (index == kLoopRecording) myStree2_->setLabeItemStrShow(check1_[kLoopRecording]->isChecked());
  engine_.SetLoopRecording(check1_[kLoopRecording]->isChecked());
  engine_.SetLoopSentence(check1_[kLoopSentence]->isChecked());
  labelCheck_[kHideText]->setText(check1_[kHideText]->isChecked() ? QStringLiteral("显示文本")
                                                                   : QStringLiteral("隐藏文本"));
}

void MainForm::LabelCheck_Click(int index) {
  if (index < 0 || index >= kCheckCount) return;
  check1_[index]->setChecked(!check1_[index]->isChecked());
  Check1_Click(index);
}

// ---------------------------------------------------------------------------
// Keys

void MainForm::KeyR() {
  if (engine_.ReplayCurrent()) ShowSentenceRange();
  ShowMode();
}

void MainForm::KeyA() {
  if (!engine_.RestartWhole()) return;
  UpdateRemarkBox();
  ShowMode();
}

void MainForm::KeyS() {
  if (!ProMod::AudioLoaded) return;
  if (PauseImageShown())
    PauseImage_Click();
  else
    PlayImage_Click();
}

void MainForm::KeyH() { LabelCheck_Click(kHideText); }

void MainForm::PreviewKey(int16_t KeyAscii) {
  int key = KeyAscii;
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  switch (key) {
    case 'R': KeyR(); break;
    case 'A': KeyA(); break;
    case 'S': KeyS(); break;
    case 'H': KeyH(); break;
    case '[': StepSpeed(-1); break;
    case ']': StepSpeed(+1); break;
    default: break;
  }
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == speedValue_ && event->type() == QEvent::Wheel) return SpeedWheel(static_cast<QWheelEvent*>(event));
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this)
    return PreviewKeyEvent(watched, static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

namespace {

// Letters typed into a text box are text, not shortcuts.
bool TakesTyping(const QObject* widget) {
  for (const QObject* w = widget; w; w = w->parent()) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
        qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QelTextBase*>(w))
      return true;
    if (w->isWidgetType() && static_cast<const QWidget*>(w)->isWindow()) break;
  }
  return false;
}

}  // namespace

bool MainForm::PreviewKeyEvent(QObject* watched, QKeyEvent* event) {
  if (TakesTyping(watched)) return false;
  // Our own copy on its way to the control and its parents.
  if (std::find(keysInFlight_.begin(), keysInFlight_.end(), event) != keysInFlight_.end()) return false;
  // The window acts first; then the key goes on to the control as if the
  // window had not looked at it. The copy is sent instead of letting the
  // original through so that its trip up the parent chain does not bring it
  // back here a second time.
  const int code = vbinput::CharacterCode(event);
  if (code > 0 && code <= 0x7F) PreviewKey(static_cast<int16_t>(code));
  QPointer<QObject> target(watched);
  if (target) {
    std::unique_ptr<QEvent> copy(event->clone());
    keysInFlight_.push_back(copy.get());
    QApplication::sendEvent(target, copy.get());
    keysInFlight_.erase(std::find(keysInFlight_.begin(), keysInFlight_.end(), copy.get()));
  }
  event->accept();
  return true;
}

// ---------------------------------------------------------------------------
// Remark box and its save
//
// The box always belongs to one sentence (remarkIndex_), and "保存备注"
// writes onto that sentence. While the learner has changed the box and not
// saved, nothing replaces the text: not the follow, not "A", not a seek.

bool MainForm::RemarkEdited() const { return remarkIndex_ >= 2 && qelTextMu1_->Text() != remarkShown_; }

void MainForm::UpdateRemarkBox() {
  if (RemarkEdited()) return;
  const int current = engine_.Current();
  const int index = ListeningEngine::TableIndex(current);
  if (current > 0 && index <= ProMod::Sentences.UBound() && !ProMod::CurrentAudioPath.isEmpty()) {
    remarkIndex_ = index;
    remarkShown_ = ProMod::Sentences[index].Remark;
    buttons_[kSaveRemarkButton]->setEnabled(true);
  } else {
    remarkIndex_ = 0;
    remarkShown_.clear();
    buttons_[kSaveRemarkButton]->setEnabled(false);
  }
  qelTextMu1_->setText(remarkShown_);
}

void MainForm::SettleRemark() {
  if (!RemarkEdited()) return;
  if (ProMod::ShowMsgBox(QStringLiteral("备注已修改，是否保存？"), 2, ProMod::kAppTitle, ProMod::kIconWarning) == 1)
    SaveRemark_Click();
  // Kept on disk or given up: either way the box is free again.
  remarkShown_ = qelTextMu1_->Text();
  remarkIndex_ = 0;
}

void MainForm::SaveRemark_Click() {
  const int index = remarkIndex_;
  SentenceTable& table = ProMod::Sentences;
  if (index < 2 || index > table.UBound()) return;
  if (ProMod::CurrentMaterialPath.isEmpty()) return;
  table[index].Remark = ProMod::StorableText(ProMod::TrimSentenceText(qelTextMu1_->Text()));
  QString base;
  for (int k = 2; k <= table.UBound(); ++k) base += ProMod::FormatSentenceLine(table[k]) + ProMod::kEnter;
  ProMod::BaseData = base;
  if (!ProMod::SaveMaterialFile()) return;  // told to the learner; the box keeps the text
  remarkShown_ = qelTextMu1_->Text();
  UpdateRemarkBox();
}
