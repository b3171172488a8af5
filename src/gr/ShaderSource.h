#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace gr {

/// How a pass combines its output with the target. Colours in the target are
/// premultiplied, so the default takes premultiplied output.
enum BlendMode {
    BLEND_PREMULTIPLIED = 0,  // src + dst * (1 - src.a)
    BLEND_ALPHA = 1,          // src * src.a + dst * (1 - src.a)
    BLEND_ADDITIVE = 2,       // src + dst
    BLEND_MULTIPLY = 3,       // src * dst
    BLEND_NONE = 4,           // src
};

struct ShaderPass {
    BlendMode blend = BLEND_PREMULTIPLIED;
    std::string vertex;
    std::string fragment;
};

/// A shader file: GLSL sections introduced by directive lines that start with '@':
///
///   @vertex             the vertex stage of the current pass follows
///   @fragment           the fragment stage of the current pass follows
///   @blend <mode>       premultiplied (default), alpha, additive, multiply or none
///   @pass               starts the next pass
///
/// Text before the first directive is a comment. A pass without a vertex stage
/// takes the previous pass's; every pass needs a fragment stage. Each stage is
/// whole GLSL text (with its own #version line).
enum { MAX_SHADER_PASSES = 16, MAX_SHADER_FILE = 1024 * 1024 };

/// Parses a shader file held in memory; throws gr::GraphicsException naming
/// `name` and the line on malformed input.
std::vector<ShaderPass> parseShaderSource(const char* data, size_t size, const std::string& name);

}  // namespace gr
