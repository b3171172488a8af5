#include <benchmark/benchmark.h>

#include <string>

#include "lang/Format.h"

namespace {

void BM_FormatTexts(benchmark::State& state) {
    const std::string name = "levels/episode1/level7.lua";
    for (auto _ : state) {
        std::string text = lang::Format("Failed to open {0} with errno {1}", name, 2).format();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatTexts);

void BM_FormatNumberSpecs(benchmark::State& state) {
    for (auto _ : state) {
        std::string text =
            lang::Format("{0,#.00} {1,000} {2,X} {3,d}", 3.14159, 7, 255, -2.7).format();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatNumberSpecs);

// Results past the first 512-character buffer are formatted twice.
void BM_FormatLongResult(benchmark::State& state) {
    const std::string chunk(600, 'x');
    for (auto _ : state) {
        std::string text = lang::Format("{0}:{1}", chunk, 1).format();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatLongResult);

}  // namespace
