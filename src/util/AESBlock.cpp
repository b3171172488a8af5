#include "util/AESBlock.h"

namespace util {

namespace {

constexpr uint8_t xtime(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0));
}

constexpr uint8_t multiply(uint8_t a, uint8_t b) {
    uint8_t result = 0;
    while (b) {
        if (b & 1) {
            result ^= a;
        }
        a = xtime(a);
        b >>= 1;
    }
    return result;
}

constexpr uint8_t rotl8(uint8_t x, int shift) {
    return static_cast<uint8_t>((x << shift) | (x >> (8 - shift)));
}

constexpr uint32_t rotr32(uint32_t x, int shift) {
    return shift == 0 ? x : (x >> shift) | (x << (32 - shift));
}

constexpr uint32_t word(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | uint32_t(d);
}

// The S-boxes and the combined round tables, computed at compile time.
struct Tables {
    uint8_t sbox[256];
    uint8_t inverse[256];
    uint32_t encrypt[4][256];
    uint32_t decrypt[4][256];
};

constexpr void fillSBoxes(Tables& t) {
    // p walks the powers of the generator 3 and q the matching inverses.
    uint8_t p = 1;
    uint8_t q = 1;
    do {
        p = static_cast<uint8_t>(p ^ xtime(p));
        q ^= static_cast<uint8_t>(q << 1);
        q ^= static_cast<uint8_t>(q << 2);
        q ^= static_cast<uint8_t>(q << 4);
        q ^= (q & 0x80) ? 0x09 : 0;
        uint8_t affine = q ^ rotl8(q, 1) ^ rotl8(q, 2) ^ rotl8(q, 3) ^ rotl8(q, 4);
        t.sbox[p] = affine ^ 0x63;
    } while (p != 1);
    t.sbox[0] = 0x63;
    for (int i = 0; i < 256; ++i) {
        t.inverse[t.sbox[i]] = static_cast<uint8_t>(i);
    }
}

constexpr Tables makeTables() {
    Tables t{};
    fillSBoxes(t);
    for (int i = 0; i < 256; ++i) {
        uint8_t s = t.sbox[i];
        uint8_t v = t.inverse[i];
        uint32_t e = word(multiply(s, 2), s, s, multiply(s, 3));
        uint32_t d = word(multiply(v, 14), multiply(v, 9), multiply(v, 13), multiply(v, 11));
        for (int k = 0; k < 4; ++k) {
            t.encrypt[k][i] = rotr32(e, 8 * k);
            t.decrypt[k][i] = rotr32(d, 8 * k);
        }
    }
    return t;
}

constexpr Tables kTables = makeTables();
constexpr const uint8_t* kSBox = kTables.sbox;
constexpr const uint8_t* kInverse = kTables.inverse;
constexpr const uint32_t (*kTe)[256] = kTables.encrypt;
constexpr const uint32_t (*kTd)[256] = kTables.decrypt;

uint32_t load(const uint8_t* p) {
    return word(p[0], p[1], p[2], p[3]);
}

void store(uint32_t w, uint8_t* p) {
    p[0] = static_cast<uint8_t>(w >> 24);
    p[1] = static_cast<uint8_t>(w >> 16);
    p[2] = static_cast<uint8_t>(w >> 8);
    p[3] = static_cast<uint8_t>(w);
}

uint8_t byteOf(uint32_t w, int index) {
    return static_cast<uint8_t>(w >> (24 - 8 * index));
}

uint32_t subWord(uint32_t w) {
    return word(kSBox[byteOf(w, 0)], kSBox[byteOf(w, 1)], kSBox[byteOf(w, 2)], kSBox[byteOf(w, 3)]);
}

uint32_t inverseMixColumn(uint32_t w) {
    return kTd[0][kSBox[byteOf(w, 0)]] ^ kTd[1][kSBox[byteOf(w, 1)]] ^ kTd[2][kSBox[byteOf(w, 2)]] ^
           kTd[3][kSBox[byteOf(w, 3)]];
}

