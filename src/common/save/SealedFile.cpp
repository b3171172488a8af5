#include "common/save/SealedFile.h"

#include <limits>

#include "io/BundleInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"
#include "io/ZipFileInputStream.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Ptr.h"
#include "util/AES.h"

namespace {

// The key is assembled from single bytes at run time.
std::vector<uint8_t> buildContentKey() {
    const uint8_t k00 = 0x1d, k01 = 0xb7, k02 = 0x54, k03 = 0x07;
    const uint8_t k04 = 0x98, k05 = 0x5d, k06 = 0xf7, k07 = 0x0d;
    const uint8_t k08 = 0xe6, k09 = 0xc0, k10 = 0xbb, k11 = 0xbd;
    const uint8_t k12 = 0x34, k13 = 0x1f, k14 = 0x5c, k15 = 0xaf;
    const uint8_t k16 = 0x1f, k17 = 0x10, k18 = 0x6d, k19 = 0x32;
    const uint8_t k20 = 0x20, k21 = 0xd8, k22 = 0xbd, k23 = 0xc5;
    const uint8_t k24 = 0x9e, k25 = 0xdb, k26 = 0xf7, k27 = 0x04;
    const uint8_t k28 = 0x9f, k29 = 0x93, k30 = 0x31, k31 = 0x0b;
    return {k00, k01, k02, k03, k04, k05, k06, k07, k08, k09, k10, k11, k12, k13, k14, k15,
            k16, k17, k18, k19, k20, k21, k22, k23, k24, k25, k26, k27, k28, k29, k30, k31};
}

}  // namespace

const std::vector<uint8_t>& contentKey() {
    // A function-local static is initialised exactly once, also under threads.
    static const std::vector<uint8_t> key = buildContentKey();
    return key;
}

std::vector<uint8_t> openSealed(const uint8_t* bytes, size_t size,
                                const std::vector<uint8_t>& key) {
    util::AES aes(key, util::AES::KEY_LENGTH_FROM_KEY, util::AES::PAD_MODE_PKCS7);
    std::vector<uint8_t> plain;
    if (!aes.decrypt(bytes, size, plain)) {
        throw lang::Exception(lang::Format("Failed to decrypt input data"));
    }
    // Streams count in int.
    if (plain.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        throw lang::Exception(lang::Format("Sealed data of {0} bytes is too large", plain.size()));
    }
    lang::Ptr<io::InputStream> stream(
        new io::MemoryAliasInputStream(plain.data(), static_cast<int>(plain.size()), ""));
    io::ZipFileInputStream archive(*stream, false);
    return io::readAll(*archive.entry(0));
}

std::vector<uint8_t> readSealedFile(const std::string& path, const std::vector<uint8_t>& key) {
    lang::Ptr<io::InputStream> file(new io::BundleInputStream(path));
    std::vector<uint8_t> bytes = io::readAll(*file);
    // The decoders see only bytes; the player needs to know which file is bad.
    try {
        return openSealed(bytes.data(), bytes.size(), key);
    } catch (const io::IOException& e) {
        throw io::IOException(lang::Format("{0}: {1}", file->getName(), e.getMessage()));
    } catch (const lang::Exception& e) {
        throw lang::Exception(lang::Format("{0}: {1}", file->getName(), e.getMessage()));
    }
}

std::vector<uint8_t> readSealedFile(const std::string& path) {
    return readSealedFile(path, contentKey());
}
