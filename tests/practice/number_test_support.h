#pragma once
// Fixed random numbers and a speech engine that records instead of
// speaking, for the number practice tests.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "core/random_source.h"
#include "platform/speech.h"

namespace numbers_test {

// Installs a random source that hands out the given numbers in order and
// then keeps returning `rest`; restores the generator when destroyed.
class FixedRandom {
 public:
  explicit FixedRandom(std::vector<float> values, float rest = 0.0f) : values_(std::move(values)), rest_(rest) {
    ProMod::SetRandomSource([this] { return next_ < values_.size() ? values_[next_++] : (++extra_, rest_); });
  }
  ~FixedRandom() { ProMod::SetRandomSource({}); }
  FixedRandom(const FixedRandom&) = delete;
  FixedRandom& operator=(const FixedRandom&) = delete;

  void Set(std::vector<float> values, float rest = 0.0f) {
    values_ = std::move(values);
    rest_ = rest;
    next_ = 0;
    extra_ = 0;
  }
  // How many of the given numbers were drawn, and draws beyond them.
  size_t Used() const { return next_; }
  size_t Extra() const { return extra_; }

 private:
  std::vector<float> values_;
  float rest_;
  size_t next_ = 0;
  size_t extra_ = 0;
};

// What the fake engine was asked, shared with the test after the window
// that owns the engine is gone.
struct SpeechLog {
  std::vector<platform::SpeechVoice> voices;
  QStringList texts;        // texts handed to Speak
  std::vector<int> voiceOf;  // voice index chosen for each text
  int rate = 0;
  int failingVoice = -1;     // this voice does not load
  int cancels = 0;
  int refusedWhileSpeaking = 0;
  bool alive = false;
  // Runs inside Speak, as events that arrive during an utterance would.
  std::function<void()> duringSpeak;
};

class FakeEngine : public platform::SpeechEngine {
 public:
  explicit FakeEngine(std::shared_ptr<SpeechLog> log) : log_(std::move(log)) { log_->alive = true; }
  ~FakeEngine() override { log_->alive = false; }
  std::vector<platform::SpeechVoice> Voices() override { return log_->voices; }
  int Rate() const override { return log_->rate; }
  void setRate(int rate) override { log_->rate = std::clamp(rate, kMinRate, kMaxRate); }
  bool setVoice(int index) override {
    if (index < 0 || index >= static_cast<int>(log_->voices.size())) return false;
    voice_ = index;
    return true;
  }
  bool Speak(const QString& text) override {
    if (speaking_) {
      ++log_->refusedWhileSpeaking;
      return false;
    }
    log_->texts << text;
    log_->voiceOf.push_back(voice_);
    if (voice_ == log_->failingVoice) return false;
    speaking_ = true;
    cancelled_ = false;
    auto log = log_;  // the hook may delete the window and this engine's owner
    if (log->duringSpeak) log->duringSpeak();
    speaking_ = false;
    return !cancelled_;
  }
  bool Speaking() const override { return speaking_; }
  void Cancel() override {
    ++log_->cancels;
    cancelled_ = true;
  }

 private:
  std::shared_ptr<SpeechLog> log_;
  int voice_ = -1;
  bool speaking_ = false;
  bool cancelled_ = false;
};

// Makes every window's speech engine a FakeEngine on the log while alive.
class FakeSpeech {
 public:
  explicit FakeSpeech(const QStringList& voiceDescriptions) : log(std::make_shared<SpeechLog>()) {
    for (const QString& d : voiceDescriptions) log->voices.push_back({d, d});
    auto shared = log;
    platform::SetSpeechEngineFactory([shared] { return std::make_unique<FakeEngine>(shared); });
  }
  ~FakeSpeech() { platform::SetSpeechEngineFactory({}); }
  FakeSpeech(const FakeSpeech&) = delete;
  FakeSpeech& operator=(const FakeSpeech&) = delete;
  std::shared_ptr<SpeechLog> log;
};

}  // namespace numbers_test
