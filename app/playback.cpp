// The listening side of the main window: whole-recording and sentence
// playback, the 10 ms position poll, the loops, following the playback in
// the sentence list, the bars, the check boxes, the keys and the remark save.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
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
#include "core/time_text.h"

namespace {

// A remark is stored inside its sentence line, after the end time. Brackets
// would be read back as time tags and the separator or a section tag would
// split the line or the file, so such characters are stored in their
// full-width forms.
QString StorableRemark(QString remark) {
  remark.replace(QLatin1Char('['), QChar(0xFF3B));
  remark.replace(QLatin1Char(']'), QChar(0xFF3D));
  const QString tags[] = {ProMod::kEnter,    ProMod::kSetOpen,  ProMod::kSetClose, ProMod::kBaseOpen,
                          ProMod::kBaseClose, ProMod::kExeOpen, ProMod::kExeClose};
  for (const QString& tag : tags) {
    qsizetype at = 0;
    while ((at = remark.indexOf(tag, at, Qt::CaseInsensitive)) >= 0) {
      remark[at] = QChar(0xFF1C);  // '<' becomes '＜'
      at += tag.size();
    }
  }
  return remark;
}

bool Within(const SentenceRecord& s, int32_t value) { return s.Start <= value && value <= s.End; }

}  // namespace

bool MainForm::SentenceBarShown() const { return !qelPBar2_->isHidden(); }
bool MainForm::PauseImageShown() const { return !imageMp3Click_[0]->isHidden(); }

void MainForm::ShowPauseImage(bool playing) {
  imageMp3Click_[0]->setVisible(playing);
  imageMp3Click_[1]->setVisible(!playing);
}

QString MainForm::SentenceCaption(int32_t elapsed, int32_t length) const {
  return QStringLiteral("第") + QString::number(currentSentence_) + QStringLiteral("句朗读(开始时间：") +
         ProMod::Sentences[currentSentence_ + 1].StartText + QStringLiteral(")：") + SoundMod::FormatTime(elapsed) +
         QLatin1Char('/') + SoundMod::FormatTime(length);
}

QString MainForm::WholeCaption(const QString& separator) const {
  return QStringLiteral("全文朗读：") + SoundMod::FormatTime(qelPBar1_->Value()) + separator +
         ProMod::TotalLengthText;
}

void MainForm::UpdateRemarkBox() {
  const int current = currentSentence_;
  if (current > 0 && current < ProMod::Sentences.UBound() && !ProMod::CurrentAudioPath.isEmpty()) {
    qelTextMu1_->setText(ProMod::Sentences[current + 1].Remark);
    buttons_[8]->setEnabled(true);
  } else {
    buttons_[8]->setEnabled(false);
    qelTextMu1_->setText(QString());
  }
}

// ---------------------------------------------------------------------------
// PlayPara

void MainForm::PlayPara(int16_t PlayId, int32_t GetStar, int32_t GetEnd) {
  if (!ProMod::AudioLoaded) return;
  if (PlayId != 0) {
    // One sentence, also one that starts at 0 ms.
    if (PlayId < 2 || PlayId > ProMod::Sentences.UBound()) return;
    const SentenceRecord& s = ProMod::Sentences[PlayId];
    if (s.End <= s.Start) {
      // The sentence lies beyond the end of the recording: nothing to hear.
      ShowPauseImage(false);
      return;
    }
    const int32_t from = SentenceBarShown() ? std::clamp(GetStar, s.Start, s.End) : s.Start;
    playEnd_ = s.End;
    // The player stops handing out audio at the sentence end, so nothing
    // after it is heard whatever the poll's timing.
    SoundMod::PlayFrom(from, playEnd_);
    qelPBar2_->setMinValue(0);
    qelPBar2_->setValue(0);
    qelPBar2_->setMaxValue(playEnd_);
    qelPBar2_->setValue(s.Start);
    qelPBar2_->setMinValue(s.Start);
    qelPBar2_->setCanDrag(true);
    SetBarCaption(qelPBar2_, SentenceCaption(from - s.Start, s.End - s.Start));
    qelPBar2_->show();
    qelPBar2_->raise();
    qelPBar1_->setCanDrag(false);
  } else if (GetStar != 0) {
    SoundMod::PlayFrom(GetStar);
    playEnd_ = ProMod::TotalLength;
    qelPBar2_->hide();
  } else {
    playEnd_ = GetEnd == -1 ? ProMod::TotalLength : GetEnd;
    SoundMod::PlayFrom(0, GetEnd == -1 ? -1 : playEnd_);
  }
  ShowPauseImage(true);
  timer3_.start();
}

// ---------------------------------------------------------------------------
// The position poll

