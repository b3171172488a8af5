#pragma once

#include <string>
#include <vector>

#include "support/NullContext.h"

namespace gametest {

using FakeTexture = qftest::SizedTexture;

/// A context that draws nothing and records every texture draw, with the
/// render state it was made under. Textures are PNG files (only their size is
/// read).
class FakeContext : public qftest::NullContext {
public:
    struct Draw {
        gr::Texture* texture;
        gr::Quad corners;  // top-left, top-right, bottom-left, bottom-right
        gr::Quad uv;
        gr::RenderState state;
    };

    FakeContext(int width = 320, int height = 240) : NullContext(width, height) {}

    lang::Ptr<gr::Texture> createTexture(io::InputStream& stream, const std::string& name) override;
    lang::Ptr<gr::Texture> createEmptyTexture(int width, int height, gr::PixelFormat) override {
        return new FakeTexture(width, height, std::string());
    }
    void drawTexture(gr::Texture* texture, float x, float y, float w, float h,
                     const gr::Quad& uv) override {
        draws.push_back(Draw{texture, gr::Quad::rect(x, y, x + w, y + h), uv, renderState()});
    }
    void drawTextureQuad(gr::Texture* texture, const gr::Quad& corners,
                         const gr::Quad& uv) override {
        draws.push_back(Draw{texture, corners, uv, renderState()});
    }
    lang::Ptr<gr::Texture> captureFrame(gr::Texture* target) override;

    std::vector<Draw> draws;
    std::vector<std::string> loaded;  // names of the textures made from streams
    int captures = 0;
};

}  // namespace gametest
