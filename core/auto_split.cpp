#include "core/auto_split.h"

#include <algorithm>
#include <cmath>

#include "core/time_text.h"

namespace {

// Levels in decibels on the 16-bit scale; a bin of digital silence is -1.
constexpr double kSilentDb = -1.0;
// Loud and quiet must differ at least this much for pauses to mean anything.
constexpr double kLeastContrastDb = 12.0;
// The threshold lies this far from the floor towards the speech level.
constexpr double kThresholdShare = 0.3;
constexpr double kDeepestFloorDb = 60.0;
constexpr int32_t kPadMs = 150;
// Sounds this short standing alone are clicks, not speech.
constexpr int32_t kShortestSoundMs = 60;

struct Run {
  int32_t first = 0;  // bins, end exclusive
  int32_t last = 0;
};

double Percentile(std::vector<double> v, double share) {
  if (v.empty()) return kSilentDb;
  const size_t k = std::min(v.size() - 1, static_cast<size_t>(share * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k];
}

std::vector<double> Levels(const WaveformPeaks& peaks) {
  std::vector<double> db(peaks.rms.size());
  for (size_t i = 0; i < db.size(); ++i)
    db[i] = peaks.rms[i] == 0 ? kSilentDb : 20.0 * std::log10(static_cast<double>(peaks.rms[i]));
  return db;
}

// Loud runs, with quiet gaps shorter than `bridge` bins filled in.
std::vector<Run> LoudRuns(const std::vector<double>& db, double threshold, int32_t bridge, int32_t shortest) {
  std::vector<Run> runs;
  const int32_t n = static_cast<int32_t>(db.size());
  for (int32_t i = 0; i < n;) {
    if (db[i] < threshold) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j < n && db[j] >= threshold) ++j;
    if (!runs.empty() && i - runs.back().last < bridge)
      runs.back().last = j;
    else
      runs.push_back({i, j});
    i = j;
  }
  runs.erase(std::remove_if(runs.begin(), runs.end(), [&](const Run& r) { return r.last - r.first < shortest; }),
             runs.end());
  return runs;
}

// Short runs join the neighbour across the shorter gap.
void MergeShort(std::vector<Run>& runs, int32_t shortest) {
  for (bool merged = true; merged && runs.size() > 1;) {
    merged = false;
    for (size_t k = 0; k < runs.size(); ++k) {
      if (runs[k].last - runs[k].first >= shortest) continue;
      const int32_t before = k > 0 ? runs[k].first - runs[k - 1].last : INT32_MAX;
      const int32_t after = k + 1 < runs.size() ? runs[k + 1].first - runs[k].last : INT32_MAX;
      const size_t into = before <= after ? k - 1 : k + 1;
      runs[std::min(k, into)].first = std::min(runs[k].first, runs[into].first);
      runs[std::min(k, into)].last = std::max(runs[k].last, runs[into].last);
      runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(std::max(k, into)));
      merged = true;
      break;
    }
  }
}

// Where to cut a run that is too long: the middle of its longest quiet
// stretch, the quietest one among equals; without any, its quietest bin.
// Both parts keep at least `keep` bins.
int32_t DeepestPause(const std::vector<double>& db, const Run& r, double threshold, int32_t keep) {
  int32_t best = -1, bestLength = 0;
  double bestLevel = 1e9;
  const int32_t from = r.first + keep, to = r.last - keep;
  for (int32_t i = from; i < to;) {
    if (db[i] >= threshold) {
      ++i;
      continue;
    }
    int32_t j = i;
    double sum = 0;
    while (j < to && db[j] < threshold) sum += db[j++];
    const double mean = sum / (j - i);
    if (j - i > bestLength || (j - i == bestLength && mean < bestLevel)) {
      best = (i + j) / 2;
      bestLength = j - i;
      bestLevel = mean;
    }
    i = j;
  }
  if (best >= 0) return best;
  best = std::max(from, r.first + 1);
  for (int32_t i = from; i < to; ++i)
    if (db[i] < db[best]) best = i;
  return best;
}

