#include "math/random.h"

#include "math/RandomGenerator.h"

namespace math {

namespace detail {

void RandomGenerator::seed() {
    uint32_t x = 123456789u, y = 362436069u, z = 521288629u, w = 88675123u;
    for (uint32_t& word : table_) {
        uint32_t t = x ^ (x << 11);
        x = y;
        y = z;
        z = w;
        w = w ^ (w >> 19) ^ t ^ (t >> 8);
        word = w;
    }
    index_ = TABLE_SIZE - 1;
    carry_ = 362436u;
    seeded_ = true;
}

uint32_t RandomGenerator::next() {
    if (!seeded_) {
        seed();
    }
    index_ = (index_ + 1) & (TABLE_SIZE - 1);
    uint64_t t = 18782ull * table_[index_] + carry_;
    carry_ = static_cast<uint32_t>(t >> 32);
    uint32_t x = static_cast<uint32_t>(t) + carry_;
    if (x < carry_) {
        ++x;
        ++carry_;
    }
    table_[index_] = 0xFFFFFFFEu - x;
    return table_[index_];
}

}  // namespace detail

namespace {
detail::RandomGenerator generator;
}

double random() {
    return detail::RandomGenerator::toUnit(generator.next());
}

}  // namespace math
