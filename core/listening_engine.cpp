#include "core/listening_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "platform/audio_output.h"

namespace {

bool Within(const SentenceRecord& s, int32_t position) { return s.Start <= position && position <= s.End; }

}  // namespace

void ListeningEngine::SetResumePosition(int32_t position) {
  resume_ = std::clamp<int32_t>(position, 0, std::max<int32_t>(0, ProMod::TotalLength));
}

void ListeningEngine::SetShadowing(const Shadowing& shadowing) {
  shadowing_.on = shadowing.on;
  shadowing_.count = std::clamp(shadowing.count, 0, 9);
  shadowing_.pause = std::isfinite(shadowing.pause) ? std::clamp(shadowing.pause, 0.0, 3.0) : 1.0;
  if (!shadowing_.on) pauseUntilUSecs_ = -1;
}

void ListeningEngine::SetCurrent(int sentenceNumber, int nextIndex) {
  current_ = sentenceNumber;
  next_ = nextIndex;
  followed_ = 0;
}

// ---------------------------------------------------------------------------
// Starting plays

bool ListeningEngine::PlaySentence(int index, int32_t from) {
  if (!ProMod::AudioLoaded) return false;
  pauseUntilUSecs_ = -1;  // a new play ends any shadowing silence
  if (index < 2 || index > ProMod::Sentences.UBound()) return false;
  const SentenceRecord& s = ProMod::Sentences[index];
  // A sentence lying beyond the end of the recording has nothing to hear.
  if (s.End <= s.Start) return false;
  rangeStart_ = s.Start;
  playEnd_ = s.End;
  rangeSentence_ = index;
  mode_ = Mode::Range;
  playing_ = true;
  // The player stops handing out audio at the sentence end, so nothing
  // after it is heard whatever the poll's timing.
  SoundMod::PlayFrom(std::clamp(from, s.Start, s.End), playEnd_);
  return true;
}

bool ListeningEngine::PlayRange(int32_t from, int32_t to) {
  if (!ProMod::AudioLoaded) return false;
  pauseUntilUSecs_ = -1;  // a new play ends any shadowing silence
  const int32_t length = ProMod::TotalLength;
  from = std::clamp<int32_t>(from, 0, length);
  to = std::clamp<int32_t>(to, 0, length);
  if (to <= from) return false;
  rangeStart_ = from;
  playEnd_ = to;
  rangeSentence_ = 0;
  mode_ = Mode::Range;
  playing_ = true;
  SoundMod::PlayFrom(from, to);
  return true;
}

bool ListeningEngine::PlayWhole(int32_t from, int32_t end) {
  if (!ProMod::AudioLoaded) return false;
  pauseUntilUSecs_ = -1;  // a new play ends any shadowing silence
  playEnd_ = end < 0 ? ProMod::TotalLength : end;
  rangeSentence_ = 0;
  mode_ = Mode::WholeRecording;
  playing_ = true;
  SoundMod::PlayFrom(from, end < 0 ? -1 : playEnd_);
  return true;
}

bool ListeningEngine::ChooseSentence(int index) {
  if (index < 2 || index > ProMod::Sentences.UBound()) return false;
  SetCurrent(SentenceNumber(index), index);
  shadowRound_ = 1;
  return PlaySentence(index, ProMod::Sentences[index].Start);
}

bool ListeningEngine::ReplayCurrent() {
  const int index = TableIndex(current_);
  if (current_ < 1 || index > ProMod::Sentences.UBound()) return false;
  shadowRound_ = 1;
  return PlaySentence(index, ProMod::Sentences[index].Start);
}

bool ListeningEngine::RestartWhole() {
  if (InRange() || !ProMod::AudioLoaded) return false;
  SetCurrent(1, 2);
  return PlayWhole(0);
}

// ---------------------------------------------------------------------------
// Halting

void ListeningEngine::Halt() {
  pauseUntilUSecs_ = -1;
  SoundMod::PauseAudio();
  resume_ = ProMod::PausedPosition;
  playing_ = false;
}

void ListeningEngine::Pause() {
  Halt();
  mode_ = Mode::Stopped;
}

void ListeningEngine::Hold() { Halt(); }

void ListeningEngine::Reset() {
  // The loops are the learner's switches and outlive the recording.
  const bool loopRecording = loopRecording_;
  const bool loopSentence = loopSentence_;
  *this = ListeningEngine();
  loopRecording_ = loopRecording;
  loopSentence_ = loopSentence;
}

