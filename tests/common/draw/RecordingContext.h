#pragma once

#include <string>
#include <vector>

#include "support/NullContext.h"

namespace worldtest {

using RecordingTexture = qftest::SizedTexture;

/// A headless renderer context that records every draw call by kind.
class RecordingContext : public qftest::NullContext {
public:
    struct Call {
        std::string kind;  // "line", "rect", "texture", "quad", "clear"
        float x0, y0, x1, y1;
        gr::RenderState state;  // as it was at the call
        gr::Quad corners;       // of a quad
        gr::Color color;        // of a line or a rectangle
        float width;            // of a line
    };

    RecordingContext(int width = 480, int height = 320) : NullContext(width, height) {}

    lang::Ptr<gr::Texture> createTexture(io::InputStream&, const std::string&) override {
        return new RecordingTexture(1, 1);
    }
    lang::Ptr<gr::Texture> createEmptyTexture(int width, int height, gr::PixelFormat) override {
        return new RecordingTexture(width, height);
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
    void clear(uint32_t, bool, bool, bool) override { record("clear", 0, 0, 0, 0); }
    lang::Ptr<gr::Texture> captureFrame(gr::Texture*) override {
        return new RecordingTexture(width(), height());
    }

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
};

}  // namespace worldtest
