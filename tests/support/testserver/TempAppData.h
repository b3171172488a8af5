#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/VFS.h"

namespace qftest {

/// A fresh application-data folder for one test, removed afterwards. The
/// previous root is restored when the object goes away.
class TempAppData {
public:
    TempAppData() : previous_(io::appDataRoot()) {
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() /
               ("qf_appdata_" + std::to_string(stamp) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
        io::setAppDataRoot(dir_.string() + "/");
    }
    ~TempAppData() {
        io::setAppDataRoot(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempAppData(const TempAppData&) = delete;
    TempAppData& operator=(const TempAppData&) = delete;

    std::filesystem::path path(const std::string& name) const { return dir_ / name; }

    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

private:
    std::string previous_;
    std::filesystem::path dir_;
};

}  // namespace qftest
