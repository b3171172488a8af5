#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "chunk/ChunkWriter.h"
#include "gr/Image.h"
#include "io/VFS.h"
#include "lang/Log.h"
#include "support/LogCapture.h"

namespace gametest {

/// A fresh temporary folder that serves as the bundle while it lives.
class BundleDir {
public:
    BundleDir() : oldRoot_(io::bundleRoot()) {
        std::random_device rd;
        auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("qf_game_" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(path_));
        io::setBundleRoot(path_.string() + "/");
    }
    ~BundleDir() {
        io::setBundleRoot(oldRoot_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    BundleDir(const BundleDir&) = delete;
    BundleDir& operator=(const BundleDir&) = delete;

    std::string str() const { return path_.string(); }

    void write(const std::string& rel, const std::vector<uint8_t>& bytes) const {
        auto p = path_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void write(const std::string& rel, const std::string& text) const {
        write(rel, std::vector<uint8_t>(text.begin(), text.end()));
    }
    /// A PNG of the given size, all opaque white.
    void writePng(const std::string& rel, int width, int height) const {
        gr::Image image(width, height);
        std::fill(image.pixels.begin(), image.pixels.end(), 255);
        write(rel, gr::encodePng(image));
    }

private:
    std::filesystem::path path_;
    std::string oldRoot_;
};

/// One sprite record of a chunk sheet.
struct SpriteSpec {
    std::string name;
    int x, y, width, height, pivotX, pivotY;
};

/// A "PLXB" sheet with one "SPRT" chunk.
inline std::vector<uint8_t> sheetDat(const std::string& texture,
                                     const std::vector<SpriteSpec>& sprites) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("SPRT").int16(1).string(texture);
    w.int16(static_cast<int>(sprites.size()));
    for (const SpriteSpec& s : sprites) {
        w.string(s.name).int16(s.x).int16(s.y).int16(s.width).int16(s.height);
        w.int16(s.pivotX).int16(s.pivotY);
    }
    w.endChunk().endFile();
    return w.data();
}

using LogCapture = qftest::LogCapture;

}  // namespace gametest
