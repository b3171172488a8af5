#pragma once

#include <string>
#include <vector>

#include "gr/Context.h"

namespace worldtest {

// A texture that only knows its size.
class RecordingTexture : public gr::Texture {
public:
    RecordingTexture(int width, int height) : width_(width), height_(height) {}
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

// A headless renderer context that records every draw call by kind.
class RecordingContext : public gr::Context {
public:
    struct Call {
        std::string kind;  // "line", "rect", "texture", "quad", "clear"
        float x0, y0, x1, y1;
        gr::RenderState state;  // as it was at the call
        gr::Quad corners;       // of a quad
        gr::Color color;        // of a line or a rectangle
        float width;            // of a line
    };

    RecordingContext(int width = 480, int height = 320) : width_(width), height_(height) {}

    lang::Ptr<gr::Shader> loadShader(const std::string&, int) override { return nullptr; }
    lang::Ptr<gr::Texture> createTexture(io::InputStream&, const std::string&) override {
        return new RecordingTexture(1, 1);
    }
    lang::Ptr<gr::Texture> createEmptyTexture(int width, int height, gr::PixelFormat) override {
        return new RecordingTexture(width, height);
    }
    lang::Ptr<gr::Primitive> createPrimitive(int, const gr::VertexFormat&, int, int) override {
        return nullptr;
    }
    void drawLine(float x0, float y0, float x1, float y1, float width,
                  const gr::Color& color) override {
        record("line", x0, y0, x1, y1).color = color;
        calls.back().width = width;
    }
    void fillRect(float x0, float y0, float x1, float y1, const gr::Color& color) override {
        record("rect", x0, y0, x1, y1).color = color;
    }
    void drawTexture(gr::Texture*, float x, float y, float w, float h, const gr::Quad&) override {
        record("texture", x, y, x + w, y + h);
    }
    void drawTextureQuad(gr::Texture*, const gr::Quad& corners, const gr::Quad&) override {
        record("quad", 0, 0, 0, 0).corners = corners;
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
    void clear(uint32_t, bool, bool, bool) override { record("clear", 0, 0, 0, 0); }
    void captureScreen(const std::string&) override {}
    lang::Ptr<gr::Texture> captureFrame(gr::Texture*) override {
        return new RecordingTexture(width_, height_);
    }
    int64_t textureMemory() const override { return 0; }

    std::vector<Call> calls;

private:
    Call& record(const char* kind, float x0, float y0, float x1, float y1) {
        Call call;
        call.kind = kind;
        call.x0 = x0;
        call.y0 = y0;
        call.x1 = x1;
        call.y1 = y1;
        call.state = renderState();
        call.corners = gr::Quad::rect(0, 0, 0, 0);
        call.width = 0;
        calls.push_back(call);
        return calls.back();
    }

    int width_, height_;
};

}  // namespace worldtest
