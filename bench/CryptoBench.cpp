#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "util/AES.h"
#include "util/SHA1.h"

namespace {

const size_t kMegabyte = 1 << 20;

std::vector<uint8_t> sample(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 8));
    }
    return bytes;
}

util::AES cipher(int keyLength) {
    std::vector<uint8_t> key(8 + 8 * static_cast<size_t>(keyLength), 0x5A);
    return util::AES(key, keyLength, util::AES::PAD_MODE_RANDOM);
}

void BM_AesCbcEncrypt1MB(benchmark::State& state) {
    util::AES aes = cipher(static_cast<int>(state.range(0)));
    std::vector<uint8_t> plain = sample(kMegabyte);
    std::vector<uint8_t> out;
    for (auto _ : state) {
        aes.encrypt(plain, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMegabyte));
}
BENCHMARK(BM_AesCbcEncrypt1MB)
    ->Arg(util::AES::KEY_LENGTH_128)
    ->Arg(util::AES::KEY_LENGTH_256)
    ->Unit(benchmark::kMillisecond);

void BM_AesCbcDecrypt1MB(benchmark::State& state) {
    util::AES aes = cipher(static_cast<int>(state.range(0)));
    std::vector<uint8_t> sealed;
    aes.encrypt(sample(kMegabyte), sealed);
    std::vector<uint8_t> out;
    for (auto _ : state) {
        bool ok = aes.decrypt(sealed, out);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMegabyte));
}
BENCHMARK(BM_AesCbcDecrypt1MB)
    ->Arg(util::AES::KEY_LENGTH_128)
    ->Arg(util::AES::KEY_LENGTH_256)
    ->Unit(benchmark::kMillisecond);

void BM_Sha1Hex1MB(benchmark::State& state) {
    std::vector<uint8_t> bytes = sample(kMegabyte);
    for (auto _ : state) {
        std::string digest = util::sha1Hex(bytes);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMegabyte));
}
BENCHMARK(BM_Sha1Hex1MB)->Unit(benchmark::kMillisecond);

}  // namespace
