#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

/// A fresh folder below the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("qf_io_" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder's path, ending without '/'.
    std::string str() const { return path_.string(); }
    std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }

    /// Writes `content` to rel, creating folders on the way.
    void write(const std::string& rel, const std::string& content) const {
        auto p = path_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    std::string read(const std::string& rel) const {
        std::ifstream in(path_ / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void mkdir(const std::string& rel) const { std::filesystem::create_directories(path_ / rel); }

private:
    std::filesystem::path path_;
};
