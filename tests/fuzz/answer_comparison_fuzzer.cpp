// The dictation answer comparison on two texts: the input is the sentence,
// a NUL byte and the typed text, both UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "practice/answer_comparison.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* begin = reinterpret_cast<const char*>(data);
  const char* end = begin + size;
  const char* split = std::find(begin, end, '\0');
  const QString sentence = QString::fromUtf8(begin, split - begin);
  const QString typed = split == end ? QString() : QString::fromUtf8(split + 1, end - split - 1);

  const ChaSenMod::PairList result = ChaSenMod::AlignAnswer(sentence, typed);
  fuzz::Check(!result.pairs.isEmpty());
  // The filler stands for an absent word: it must occur in neither text.
  if (!result.filler.isNull()) fuzz::Check(!sentence.contains(result.filler) && !typed.contains(result.filler));
  ChaSenMod::AnchorLength(ChaSenMod::NormalizeText(sentence, true), 3);
  return 0;
}
