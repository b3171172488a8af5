#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Builds small 7z and zip archives in memory with libarchive, for tests and
/// tools that must not depend on committed binaries.
namespace archive_maker {

enum class Format {
    SEVEN_ZIP_LZMA,   // 7z, LZMA, one solid block
    SEVEN_ZIP_LZMA2,  // 7z, LZMA2
    SEVEN_ZIP_COPY,   // 7z, stored
    ZIP_DEFLATE,
    ZIP_STORE,
};

struct Entry {
    std::string name;  // '/'-separated; folders end without '/'
    std::string data;  // ignored for folders
    bool folder = false;
};

/// The archive's bytes; throws std::runtime_error with libarchive's message.
/// `level` is the compression level, 0 to 9; low levels are quick to make.
std::vector<uint8_t> make(Format format, const std::vector<Entry>& entries, int level = 1);

/// Convenience: one file entry.
inline Entry file(const std::string& name, const std::string& data) {
    return Entry{name, data, false};
}
inline Entry folder(const std::string& name) {
    return Entry{name, std::string(), true};
}

}  // namespace archive_maker
