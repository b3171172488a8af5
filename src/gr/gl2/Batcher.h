#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gr/RenderState.h"
#include "gr/gl2/GL.h"

namespace gr {
namespace gl2 {

class GL2Context;
class GL2Shader;
class GL2Texture;

/// Collects the context's quads and draws them with one call for each run of
/// quads that share a texture (or none) and a scissor rectangle. Each flush
/// sets all the GL state it needs, so other drawing may change it in between.
class Batcher {
public:
    struct Vertex {
        float x, y;  // drawing coordinates
        float u, v;
        uint8_t rgba[4];  // straight alpha
    };

    /// Starts drawing with the context's built-in shaders; needs the GL context.
    void init(GL2Context* context, GL2Shader* sprite, GL2Shader* color);
    /// Frees the GL objects; the GL context must still be current.
    void destroy();

    /// Room for one more quad of the texture and scissor, to be written in
    /// place: its six vertices, for the corners in the order quadOrder gives.
    Vertex* addQuad(GL2Texture* texture, const Rect& scissor);
    /// The corner (top-left 0, top-right 1, bottom-left 2, bottom-right 3) of
    /// each vertex of a quad: two triangles.
    static constexpr int quadOrder[6] = {0, 1, 2, 2, 1, 3};
    void flush();
    /// Draws what is pending if it uses the texture.
    void forget(GL2Texture* texture);

    /// The most quads one draw holds. The buffer starts at an eighth of it and
    /// grows when a frame's run needs more, so that a run of one texture is
    /// one draw: a flush makes the driver process the vertices there and then.
    static constexpr int MAX_QUADS = 1 << 14;

private:
    static constexpr size_t FIRST_VERTICES = 6 * 2048;
    static constexpr size_t MAX_VERTICES = 6 * static_cast<size_t>(MAX_QUADS);

    void bindArrays(bool textured);

    GL2Context* context_ = nullptr;
    GL2Shader* sprite_ = nullptr;
    GL2Shader* color_ = nullptr;
    GLuint buffer_ = 0;
    std::vector<Vertex> vertices_;  // room for the pending count_ and more
    size_t count_ = 0;
    GL2Texture* texture_ = nullptr;
    Rect scissor_;
};

}  // namespace gl2
}  // namespace gr
