#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace gr {
namespace gl2 {

class GL2Context;

/// What a context shares with the textures, shaders and primitives it makes.
/// They may outlive the context: once `context` is null their GL objects are
/// gone with it and they do nothing.
class Device : public lang::Object {
public:
    GL2Context* context = nullptr;
    int64_t textureMemory = 0;
    int maxTextureSize = 0;
};

}  // namespace gl2
}  // namespace gr
