#pragma once

#include "lang/Ptr.h"

namespace gr {
class Context;
class Primitive;
class Shader;
}  // namespace gr

/// Helpers shared by the screen overlays that draw through shaders.
namespace overlay {

/// Loads the shader `name` from the context's shader folder. A shader that
/// cannot be loaded is logged (at WARNING, naming `caller`) and gives null:
/// a missing effect must not stop the game.
lang::Ptr<gr::Shader> loadShader(gr::Context& context, const char* name, const char* caller);

/// Sets the matrices the overlay shaders read: 2 the render-state transform R,
/// 3 the view V, 6 the projection P and 7 their product P * V * R.
void setMatrices(gr::Context& context, gr::Shader& shader);

/// One draw of a shader: beginDraw on construction, endDraw on destruction,
/// so that a failing pass does not leave the shader inside a draw.
class ShaderDraw {
public:
    explicit ShaderDraw(gr::Shader& shader);
    ~ShaderDraw();
    ShaderDraw(const ShaderDraw&) = delete;
    ShaderDraw& operator=(const ShaderDraw&) = delete;

    /// Renders the primitive once in every pass.
    void render(gr::Primitive& primitive);

private:
    gr::Shader& shader_;
    int passes_;
};

}  // namespace overlay
