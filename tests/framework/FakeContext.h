#pragma once

#include <string>
#include <vector>

#include "gr/Context.h"

namespace fake {

// A context that draws nothing and remembers what it was asked.
class FakeContext : public gr::Context {
public:
    FakeContext(int width = 640, int height = 480, int platform = gr::PLATFORM_GL2)
        : width_(width), height_(height), platform_(platform) {}

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
    int platform() const override { return platform_; }
    int orientation() const override { return orientation_; }
    bool isReady() const override { return ready; }
    void setViewport(const gr::Rect&) override {}
    void setOrientation(int orientation) override { orientation_ = orientation; }
    void flushDrawing() override {}
    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
        calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void beginFrame() override {}
    void endFrame() override {}
    void present() override {}
    void clear(uint32_t, bool, bool, bool) override {}
    void captureScreen(const std::string& name) override { calls.push_back("capture " + name); }
    lang::Ptr<gr::Texture> captureFrame(gr::Texture*) override { return nullptr; }
    // The fake plug-in reports the window handle it was given here.
    int64_t textureMemory() const override { return memory; }

    bool ready = true;
    int64_t memory = 0;
    std::vector<std::string> calls;

private:
    int width_;
    int height_;
    int platform_;
    int orientation_ = 0;
};

}  // namespace fake
