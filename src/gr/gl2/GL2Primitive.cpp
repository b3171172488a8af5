#include "gr/gl2/GL2Primitive.h"

#include <algorithm>

#include "gr/GraphicsException.h"
#include "gr/gl2/GL2Context.h"
#include "gr/gl2/GL2Shader.h"

namespace gr {
namespace gl2 {
namespace {

const GLenum modes[] = {GL_POINTS,    GL_LINES,          GL_LINE_STRIP,
                        GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};

bool validFormat(const VertexFormat& format) {
    if (dataFormatSize(format.position()) == 0) {
        return false;
    }
    if (format.color() != DF_NONE && dataFormatSize(format.color()) == 0) {
        return false;
    }
    for (int set = 0; set < format.texCoordCount(); ++set) {
        if (dataFormatSize(format.texCoord(set)) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

GL2Primitive::GL2Primitive(Device* device, int type, const VertexFormat& format, int vertexCount)
    : device_(device),
      type_(static_cast<PrimitiveType>(type)),
      format_(format),
      maxVertices_(vertexCount),
      count_(vertexCount) {
    if (type < PRIMITIVE_POINTLIST || type > PRIMITIVE_TRIANGLEFAN) {
        throw GraphicsException(lang::Format("Unsupported primitive type {0}", type));
    }
    if (!validFormat(format)) {
        throw GraphicsException(lang::Format("Unsupported vertex format for a primitive"));
    }
    if (vertexCount <= 0 || vertexCount > MAX_VERTICES) {
        throw GraphicsException(
            lang::Format("Unsupported primitive vertex count {0}", vertexCount));
    }
    for (int array = 0; array < ARRAY_COUNT; ++array) {
        if (arraySize(array) > 0) {
            arrays_[array].resize(static_cast<size_t>(vertexCount));
        }
    }
    glGenBuffers(1, &buffer_);
}

GL2Primitive::~GL2Primitive() {
    if (device_->context) {
        glDeleteBuffers(1, &buffer_);
    }
}

int GL2Primitive::arraySize(int array) const {
    if (array == ARRAY_POSITION) {
        return dataFormatSize(format_.position());
    }
    if (array == ARRAY_COLOR) {
        return dataFormatSize(format_.color());
    }
    return dataFormatSize(format_.texCoord(array - ARRAY_TEXCOORD0));
}

void GL2Primitive::lock(int mode) {
    if (lockMode_ != 0 || mode < LOCK_READ || mode > LOCK_READWRITE) {
        throw GraphicsException(lang::Format("Primitive cannot be locked with mode {0}", mode));
    }
    lockMode_ = mode;
}

void GL2Primitive::unlock() {
    lockMode_ = 0;
}

void GL2Primitive::setShader(Shader* shader) {
    GL2Shader* own = dynamic_cast<GL2Shader*>(shader);
    if (shader && (!own || own->device() != device_.get())) {
        throw GraphicsException(lang::Format("Primitive given a shader of another context"));
    }
    shader_ = own;
}

void GL2Primitive::write(int array, int first, const math::float4* data, int count) {
    if (!(lockMode_ & LOCK_WRITE)) {
        throw GraphicsException(lang::Format("Primitive written without a write lock"));
    }
    if (arrays_[array].empty()) {
        throw GraphicsException(lang::Format("Primitive has no vertex component {0}", array));
    }
    if (count < 0 || first < 0 || first > maxVertices_ - count || (count > 0 && !data)) {
        throw GraphicsException(lang::Format("Primitive vertices {0} to {1} out of range 0 to {2}",
                                             first, first + count - 1, maxVertices_ - 1));
    }
    std::copy(data, data + count, arrays_[array].begin() + first);
    dirty_ = true;
}

void GL2Primitive::setPositions(int first, const math::float4* data, int count) {
    write(ARRAY_POSITION, first, data, count);
}

void GL2Primitive::setTexCoords(int first, int set, const math::float4* data, int count) {
    if (set < 0 || set >= VertexFormat::MAX_TEXCOORDS) {
        throw GraphicsException(lang::Format("Primitive has no texture set {0}", set));
    }
    write(ARRAY_TEXCOORD0 + set, first, data, count);
}

void GL2Primitive::setColors(int first, const math::float4* data, int count) {
    write(ARRAY_COLOR, first, data, count);
}

void GL2Primitive::setFirstVertex(int first) {
    first_ = first;
}

void GL2Primitive::setVertexCount(int count) {
    count_ = count;
}

void GL2Primitive::upload() {
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    if (dirty_) {
        const size_t stride = sizeof(math::float4) * static_cast<size_t>(maxVertices_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(stride * ARRAY_COUNT), nullptr,
                     GL_DYNAMIC_DRAW);
        for (int array = 0; array < ARRAY_COUNT; ++array) {
            if (!arrays_[array].empty()) {
                glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(stride * array),
                                static_cast<GLsizeiptr>(stride), arrays_[array].data());
            }
        }
        dirty_ = false;
    }
}

void GL2Primitive::bindArrays() const {
    const size_t stride = sizeof(math::float4) * static_cast<size_t>(maxVertices_);
    for (int array = 0; array < ARRAY_COUNT; ++array) {
        const GLuint location = static_cast<GLuint>(array);  // arrays match ATTRIB_*
        if (arrays_[array].empty()) {
            glDisableVertexAttribArray(location);
            if (array == ARRAY_COLOR) {
                glVertexAttrib4f(location, 1, 1, 1, 1);
            } else {
                glVertexAttrib4f(location, 0, 0, 0, 1);
            }
            continue;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, arraySize(array), GL_FLOAT, GL_FALSE, sizeof(math::float4),
                              reinterpret_cast<const void*>(stride * array));
    }
}

void GL2Primitive::render() {
    if (!device_->context) {
        throw GraphicsException(lang::Format("Primitive outlived its context"));
    }
    if (lockMode_ != 0) {
        throw GraphicsException(lang::Format("Primitive rendered while locked"));
    }
    if (!shader_ || shader_->activePass() < 0) {
        throw GraphicsException(lang::Format("Primitive rendered outside a pass of its shader"));
    }
    if (first_ < 0 || count_ < 0 || first_ > maxVertices_ - count_) {
        throw GraphicsException(lang::Format("Primitive range {0}+{1} exceeds {2} vertices", first_,
                                             count_, maxVertices_));
    }
    if (count_ == 0) {
        return;
    }
    upload();
    bindArrays();
    glDrawArrays(modes[type_], first_, count_);
    int triangles = 0;
    if (type_ == PRIMITIVE_TRIANGLELIST) {
        triangles = count_ / 3;
    } else if (type_ > PRIMITIVE_TRIANGLELIST) {
        triangles = std::max(count_ - 2, 0);
    }
    device_->context->countDraw(triangles);
}

}  // namespace gl2
}  // namespace gr
