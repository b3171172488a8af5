#pragma once

#include <vector>

#include "gr/Primitive.h"
#include "gr/gl2/Device.h"
#include "gr/gl2/GL.h"
#include "lang/Ptr.h"

namespace gr {
namespace gl2 {

class GL2Shader;

class GL2Primitive : public Primitive {
public:
    /// Throws gr::GraphicsException for an unknown type, a format without a
    /// position or with unknown codes, or a vertex count outside 1..1048576.
    GL2Primitive(Device* device, int type, const VertexFormat& format, int vertexCount);
    ~GL2Primitive() override;

    void lock(int mode) override;
    void unlock() override;
    void setShader(Shader* shader) override;
    void setPositions(int first, const math::float4* data, int count) override;
    void setTexCoords(int first, int set, const math::float4* data, int count) override;
    void render() override;
    void setFirstVertex(int first) override;
    void setVertexCount(int count) override;
    void setColors(int first, const math::float4* data, int count) override;

    PrimitiveType type() const override { return type_; }
    const VertexFormat& vertexFormat() const override { return format_; }
    int maxVertices() const override { return maxVertices_; }

    enum { MAX_VERTICES = 1 << 20 };

private:
    /// The arrays, each maxVertices float4s: position, colour, then the texture sets.
    enum { ARRAY_POSITION = 0, ARRAY_COLOR = 1, ARRAY_TEXCOORD0 = 2, ARRAY_COUNT = 6 };

    void write(int array, int first, const math::float4* data, int count);
    void upload();
    void bindArrays() const;
    int arraySize(int array) const;

    lang::Ptr<Device> device_;
    PrimitiveType type_;
    VertexFormat format_;
    int maxVertices_;
    std::vector<math::float4> arrays_[ARRAY_COUNT];
    lang::Ptr<GL2Shader> shader_;
    GLuint buffer_ = 0;
    int lockMode_ = 0;
    bool dirty_ = true;
    int first_ = 0;
    int count_;
};

}  // namespace gl2
}  // namespace gr
