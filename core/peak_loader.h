#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

#include "core/waveform_peaks.h"

class QThread;

// Gets a recording's peaks on a worker thread so that the window asking
// for them stays usable: the cached peaks when they are valid, otherwise a
// coarse outline first and then the full computation (which is cached).
//
// The worker touches nothing but the recording, the cache folder and its
// own results; what it finds reaches this object's thread through queued
// calls, where the signals are emitted. Destroying the loader stops the
// worker and waits for it.
class PeakLoader : public QObject {
  Q_OBJECT
 public:
  explicit PeakLoader(QObject* parent = nullptr);
  ~PeakLoader() override;

  // Starts on `recordingPath` (stopping any earlier run).
  void Start(const QString& recordingPath);
  void Stop();
  bool Running() const;

  // The full peaks once Finished(true) has been emitted.
  const std::optional<WaveformPeaks>& Peaks() const { return peaks_; }
  // The coarse outline while the full one is computed.
  const std::optional<WaveformPeaks>& Coarse() const { return coarse_; }
  int Percent() const { return percent_; }

 signals:
  void CoarseReady();
  void Progress(int percent);
  void Finished(bool ok);

 private:
  void Work(const QString& path, std::shared_ptr<std::atomic<bool>> cancel);

  QThread* thread_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::optional<WaveformPeaks> peaks_;
  std::optional<WaveformPeaks> coarse_;
  int percent_ = 0;
  unsigned run_ = 0;  // results of an earlier run are dropped
};
