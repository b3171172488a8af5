#include "qfseal/Sealer.h"

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <memory>
#include <stdexcept>

#include "util/AES.h"

namespace qfseal {

namespace {

using Writer = std::unique_ptr<archive, decltype(&archive_write_free)>;
using Entry = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

la_ssize_t append(archive*, void* client, const void* buffer, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(client);
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    out->insert(out->end(), p, p + length);
    return static_cast<la_ssize_t>(length);
}

void check(archive* a, int result) {
    if (result < ARCHIVE_WARN) {
        const char* message = archive_error_string(a);
        throw std::runtime_error(message ? message : "libarchive failed");
    }
}

// libarchive converts entry names through the locale's character set; ours
// are UTF-8 whatever the process locale is.
class Utf8Locale {
public:
    Utf8Locale() {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        saved_ = current ? current : "C";
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    ~Utf8Locale() { std::setlocale(LC_CTYPE, saved_.c_str()); }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    std::string saved_;
};

void writeEntry(archive* a, const std::vector<uint8_t>& content, const std::string& name) {
    Entry entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(content.size()));
    // A fixed time keeps sealed files reproducible.
    archive_entry_set_mtime(entry.get(), 1700000000, 0);
    check(a, archive_write_header(a, entry.get()));
    if (!content.empty()) {
        la_ssize_t put = archive_write_data(a, content.data(), content.size());
        if (put < 0 || static_cast<size_t>(put) != content.size()) {
            check(a, ARCHIVE_FATAL);
        }
    }
}

}  // namespace

std::vector<uint8_t> makeArchive(const std::vector<uint8_t>& content,
                                 const std::string& entryName) {
    Utf8Locale utf8;
    std::vector<uint8_t> bytes;
    Writer a(archive_write_new(), archive_write_free);
    if (!a) {
        throw std::runtime_error("libarchive failed");
    }
    check(a.get(), archive_write_set_format_7zip(a.get()));
    check(a.get(), archive_write_set_format_option(a.get(), "7zip", "compression", "lzma1"));
    check(a.get(), archive_write_set_bytes_per_block(a.get(), 0));
    check(a.get(), archive_write_open(a.get(), &bytes, nullptr, append, nullptr));
    writeEntry(a.get(), content, entryName.empty() ? std::string("content") : entryName);
    check(a.get(), archive_write_close(a.get()));
    return bytes;
}

std::vector<uint8_t> seal(const std::vector<uint8_t>& content, const std::string& entryName,
                          const std::vector<uint8_t>& key) {
    std::vector<uint8_t> sealed;
    util::AES aes(key, util::AES::KEY_LENGTH_FROM_KEY, util::AES::PAD_MODE_PKCS7);
    aes.encrypt(makeArchive(content, entryName), sealed);
    return sealed;
}

std::vector<uint8_t> seal(const std::string& content, const std::string& entryName,
                          const std::vector<uint8_t>& key) {
    return seal(std::vector<uint8_t>(content.begin(), content.end()), entryName, key);
}

std::vector<uint8_t> unseal(const std::vector<uint8_t>& sealed, const std::vector<uint8_t>& key) {
    return openSealed(sealed.data(), sealed.size(), key);
}

}  // namespace qfseal