void CutLong(std::vector<Run>& runs, const std::vector<double>& db, double threshold, int32_t longest, int32_t keep) {
  for (size_t k = 0; k < runs.size(); ++k) {
    while (runs[k].last - runs[k].first > longest) {
      const int32_t cut = DeepestPause(db, runs[k], threshold, keep);
      // The cut point's quiet bins are left out of both halves.
      int32_t end = cut, start = cut;
      while (end > runs[k].first + 1 && db[end - 1] < threshold) --end;
      while (start < runs[k].last - 1 && db[start] < threshold) ++start;
      if (end <= runs[k].first || start >= runs[k].last) end = start = cut;
      const Run second{start, runs[k].last};
      runs[k].last = end;
      runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(k) + 1, second);
    }
  }
}

}  // namespace

std::vector<ProposedSentence> ProposeSentences(const WaveformPeaks& peaks, const SplitOptions& options) {
  if (peaks.Empty() || peaks.rms.size() != peaks.peak.size() || peaks.binMs < 1) return {};
  const std::vector<double> db = Levels(peaks);
  const double loud = Percentile(db, 0.95);
  // Digital silence has no level to speak of: the floor is then taken as
  // far below the speech as a quiet room would be.
  const double floor = std::max(Percentile(db, 0.10), loud - kDeepestFloorDb);
  if (loud <= 0 || loud - floor < kLeastContrastDb) return {};
  const double threshold = floor + kThresholdShare * (loud - floor);
  const int32_t bin = peaks.binMs;
  auto bins = [bin](int32_t ms) { return std::max<int32_t>(1, (ms + bin - 1) / bin); };
  // A pause's edges share their bins with speech: a pause of minPauseMs
  // shows at least one bin fewer of quiet.
  const int32_t pauseBins = std::max(1, std::max(1, options.minPauseMs) / bin - 1);
  std::vector<Run> runs = LoudRuns(db, threshold, pauseBins, bins(kShortestSoundMs));
  if (runs.empty()) return {};
  MergeShort(runs, bins(options.minSentenceMs));
  const int32_t pad = bins(kPadMs);
  // The widening below must not take a sentence past the longest allowed.
  if (options.maxSentenceMs > 0)
    CutLong(runs, db, threshold, std::max(bins(options.maxSentenceMs) - 2 * pad, 2 * bins(options.minSentenceMs)),
            bins(options.minSentenceMs));

  std::vector<ProposedSentence> out;
  const int32_t n = static_cast<int32_t>(db.size());
  for (size_t k = 0; k < runs.size(); ++k) {
    const int32_t roomBefore = k == 0 ? runs[k].first : (runs[k].first - runs[k - 1].last) / 2;
    const int32_t roomAfter = k + 1 == runs.size() ? n - runs[k].last : (runs[k + 1].first - runs[k].last) / 2;
    const int64_t start = int64_t{runs[k].first - std::min(pad, roomBefore)} * bin;
    const int64_t end = int64_t{runs[k].last + std::min(pad, roomAfter)} * bin;
    out.push_back({static_cast<int32_t>(std::max<int64_t>(0, start)),
                   static_cast<int32_t>(std::min<int64_t>(end, peaks.lengthMs))});
  }
  return out;
}

std::vector<SentenceRecord> ProposalTable(const std::vector<ProposedSentence>& proposal) {
  std::vector<SentenceRecord> table;
  table.reserve(proposal.size());
  int index = 0;
  for (const ProposedSentence& p : proposal) {
    SentenceRecord r;
    r.Index = static_cast<int16_t>(++index);
    r.Text = QStringLiteral("第%1句").arg(index);
    r.Start = p.start;
    r.StartText = SoundMod::FormatTime(p.start);
    r.End = p.end;
    r.EndText = SoundMod::FormatTime(p.end);
    table.push_back(std::move(r));
  }
  return table;
}
