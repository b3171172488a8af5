#include "BundleCopy.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace e2e {

BundleCopy::BundleCopy(const std::string& original, const std::string& folder)
    : original_(original), folder_(folder) {
    fs::create_directories(folder_);
    for (const auto& entry : fs::recursive_directory_iterator(original_)) {
        const fs::path relative = fs::relative(entry.path(), original_);
        const fs::path target = fs::path(folder_) / relative;
        if (entry.is_directory()) {
            fs::create_directories(target);
        } else {
            fs::create_symlink(fs::absolute(entry.path()), target);
        }
    }
}

void BundleCopy::put(const std::string& path, const std::string& content) const {
    remove(path);
    std::ofstream(fs::path(folder_) / path, std::ios::binary) << content;
}

void BundleCopy::remove(const std::string& path) const {
    std::error_code ec;
    fs::remove(fs::path(folder_) / path, ec);
}

std::string BundleCopy::original(const std::string& path) const {
    std::ifstream in(fs::path(original_) / path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace e2e
