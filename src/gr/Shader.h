#pragma once

#include <string>

#include "gr/MathTypes.h"
#include "lang/Object.h"

namespace gr {

class Texture;

/// Indices of setMatrix. A shader reads the matrix of index i from the uniform
/// named by matrixParameterName(i).
enum MatrixIndex {
    MATRIX_WORLD = 2,             // "WORLD_MATRIX": R, the render-state transform
    MATRIX_VIEW = 3,              // "VIEW_MATRIX": V, the context's view matrix
    MATRIX_PROJECTION = 6,        // "PROJECTION_MATRIX": P
    MATRIX_WORLDVIEWPROJECT = 7,  // "WORLDVIEWPROJ_MATRIX": P * V * R
    MATRIX_COUNT = 8,
};

/// "MATRIX0" ... "MATRIX7" for the unnamed indices; null outside 0..7.
const char* matrixParameterName(int index);

/// A program made of one or more passes, loaded by Context::loadShader. Parameters
/// are kept by the shader and given to every pass that declares a uniform of that
/// name; names no pass declares are ignored.
///
/// Drawing: passes = beginDraw(); for each pass i: beginPass(i), render
/// primitives, endPass(); then endDraw(). beginDraw first sends the context's
/// batched drawing to the target, so what a shader draws lies above it.
class Shader : public lang::Object {
public:
    /// Binds a texture to the sampler uniform `name` (a null texture unbinds).
    virtual void bindTexture(const std::string& name, Texture* texture) = 0;
    /// Index 0..7 (MatrixIndex); others throw gr::GraphicsException.
    virtual void setMatrix(int index, const math::float4x4& matrix) = 0;
    virtual void setVector(const std::string& name, const math::float4& value) = 0;
    virtual void setFloat(const std::string& name, float value) = 0;

    /// Returns the number of passes.
    virtual int beginDraw() = 0;
    virtual void beginPass(int pass) = 0;
    virtual void endPass() = 0;
    virtual void endDraw() = 0;

    /// The path the shader was loaded from.
    virtual const std::string& name() const = 0;
};

}  // namespace gr
