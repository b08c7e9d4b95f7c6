// Automatic cutting on speech made by espeak-ng with known sentence times,
// and on synthetic outlines for what has no sentences in it.
#include <gtest/gtest.h>

#include <random>

#include "core/auto_split.h"
#include "tests/core/spoken_lesson.h"

namespace {

// Every sentence found once and nothing invented: each proposed start lies
// within 30 ms before the true start or earlier inside the pause before it,
// and the same for the ends.
void ExpectMatches(const std::vector<ProposedSentence>& got, const std::vector<ProposedSentence>& truth,
                   int32_t lengthMs) {
  ASSERT_EQ(got.size(), truth.size());
  for (size_t k = 0; k < truth.size(); ++k) {
    const int32_t pauseBefore = k == 0 ? 0 : truth[k - 1].end;
    const int32_t pauseAfter = k + 1 == truth.size() ? lengthMs : truth[k + 1].start;
    EXPECT_LE(got[k].start, truth[k].start + 30) << "sentence " << k + 1;
    EXPECT_GE(got[k].start, std::min(pauseBefore, truth[k].start - 30)) << "sentence " << k + 1;
    EXPECT_GE(got[k].end, truth[k].end - 30) << "sentence " << k + 1;
    EXPECT_LE(got[k].end, std::max(pauseAfter, truth[k].end + 30)) << "sentence " << k + 1;
  }
}

std::vector<ProposedSentence> Split(const SpokenLesson& lesson, const SplitOptions& options = {}) {
  const WaveformPeaks peaks = PeaksFromPcm(lesson.pcm.data(), static_cast<int64_t>(lesson.pcm.size()), lesson.rate, 1);
  return ProposeSentences(peaks, options);
}

int32_t LengthMs(const SpokenLesson& lesson) { return static_cast<int32_t>(lesson.pcm.size() * 1000 / lesson.rate); }

}  // namespace

TEST(AutoSplitSpeech, FindsEverySentenceWithPausesFromQuarterSecondToTwoSecondsInNoise) {
  const std::vector<int> pauses = {400, 250, 2000, 300, 700, 1200, 260, 1500};
  for (unsigned seed : {1u, 2u}) {
    const SpokenLesson lesson = MakeSpokenLesson(spoken::Sentences(), pauses, -20.0, 600, seed);
    ASSERT_EQ(lesson.truth.size(), 8u) << "espeak-ng gave no speech";
    SCOPED_TRACE(seed);
    ExpectMatches(Split(lesson), lesson.truth, LengthMs(lesson));
  }
}

TEST(AutoSplitSpeech, CleanSpeechAndSpeechStartingAtOnceAreCutAlike) {
  const SpokenLesson clean = MakeSpokenLesson(spoken::Sentences().mid(0, 4), {0, 250, 900, 250}, 0.0, 0);
  ExpectMatches(Split(clean), clean.truth, LengthMs(clean));
}

TEST(AutoSplitSpeech, ALongerLeastPauseJoinsSentencesWithShorterPauses) {
  const SpokenLesson lesson = MakeSpokenLesson(spoken::Sentences().mid(0, 3), {300, 300, 1500}, -20.0);
  SplitOptions options;
  options.minPauseMs = 800;
  const std::vector<ProposedSentence> got = Split(lesson, options);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_LE(got[0].start, lesson.truth[0].start + 30);
  EXPECT_GE(got[0].end, lesson.truth[1].end - 30);
  EXPECT_LT(got[0].end, lesson.truth[2].start);
}

TEST(AutoSplitSpeech, MoreThanFifteenSecondsWithoutPauseIsCutAtTheDeepestPause) {
  // Sentences with 60 ms gaps (no pause long enough) run on for over 15 s;
  // one gap of 200 ms is the deepest.
  QStringList sentences;
  std::vector<int> pauses = {300};
  for (int k = 0; k < 8; ++k) {
    sentences << spoken::Sentences()[k];
    if (k > 0) pauses.push_back(k == 5 ? 200 : 60);
  }
  const SpokenLesson lesson = MakeSpokenLesson(sentences, pauses, -20.0);
  ASSERT_GT(lesson.truth.back().end - lesson.truth.front().start, 15000);
  const std::vector<ProposedSentence> got = Split(lesson);
  ASSERT_EQ(got.size(), 2u);
  for (const ProposedSentence& s : got) EXPECT_LE(s.end - s.start, 15000);
  EXPECT_GE(got[0].end, lesson.truth[4].end - 30);
  EXPECT_LE(got[0].end, lesson.truth[5].start);
  EXPECT_GE(got[1].start, lesson.truth[4].end);
  EXPECT_LE(got[1].start, lesson.truth[5].start + 30);
}

