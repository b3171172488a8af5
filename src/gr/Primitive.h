#pragma once

#include "gr/MathTypes.h"
#include "lang/Object.h"

namespace gr {

class Shader;

enum PrimitiveType {
    PRIMITIVE_POINTLIST = 0,
    PRIMITIVE_LINELIST = 1,
    PRIMITIVE_LINESTRIP = 2,
    PRIMITIVE_TRIANGLELIST = 3,
    PRIMITIVE_TRIANGLESTRIP = 4,
    PRIMITIVE_TRIANGLEFAN = 5,
};

/// Format codes of one vertex component.
enum DataFormat {
    DF_NONE = 0,
    DF_FLOAT1 = 3,
    DF_FLOAT2 = 4,
    DF_FLOAT3 = 5,
    DF_FLOAT4 = 7,
};

/// Floats a component of the format holds; 0 for DF_NONE or an unknown code.
int dataFormatSize(int format);

/// What a vertex holds: a position, optionally a colour, and up to
/// MAX_TEXCOORDS texture-coordinate sets. In a shader the components are the
/// attributes "POSITION", "COLOR" and "TEXCOORD0" ... "TEXCOORD3"; a component
/// the format lacks reads as (1, 1, 1, 1) for the colour and (0, 0, 0, 1) otherwise.
class VertexFormat {
public:
    enum { MAX_TEXCOORDS = 4 };

    VertexFormat() : position_(DF_NONE), color_(DF_NONE), texCoordCount_(0) {}

    VertexFormat& addPosition(DataFormat format) {
        position_ = format;
        return *this;
    }
    VertexFormat& addColor(DataFormat format) {
        color_ = format;
        return *this;
    }
    /// Adds the next set; sets past MAX_TEXCOORDS are ignored.
    VertexFormat& addTexCoord(DataFormat format) {
        if (texCoordCount_ < MAX_TEXCOORDS) {
            texCoords_[texCoordCount_++] = format;
        }
        return *this;
    }

    DataFormat position() const { return position_; }
    DataFormat color() const { return color_; }
    int texCoordCount() const { return texCoordCount_; }
    DataFormat texCoord(int set) const {
        return set >= 0 && set < texCoordCount_ ? texCoords_[set] : DF_NONE;
    }

private:
    DataFormat position_;
    DataFormat color_;
    int texCoordCount_;
    DataFormat texCoords_[MAX_TEXCOORDS] = {};
};

enum LockMode {
    LOCK_READ = 1,
    LOCK_WRITE = 2,
    LOCK_READWRITE = 3,
};

/// Vertices drawn by a shader, made by Context::createPrimitive. Vertex data is
/// written between lock and unlock; render draws the range setFirstVertex ..
/// + setVertexCount with the shader of setShader, inside a pass of that shader.
/// Out-of-range writes, writes without a lock and rendering while locked throw
/// gr::GraphicsException.
class Primitive : public lang::Object {
public:
    virtual void lock(int mode) = 0;
    virtual void unlock() = 0;
    virtual void setShader(Shader* shader) = 0;
    /// One float4 per vertex; only the components of the vertex format are used.
    virtual void setPositions(int first, const math::float4* data, int count) = 0;
    virtual void setTexCoords(int first, int set, const math::float4* data, int count) = 0;
    virtual void render() = 0;
    virtual void setFirstVertex(int first) = 0;
    virtual void setVertexCount(int count) = 0;
    /// Colours (r, g, b, a), straight alpha, for a format with a colour.
    virtual void setColors(int first, const math::float4* data, int count) = 0;

    virtual PrimitiveType type() const = 0;
    virtual const VertexFormat& vertexFormat() const = 0;
    /// The vertex count given at creation.
    virtual int maxVertices() const = 0;
};

}  // namespace gr
