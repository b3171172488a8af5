#pragma once

#include <string>

#include "gr/Texture.h"
#include "gr/gl2/Device.h"
#include "gr/gl2/GL.h"
#include "lang/Ptr.h"

namespace gr {
namespace gl2 {

class GL2Texture : public Texture {
public:
    /// pixels: width x height A8B8G8R8 rows without padding, or null for a
    /// transparent texture. Throws gr::GraphicsException for a size the device
    /// cannot hold.
    GL2Texture(Device* device, int width, int height, const void* pixels, const std::string& name);
    ~GL2Texture() override;

    int width() const override { return width_; }
    int height() const override { return height_; }
    PixelFormat format() const override { return PIXELFORMAT_A8B8G8R8; }
    const std::string& name() const override { return name_; }
    void setPixels(int x, int y, const void* pixels, int pitch, int width, int height,
                   PixelFormat format) override;
    void draw(float sx, float sy, float sw, float sh, float x, float y, float w, float h) override;

    GLuint id() const { return id_; }
    Device* device() const { return device_.get(); }
    /// Binds the texture to the active unit with the given wrap mode.
    void bind(GLint wrap);

private:
    lang::Ptr<Device> device_;
    GLuint id_ = 0;
    int width_;
    int height_;
    GLint wrap_ = GL_CLAMP_TO_EDGE;
    std::string name_;
};

}  // namespace gl2
}  // namespace gr
