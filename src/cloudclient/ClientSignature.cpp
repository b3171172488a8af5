#include "cloudclient/ClientSignature.h"

#include <cstdint>
#include <vector>

#include "pf/UUID.h"
#include "util/BaseN.h"
#include "util/SHA1.h"

namespace ncs {

namespace {

std::vector<uint8_t> sha1(const std::vector<uint8_t>& bytes) {
    return util::fromHex(util::sha1Hex(bytes));
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> hmacSha1(const std::vector<uint8_t>& key,
                              const std::vector<uint8_t>& message) {
    std::vector<uint8_t> block = key.size() > 64 ? sha1(key) : key;
    block.resize(64, 0);
    std::vector<uint8_t> inner(64);
    std::vector<uint8_t> outer(64);
    for (size_t i = 0; i < 64; ++i) {
        inner[i] = static_cast<uint8_t>(block[i] ^ 0x36);
        outer[i] = static_cast<uint8_t>(block[i] ^ 0x5c);
    }
    inner.insert(inner.end(), message.begin(), message.end());
    std::vector<uint8_t> innerHash = sha1(inner);
    outer.insert(outer.end(), innerHash.begin(), innerHash.end());
    return sha1(outer);
}

}  // namespace

std::string makeClientSalt() {
    return util::sha1Hex(pf::UUID().generate());
}

std::string clientSignature(const std::string& clientSecret, const std::string& saltHex,
                            const std::string& clientId) {
    std::vector<uint8_t> key = bytesOf(clientSecret);
    std::vector<uint8_t> salt = util::fromHex(saltHex);
    key.insert(key.end(), salt.begin(), salt.end());
    for (int round = 0; round < 32; ++round) {
        key = sha1(key);
    }
    return util::toHex(hmacSha1(key, bytesOf(clientId)));
}

}  // namespace ncs
