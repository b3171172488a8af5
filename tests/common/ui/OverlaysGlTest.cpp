// The spotlight and the image masks drawn through the gl2 renderer with the
// bundle's shaders.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/ui/ImageMaskBatcher.h"
#include "common/ui/Spotlight.h"
#include "game/SpriteSheet.h"
#include "gr/Gl2Fixture.h"
#include "gr/Image.h"

namespace {

using grtest::rgba;

class OverlaysGlTest : public grtest::Gl2Test {
protected:
    void makeScreen(int width, int height, int orientation) {
        makeContext(width, height, orientation);
        ctx->setShaderFolder(shaderFolder());
    }
    // The window pixel that shows the drawing point (x, y).
    static void windowPixel(gr::Context& context, float x, float y, int& px, int& py) {
        const math::float4 p = context.viewMatrix() * math::float4(x, y, 0, 1);
        px = static_cast<int>(p.x);
        py = static_cast<int>(p.y);
    }
};

// Whatever camera the background drawing left in the render state, the spot
// pass covers the screen and the spot is round in pixels.
TEST_F(OverlaysGlTest, SpotlightCoversTheScreenWithARoundSpot) {
    makeScreen(128, 96, 0);
    ctx->clear(0xffffffffu, true, false, false);
    gr::RenderState& state = ctx->renderState();
    state.translateX = -1000;
    state.translateY = 300;
    state.scaleX = state.scaleY = 0.5f;
    lang::Ptr<Spotlight> spot = new Spotlight(ctx.get());
    ASSERT_NE(spot->shader(), nullptr);
    spot->setPosition(40, 48);
    spot->draw();
    const gr::Image image = capture("overlay-spot");

    EXPECT_EQ(rgba(image, 40, 48), 0xffffffffu);  // the spot's centre
    const int dark[][2] = {{1, 1}, {126, 1}, {1, 94}, {126, 94}, {100, 48}};
    for (const auto& p : dark) {
        EXPECT_LT(image.pixel(p[0], p[1])[0], 100) << p[0] << ", " << p[1];
    }
    // As bright 18 pixels to the right as 18 pixels down, in the spot's soft edge.
    const int across = image.pixel(58, 48)[0];
    const int down = image.pixel(40, 66)[0];
    EXPECT_LT(across, 255);
    EXPECT_GT(across, 80);
    EXPECT_LE(std::abs(across - down), 2);
}

// A masked piece lands where the drawing would, under every orientation and a
// moved viewport, and shows the fill texture anchored to the drawing.
TEST_F(OverlaysGlTest, MaskedFillLandsWhereTheDrawingWould) {
    const struct {
        int orientation;
        gr::Rect viewport;  // empty: the whole screen
    } cases[] = {{0, gr::Rect()},
                 {0, gr::Rect(16, 8, 144, 136)},
                 {1, gr::Rect()},
                 {2, gr::Rect(-8, 12, 120, 140)},
                 {3, gr::Rect(4, 4, 100, 100)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        makeScreen(128, 128, c.orientation);
        if (c.viewport.width() > 0) {
            ctx->setViewport(c.viewport);
        }
        lang::Ptr<gr::Texture> tile = makeTile();
        lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet();
        lang::Ptr<gr::Texture> white = ctx->createEmptyTexture(16, 16, gr::PIXELFORMAT_A8B8G8R8);
        const std::vector<uint8_t> opaque(16 * 16 * 4, 255);
        white->setPixels(0, 0, opaque.data(), 64, 16, 16, gr::PIXELFORMAT_A8B8G8R8);
        sheet->setTexture(white);
        game::Sprite* shape = sheet->addSprite("SHAPE", 0, 0, 16, 16, 0, 0, false);

        internal::ImageMaskBatcher batcher(ctx.get());
        ASSERT_NE(batcher.shader(), nullptr);
        // At (32, 32) the fill starts at the tile's own top-left corner.
        batcher.add(tile.get(), 32, 32, *shape);
        batcher.flush();
        batcher.reset();
        const gr::Image image = capture("overlay-mask");

        const struct {
            float x, y;
            uint32_t colour;
        } probes[] = {{36, 36, 0xff0000ffu},   // red, top-left of the tile
                      {44, 36, 0x00ff00ffu},   // green, top-right
                      {36, 44, 0x0000ffffu},   // blue, bottom-left
                      {28, 36, 0x202020ffu}};  // outside the piece
        for (const auto& p : probes) {
            int px, py;
            windowPixel(*ctx, p.x + 0.5f, p.y + 0.5f, px, py);
            EXPECT_EQ(rgba(image, px, py), p.colour) << p.x << ", " << p.y;
        }
    }
}

}  // namespace