TEST(AutoSplitSpeech, TheTableIsNumberedWithTimeTexts) {
  const std::vector<SentenceRecord> table = ProposalTable({{0, 1500}, {2000, 61000}});
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Text, QStringLiteral("第1句"));
  EXPECT_EQ(table[1].Text, QStringLiteral("第2句"));
  EXPECT_EQ(table[1].Index, 2);
  EXPECT_EQ(table[1].StartText, QStringLiteral("0:00:02.000"));
  EXPECT_EQ(table[1].EndText, QStringLiteral("0:01:01.000"));
  EXPECT_EQ(table[1].End, 61000);
}

// ---------------------------------------------------------------------------
// Outlines without sentences, and the merging rules on synthetic outlines

namespace {

WaveformPeaks Outline(const std::vector<std::pair<int32_t, uint16_t>>& stretches) {
  WaveformPeaks p;
  for (const auto& [ms, level] : stretches)
    for (int32_t i = 0; i < ms / p.binMs; ++i) {
      p.peak.push_back(level);
      p.rms.push_back(level);
    }
  p.lengthMs = p.Bins() * p.binMs;
  return p;
}

}  // namespace

TEST(AutoSplitOutline, SilenceNoiseAndASteadyToneGiveNothing) {
  EXPECT_TRUE(ProposeSentences(Outline({{60000, 0}})).empty());
  EXPECT_TRUE(ProposeSentences(WaveformPeaks{}).empty());
  // An hour of one tone, with the small wobble a real decoder leaves.
  WaveformPeaks tone = Outline({{3600 * 1000, 9000}});
  std::mt19937 gen(3);
  for (uint16_t& v : tone.rms) v = static_cast<uint16_t>(9000 + gen() % 200);
  EXPECT_TRUE(ProposeSentences(tone).empty());
  // Constant noise decoded from a file.
  std::vector<int16_t> pcm(22050 * 30);
  std::normal_distribution<double> noise(0, 1000);
  for (int16_t& v : pcm) v = static_cast<int16_t>(std::clamp(noise(gen), -32768.0, 32767.0));
  EXPECT_TRUE(ProposeSentences(PeaksFromPcm(pcm.data(), static_cast<int64_t>(pcm.size()), 22050, 1)).empty());
}

TEST(AutoSplitOutline, ShortSoundsJoinTheirNearerNeighbourAndClicksAreDropped) {
  // 2 s sentence, 300 ms pause, 300 ms word, 1 s pause, 2 s sentence, then a
  // 30 ms click alone in the silence.
  const WaveformPeaks p = Outline({{1000, 10}, {2000, 8000}, {300, 10}, {300, 8000}, {1000, 10}, {2000, 8000},
                                   {2000, 10}, {30, 8000}, {2000, 10}});
  const std::vector<ProposedSentence> got = ProposeSentences(p);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_LE(got[0].start, 1000);
  EXPECT_GE(got[0].end, 3600);
  EXPECT_LT(got[0].end, 4100);
  EXPECT_LE(got[1].start, 4600);
  EXPECT_GE(got[1].end, 6600);
  EXPECT_LT(got[1].end, 8600);
}

TEST(AutoSplitOutline, AnHourOfSpeechLikeOutlineStaysWithinFifteenSecondsASentence) {
  // An hour of talk: 4 s of syllables (with the short gaps between them),
  // 100 ms dips between those, a real pause only every 45 s.
  std::vector<std::pair<int32_t, uint16_t>> stretches;
  for (int k = 0; k < 3600 / 45; ++k) {
    stretches.push_back({1000, 30});
    for (int j = 0; j < 11; ++j) {
      for (int s = 0; s < 16; ++s) stretches.insert(stretches.end(), {{210, 6000}, {40, 60}});
      stretches.push_back({100, 30});
    }
  }
  const WaveformPeaks p = Outline(stretches);
  const std::vector<ProposedSentence> got = ProposeSentences(p);
  ASSERT_GE(got.size(), 3600u / 45 * 3);
  for (size_t k = 0; k < got.size(); ++k) {
    EXPECT_LE(got[k].end - got[k].start, 15000);
    EXPECT_GE(got[k].end - got[k].start, 500);
    if (k > 0) {
      EXPECT_GE(got[k].start, got[k - 1].end);
    }
  }
}
