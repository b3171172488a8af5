#pragma once

#include <string>
#include <vector>

namespace e2e {

/// A captured frame as 8-bit RGB rows; empty when the file could not be read.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * width + x) * 3];
    }
    /// 0xRRGGBB
    unsigned pixel(int x, int y) const {
        const unsigned char* p = at(x, y);
        return (p[0] << 16) | (p[1] << 8) | p[2];
    }
};

Image loadPng(const std::string& path);

}  // namespace e2e