void MainForm::Timer3_Timer() {
  if (!ProMod::AudioLoaded) {
    timer3_.stop();
    return;
  }
  const int32_t reading = SoundMod::GetPosition();
  qelPBar1_->setValue(reading);
  const bool sentenceMode = SentenceBarShown();

  bool recordingEnded = false;
  bool restarted = false;
  if (qelPBar1_->MaxValue() == qelPBar1_->Value()) {
    recordingEnded = true;
    timer3_.stop();
    SoundMod::StopAudio();
    qelPBar2_->hide();
    qelPBar1_->setValue(0);
    SetBarCaption(qelPBar1_, ProMod::CurrentAudioPath);
    // Stopped like a pause: the play image shows and the bar can be dragged
    // again, also when a sentence's end lies beyond the recording.
    ShowPauseImage(false);
    qelPBar1_->setCanDrag(true);
  }

  if (reading >= playEnd_) {
    timer3_.stop();
    SoundMod::PauseAudio();
    qelPBar1_->setCanDrag(true);
    ShowPauseImage(false);
    // The mode this tick started in decides the loop: a sentence that ends
    // with the recording loops like any other.
    if (check1_[1]->isChecked() && !sentenceMode) {
      qelPBar2_->hide();
      KeyA();  // from the start; the list follows again from the first sentence
      restarted = true;
    } else if (check1_[2]->isChecked() && sentenceMode) {
      KeyR();
      restarted = true;
    } else {
      qelPBar2_->hide();
      nextSentence_ = static_cast<int16_t>(std::min<int>(nextSentence_ + 1, INT16_MAX));
    }
  }
  if (recordingEnded && !timer3_.isActive()) {
    // The bar went back to the start, and so does the next play.
    ProMod::PausedPosition = 0;
  }
  // A loop that started again has set the bars for its start; this tick's
  // reading belongs to the play that ended.
  if (restarted && timer3_.isActive()) return;

  if (SentenceBarShown()) {
    qelPBar2_->setValue(qelPBar1_->Value());
    const int32_t elapsed = reading - qelPBar2_->MinValue();
    const int32_t length = qelPBar2_->MaxValue() - qelPBar2_->MinValue();
    SetBarCaption(qelPBar2_, SentenceCaption(elapsed, length));
  }
  if (!timer3_.isActive()) {
    SetBarCaption(qelPBar1_, ProMod::CurrentAudioPath);
    return;
  }
  if (SentenceBarShown()) return;

  SetBarCaption(qelPBar1_, WholeCaption(QStringLiteral(" / ")));
  // Follow the playback: the sentence being heard becomes the current item,
  // once per sentence.
  const int next = nextSentence_;
  const int upper = ProMod::Sentences.UBound();
  if (next >= 2 && next <= upper && next != followed_ && currentSentence_ < next &&
      Within(ProMod::Sentences[next], qelPBar1_->Value())) {
    followed_ = next;
    myStree2_->setLabelCurClick(next);
    // As after a click: the highlighted sentence is the current one.
    currentSentence_ = static_cast<int16_t>(next - 1);
    UpdateRemarkBox();
    if (next < upper) nextSentence_ = static_cast<int16_t>(next + 1);
  }
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
  const SentenceRecord s = table[k];
  currentSentence_ = static_cast<int16_t>(s.Index - 1);
  nextSentence_ = s.Index;
  followed_ = 0;
  UpdateRemarkBox();
  PlayPara(s.Index, s.Start, s.End);
}

void MainForm::PauseImage_Click() {
  ShowPauseImage(false);
  SoundMod::PauseAudio();
  timer3_.stop();
  qelPBar2_->hide();
  SetBarCaption(qelPBar1_, WholeCaption(QStringLiteral(" / ")));
  qelPBar1_->setCanDrag(true);
}

void MainForm::PlayImage_Click() {
  if (!ProMod::AudioLoaded) return;
  ShowPauseImage(true);
  if (!SentenceBarShown()) {
    PlayPara(0, ProMod::PausedPosition, -1);
  } else {
    // Paused by a press on the sentence bar: go on to the sentence end.
    PlayPara(static_cast<int16_t>(currentSentence_ + 1), ProMod::PausedPosition, qelPBar2_->MaxValue());
  }
  timer3_.start();
}

void MainForm::WholeBar_MouseDown(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  timer3_.stop();
  SoundMod::PauseAudio();
  SeekSentence(qelPBar1_->Value());
}

