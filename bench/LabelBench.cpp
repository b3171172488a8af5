// A label-cache hit: the key of a text and the pool's lookup, as every
// drawString of an already rendered text does.

#include <benchmark/benchmark.h>

#include <string>

#include "game/LabelPool.h"
#include "game/SystemFont.h"

namespace {

void BM_LabelCacheHit(benchmark::State& state) {
    game::LabelPool pool;
    const std::string face = "DejaVu Sans";
    const uint32_t colour = 0xffffffffu;
    // A pool with a few hundred labels, as a menu-heavy screen has.
    for (int i = 0; i < 300; ++i) {
        const std::string text = "Level " + std::to_string(i);
        pool.add(game::SystemFont::labelKey(face, text, 18, colour, 0),
                 new game::LabelPool::Label(nullptr, face + "|" + text));
    }
    const std::string text = "Level 123";
    const std::string identity = face + "|" + text;
    for (auto _ : state) {
        const uint32_t key = game::SystemFont::labelKey(face, text, 18, colour, 0);
        benchmark::DoNotOptimize(pool.find(key, identity));
    }
}
BENCHMARK(BM_LabelCacheHit);

}  // namespace
