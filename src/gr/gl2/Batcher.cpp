#include "gr/gl2/Batcher.h"

#include <algorithm>
#include <cstddef>

#include "gr/gl2/GL2Context.h"
#include "gr/gl2/GL2Shader.h"
#include "gr/gl2/GL2Texture.h"

namespace gr {
namespace gl2 {

void Batcher::init(GL2Context* context, GL2Shader* sprite, GL2Shader* color) {
    context_ = context;
    sprite_ = sprite;
    color_ = color;
    glGenBuffers(1, &buffer_);
    vertices_.resize(FIRST_VERTICES);
}

void Batcher::destroy() {
    count_ = 0;
    texture_ = nullptr;
    if (buffer_) {
        glDeleteBuffers(1, &buffer_);
        buffer_ = 0;
    }
}

Batcher::Vertex* Batcher::addQuad(GL2Texture* texture, const Rect& scissor) {
    if (count_ > 0) {
        if (texture != texture_) {
            context_->countChange(true);
            flush();
        } else if (scissor != scissor_) {
            context_->countChange(false);
            flush();
        } else if (count_ + 6 > MAX_VERTICES) {
            flush();
        }
    }
    if (count_ + 6 > vertices_.size()) {
        // Only written quads are kept: the caller fills this one after the move.
        vertices_.resize(std::min(2 * vertices_.size(), MAX_VERTICES));
    }
    texture_ = texture;
    scissor_ = scissor;
    Vertex* room = &vertices_[count_];
    count_ += 6;
    return room;
}

void Batcher::forget(GL2Texture* texture) {
    if (texture == texture_) {
        flush();
        texture_ = nullptr;
    }
}

void Batcher::bindArrays(bool textured) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count_ * sizeof(Vertex)),
                 vertices_.data(), GL_STREAM_DRAW);
    glEnableVertexAttribArray(ATTRIB_POSITION);
    glVertexAttribPointer(ATTRIB_POSITION, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, x)));
    glEnableVertexAttribArray(ATTRIB_COLOR);
    glVertexAttribPointer(ATTRIB_COLOR, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, rgba)));
    if (textured) {
        glEnableVertexAttribArray(ATTRIB_TEXCOORD0);
        glVertexAttribPointer(ATTRIB_TEXCOORD0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, u)));
    } else {
        glDisableVertexAttribArray(ATTRIB_TEXCOORD0);
    }
    for (GLuint i = ATTRIB_TEXCOORD0 + 1; i < ATTRIB_COUNT; ++i) {
        glDisableVertexAttribArray(i);
    }
}

void Batcher::flush() {
    if (count_ == 0) {
        return;
    }
    GL2Shader* shader = texture_ ? sprite_ : color_;
    shader->setMatrix(MATRIX_WORLDVIEWPROJECT,
                      context_->projectionMatrix() * context_->viewMatrix());
    shader->usePass(0);
    glActiveTexture(GL_TEXTURE0);
    if (texture_) {
        texture_->bind(GL_CLAMP_TO_EDGE);
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(scissor_.x0, scissor_.y0, scissor_.width(), scissor_.height());
    bindArrays(texture_ != nullptr);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count_));
    context_->countDraw(static_cast<int>(count_ / 3));
    count_ = 0;
}

}  // namespace gl2
}  // namespace gr
