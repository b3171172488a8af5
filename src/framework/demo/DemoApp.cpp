#include "framework/demo/DemoApp.h"

#include <cmath>
#include <vector>

#include "framework/Application.h"
#include "framework/KeyCodes.h"
#include "gr/Context.h"

namespace demo {

const uint32_t DemoApp::QUARTER_COLORS[4] = {0xE04030, 0x40C050, 0x3060E0, 0xF0D040};

namespace {

// Opaque pixels in the texture's byte order (red, green, blue, alpha).
std::vector<uint8_t> quarterPixels() {
    const int size = DemoApp::TEXTURE_SIZE;
    std::vector<uint8_t> pixels(size * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const uint32_t rgb = DemoApp::QUARTER_COLORS[(y >= size / 2) * 2 + (x >= size / 2)];
            uint8_t* p = &pixels[(y * size + x) * 4];
            p[0] = static_cast<uint8_t>(rgb >> 16);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb);
            p[3] = 255;
        }
    }
    return pixels;
}

const gr::Quad WHOLE = gr::Quad::rect(0, 0, 1, 1);

}  // namespace

DemoApp::DemoApp(framework::OSInterface* os, gr::Context* ctx) : App(os), time_(0) {
    const int size = TEXTURE_SIZE;
    texture_ = ctx->createEmptyTexture(size, size, gr::PIXELFORMAT_A8B8G8R8);
    const std::vector<uint8_t> pixels = quarterPixels();
    texture_->setPixels(0, 0, pixels.data(), size * 4, size, size, gr::PIXELFORMAT_A8B8G8R8);
}

void DemoApp::keyDown(int code) {
    if (code == framework::KEY_ESCAPE) {
        requestExit(0);
    }
}

// Fixed places that a screenshot can be checked against: the texture at twice
// its size, the same at half opacity, and a white line.
void DemoApp::drawStill(gr::Context& ctx) {
    gr::RenderState& state = ctx.renderState();
    state.reset();
    ctx.drawTexture(texture_.get(), 40, 40, 128, 128, WHOLE);
    state.alpha = 0.5f;
    ctx.drawTexture(texture_.get(), 40, 200, 128, 128, WHOLE);
    state.reset();
    ctx.drawLine(20, 400, 300, 400, 4, gr::Color(1, 1, 1));
    ctx.drawLine(20, 420, 300, 460, 2, gr::Color(1, 0.8f, 0.2f, 0.7f));
}

// Quads that turn about their centres at different scales and opacities.
void DemoApp::drawTurning(gr::Context& ctx) {
    gr::RenderState& state = ctx.renderState();
    const float size = TEXTURE_SIZE;
    for (int i = 0; i < 4; ++i) {
        state.reset();
        state.setAngle(time_ * (0.5f + 0.25f * i) + i);
        state.scaleX = state.scaleY = 0.75f + 0.25f * i;
        state.pivotX = state.pivotY = size / 2;
        state.alpha = 1.0f - 0.2f * i;
        const float x = 380 + 60 * i;
        const float y = 100 + 80 * i;
        ctx.drawTexture(texture_.get(), x / state.scaleX - size / 2, y / state.scaleY - size / 2,
                        size, size, WHOLE);
    }
    state.reset();
}

void DemoApp::update(float dt, gr::Context* ctx, int phase) {
    (void)phase;
    time_ += dt;
    ctx->beginFrame();
    ctx->clear(0xFF203040, true, true, true);
    drawStill(*ctx);
    drawTurning(*ctx);
    ctx->endFrame();
    ctx->present();
    ctx->resetCounters();
}

}  // namespace demo

framework::Application framework::mainApplication() {
    Application application;
    application.create = [](OSInterface* os, gr::Context* ctx) -> App* {
        return new demo::DemoApp(os, ctx);
    };
    return application;
}