void MainForm::SeekSentence(int32_t value) {
  const SentenceTable& table = ProMod::Sentences;
  if (table.IsEmpty()) return;
  const int upper = table.UBound();
  followed_ = 0;
  for (int i = 2; i <= upper; ++i) {
    if (Within(table[i], value)) {
      currentSentence_ = static_cast<int16_t>(i - 1);
      UpdateRemarkBox();
      nextSentence_ = static_cast<int16_t>(i);
      return;
    }
  }
  // Between sentences: the last one that ended before the position is the
  // current one, and the follow waits for the one after it.
  int last = 0;
  for (int j = 2; j <= upper; ++j)
    if (table[j].End < value) last = j;
  if (last > 0) {
    currentSentence_ = static_cast<int16_t>(last - 1);
    UpdateRemarkBox();
    nextSentence_ = static_cast<int16_t>(last < upper ? last + 1 : last);
  } else {
    // Before the first sentence.
    currentSentence_ = 0;
    UpdateRemarkBox();
    nextSentence_ = 2;
  }
}

void MainForm::WholeBar_MouseMove(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  SetBarCaption(qelPBar1_, WholeCaption(QStringLiteral("/")));
}

void MainForm::WholeBar_MouseUp(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  // The bar may have been dragged away from where it was pressed: the
  // list follows from the sentence at the drop position.
  SeekSentence(qelPBar1_->Value());
  PlayPara(0, qelPBar1_->Value(), -1);
  ShowPauseImage(true);
}

void MainForm::SentenceBar_MouseDown(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  timer3_.stop();
  SoundMod::PauseAudio();
}

void MainForm::SentenceBar_MouseMove(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  SetBarCaption(qelPBar2_, QStringLiteral("第") + QString::number(currentSentence_) + QStringLiteral("句朗读：") +
                        SoundMod::FormatTime(qelPBar2_->Value() - qelPBar2_->MinValue()) + QLatin1Char('/') +
                        SoundMod::FormatTime(qelPBar2_->MaxValue() - qelPBar2_->MinValue()));
}

void MainForm::SentenceBar_MouseUp(int16_t Button) {
  if (Button != 1 || !ProMod::AudioLoaded) return;
  PlayPara(static_cast<int16_t>(currentSentence_ + 1), qelPBar2_->Value(), qelPBar2_->MaxValue());
}

// ---------------------------------------------------------------------------
// Check boxes and labels

void MainForm::Check1_Click(int index) {
  if (index < 0 || index > 2) return;
  if (index == 0) myStree2_->setShowHideCaptial(check1_[0]->isChecked());
  if (index == 1) myStree2_->setLabeItemStrShow(check1_[1]->isChecked());
  labelCheck_[0]->setText(check1_[0]->isChecked() ? QStringLiteral("显示文本") : QStringLiteral("隐藏文本"));
}

void MainForm::LabelCheck_Click(int index) {
  if (index < 0 || index > 2) return;
  check1_[index]->setChecked(!check1_[index]->isChecked());
  Check1_Click(index);
}

// ---------------------------------------------------------------------------
// Keys

void MainForm::KeyR() {
  const int current = currentSentence_;
  if (current < 1 || current + 1 > ProMod::Sentences.UBound()) return;
  const SentenceRecord& s = ProMod::Sentences[current + 1];
  PlayPara(static_cast<int16_t>(current + 1), s.Start, s.End);
}

void MainForm::KeyA() {
  if (SentenceBarShown() || !ProMod::AudioLoaded) return;
  // From the start, the list follows again from the first sentence.
  currentSentence_ = 1;
  nextSentence_ = 2;
  followed_ = 0;
  PlayPara(0, 0, -1);
}

void MainForm::KeyS() {
  if (!ProMod::AudioLoaded) return;
  if (PauseImageShown())
    PauseImage_Click();
  else
    PlayImage_Click();
}

void MainForm::KeyH() { LabelCheck_Click(0); }

void MainForm::PreviewKey(int16_t KeyAscii) {
  int key = KeyAscii;
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  switch (key) {
    case 'R': KeyR(); break;
    case 'A': KeyA(); break;
    case 'S': KeyS(); break;
    case 'H': KeyH(); break;
    default: break;
  }
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this)
    return PreviewKeyEvent(watched, static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

bool MainForm::PreviewKeyEvent(QObject* watched, QKeyEvent* event) {
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
// Remark save

void MainForm::SaveRemark_Click() {
  const int current = currentSentence_;
  SentenceTable& table = ProMod::Sentences;
  if (current <= 0 || current > table.UBound() - 1) return;
  if (ProMod::CurrentMaterialPath.isEmpty()) return;
  table[current + 1].Remark = StorableRemark(ProMod::TrimSentenceText(qelTextMu1_->Text()));
  QString base;
  for (int k = 2; k <= table.UBound(); ++k) {
    const SentenceRecord& s = table[k];
    base += QLatin1Char('[') + SoundMod::FormatTime(s.Start) + QLatin1Char(']') + s.Text + QLatin1Char('[') +
            SoundMod::FormatTime(s.End) + QLatin1Char(']') + s.Remark + ProMod::kEnter;
  }
  ProMod::BaseData = base;
  ProMod::SaveMaterialFile();
}
