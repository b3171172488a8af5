#pragma once

#include <cstdint>

namespace math {
namespace detail {

/// Complementary multiply-with-carry with lag 4096 and multiplier 18782, its
/// table filled by a xorshift generator from a fixed seed on the first draw.
class RandomGenerator {
public:
    enum { TABLE_SIZE = 4096 };

    /// The next 32-bit word; seeds on the first call.
    uint32_t next();
    /// A table word, for checking the seeding.
    uint32_t tableWord(int index) const { return table_[index & (TABLE_SIZE - 1)]; }
    bool seeded() const { return seeded_; }
    void seed();

    /// A word as a value in [0, 1).
    static double toUnit(uint32_t word) { return word / 4294967296.0; }

private:
    uint32_t table_[TABLE_SIZE] = {};
    int index_ = 0;
    uint32_t carry_ = 0;
    bool seeded_ = false;
};

}  // namespace detail
}  // namespace math
