#include "common/save/PersistenceKey.h"

namespace {

// Assembled from single bytes at run time, so the key is no string in the binary.
std::vector<uint8_t> buildPersistenceKey() {
    const uint8_t k00 = 0x01, k01 = 0xba, k02 = 0x99, k03 = 0x0a;
    const uint8_t k04 = 0x8c, k05 = 0x07, k06 = 0xca, k07 = 0x5a;
    const uint8_t k08 = 0x96, k09 = 0x71, k10 = 0x1f, k11 = 0x0e;
    const uint8_t k12 = 0xf7, k13 = 0xad, k14 = 0x1b, k15 = 0x31;
    const uint8_t k16 = 0x67, k17 = 0xf5, k18 = 0x3f, k19 = 0x8b;
    const uint8_t k20 = 0x83, k21 = 0xb5, k22 = 0x8b, k23 = 0xb3;
    const uint8_t k24 = 0xb3, k25 = 0x15, k26 = 0x48, k27 = 0x9d;
    const uint8_t k28 = 0x67, k29 = 0x72, k30 = 0x9e, k31 = 0x14;
    return {k00, k01, k02, k03, k04, k05, k06, k07, k08, k09, k10, k11, k12, k13, k14, k15,
            k16, k17, k18, k19, k20, k21, k22, k23, k24, k25, k26, k27, k28, k29, k30, k31};
}

}  // namespace

const std::vector<uint8_t>& persistenceKey() {
    // A function-local static is initialised exactly once, also under threads.
    static const std::vector<uint8_t> key = buildPersistenceKey();
    return key;
}
