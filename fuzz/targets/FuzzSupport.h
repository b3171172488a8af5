#pragma once

// Helpers shared by the fuzz targets: carving typed values out of the input,
// and a property check that stops the run with a message libFuzzer reports.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// Reads values from the front of the input; past its end every read yields 0
// or an empty string, so a target never has to check what is left.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    size_t left() const { return size_ - pos_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    uint16_t u16() { return uint16_t(byte() | byte() << 8); }
    uint32_t u32() { return uint32_t(u16()) | uint32_t(u16()) << 16; }
    // A length-prefixed string of at most `max` bytes.
    std::string text(size_t max = 64) {
        size_t n = byte();
        n = n < max ? n : max;
        n = n < left() ? n : left();
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    // Everything not yet read.
    std::vector<uint8_t> rest() {
        std::vector<uint8_t> out(data_ + pos_, data_ + size_);
        pos_ = size_;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

[[noreturn]] inline void fail(const char* file, int line, const char* what,
                              const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n%s\n", file, line, what, detail.c_str());
    std::abort();
}

}  // namespace fuzz

// Aborts (a crash to libFuzzer) when a property of the parser does not hold.
#define QF_FUZZ_CHECK(cond, detail)                            \
    do {                                                       \
        if (!(cond)) {                                         \
            ::fuzz::fail(__FILE__, __LINE__, #cond, (detail)); \
        }                                                      \
    } while (0)
