#pragma once

#include <string>
#include <vector>

#include "gr/Context.h"

namespace gametest {

// A texture that only knows its size.
class FakeTexture : public gr::Texture {
public:
    FakeTexture(int width, int height, const std::string& name)
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

// A context that draws nothing and records every texture draw, with the
// render state it was made under. Textures are PNG files (only their size is
// read).
class FakeContext : public gr::Context {
public:
    struct Draw {
        gr::Texture* texture;
        gr::Quad corners;  // top-left, top-right, bottom-left, bottom-right
        gr::Quad uv;
        gr::RenderState state;
    };

    FakeContext(int width = 320, int height = 240) : width_(width), height_(height) {}

    lang::Ptr<gr::Shader> loadShader(const std::string&, int) override { return nullptr; }
    lang::Ptr<gr::Texture> createTexture(io::InputStream& stream, const std::string& name) override;
    lang::Ptr<gr::Texture> createEmptyTexture(int width, int height, gr::PixelFormat) override {
        return new FakeTexture(width, height, std::string());
    }
    lang::Ptr<gr::Primitive> createPrimitive(int, const gr::VertexFormat&, int, int) override {
        return nullptr;
    }
    void drawLine(float, float, float, float, float, const gr::Color&) override {}
    void fillRect(float, float, float, float, const gr::Color&) override {}
    void drawTexture(gr::Texture* texture, float x, float y, float w, float h,
                     const gr::Quad& uv) override {
        draws.push_back(Draw{texture, gr::Quad::rect(x, y, x + w, y + h), uv, renderState()});
    }
    void drawTextureQuad(gr::Texture* texture, const gr::Quad& corners,
                         const gr::Quad& uv) override {
        draws.push_back(Draw{texture, corners, uv, renderState()});
    }
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
    lang::Ptr<gr::Texture> captureFrame(gr::Texture* target) override;
    int64_t textureMemory() const override { return 0; }

    std::vector<Draw> draws;
    std::vector<std::string> loaded;  // names of the textures made from streams
    int captures = 0;

private:
    int width_, height_;
};

}  // namespace gametest
