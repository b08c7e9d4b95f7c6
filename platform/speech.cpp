#include "platform/speech.h"

#include <espeak-ng/speak_lib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "platform/audio_output.h"

namespace platform {
namespace {

// Audio comes from the engine in pieces this long; short pieces put the
// first sound on the output soon after the request.
constexpr int kPieceMs = 40;
// The output is taken as stalled when the heard time has not moved for this
// long; the utterance then ends instead of hanging the window.
constexpr int64_t kStallUSecs = 1500000;
constexpr int kPumpSleepMs = 3;

struct EspeakLibrary {
  bool ok = false;
  int sampleRate = 0;
};

int SynthCallback(short* wav, int numsamples, espeak_EVENT* events);

// eSpeak NG keeps process-wide state: it is started once and serves every
// engine object.
const EspeakLibrary& Library() {
  static const EspeakLibrary library = [] {
    EspeakLibrary lib;
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kPieceMs, nullptr, 0);
    if (rate > 0) {
      lib.ok = true;
      lib.sampleRate = rate;
      espeak_SetSynthCallback(&SynthCallback);
    }
    return lib;
  }();
  return library;
}

std::unique_ptr<AudioOutput> DefaultOutput() {
  if (auto out = CreateSystemOutput()) return out;
  return CreateNullOutput();
}

// Lets repaints and timers run while the learner's input waits.
void PumpEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QThread::msleep(kPumpSleepMs);
}

class EspeakEngine : public SpeechEngine {
 public:
  explicit EspeakEngine(SpeechOutputFactory output) : outputFactory_(std::move(output)) {
    if (!outputFactory_) outputFactory_ = &DefaultOutput;
  }
  ~EspeakEngine() override {
    if (output_) output_->Stop();
  }

  std::vector<SpeechVoice> Voices() override {
    if (!voicesRead_) ReadVoices();
    return voices_;
  }
  int Rate() const override { return rate_; }
  void setRate(int rate) override { rate_ = std::clamp(rate, kMinRate, kMaxRate); }
  bool setVoice(int index) override {
    if (!voicesRead_) ReadVoices();
    if (index < 0 || index >= static_cast<int>(voices_.size())) return false;
    voice_ = index;
    return true;
  }
  bool Speak(const QString& text) override;
  bool Speaking() const override { return speaking_; }
  void Cancel() override { cancel_ = true; }

  // Called from the synthesis callback with the next piece of audio.
  bool TakePiece(const short* samples, int count) {
    if (count > 0) {
      const auto* bytes = reinterpret_cast<const char*>(samples);
      pending_.insert(pending_.end(), bytes, bytes + static_cast<size_t>(count) * sizeof(short));
      WritePending();
    }
    return !cancel_;
  }

 private:
  void ReadVoices();
  bool SelectVoice();
  void WritePending();
  bool PlayOut();

  SpeechOutputFactory outputFactory_;
  std::unique_ptr<AudioOutput> output_;
  std::vector<SpeechVoice> voices_;
  bool voicesRead_ = false;
  int rate_ = 0;
  int voice_ = -1;
  bool speaking_ = false;
  bool cancel_ = false;
  std::vector<char> pending_;  // this utterance's audio
  size_t written_ = 0;         // bytes of it handed to the output
};

int SynthCallback(short* wav, int numsamples, espeak_EVENT* events) {
  auto* engine = events ? static_cast<EspeakEngine*>(events->user_data) : nullptr;
  if (!engine) return 0;
  if (!wav) return 0;  // the end of the utterance
  return engine->TakePiece(wav, numsamples) ? 0 : 1;
}

void EspeakEngine::ReadVoices() {
  voicesRead_ = true;
  voices_.clear();
  if (!Library().ok) return;
  const espeak_VOICE** list = espeak_ListVoices(nullptr);
  for (; list && *list; ++list) {
    if (!(*list)->name) continue;
    const QString name = QString::fromUtf8((*list)->name);
    voices_.push_back({ReadableVoiceName(name), name});
  }
}

