#pragma once
#include <functional>

namespace ProMod {

// The runtime's pseudo-random generator: uniform in [0, 1), single
// precision. Windows draw through Rnd() so that tests can fix the numbers.
float Rnd();
// Reseeds the generator from the clock (nothing while a test source is in).
void Randomize();

// Tests install a source that returns the numbers they want, in order; an
// empty source restores the generator.
using RandomSource = std::function<float()>;
void SetRandomSource(RandomSource source);

}  // namespace ProMod
