#include "gr/Image.h"

#include <cstring>
#include <fstream>

#include "gr/GraphicsException.h"
#include "io/InputStream.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace gr {
namespace {

bool isPng(const uint8_t* data, size_t size) {
    static const uint8_t magic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return size >= 8 && std::memcmp(data, magic, 8) == 0;
}

// Deflate expands at most 1032:1 and a PNG pixel takes at least one bit. A
// JPEG of real content takes well over a bit for 2048 pixels.
bool plausibleSize(const uint8_t* data, size_t size, int w, int h) {
    if (w <= 0 || h <= 0 || w > MAX_IMAGE_SIDE || h > MAX_IMAGE_SIDE) {
        return false;
    }
    const uint64_t pixels = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (pixels > MAX_IMAGE_PIXELS) {
        return false;
    }
    return pixels <= static_cast<uint64_t>(size) * (isPng(data, size) ? 8300u : 2048u);
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

Image decodeImage(const uint8_t* data, size_t size, const std::string& name) {
    if (!data || size == 0 || size > 0x7fffffff) {
        throw GraphicsException(lang::Format("Image {0} is empty or too large", name));
    }
    const int len = static_cast<int>(size);
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(data, len, &w, &h, &comp)) {
        throw GraphicsException(
            lang::Format("Image {0} is not a supported image: {1}", name, stbi_failure_reason()));
    }
    if (!plausibleSize(data, size, w, h)) {
        throw GraphicsException(
            lang::Format("Image {0} has an unsupported size {1}x{2}", name, w, h));
    }
    stbi_uc* decoded = stbi_load_from_memory(data, len, &w, &h, &comp, 4);
    if (!decoded) {
        throw GraphicsException(
            lang::Format("Image {0} could not be decoded: {1}", name, stbi_failure_reason()));
    }
    Image image;
    image.width = w;
    image.height = h;
    image.pixels.assign(decoded, decoded + static_cast<size_t>(w) * h * 4);
    stbi_image_free(decoded);
    premultiplyAlpha(image);
    return image;
}

void premultiplyAlpha(Image& image) {
    uint8_t* p = image.pixels.data();
    for (size_t i = 0, n = image.pixels.size(); i + 3 < n; i += 4) {
        const unsigned a = p[i + 3];
        if (a != 255) {
            for (int c = 0; c < 3; ++c) {
                p[i + c] = static_cast<uint8_t>((p[i + c] * a + 127) / 255);
            }
        }
    }
}

std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<uint8_t> out;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4 ||
        !stbi_write_png_to_func(appendBytes, &out, image.width, image.height, 4,
                                image.pixels.data(), image.width * 4)) {
        throw GraphicsException(
            lang::Format("Encoding a {0}x{1} PNG image failed", image.width, image.height));
    }
    return out;
}

void writePng(const std::string& path, const Image& image) {
    const std::vector<uint8_t> bytes = encodePng(image);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw GraphicsException(lang::Format("Writing image {0} failed", path));
    }
}

std::vector<uint8_t> readStream(io::InputStream& stream, size_t limit) {
    enum { BLOCK = 64 * 1024 };
    std::vector<uint8_t> bytes;
    for (;;) {
        const size_t at = bytes.size();
        bytes.resize(at + BLOCK);
        const int got = stream.read(bytes.data() + at, BLOCK);
        bytes.resize(at + (got > 0 ? static_cast<size_t>(got) : 0));
        if (bytes.size() > limit) {
            throw GraphicsException(
                lang::Format("{0} is larger than {1} bytes", stream.getName(), limit));
        }
        if (got <= 0) {
            return bytes;
        }
    }
}

}  // namespace gr