bool EspeakEngine::SelectVoice() {
  // Without a choice the engine speaks English, as a system's default voice
  // would for this program.
  const QByteArray name = voice_ >= 0 ? voices_[voice_].name.toUtf8() : QByteArray("en");
  return espeak_SetVoiceByName(name.constData()) == EE_OK;
}

void EspeakEngine::WritePending() {
  while (written_ < pending_.size()) {
    const int64_t room = std::min<int64_t>(output_->BytesFree(), static_cast<int64_t>(pending_.size() - written_));
    if (room <= 0) return;
    const int64_t taken = output_->Write(pending_.data() + written_, room);
    if (taken <= 0) return;
    written_ += static_cast<size_t>(taken);
  }
}

// Feeds the rest of the utterance and waits until all of it has been heard.
bool EspeakEngine::PlayOut() {
  const int64_t totalUSecs =
      static_cast<int64_t>(pending_.size() / sizeof(short)) * 1000000 / Library().sampleRate;
  bool finished = false;
  int64_t lastHeard = -1;
  int64_t lastMove = MonotonicUSecs();
  while (!cancel_) {
    WritePending();
    if (output_->Failed()) return false;
    if (!finished && written_ == pending_.size()) {
      output_->Finish();
      finished = true;
    }
    const int64_t heard = output_->HeardUSecs();
    if (finished && heard >= totalUSecs) return true;
    const int64_t now = MonotonicUSecs();
    if (heard != lastHeard) {
      lastHeard = heard;
      lastMove = now;
    } else if (now - lastMove > kStallUSecs) {
      return false;
    }
    PumpEvents();
  }
  return false;
}

bool EspeakEngine::Speak(const QString& text) {
  if (speaking_) return false;
  if (text.trimmed().isEmpty()) return true;
  if (!Library().ok) return false;
  if (!voicesRead_) ReadVoices();
  speaking_ = true;
  cancel_ = false;
  struct Done {
    EspeakEngine* e;
    ~Done() {
      e->speaking_ = false;
      e->pending_.clear();
      e->pending_.shrink_to_fit();
      e->written_ = 0;
    }
  } done{this};

  if (!SelectVoice()) return false;
  espeak_SetParameter(espeakRATE, WordsPerMinute(rate_), 0);
  if (!output_) output_ = outputFactory_();
  if (!output_ || !output_->Start(Library().sampleRate, 1)) return false;
  pending_.clear();
  written_ = 0;

  const QByteArray utf8 = text.toUtf8();
  const espeak_ERROR err = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                        espeakCHARS_UTF8, nullptr, this);
  bool ok = err == EE_OK && !cancel_ && PlayOut();
  output_->Stop();
  return ok;
}

SpeechEngineFactory& EngineFactory() {
  static SpeechEngineFactory factory;
  return factory;
}

}  // namespace

int WordsPerMinute(int rate) {
  rate = std::clamp(rate, SpeechEngine::kMinRate, SpeechEngine::kMaxRate);
  return static_cast<int>(std::lround(175.0 * std::pow(3.0, rate / 10.0)));
}

QString ReadableVoiceName(const QString& engineName) {
  QString name = engineName;
  name.replace(QLatin1Char('_'), QLatin1Char(' '));
  return name.simplified();
}

std::unique_ptr<SpeechEngine> CreateEspeakEngine(SpeechOutputFactory output) {
  return std::make_unique<EspeakEngine>(std::move(output));
}

void SetSpeechEngineFactory(SpeechEngineFactory factory) { EngineFactory() = std::move(factory); }

std::unique_ptr<SpeechEngine> CreateSpeechEngine() {
  if (EngineFactory()) {
    if (auto engine = EngineFactory()()) return engine;
  }
  return CreateEspeakEngine();
}

}  // namespace platform
