// The loader of the persistent store file. The first byte chooses what the
// rest is: the file's bytes as they are, or a text sealed here with the
// store's key so that the fuzzer reaches the JSON behind the cipher. A
// damaged file gives false and an empty object; an accepted one is an object
// and loads again after every save.
#include "FuzzSupport.h"
#include "util/AES.h"
#include "util/RegistryAccessor.h"
#include "util/RegistryKey.h"

namespace {

const util::AES& cipher() {
    static const util::AES* aes = new util::AES(
        util::detail::registryKey(), util::AES::KEY_LENGTH_256, util::AES::PAD_MODE_RANDOM);
    return *aes;
}

std::vector<uint8_t> seal(const std::string& text) {
    std::vector<uint8_t> out;
    cipher().encrypt(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool sealedHere = in.flag();
    std::vector<uint8_t> bytes = in.rest();
    if (sealedHere) {
        bytes = seal(std::string(bytes.begin(), bytes.end()));
    }
    util::JSON document;
    if (!util::decodeRegistry(bytes.data(), bytes.size(), document)) {
        QF_FUZZ_CHECK(document.getType() == util::JSON::TYPE_OBJECT && document.asObject().empty(),
                      document.toString(false));
        return 0;
    }
    QF_FUZZ_CHECK(document.getType() == util::JSON::TYPE_OBJECT, document.toString(false));
    // Saved and loaded twice: the first save may mend texts that are no UTF-8
    // (the JSON target checks the rest of them); from then on nothing changes.
    std::string text = document.toString(false);
    for (int save = 0; save < 2; ++save) {
        const std::vector<uint8_t> saved = seal(text);
        util::JSON again;
        QF_FUZZ_CHECK(util::decodeRegistry(saved.data(), saved.size(), again), text);
        const std::string next = again.toString(false);
        QF_FUZZ_CHECK(save == 0 || next == text, text + "\n" + next);
        text = next;
    }
    return 0;
}
