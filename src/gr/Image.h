#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace io {
class InputStream;
}

namespace gr {

/// Pixels in rows from the top, 4 bytes each: red, green, blue, alpha.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0) {}
    uint8_t* pixel(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* pixel(int x, int y) const {
        return &pixels[(static_cast<size_t>(y) * width + x) * 4];
    }
};

/// Largest image side and pixel count the decoder accepts.
enum { MAX_IMAGE_SIDE = 16384, MAX_IMAGE_PIXELS = 64 * 1024 * 1024 };

/// Decodes a PNG or JPEG file held in memory. A size its header claims is
/// checked against the limits above and against what the data could hold
/// before anything is allocated. Throws gr::GraphicsException naming
/// `name` when the data is no image it can read.
Image decodeImage(const uint8_t* data, size_t size, const std::string& name);

/// Multiplies red, green and blue by alpha, rounding.
void premultiplyAlpha(Image& image);

/// Encodes the image as PNG; throws gr::GraphicsException on failure.
std::vector<uint8_t> encodePng(const Image& image);
/// Writes the image as a PNG file; throws gr::GraphicsException naming the path.
void writePng(const std::string& path, const Image& image);

/// Reads the stream to its end. More than `limit` bytes throws
/// gr::GraphicsException naming the stream.
std::vector<uint8_t> readStream(io::InputStream& stream, size_t limit);

}  // namespace gr
