#pragma once

#include <string>

#include "gr/Context.h"

namespace qftest {

/// A texture that only knows its size and name.
class SizedTexture : public gr::Texture {
public:
    SizedTexture(int width, int height, const std::string& name = std::string())
        : width_(width), height_(height), name_(name) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
    gr::PixelFormat format() const override { return gr::PIXELFORMAT_A8B8G8R8; }
    const std::string& name() const override { return name_; }
    void setPixels(int, int, const void*, int, int, int, gr::PixelFormat) override {}
    void draw(float, float, float, float, float, float, float, float) override {}

private:
    int width_, height_;
    std::string name_;
};

/// A renderer context that draws nothing, makes no shaders, textures or
/// primitives, and is always ready: an OpenGL 2 screen of width x height
/// pixels in orientation 0 that only remembers its size. The fakes of the
/// tests override what they record.
class NullContext : public gr::Context {
public:
    NullContext(int width, int height) : width_(width), height_(height) {}

    lang::Ptr<gr::Shader> loadShader(const std::string&, int) override { return nullptr; }
    lang::Ptr<gr::Texture> createTexture(io::InputStream&, const std::string&) override {
        return nullptr;
    }
    lang::Ptr<gr::Texture> createEmptyTexture(int, int, gr::PixelFormat) override {
        return nullptr;
    }
    lang::Ptr<gr::Primitive> createPrimitive(int, const gr::VertexFormat&, int, int) override {
        return nullptr;
    }
    void drawLine(float, float, float, float, float, const gr::Color&) override {}
    void fillRect(float, float, float, float, const gr::Color&) override {}
    void drawTexture(gr::Texture*, float, float, float, float, const gr::Quad&) override {}
    void drawTextureQuad(gr::Texture*, const gr::Quad&, const gr::Quad&) override {}
    int width() const override { return width_; }
    int height() const override { return height_; }
    math::float4x4 projectionMatrix() const override { return math::float4x4(); }
    math::float4x4 viewMatrix() const override { return math::float4x4(); }
    int platform() const override { return gr::PLATFORM_GL2; }
    int orientation() const override { return 0; }
    bool isReady() const override { return true; }
    void setViewport(const gr::Rect&) override {}
    void setOrientation(int) override {}
    void flushDrawing() override {}
    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
    }
    void beginFrame() override {}
    void endFrame() override {}
    void present() override {}
    void clear(uint32_t, bool, bool, bool) override {}
    void captureScreen(const std::string&) override {}
    lang::Ptr<gr::Texture> captureFrame(gr::Texture*) override { return nullptr; }
    int64_t textureMemory() const override { return 0; }

private:
    int width_, height_;
};

}  // namespace qftest
