#pragma once

#include "framework/App.h"
#include "gr/Texture.h"
#include "lang/Ptr.h"

namespace demo {

/// A small application that shows the frame working until the game exists:
/// still and turning textured quads, a half-transparent quad and lines.
class DemoApp : public framework::App {
public:
    DemoApp(framework::OSInterface* os, gr::Context* ctx);

    void update(float dt, gr::Context* ctx, int phase) override;
    void keyDown(int code) override;

    /// Colours of the texture's four quarters (top-left, top-right,
    /// bottom-left, bottom-right), as 0xRRGGBB.
    static const uint32_t QUARTER_COLORS[4];
    enum { TEXTURE_SIZE = 64 };

private:
    void drawStill(gr::Context& ctx);
    void drawTurning(gr::Context& ctx);

    lang::Ptr<gr::Texture> texture_;
    float time_;
};

}  // namespace demo
