#include "core/peak_loader.h"

#include <QMetaObject>
#include <QThread>

#include "core/peak_cache.h"

namespace {
// Enough points for a strip as wide as a screen, few enough that the
// outline of an hour is there at once.
constexpr int kCoarsePoints = 600;
}  // namespace

PeakLoader::PeakLoader(QObject* parent) : QObject(parent) {}

PeakLoader::~PeakLoader() { Stop(); }

bool PeakLoader::Running() const { return thread_ && thread_->isRunning(); }

void PeakLoader::Stop() {
  if (!thread_) return;
  cancel_->store(true);
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  ++run_;
}

void PeakLoader::Start(const QString& recordingPath) {
  Stop();
  peaks_.reset();
  coarse_.reset();
  percent_ = 0;
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<bool>> cancel = cancel_;
  thread_ = QThread::create([this, recordingPath, cancel] { Work(recordingPath, cancel); });
  thread_->start(QThread::LowPriority);
}

// Runs on the worker thread. `this` is only used to post results back; the
// loader waits for this function before it goes away.
void PeakLoader::Work(const QString& path, std::shared_ptr<std::atomic<bool>> cancel) {
  const unsigned run = run_;
  auto post = [this, run](auto apply) {
    QMetaObject::invokeMethod(
        this, [this, run, apply] { if (run == run_) apply(); }, Qt::QueuedConnection);
  };
  std::optional<WaveformPeaks> peaks = PeakCache::Load(path);
  if (!peaks) {
    std::optional<WaveformPeaks> coarse = CoarsePeaks(path, kCoarsePoints, cancel.get());
    if (coarse) post([this, c = std::move(*coarse)] {
      coarse_ = c;
      emit CoarseReady();
    });
    int last = -1;
    peaks = PeakCache::LoadOrCompute(
        path,
        [&](int percent) {
          if (percent == last) return;
          last = percent;
          post([this, percent] {
            percent_ = percent;
            emit Progress(percent);
          });
        },
        cancel.get());
  }
  if (cancel->load()) return;
  post([this, p = std::move(peaks)] {
    peaks_ = p;
    if (peaks_) percent_ = 100;
    emit Finished(peaks_.has_value());
  });
}
