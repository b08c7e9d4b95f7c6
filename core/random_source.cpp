#include "core/random_source.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace ProMod {
namespace {

std::mt19937& Generator() {
  static std::mt19937 generator(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return generator;
}

RandomSource& Source() {
  static RandomSource source;
  return source;
}

}  // namespace

float Rnd() {
  if (Source()) {
    const float value = Source()();
    // A source out of range would index past the ends of the callers' tables.
    if (!(value >= 0.0f)) return 0.0f;
    if (value >= 1.0f) return 0.99999994f;
    return value;
  }
  // 24 random bits: every value exact in single precision and below 1.
  return static_cast<float>(Generator()() >> 8) * (1.0f / 16777216.0f);
}

void Randomize() {
  if (Source()) return;
  // The clock alone would give equal seeds to requests in quick succession;
  // mixing in the generator's own state keeps the sequences apart.
  const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::seed_seq seed{static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32), static_cast<uint32_t>(Generator()())};
  Generator().seed(seed);
}

void SetRandomSource(RandomSource source) { Source() = std::move(source); }

}  // namespace ProMod
