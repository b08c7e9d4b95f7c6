#pragma once
#include <cstdint>
#include <vector>

#include "core/material_store.h"
#include "core/waveform_peaks.h"

// Proposes sentences from the pauses in speech.
//
// A bin is quiet when its level lies below a threshold taken from the
// recording's own loudness: between its noise floor (a low percentile of
// the bin levels) and its speech level (a high one). A quiet stretch of at
// least minPauseMs ends a sentence; a sentence shorter than
// minSentenceMs joins the neighbour it is closer to; one longer than
// maxSentenceMs is cut at its deepest pause until none is. Each sentence
// is then widened into the pauses around it (by at most kPadMs, and never
// past the middle of a pause) so that soft onsets and endings stay in.
//
// A recording without a clear difference between loud and quiet (silence,
// constant noise, one steady tone) gives no proposal at all.
struct SplitOptions {
  int32_t minPauseMs = 250;
  int32_t minSentenceMs = 500;
  int32_t maxSentenceMs = 15000;
};

struct ProposedSentence {
  int32_t start = 0;  // milliseconds
  int32_t end = 0;
};

std::vector<ProposedSentence> ProposeSentences(const WaveformPeaks& peaks, const SplitOptions& options = {});

// The proposal as working-table entries: times as given, texts "第1句",
// "第2句", …, empty remarks, indices from 1.
std::vector<SentenceRecord> ProposalTable(const std::vector<ProposedSentence>& proposal);
