#include "sheetpack/Files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sheetpack/Error.h"

namespace sheetpack {

std::vector<uint8_t> readFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw Error(path + ": is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw Error(path + ": cannot open: " + std::strerror(errno));
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw Error(path + ": read error");
    }
    return bytes;
}

std::string readText(const std::string& path) {
    const std::vector<uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec) && fs::file_size(path, ec) == bytes.size()) {
        try {
            if (readFile(path) == bytes) {
                return;
            }
        } catch (const Error&) {
            // Unreadable: write it anew.
        }
    }
    const fs::path target(path);
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw Error(path + ": cannot write: " + std::strerror(errno));
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        throw Error(path + ": cannot write: " + ec.message());
    }
}

}  // namespace sheetpack
