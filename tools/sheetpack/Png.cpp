#include "sheetpack/Png.h"

#include <png.h>

#include <cstring>

#include "sheetpack/Error.h"

namespace sheetpack {

namespace {

// The decoder's own limits, so that a forged header cannot ask for gigabytes.
const png_uint_32 MAX_SIDE = 16384;

}  // namespace

gr::Image readPng(const uint8_t* data, size_t size, const std::string& name) {
    static const uint8_t magic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < 8 || std::memcmp(data, magic, 8) != 0) {
        throw Error(name + ": not a PNG file");
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) {
        const std::string why = png.message;
        png_image_free(&png);
        throw Error(name + ": unreadable PNG: " + why);
    }
    if (png.width == 0 || png.height == 0 || png.width > MAX_SIDE || png.height > MAX_SIDE) {
        png_image_free(&png);
        throw Error(name + ": unsupported PNG size " + std::to_string(png.width) + "x" +
                    std::to_string(png.height));
    }
    png.format = PNG_FORMAT_RGBA;
    gr::Image image(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        const std::string why = png.message;
        png_image_free(&png);
        throw Error(name + ": unreadable PNG: " + why);
    }
    return image;
}

std::vector<uint8_t> writePng(const gr::Image& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, image.pixels.data(), 0, nullptr)) {
        throw Error(std::string("encoding a PNG failed: ") + png.message);
    }
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        throw Error(std::string("encoding a PNG failed: ") + png.message);
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace sheetpack
