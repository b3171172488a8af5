#include "cloudclient/ClientSecret.h"

namespace ncs {

std::string clientSecret() {
    // Kept scrambled so that the text never appears whole in the binary.
    static const unsigned char scrambled[32] = {0x6b, 0x4f, 0x73, 0x1a, 0x5a, 0x7c, 0x1f, 0x41,
                                                0x60, 0x19, 0x59, 0x62, 0x1c, 0x4e, 0x64, 0x1b,
                                                0x48, 0x7d, 0x12, 0x50, 0x7e, 0x1e, 0x58, 0x72,
                                                0x13, 0x47, 0x66, 0x18, 0x49, 0x1d, 0x4c, 0x7b};
    std::string secret;
    for (int i = 31; i >= 0; --i) {
        secret.push_back(static_cast<char>(scrambled[i] ^ 0x2A));
    }
    return secret;
}

}  // namespace ncs
