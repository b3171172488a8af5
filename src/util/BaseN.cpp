#include "util/BaseN.h"

#include "lang/Exception.h"

namespace util {

BaseN::BaseN(const std::string& alphabet) : alphabet_(alphabet), bits_(0) {
    while (bits_ < 8 && (size_t(1) << bits_) < alphabet.size()) {
        ++bits_;
    }
    if (alphabet.size() < 2 || (size_t(1) << bits_) != alphabet.size()) {
        throw lang::Exception(
            lang::Format("BaseN: alphabet size {0} is not a power of two", alphabet.size()));
    }
    for (int& symbol : symbols_) {
        symbol = -1;
    }
    for (size_t i = 0; i < alphabet.size(); ++i) {
        int& symbol = symbols_[static_cast<unsigned char>(alphabet[i])];
        if (symbol >= 0) {
            throw lang::Exception(lang::Format("BaseN: repeated letter in alphabet"));
        }
        symbol = static_cast<int>(i);
    }
}

std::string BaseN::encode(const std::vector<uint8_t>& bytes) const {
    return encode(bytes.data(), bytes.size());
}

std::string BaseN::encode(const uint8_t* data, size_t size) const {
    std::string text;
    text.reserve((size * 8 + bits_ - 1) / bits_);
    const unsigned mask = (1u << bits_) - 1;
    unsigned buffer = 0;
    int count = 0;
    for (size_t i = 0; i < size; ++i) {
        buffer = (buffer << 8) | data[i];
        count += 8;
        while (count >= bits_) {
            count -= bits_;
            text += alphabet_[(buffer >> count) & mask];
        }
    }
    if (count > 0) {
        // Leftover bits, left-aligned in one last symbol.
        text += alphabet_[(buffer << (bits_ - count)) & mask];
    }
    return text;
}

std::vector<uint8_t> BaseN::decode(const std::string& text) const {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * bits_ / 8);
    unsigned buffer = 0;
    int count = 0;
    for (char c : text) {
        if (c == ' ' || c == '\r' || c == '\n') {
            continue;
        }
        if (c == '=') {
            buffer = 0;
            count = 0;
            continue;
        }
        int symbol = symbols_[static_cast<unsigned char>(c)];
        if (symbol < 0) {
            throw lang::Exception(lang::Format("BaseN::decode: Bad character in input: {0}",
                                               static_cast<int>(static_cast<unsigned char>(c))));
        }
        buffer = ((buffer << bits_) | static_cast<unsigned>(symbol)) & 0xFFFF;
        count += bits_;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<uint8_t>(buffer >> count));
        }
    }
    return bytes;
}

const BaseN& BaseN::hex() {
    static const BaseN instance("0123456789ABCDEF");
    return instance;
}

std::string toHex(const std::vector<uint8_t>& bytes) {
    return BaseN::hex().encode(bytes);
}

std::string toHex(const uint8_t* data, size_t size) {
    return BaseN::hex().encode(data, size);
}

std::vector<uint8_t> fromHex(const std::string& text) {
    return BaseN::hex().decode(text);
}

}  // namespace util
