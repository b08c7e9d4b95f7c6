#pragma once
#include <QString>
#include <atomic>
#include <optional>

#include "core/waveform_peaks.h"

// Peaks are kept in the user's cache folder, never beside the recordings
// (the library folder is the learner's, and may be read-only or shared).
// A cache file belongs to one recording path and holds that recording's
// size and modification time; when either differs, or the file is damaged
// in any way, it is ignored and the peaks are computed again.
namespace PeakCache {

// <the user's cache folder>/Velmo/peaks
QString Folder();
// The cache file for a recording (it need not exist).
QString FileFor(const QString& recordingPath);

// The cached peaks when they are there and still belong to the recording
// as it is now.
std::optional<WaveformPeaks> Load(const QString& recordingPath);
// Writes the peaks for the recording as it is now (atomically). False when
// the recording is gone or the file cannot be written.
bool Save(const QString& recordingPath, const WaveformPeaks& peaks);

// The cached peaks, or else computed and cached. `progress` and `cancel` as
// for ComputePeaks. The recording's size and time are taken before the
// computation and again after it; peaks of a recording that changed or
// vanished meanwhile are returned but not kept.
std::optional<WaveformPeaks> LoadOrCompute(const QString& recordingPath, const PeakProgress& progress = {},
                                           const std::atomic<bool>* cancel = nullptr);

}  // namespace PeakCache
