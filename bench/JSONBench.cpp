#include <benchmark/benchmark.h>

#include <string>

#include "util/JSON.h"

namespace {

// About 1 MB of sprite-sheet-like records: nested objects, arrays, numbers,
// escaped and plain strings.
const std::string& document() {
    static const std::string text = [] {
        std::string out = "{\"frames\":[";
        for (int i = 0; out.size() < (1 << 20); ++i) {
            if (i > 0) {
                out += ",\n";
            }
            std::string n = std::to_string(i);
            out += "{\"name\":\"sprite_" + n + "\\u00e9\\n\",\"rect\":[" + n + ",-" + n +
                   ",128,64],\"pivot\":{\"x\":0.5,\"y\":-1.25e-3},\"rotated\":" +
                   (i % 2 ? "true" : "false") + ",\"tag\":null}";
        }
        return out + "],\"version\":3}";
    }();
    return text;
}

void BM_JsonParse1MB(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        util::JSON json;
        json.parse(text);
        benchmark::DoNotOptimize(json.getType());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonParse1MB)->Unit(benchmark::kMillisecond);

void BM_JsonWrite1MB(benchmark::State& state) {
    util::JSON json;
    json.parse(document());
    for (auto _ : state) {
        std::string text = json.toString(false);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document().size()));
}
BENCHMARK(BM_JsonWrite1MB)->Unit(benchmark::kMillisecond);

}  // namespace
