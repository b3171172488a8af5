#include "io/ArchiveMaker.h"

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <memory>
#include <stdexcept>
#include <string>

namespace archive_maker {

namespace {

using Writer = std::unique_ptr<archive, decltype(&archive_write_free)>;

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

void setFormat(archive* a, Format format, int level) {
    switch (format) {
        case Format::SEVEN_ZIP_LZMA:
        case Format::SEVEN_ZIP_LZMA2:
        case Format::SEVEN_ZIP_COPY:
            check(a, archive_write_set_format_7zip(a));
            check(a,
                  archive_write_set_format_option(a, "7zip", "compression",
                                                  format == Format::SEVEN_ZIP_LZMA    ? "lzma1"
                                                  : format == Format::SEVEN_ZIP_LZMA2 ? "lzma2"
                                                                                      : "store"));
            check(a, archive_write_set_format_option(a, "7zip", "compression-level",
                                                     std::to_string(level).c_str()));
            break;
        case Format::ZIP_DEFLATE:
        case Format::ZIP_STORE:
            check(a, archive_write_set_format_zip(a));
            check(a, archive_write_set_format_option(
                         a, "zip", "compression",
                         format == Format::ZIP_DEFLATE ? "deflate" : "store"));
            check(a, archive_write_set_format_option(a, "zip", "compression-level",
                                                     std::to_string(level).c_str()));
            break;
    }
}

void writeEntry(archive* a, const Entry& e) {
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), e.name.c_str());
    archive_entry_set_filetype(entry.get(), e.folder ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(entry.get(), e.folder ? 0755 : 0644);
    archive_entry_set_size(entry.get(), e.folder ? 0 : static_cast<la_int64_t>(e.data.size()));
    archive_entry_set_mtime(entry.get(), 1700000000, 0);
    check(a, archive_write_header(a, entry.get()));
    if (!e.folder && !e.data.empty()) {
        la_ssize_t put = archive_write_data(a, e.data.data(), e.data.size());
        if (put < 0 || static_cast<size_t>(put) != e.data.size()) {
            check(a, ARCHIVE_FATAL);
        }
    }
}

// libarchive converts names through the locale's character set; names here are
// UTF-8 whatever the process locale is.
class Utf8Locale {
public:
    Utf8Locale() {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        saved_ = current ? current : "C";
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    ~Utf8Locale() { std::setlocale(LC_CTYPE, saved_.c_str()); }

private:
    std::string saved_;
};

}  // namespace

std::vector<uint8_t> make(Format format, const std::vector<Entry>& entries, int level) {
    Utf8Locale utf8;
    std::vector<uint8_t> bytes;
    Writer a(archive_write_new(), archive_write_free);
    setFormat(a.get(), format, level);
    // Write whole archives without padding to a block size.
    check(a.get(), archive_write_set_bytes_per_block(a.get(), 0));
    check(a.get(), archive_write_open(a.get(), &bytes, nullptr, append, nullptr));
    for (const Entry& e : entries) {
        writeEntry(a.get(), e);
    }
    check(a.get(), archive_write_close(a.get()));
    return bytes;
}

}  // namespace archive_maker
