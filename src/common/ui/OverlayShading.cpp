#include "common/ui/OverlayShading.h"

#include <exception>

#include "gr/Context.h"
#include "io/PathName.h"
#include "lang/Exception.h"
#include "lang/Log.h"

namespace overlay {

lang::Ptr<gr::Shader> loadShader(gr::Context& context, const char* name, const char* caller) {
    try {
        return context.loadShader(io::PathName(context.shaderFolder(), name).toString(), 0);
    } catch (const lang::Exception& e) {
        lang::log::write("", __FILE__, caller, __LINE__, lang::log::WARNING, "%s", e.what());
    }
    return nullptr;
}

void setMatrices(gr::Context& context, gr::Shader& shader) {
    const math::float4x4 r = context.renderState().transform();
    const math::float4x4 v = context.viewMatrix();
    const math::float4x4 p = context.projectionMatrix();
    shader.setMatrix(gr::MATRIX_WORLD, r);
    shader.setMatrix(gr::MATRIX_VIEW, v);
    shader.setMatrix(gr::MATRIX_PROJECTION, p);
    shader.setMatrix(gr::MATRIX_WORLDVIEWPROJECT, p * v * r);
}

ShaderDraw::ShaderDraw(gr::Shader& shader) : shader_(shader), passes_(shader.beginDraw()) {}

ShaderDraw::~ShaderDraw() {
    try {
        shader_.endDraw();
    } catch (const std::exception& e) {
        lang::log::write("", __FILE__, "overlay::ShaderDraw", __LINE__, lang::log::ERROR, "%s",
                         e.what());
    }
}

void ShaderDraw::render(gr::Primitive& primitive) {
    for (int i = 0; i < passes_; ++i) {
        shader_.beginPass(i);
        primitive.render();
        shader_.endPass();
    }
}

}  // namespace overlay
