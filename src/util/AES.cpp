#include "util/AES.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "lang/Exception.h"
#include "util/AESBlock.h"

namespace util {

class AES::Impl : public lang::Object {
public:
    Impl(const std::vector<uint8_t>& key, int bits, int padMode);
    ~Impl() override;

    std::vector<uint8_t> key;
    int bits;
    int padMode;
    std::unique_ptr<AESBlock> cipher;
};

namespace {

const size_t kBlock = AES::BLOCK_SIZE;

int bitsFor(const std::vector<uint8_t>& key, int keyLength) {
    if (keyLength == AES::KEY_LENGTH_FROM_KEY) {
        if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
            throw lang::Exception(
                lang::Format("Key length ({0}) is not either 16, 24 or 32 octets", key.size()));
        }
        return static_cast<int>(key.size() * 8);
    }
    if (keyLength < AES::KEY_LENGTH_128 || keyLength > AES::KEY_LENGTH_256) {
        throw lang::Exception(lang::Format("Unexpected KeyLengthBits value"));
    }
    int bits = 64 + 64 * keyLength;
    if (key.size() * 8 != static_cast<size_t>(bits)) {
        throw lang::Exception(lang::Format("Invalid key length for decrypter: {0}, expected: {1}",
                                           key.size(), bits / 8));
    }
    return bits;
}

void appendPadding(std::vector<uint8_t>& data, int padMode) {
    uint8_t n = static_cast<uint8_t>(kBlock - data.size() % kBlock);
    for (int i = 1; i < n; ++i) {
        data.push_back(padMode == AES::PAD_MODE_RANDOM ? static_cast<uint8_t>(std::rand() % 255)
                                                       : n);
    }
    data.push_back(n);
}

}  // namespace

AES::Impl::Impl(const std::vector<uint8_t>& key, int bits, int padMode)
    : key(key), bits(bits), padMode(padMode) {
    cipher.reset(new AESBlock(this->key.data(), this->key.size()));
}

AES::Impl::~Impl() {
    volatile uint8_t* bytes = key.data();
    for (size_t i = 0; i < key.size(); ++i) {
        bytes[i] = 0;
    }
}

AES::AES(const std::vector<uint8_t>& key, int keyLength, int padMode) {
    int bits = bitsFor(key, keyLength);
    if (padMode < PAD_MODE_PKCS7 || padMode > PAD_MODE_NOPAD) {
        throw lang::Exception(lang::Format("Unexpected PadMode value"));
    }
    impl_ = new Impl(key, bits, padMode);
}

AES::AES(const AES& other) = default;

AES& AES::operator=(const AES& other) = default;

AES::~AES() = default;

void AES::encrypt(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) const {
    encrypt(in.data(), in.size(), out);
}

void AES::encrypt(const uint8_t* in, size_t size, std::vector<uint8_t>& out) const {
    if (size == 0) {
        out.clear();
        return;
    }
    if (impl_->padMode == PAD_MODE_NOPAD && size % kBlock != 0) {
        throw lang::Exception(lang::Format(
            "Encryption with PadMode = PAD_MODE_NOPAD requires input size to be multiple of "
            "BLOCK_SIZE"));
    }
    // Built aside: in may point into out.
    std::vector<uint8_t> data(in, in + size);
    if (impl_->padMode != PAD_MODE_NOPAD) {
        appendPadding(data, impl_->padMode);
    }
    uint8_t chain[kBlock] = {};
    for (size_t offset = 0; offset < data.size(); offset += kBlock) {
        uint8_t* block = data.data() + offset;
        for (size_t i = 0; i < kBlock; ++i) {
            block[i] ^= chain[i];
        }
        impl_->cipher->encryptBlock(block, block);
        std::memcpy(chain, block, kBlock);
    }
    out.swap(data);
}

bool AES::decrypt(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) const {
    return decrypt(in.data(), in.size(), out);
}

bool AES::decrypt(const uint8_t* in, size_t size, std::vector<uint8_t>& out) const {
    if (size == 0) {
        out.clear();
        return true;
    }
    if (size % kBlock != 0) {
        return false;
    }
    std::vector<uint8_t> data(size);
    const uint8_t* chain = nullptr;
    for (size_t offset = 0; offset < size; offset += kBlock) {
        uint8_t* block = data.data() + offset;
        impl_->cipher->decryptBlock(in + offset, block);
        for (size_t i = 0; chain && i < kBlock; ++i) {
            block[i] ^= chain[i];
        }
        chain = in + offset;
    }
    if (impl_->padMode != PAD_MODE_NOPAD) {
        // Only the count byte is checked: random padding has nothing else to test.
        size_t n = data.back();
        if (n > kBlock) {
            return false;
        }
        data.resize(size - n);
    }
    out.swap(data);
    return true;
}

}  // namespace util
