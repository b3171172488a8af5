#pragma once

namespace gr {
namespace gl2 {

/// The bundle's "2d-sprite" and "2d-vertexcolor" shader files, built in so that
/// the context draws without a shader folder.
extern const char* const SPRITE_SHADER;
extern const char* const COLOR_SHADER;

}  // namespace gl2
}  // namespace gr
