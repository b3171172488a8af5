#include "util/SHA1.h"

#include <cstring>

#include "util/BaseN.h"

namespace util {

namespace {

const size_t kBlock = 64;

uint32_t rotl(uint32_t x, int shift) {
    return (x << shift) | (x >> (32 - shift));
}

void compress(uint32_t* h, const uint8_t* block) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
        const uint8_t* p = block + 4 * i;
        w[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    for (int i = 16; i < 80; ++i) {
        w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f;
        uint32_t k;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        uint32_t t = rotl(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = rotl(b, 30);
        b = a;
        a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

}  // namespace

std::string sha1Hex(const void* data, size_t size) {
    uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t whole = size - size % kBlock;
    for (size_t offset = 0; offset < whole; offset += kBlock) {
        compress(h, bytes + offset);
    }
    // The tail, the 0x80 marker and the full 64-bit length in bits.
    uint8_t last[2 * kBlock] = {};
    size_t rest = size - whole;
    if (rest > 0) {
        std::memcpy(last, bytes + whole, rest);
    }
    last[rest] = 0x80;
    size_t end = rest + 9 <= kBlock ? kBlock : 2 * kBlock;
    uint64_t bits = static_cast<uint64_t>(size) * 8;
    for (int i = 0; i < 8; ++i) {
        last[end - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    for (size_t offset = 0; offset < end; offset += kBlock) {
        compress(h, last + offset);
    }
    uint8_t digest[20];
    for (int i = 0; i < 20; ++i) {
        digest[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    }
    return toHex(digest, sizeof(digest));
}

std::string sha1Hex(const std::vector<uint8_t>& bytes) {
    return sha1Hex(bytes.data(), bytes.size());
}

std::string sha1Hex(const std::string& text) {
    return sha1Hex(text.data(), text.size());
}

}  // namespace util
