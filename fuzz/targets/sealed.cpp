// The sealed-file reader. The first byte chooses what the rest is: the sealed
// bytes as they are, or an archive encrypted here with the content key so that
// the fuzzer reaches the 7z reader behind the cipher. Bad data throws
// lang::Exception, never more.
#include "FuzzSupport.h"
#include "common/save/SealedFile.h"
#include "lang/Exception.h"
#include "util/AES.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool encryptHere = in.flag();
    std::vector<uint8_t> bytes = in.rest();
    if (encryptHere) {
        static const util::AES* aes =
            new util::AES(contentKey(), util::AES::KEY_LENGTH_FROM_KEY, util::AES::PAD_MODE_PKCS7);
        std::vector<uint8_t> sealed;
        aes->encrypt(bytes, sealed);
        bytes.swap(sealed);
    }
    try {
        openSealed(bytes.data(), bytes.size());
    } catch (const lang::Exception&) {
    }
    return 0;
}
