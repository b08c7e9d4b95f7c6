#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

class AudioOutput;

// One installed text-to-speech voice.
struct SpeechVoice {
  QString description;  // readable name, "English (America)"
  QString name;         // what the engine selects it by
};

// Text-to-speech: the installed voices, a speech rate and synchronous
// speaking. The rate runs from kMinRate to kMaxRate around the neutral 0;
// rate r speaks 175 x 3^(r/10) words per minute.
//
// Speak() returns only once the utterance has been heard. Meanwhile it
// keeps the event loop turning for everything but the user's input (so
// windows repaint and timers tick; key presses and clicks wait until the
// utterance ends). A second Speak() while one runs is refused at once.
class SpeechEngine {
 public:
  static constexpr int kMinRate = -4;
  static constexpr int kMaxRate = 4;

  virtual ~SpeechEngine() = default;

  // The installed voices, in the engine's order. Empty when there are none.
  virtual std::vector<SpeechVoice> Voices() = 0;
  virtual int Rate() const = 0;
  // Values outside kMinRate..kMaxRate are clamped.
  virtual void setRate(int rate) = 0;
  // Chooses the voice (an index into Voices()) for the next utterance.
  // False, and the choice unchanged, for an index out of range.
  virtual bool setVoice(int index) = 0;
  // Speaks the text and waits until it has been heard. False when nothing
  // could be spoken (the voice does not load, the engine or the sound
  // output failed, another utterance is running). An empty text is true
  // without a sound.
  virtual bool Speak(const QString& text) = 0;
  // True while Speak() runs.
  virtual bool Speaking() const = 0;
  // Ends a running utterance as soon as possible (the window goes away).
  virtual void Cancel() = 0;
};

// Words per minute for a rate (clamped to the engine's range).
int WordsPerMinute(int rate);

// Where an engine sends its sound. By default the system output, or the
// null output when the system has none.
using SpeechOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

// The engine on eSpeak NG. Its sound goes through the output the factory
// makes (made once, on the first utterance); an empty factory uses the
// default above.
std::unique_ptr<SpeechEngine> CreateEspeakEngine(SpeechOutputFactory output = {});

// What windows call for their speech engine. Tests replace how it is made
// (fake voices, failing voices, a recording engine); an empty factory
// restores eSpeak NG.
using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;
void SetSpeechEngineFactory(SpeechEngineFactory factory);
std::unique_ptr<SpeechEngine> CreateSpeechEngine();

// Readable name of an eSpeak NG voice name: "English_(America)" gives
// "English (America)".
QString ReadableVoiceName(const QString& engineName);

}  // namespace platform
