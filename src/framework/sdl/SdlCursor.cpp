#include "framework/sdl/SdlCursor.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 256
// At -O3 GCC sees through stb's reader callbacks and warns of a field the
// memory reader never uses.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace framework {
namespace sdl {

namespace {

// Cursor images are small; anything larger is not one.
const long MAX_FILE_SIZE = 4 << 20;

[[noreturn]] void fail(const std::string& name, int code) {
    throw lang::Exception(lang::Format("Setting cursor \"{0}\" failed! Code: {1}", name, code));
}

std::vector<unsigned char> readFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        fail(path, errno);
    }
    std::vector<unsigned char> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    if (size < 0 || size > MAX_FILE_SIZE || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        fail(path, size > MAX_FILE_SIZE ? EFBIG : EIO);
    }
    bytes.resize(static_cast<size_t>(size));
    const size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(got);
    return bytes;
}

}  // namespace

SDL_Cursor* cursorFromImage(const std::string& name, const unsigned char* bytes, size_t size) {
    if (size == 0 || size > static_cast<size_t>(MAX_FILE_SIZE)) {
        fail(name, EINVAL);
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels) {
        fail(name, EINVAL);
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4,
                                                              SDL_PIXELFORMAT_RGBA32);
    SDL_Cursor* cursor = surface ? SDL_CreateColorCursor(surface, 0, 0) : nullptr;
    if (!cursor) {
        QF_LOG("Framework", lang::log::WARNING, "SDL_CreateColorCursor: %s", SDL_GetError());
    }
    SDL_FreeSurface(surface);
    stbi_image_free(pixels);
    if (!cursor) {
        fail(name, ENOTSUP);
    }
    return cursor;
}

SDL_Cursor* loadCursorImage(const std::string& path) {
    const std::vector<unsigned char> bytes = readFile(path);
    return cursorFromImage(path, bytes.data(), bytes.size());
}

}  // namespace sdl
}  // namespace framework
