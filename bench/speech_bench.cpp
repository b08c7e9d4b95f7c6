// Speech: from the request to speak a ten-digit number to the first sample
// handed to the sound output, through the null output and, when the system
// has one, the system's sound output; also for the first utterance of a new
// engine, which makes its output on the way. The utterance is cancelled at its
// first sample, so each iteration measures only the way to the first sound.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "platform/audio_output.h"
#include "platform/speech.h"

namespace {

const QString kTenDigits = QStringLiteral("9,876,543,210");

// Passes everything to the real output and notes when the first sample
// arrives; then ends the utterance.
class FirstSampleOutput : public platform::AudioOutput {
 public:
  FirstSampleOutput(std::unique_ptr<platform::AudioOutput> inner, platform::SpeechEngine** engine, int64_t* first)
      : inner_(std::move(inner)), engine_(engine), first_(first) {}
  bool Start(int rate, int channels) override { return inner_->Start(rate, channels); }
  void Stop() override { inner_->Stop(); }
  int64_t BytesFree() override { return inner_->BytesFree(); }
  int64_t Write(const char* data, int64_t bytes) override {
    const int64_t taken = inner_->Write(data, bytes);
    if (taken > 0 && *first_ < 0) {
      *first_ = platform::MonotonicUSecs();
      if (*engine_) (*engine_)->Cancel();
    }
    return taken;
  }
  void Finish() override { inner_->Finish(); }
  int64_t HeardUSecs() const override { return inner_->HeardUSecs(); }
  bool Failed() const override { return inner_->Failed(); }
  bool IsNull() const override { return inner_->IsNull(); }

 private:
  std::unique_ptr<platform::AudioOutput> inner_;
  platform::SpeechEngine** engine_;
  int64_t* first_;
};

void SpeakToFirstSample(benchmark::State& state, bool system) {
  if (system && !platform::SystemOutputAvailable()) {
    state.SkipWithError("no system sound output");
    return;
  }
  platform::SpeechEngine* raw = nullptr;
  int64_t first = -1;
  auto engine = platform::CreateEspeakEngine([&]() -> std::unique_ptr<platform::AudioOutput> {
    auto inner = system ? platform::CreateSystemOutput() : platform::CreateNullOutput();
    if (!inner) inner = platform::CreateNullOutput();
    return std::make_unique<FirstSampleOutput>(std::move(inner), &raw, &first);
  });
  raw = engine.get();
  engine->Speak(kTenDigits);  // loads the voice data and opens the output
  for (auto _ : state) {
    first = -1;
    const int64_t start = platform::MonotonicUSecs();
    engine->Speak(kTenDigits);
    if (first < 0) {
      state.SkipWithError("no sample reached the output");
      return;
    }
    state.SetIterationTime(static_cast<double>(first - start) / 1e6);
  }
}

// The first utterance of a newly opened window: the engine and its output
// are made on the way.
void BM_FirstUtteranceOfANewEngine_SystemOutput(benchmark::State& state) {
  if (!platform::SystemOutputAvailable()) {
    state.SkipWithError("no system sound output");
    return;
  }
  for (auto _ : state) {
    platform::SpeechEngine* raw = nullptr;
    int64_t first = -1;
    const int64_t start = platform::MonotonicUSecs();
    auto engine = platform::CreateEspeakEngine([&]() -> std::unique_ptr<platform::AudioOutput> {
      auto inner = platform::CreateSystemOutput();
      if (!inner) inner = platform::CreateNullOutput();
      return std::make_unique<FirstSampleOutput>(std::move(inner), &raw, &first);
    });
    raw = engine.get();
    engine->Speak(kTenDigits);
    if (first < 0) {
      state.SkipWithError("no sample reached the output");
      return;
    }
    state.SetIterationTime(static_cast<double>(first - start) / 1e6);
  }
}

void BM_SpeakToFirstSample_NullOutput(benchmark::State& state) { SpeakToFirstSample(state, false); }
void BM_SpeakToFirstSample_SystemOutput(benchmark::State& state) { SpeakToFirstSample(state, true); }

}  // namespace

BENCHMARK(BM_SpeakToFirstSample_NullOutput)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_SpeakToFirstSample_SystemOutput)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_FirstUtteranceOfANewEngine_SystemOutput)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
