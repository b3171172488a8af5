#pragma once

#include <cstddef>
#include <string>

#include <SDL.h>

namespace framework {
namespace sdl {

/// A colour cursor from a PNG or BMP image of at most 256 x 256 pixels, with
/// its hot spot at the top-left. Throws lang::Exception
/// "Setting cursor \"{0}\" failed! Code: {1}" with the name and the error number.
SDL_Cursor* loadCursorImage(const std::string& path);

/// The same from the bytes of an image; code is the error number used when they
/// are no usable image.
SDL_Cursor* cursorFromImage(const std::string& name, const unsigned char* bytes, size_t size);

}  // namespace sdl
}  // namespace framework
