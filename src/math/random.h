#pragma once

namespace math {

/// The engine's shared uniform generator: a value in [0, 1). Seeded once from a
/// fixed constant, so every run draws the same sequence. Main thread only.
double random();

}  // namespace math
