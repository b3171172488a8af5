#include "gr/gl2/GL2Texture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gr/GraphicsException.h"
#include "gr/gl2/GL2Context.h"

namespace gr {
namespace gl2 {

GL2Texture::GL2Texture(Device* device, int width, int height, const void* pixels,
                       const std::string& name)
    : device_(device), width_(width), height_(height), name_(name) {
    if (width <= 0 || height <= 0 || width > device->maxTextureSize ||
        height > device->maxTextureSize) {
        throw GraphicsException(
            lang::Format("Texture {0} of {1}x{2} pixels is not supported", name, width, height));
    }
    std::vector<uint8_t> zeros;
    if (!pixels) {
        zeros.assign(static_cast<size_t>(width) * height * 4, 0);
        pixels = zeros.data();
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenTextures(1, &id_);
    glBindTexture(GL_TEXTURE_2D, id_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &id_);
        throw GraphicsException(
            lang::Format("Creating texture {0} of {1}x{2} pixels failed", name, width, height));
    }
    device_->textureMemory += static_cast<int64_t>(width) * height * 4;
}

GL2Texture::~GL2Texture() {
    device_->textureMemory -= static_cast<int64_t>(width_) * height_ * 4;
    if (device_->context) {
        device_->context->forgetTexture(this);
        glDeleteTextures(1, &id_);
    }
}

void GL2Texture::setPixels(int x, int y, const void* pixels, int pitch, int width, int height,
                           PixelFormat format) {
    if (format != PIXELFORMAT_A8B8G8R8) {
        throw GraphicsException(lang::Format("Texture {0} takes only A8B8G8R8 pixels", name_));
    }
    if (!device_->context || !pixels) {
        return;
    }
    // Clip the area to the texture, moving the source start with it.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    if (width > 0 && pitch / 4 < width) {
        throw GraphicsException(
            lang::Format("Texture {0}: row pitch {1} is too small", name_, pitch));
    }
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    const int w = x1 - x0;
    std::vector<uint8_t> rows(static_cast<size_t>(w) * (y1 - y0) * 4);
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (int row = y0; row < y1; ++row) {
        const uint8_t* from = src + static_cast<size_t>(row - y) * pitch + (x0 - x) * 4;
        std::memcpy(&rows[static_cast<size_t>(row - y0) * w * 4], from, static_cast<size_t>(w) * 4);
    }
    device_->context->flushDrawing();
    glBindTexture(GL_TEXTURE_2D, id_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, w, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
}

void GL2Texture::draw(float sx, float sy, float sw, float sh, float x, float y, float w, float h) {
    if (!device_->context) {
        return;
    }
    const float u0 = sx / width_, v0 = sy / height_;
    const float u1 = (sx + sw) / width_, v1 = (sy + sh) / height_;
    device_->context->drawTexture(this, x, y, w, h, Quad::rect(u0, v0, u1, v1));
}

void GL2Texture::bind(GLint wrap) {
    glBindTexture(GL_TEXTURE_2D, id_);
    if (wrap != wrap_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        wrap_ = wrap;
    }
}

}  // namespace gl2
}  // namespace gr
