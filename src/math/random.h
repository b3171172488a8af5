#pragma once

#include <cstdint>

namespace math {

// The engine's shared uniform generator: a value in [0, 1). Seeded once from a
// fixed constant, so every run draws the same sequence. Main thread only.
double random();

namespace detail {
// The raw 32-bit word behind the next draw (advances the same sequence).
uint32_t randomWord();
}  // namespace detail

}  // namespace math
