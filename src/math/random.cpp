#include "math/random.h"

namespace math {

namespace {

// Complementary multiply-with-carry, lag 4096, filled by a xorshift generator.
struct Generator {
    uint32_t Q[4096];
    int i = 0;
    uint32_t c = 0;
    bool seeded = false;

    void seed() {
        uint32_t x = 123456789u, y = 362436069u, z = 521288629u, w = 88675123u;
        for (uint32_t& word : Q) {
            uint32_t t = x ^ (x << 11);
            x = y;
            y = z;
            z = w;
            w = w ^ (w >> 19) ^ t ^ (t >> 8);
            word = w;
        }
        i = 4095;
        c = 362436u;
        seeded = true;
    }

    uint32_t next() {
        if (!seeded) {
            seed();
        }
        i = (i + 1) & 4095;
        uint64_t t = 18782ull * Q[i] + c;
        c = static_cast<uint32_t>(t >> 32);
        uint32_t x = static_cast<uint32_t>(t) + c;
        if (x < c) {
            ++x;
            ++c;
        }
        Q[i] = 0xFFFFFFFEu - x;
        return Q[i];
    }
};

Generator generator;

}  // namespace

double random() {
    return detail::randomWord() / 4294967296.0;
}

namespace detail {
uint32_t randomWord() {
    return generator.next();
}
}  // namespace detail

}  // namespace math