void ListeningEngine::SeekSentence(int32_t position) {
  const SentenceTable& table = ProMod::Sentences;
  if (table.IsEmpty()) return;
  const int upper = table.UBound();
  for (int i = 2; i <= upper; ++i) {
    if (Within(table[i], position)) {
      SetCurrent(SentenceNumber(i), i);
      return;
    }
  }
  // Between sentences: the last one that ended before the position is the
  // current one, and the follow waits for the one after it.
  int last = 0;
  for (int j = 2; j <= upper; ++j)
    if (table[j].End < position) last = j;
  if (last > 0)
    SetCurrent(SentenceNumber(last), last < upper ? last + 1 : last);
  else
    SetCurrent(0, 2);  // before the first sentence
}

// ---------------------------------------------------------------------------
// The poll

ListeningEngine::Tick ListeningEngine::Poll() {
  Tick tick;
  if (!ProMod::AudioLoaded) {
    playing_ = false;
    mode_ = Mode::Stopped;
    return tick;
  }
  tick.position = SoundMod::GetPosition();
  if (ShadowPausing()) {
    EndShadowPause(tick);
    return tick;
  }
  if (tick.position >= ProMod::TotalLength) {
    tick.recordingEnded = true;
    SoundMod::StopAudio();
    playing_ = false;
  }
  if (tick.position >= playEnd_) EndOfPlay(tick);
  if (tick.recordingEnded && !playing_) {
    // Stopped at the end: the next play starts from the beginning.
    mode_ = Mode::Stopped;
    resume_ = 0;
    ProMod::PausedPosition = 0;
  }
  if (tick.restarted) return tick;
  if (mode_ == Mode::WholeRecording && playing_) tick.followed = FollowTo(tick.position);
  return tick;
}

void ListeningEngine::EndOfPlay(Tick& tick) {
  tick.rangeEnded = true;
  Halt();
  // The mode the play ran in decides the loop: a sentence that ends with
  // the recording loops like any other.
  if (loopRecording_ && mode_ == Mode::WholeRecording) {
    tick.restarted = RestartWhole();
  } else if (loopSentence_ && mode_ == Mode::Range && rangeSentence_ > 0) {
    tick.restarted = ReplayCurrent();
  } else if (shadowing_.on && mode_ == Mode::Range && rangeSentence_ > 0) {
    if (ShadowNext(tick)) return;
  }
  if (!tick.restarted) {
    mode_ = Mode::Stopped;
    next_ = std::min(next_ + 1, static_cast<int>(INT16_MAX));
  }
}

// After a hearing while shadowing: the silence to speak in, or the next
// sentence once the sentence was heard often enough. False when there is
// nothing more to hear.
bool ListeningEngine::ShadowNext(Tick& tick) {
  const int index = rangeSentence_;
  if (shadowing_.count == 0 || shadowRound_ < shadowing_.count) {
    const SentenceRecord& s = ProMod::Sentences[index];
    const double heardMs = (s.End - s.Start) / SoundMod::Speed();
    const auto pauseUSecs = static_cast<int64_t>(std::llround(heardMs * shadowing_.pause * 1000.0));
    playing_ = true;  // the silence belongs to the play
    pauseUntilUSecs_ = platform::MonotonicUSecs() + pauseUSecs;
    if (pauseUSecs <= 0) EndShadowPause(tick);
    return true;
  }
  if (index >= ProMod::Sentences.UBound()) return false;
  if (!ChooseSentence(index + 1)) return false;
  tick.restarted = true;
  tick.followed = index + 1;
  return true;
}

void ListeningEngine::EndShadowPause(Tick& tick) {
  if (platform::MonotonicUSecs() < pauseUntilUSecs_) return;
  pauseUntilUSecs_ = -1;
  const int round = shadowRound_ + 1;
  if (PlaySentence(rangeSentence_, ProMod::Sentences[rangeSentence_].Start)) {
    shadowRound_ = round;
    tick.restarted = true;
  } else {
    playing_ = false;
    mode_ = Mode::Stopped;
  }
}

int ListeningEngine::FollowTo(int32_t position) {
  // The sentence being heard becomes the current one, once per sentence.
  const int next = next_;
  const int upper = ProMod::Sentences.UBound();
  if (next < 2 || next > upper || next == followed_ || current_ >= next) return 0;
  if (!Within(ProMod::Sentences[next], position)) return 0;
  followed_ = next;
  current_ = SentenceNumber(next);  // as after a click
  if (next < upper) next_ = next + 1;
  return next;
}
