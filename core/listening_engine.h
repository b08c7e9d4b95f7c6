#pragma once
#include <cstdint>

// What is being listened to in one window, and what happens when it ends.
//
// Every window that plays the open recording (the main window, the
// segmentation editor, the dictation window, the records browser) owns one
// engine. The engine starts plays through SoundMod, always handing the
// player the end of what it wants heard so that nothing after it is heard,
// and the window's own timer calls Poll() every few milliseconds to learn
// where playback is and whether it ended. Windows show the engine's mode
// (bars, images, captions); they never hold it themselves.
//
// Sentence numbers: the table (ProMod::Sentences) keeps sentence n at
// index n + 1 and the main window's list shows it as item n + 1. Current()
// is a sentence number, Next() a table index, as the main window has always
// kept them; TableIndex()/SentenceNumber() convert.
class ListeningEngine {
 public:
  enum class Mode {
    Stopped,         // nothing plays; the next play resumes the whole recording
    WholeRecording,  // the recording plays towards PlayEnd(), the list follows
    Range,           // one sentence (Sentence() > 0) or a free range plays to PlayEnd()
  };

  // What one poll found.
  struct Tick {
    int32_t position = 0;         // the reading, ms
    bool recordingEnded = false;  // the recording's end was reached: stopped, resume at 0
    bool rangeEnded = false;      // PlayEnd() was reached and the play halted
    bool restarted = false;       // a loop started the play again in this poll
    int followed = 0;             // table index the follow (or shadowing) made current (0: none)
  };

  // Shadowing: each sentence plays, then silence for as long as it was
  // heard times `pause`, so the learner can say it; `count` times in all
  // (0: again and again), then the next sentence. The sentence loop wins
  // when both are on.
  struct Shadowing {
    bool on = false;
    int count = 3;       // 1 .. 9, or 0 for without end
    double pause = 1.0;  // 0 .. 3
  };

  static constexpr int TableIndex(int sentenceNumber) { return sentenceNumber + 1; }
  static constexpr int SentenceNumber(int tableIndex) { return tableIndex - 1; }

  Mode mode() const { return mode_; }
  bool Playing() const { return playing_; }
  // A range is chosen (playing or held while its bar is pressed).
  bool InRange() const { return mode_ == Mode::Range; }
  // Table index of the sentence the range belongs to, 0 for a free range.
  int Sentence() const { return mode_ == Mode::Range ? rangeSentence_ : 0; }
  int32_t RangeStart() const { return rangeStart_; }
  int32_t PlayEnd() const { return playEnd_; }
  int32_t ResumePosition() const { return resume_; }
  void SetResumePosition(int32_t position);

  // The main window's sentence bookkeeping.
  int Current() const { return current_; }  // sentence number, 0 = none
  int Next() const { return next_; }        // table index the follow waits for
  void SetCurrent(int sentenceNumber, int nextIndex);

  bool LoopRecording() const { return loopRecording_; }
  bool LoopSentence() const { return loopSentence_; }
  void SetLoopRecording(bool on) { loopRecording_ = on; }
  void SetLoopSentence(bool on) { loopSentence_ = on; }
  const Shadowing& shadowing() const { return shadowing_; }
  void SetShadowing(const Shadowing& shadowing);
  // Which hearing of the current sentence this is (1 for the first).
  int ShadowRound() const { return shadowRound_; }
  // In the silence after a hearing; Playing() stays true meanwhile.
  bool ShadowPausing() const { return pauseUntilUSecs_ >= 0; }

  // Plays table entry `index` from `from` (kept inside the sentence) to its
  // end. False, changing nothing, when there is no recording, no such
  // sentence, or the sentence lies wholly beyond the recording.
  bool PlaySentence(int index, int32_t from);
  // Plays [from, to) of the recording and halts exactly at `to`; both are
  // kept inside the recording. False when nothing would be heard.
  bool PlayRange(int32_t from, int32_t to);
  // Plays the whole recording from `from` to `end` (-1: its end).
  bool PlayWhole(int32_t from, int32_t end = -1);

  // A click on a sentence: it becomes current and plays from its start.
  bool ChooseSentence(int index);
  // Key "R" and the sentence loop: the current sentence again.
  bool ReplayCurrent();
  // Key "A" and the recording loop: from the start, following again from
  // the first sentence. Refused while a range is chosen.
  bool RestartWhole();

  // Halts playback and leaves any range: the next play resumes the whole
  // recording where it halted.
  void Pause();
  // Halts playback and keeps the range (a bar is being dragged).
  void Hold();
  // Forgets the plays and the sentence bookkeeping (a new recording, or
  // none); the loop switches stay.
  void Reset();

  // After the whole-recording bar was pressed or dropped at `position`:
  // the sentence there (or the last one before it) becomes current and
  // the follow waits for it.
  void SeekSentence(int32_t position);

  // Reads the position, halts at the end of the play or of the recording,
  // runs the loops and the follow. Call it from the window's timer while
  // Playing().
  Tick Poll();

 private:
  void Halt();
  void EndOfPlay(Tick& tick);
  bool ShadowNext(Tick& tick);
  void EndShadowPause(Tick& tick);
  int FollowTo(int32_t position);

  Mode mode_ = Mode::Stopped;
  bool playing_ = false;
  int rangeSentence_ = 0;
  int32_t rangeStart_ = 0;
  int32_t playEnd_ = 0;
  int32_t resume_ = 0;
  int current_ = 0;
  int next_ = 2;
  int followed_ = 0;  // table index the follow highlighted last; 0 after anything else
  bool loopRecording_ = false;
  bool loopSentence_ = false;
  Shadowing shadowing_;
  int shadowRound_ = 1;
  int64_t pauseUntilUSecs_ = -1;  // end of the shadowing silence (monotonic clock)
};