// One table round over the state columns s. Row r of column c comes from column
// c + r * shift: ShiftRows to the left (shift 1) or to the right (shift 3).
void round(const uint32_t (*table)[256], const uint32_t* s, const uint32_t* key, int shift,
           uint32_t* out) {
    for (int c = 0; c < 4; ++c) {
        out[c] = table[0][byteOf(s[c], 0)] ^ table[1][byteOf(s[(c + shift) & 3], 1)] ^
                 table[2][byteOf(s[(c + 2) & 3], 2)] ^ table[3][byteOf(s[(c + 4 - shift) & 3], 3)] ^
                 key[c];
    }
}

void lastRound(const uint8_t* box, const uint32_t* s, const uint32_t* key, int shift,
               uint8_t* out) {
    for (int c = 0; c < 4; ++c) {
        uint32_t w = word(box[byteOf(s[c], 0)], box[byteOf(s[(c + shift) & 3], 1)],
                          box[byteOf(s[(c + 2) & 3], 2)], box[byteOf(s[(c + 4 - shift) & 3], 3)]);
        store(w ^ key[c], out + 4 * c);
    }
}

}  // namespace

AESBlock::AESBlock(const uint8_t* key, size_t keyBytes) {
    const int nk = static_cast<int>(keyBytes / 4);
    rounds_ = nk + 6;
    const int total = 4 * (rounds_ + 1);
    for (int i = 0; i < nk; ++i) {
        encryptKeys_[i] = load(key + 4 * i);
    }
    uint8_t rcon = 1;
    for (int i = nk; i < total; ++i) {
        uint32_t temp = encryptKeys_[i - 1];
        if (i % nk == 0) {
            temp = subWord(rotr32(temp, 24)) ^ (uint32_t(rcon) << 24);
            rcon = xtime(rcon);
        } else if (nk > 6 && i % nk == 4) {
            temp = subWord(temp);
        }
        encryptKeys_[i] = encryptKeys_[i - nk] ^ temp;
    }
    // The equivalent inverse cipher: round keys in reverse order, the inner
    // ones passed through InvMixColumns.
    for (int r = 0; r <= rounds_; ++r) {
        for (int c = 0; c < 4; ++c) {
            uint32_t w = encryptKeys_[4 * (rounds_ - r) + c];
            decryptKeys_[4 * r + c] = (r == 0 || r == rounds_) ? w : inverseMixColumn(w);
        }
    }
}

AESBlock::~AESBlock() {
    volatile uint32_t* e = encryptKeys_;
    volatile uint32_t* d = decryptKeys_;
    for (size_t i = 0; i < sizeof(encryptKeys_) / sizeof(encryptKeys_[0]); ++i) {
        e[i] = 0;
        d[i] = 0;
    }
}

void AESBlock::encryptBlock(const uint8_t* in, uint8_t* out) const {
    const uint32_t* key = encryptKeys_;
    uint32_t s[4];
    uint32_t t[4];
    for (int c = 0; c < 4; ++c) {
        s[c] = load(in + 4 * c) ^ key[c];
    }
    for (int r = 1; r < rounds_; ++r) {
        round(kTe, s, key + 4 * r, 1, t);
        for (int c = 0; c < 4; ++c) {
            s[c] = t[c];
        }
    }
    lastRound(kSBox, s, key + 4 * rounds_, 1, out);
}

void AESBlock::decryptBlock(const uint8_t* in, uint8_t* out) const {
    const uint32_t* key = decryptKeys_;
    uint32_t s[4];
    uint32_t t[4];
    for (int c = 0; c < 4; ++c) {
        s[c] = load(in + 4 * c) ^ key[c];
    }
    for (int r = 1; r < rounds_; ++r) {
        round(kTd, s, key + 4 * r, 3, t);
        for (int c = 0; c < 4; ++c) {
            s[c] = t[c];
        }
    }
    lastRound(kInverse, s, key + 4 * rounds_, 3, out);
}

}  // namespace util
