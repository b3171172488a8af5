// Pictures drawn by the gl2 plug-in, compared with golden images.

#include <cmath>
#include <vector>

#include "gr/Gl2Fixture.h"
#include "gr/GoldenImage.h"
#include "gr/gl2/Batcher.h"

namespace grtest {
namespace {

const gr::Quad WHOLE = gr::Quad::rect(0, 0, 1, 1);
const gr::Color WHITE(1, 1, 1);

void cross(gr::Context& ctx, float x, float y) {
    ctx.drawLine(x - 3, y, x + 4, y, 1, WHITE);
    ctx.drawLine(x, y - 3, x, y + 4, 1, WHITE);
}

// The tile at (x, y), anchored the way sprites are: horizontally left, centre
// or right (h = 0, 1, 2) and vertically top, centre or bottom (v = 0, 1, 2).
TEST_F(Gl2Test, SpritesAtEachAnchor) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    for (int v = 0; v < 3; ++v) {
        for (int h = 0; h < 3; ++h) {
            const float x = 24.f + h * 40, y = 24.f + v * 40;
            ctx->drawTexture(tile.get(), x - h * 8, y - v * 8, 16, 16, WHOLE);
            cross(*ctx, x, y);
        }
    }
    EXPECT_TRUE(matchesGolden(capture("anchors"), "anchors"));
}

TEST_F(Gl2Test, RotationScaleAndPivot) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    gr::RenderState& rs = ctx->renderState();
    // A quarter turn about the tile's centre, scaled twice.
    rs.setAngle(static_cast<float>(M_PI / 2));
    rs.pivotX = rs.pivotY = 8;
    rs.scaleX = rs.scaleY = 2;
    ctx->drawTexture(tile.get(), 8, 8, 16, 16, WHOLE);
    // 30 degrees about the top-left corner, moved by the translation.
    rs.reset();
    rs.setAngle(static_cast<float>(M_PI / 6));
    rs.translateX = 70;
    rs.translateY = 10;
    ctx->drawTexture(tile.get(), 0, 0, 32, 32, WHOLE);
    // Stretched along x only, and a sheared four-corner quad.
    rs.reset();
    rs.scaleX = 3;
    ctx->drawTexture(tile.get(), 2, 80, 16, 16, WHOLE);
    rs.reset();
    const gr::Quad corners = {{{70, 70}, {118, 80}, {60, 110}, {108, 120}}};
    ctx->drawTextureQuad(tile.get(), corners, WHOLE);
    EXPECT_TRUE(matchesGolden(capture("transform"), "transform"));
}

TEST_F(Gl2Test, AlphaFromStateColourAndTexture) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    lang::Ptr<gr::Texture> fade = makeFade();
    ctx->fillRect(8, 8, 120, 56, gr::Color(1, 0, 0));
    ctx->renderState().alpha = 0.5f;
    ctx->drawTexture(tile.get(), 16, 16, 32, 32, WHOLE);
    ctx->fillRect(64, 16, 112, 48, gr::Color(0, 1, 0, 0.5f));  // a quarter in all
    ctx->renderState().alpha = 1;
    ctx->drawTexture(fade.get(), 8, 72, 112, 48, WHOLE);
    EXPECT_TRUE(matchesGolden(capture("alpha"), "alpha"));
}

// A run of one texture rectangle draws the same pixels as one drawTexture a
// point, under a rotated, scaled, half-transparent and clipped state. The
// batch grows to hold a frame's run in one draw, and only a run past its
// largest size is cut.
TEST_F(Gl2Test, TextureRunDrawsWhatOneDrawAPointDraws) {
    struct Case {
        int quads;
        int draws;
    };
    const Case cases[] = {{3000, 1}, {gr::gl2::Batcher::MAX_QUADS + 100, 2}};
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    const gr::Quad part = gr::Quad::rect(0.25f, 0, 0.75f, 0.5f);
    const auto setState = [&] {
        gr::RenderState& rs = ctx->renderState();
        rs.reset();
        rs.setAngle(0.3f);
        rs.pivotX = 3;
        rs.scaleX = 0.9f;
        rs.scaleY = 1.1f;
        rs.alpha = 0.5f;
        rs.clip = gr::Rect(4, 8, 120, 110);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quads);
        std::vector<gr::Point> points;
        for (int i = 0; i < c.quads; ++i) {
            points.push_back(gr::Point{static_cast<float>(i * 37 % 140) - 10.5f,
                                       static_cast<float>(i * 53 % 130) - 6.25f});
        }
        ctx->clear(0xff202020u, true, false, false);
        setState();
        for (const gr::Point& p : points) {
            ctx->drawTexture(tile.get(), p.x - 2, p.y + 1.5f, 7, 5, part);
        }
        const gr::Image single = capture("run-single");

        ctx->clear(0xff202020u, true, false, false);
        ctx->resetCounters();
        setState();
        ctx->drawTextureRun(tile.get(), points.data(), static_cast<int>(points.size()), -2, 1.5f, 7,
                            5, part);
        const gr::Image run = capture("run-batch");
        EXPECT_EQ(ctx->counters().drawCalls, c.draws);
        ASSERT_EQ(run.pixels.size(), single.pixels.size());
        EXPECT_TRUE(run.pixels == single.pixels);
    }
}

TEST_F(Gl2Test, ClipRectangleCutsEveryDraw) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    gr::RenderState& rs = ctx->renderState();
    rs.clip = gr::Rect(20, 30, 100, 70);
    ctx->fillRect(0, 0, 128, 128, gr::Color(0, 0, 1));
    ctx->drawTexture(tile.get(), 60, 40, 64, 64, WHOLE);
    ctx->drawLine(0, 0, 128, 128, 3, WHITE);
    // An empty clip draws nothing at all.
    rs.clip = gr::Rect(50, 50, 40, 40);
    ctx->fillRect(0, 0, 128, 128, gr::Color(1, 0, 0));
    rs.reset();
    ctx->drawLine(0, 120, 128, 120, 2, gr::Color(1, 1, 0));
    EXPECT_TRUE(matchesGolden(capture("clip"), "clip"));
}

TEST_F(Gl2Test, LinesAndRectangles) {
    makeContext(128, 128);
    ctx->fillRect(4, 4, 40, 40, gr::Color(0.2f, 0.6f, 1));
    ctx->fillRect(60, 10, 50, 30, gr::Color(1, 0.5f, 0));  // corners given right to left
    const float widths[] = {1, 2, 5};
    for (int i = 0; i < 3; ++i) {
        const float y = 56.f + i * 12;
        ctx->drawLine(8, y, 120, y, widths[i], WHITE);
    }
    ctx->drawLine(8, 100, 60, 124, 2, gr::Color(0, 1, 0));
    ctx->drawLine(100, 92, 100, 124, 3, gr::Color(1, 0, 1));
    // An outline as four lines, the way scripts draw one.
    ctx->drawLine(70, 96, 90, 96, 1, WHITE);
    ctx->drawLine(70, 96, 70, 116, 1, WHITE);
    ctx->drawLine(70, 116, 90, 116, 1, WHITE);
    ctx->drawLine(90, 96, 90, 116, 1, WHITE);
    EXPECT_TRUE(matchesGolden(capture("lines"), "lines"));
}

// A sprite through the batch, then shader primitives over it: the primitives
// must land above what was batched before them.
TEST_F(Gl2Test, ShaderDrawsPrimitivesAboveBatchedSprites) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    ctx->drawTexture(tile.get(), 0, 0, 128, 128, WHOLE);

    const math::float4x4 m = ctx->projectionMatrix() * ctx->viewMatrix();
    lang::Ptr<gr::Shader> colour = ctx->loadShader(shaderFolder() + "/2d-vertexcolor-alpha", 0);
    gr::VertexFormat colourFormat;
    colourFormat.addPosition(gr::DF_FLOAT4).addColor(gr::DF_FLOAT4);
    lang::Ptr<gr::Primitive> triangle =
        ctx->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, colourFormat, 3, 0);
    const math::float4 positions[3] = {{64, 8, 0, 1}, {120, 100, 0, 1}, {8, 100, 0, 1}};
    const math::float4 colours[3] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    triangle->lock(gr::LOCK_WRITE);
    triangle->setPositions(0, positions, 3);
    triangle->setColors(0, colours, 3);
    triangle->unlock();
    triangle->setShader(colour.get());
    colour->setMatrix(gr::MATRIX_WORLDVIEWPROJECT, m);
    colour->setFloat("ALPHA_FACTOR", 0.75f);
    const int passes = colour->beginDraw();
    ASSERT_EQ(passes, 1);
    colour->beginPass(0);
    triangle->render();
    colour->endPass();
    colour->endDraw();

    // The tile again, as a textured triangle strip with two-float positions.
    lang::Ptr<gr::Shader> sprite = ctx->loadShader(shaderFolder() + "/2d-sprite", 0);
    gr::VertexFormat spriteFormat;
    spriteFormat.addPosition(gr::DF_FLOAT2).addTexCoord(gr::DF_FLOAT2);
    lang::Ptr<gr::Primitive> strip =
        ctx->createPrimitive(gr::PRIMITIVE_TRIANGLESTRIP, spriteFormat, 4, 0);
    const math::float4 corners[4] = {
        {88, 88, 0, 0}, {120, 88, 0, 0}, {88, 120, 0, 0}, {120, 120, 0, 0}};
    const math::float4 uv[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}};
    strip->lock(gr::LOCK_WRITE);
    strip->setPositions(0, corners, 4);
    strip->setTexCoords(0, 0, uv, 4);
    strip->unlock();
    strip->setShader(sprite.get());
    sprite->setMatrix(gr::MATRIX_WORLDVIEWPROJECT, m);
    sprite->bindTexture("BASEMAP", tile.get());
    sprite->beginDraw();
    sprite->beginPass(0);
    strip->render();
    sprite->endPass();
    sprite->endDraw();

    // Batched drawing goes on above the primitives.
    ctx->fillRect(0, 120, 128, 128, WHITE);
    EXPECT_TRUE(matchesGolden(capture("shader"), "shader"));
}

// Draws the rectangle (x0, y0)-(x1, y1) with the shader in all its passes;
// texture set 0 spans (0, 0)-(repeat, repeat) and set 1 (0, 0)-(1, 1).
void shaderQuad(gr::Context& ctx, gr::Shader& shader, const math::float4 (&corners)[4],
                float repeat = 1) {
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT4).addTexCoord(gr::DF_FLOAT2).addTexCoord(gr::DF_FLOAT2);
    lang::Ptr<gr::Primitive> quad = ctx.createPrimitive(gr::PRIMITIVE_TRIANGLESTRIP, format, 4, 0);
    const math::float4 uv0[4] = {
        {0, 0, 0, 0}, {repeat, 0, 0, 0}, {0, repeat, 0, 0}, {repeat, repeat, 0, 0}};
    const math::float4 uv1[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}};
    quad->lock(gr::LOCK_WRITE);
    quad->setPositions(0, corners, 4);
    quad->setTexCoords(0, 0, uv0, 4);
    quad->setTexCoords(0, 1, uv1, 4);
    quad->unlock();
    quad->setShader(&shader);
    const int passes = shader.beginDraw();
    for (int i = 0; i < passes; ++i) {
        shader.beginPass(i);
        quad->render();
        shader.endPass();
    }
    shader.endDraw();
}

void pixelQuad(gr::Context& ctx, gr::Shader& shader, float x, float y, float size) {
    const math::float4 corners[4] = {
        {x, y, 0, 1}, {x + size, y, 0, 1}, {x, y + size, 0, 1}, {x + size, y + size, 0, 1}};
    shader.setMatrix(gr::MATRIX_WORLDVIEWPROJECT, ctx.projectionMatrix() * ctx.viewMatrix());
    shaderQuad(ctx, shader, corners);
}

// The bundle's other shaders: tinted, filled and inverted sprites, a masked
// fill and the spotlight.
TEST_F(Gl2Test, BundleShadersDrawTheirEffects) {
    makeContext(128, 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    lang::Ptr<gr::Texture> fade = makeFade();
    ctx->fillRect(0, 0, 128, 128, gr::Color(0.5f, 0.5f, 0.5f));
    auto load = [this](const char* name) {
        return ctx->loadShader(shaderFolder() + "/" + name, 0);
    };

    lang::Ptr<gr::Shader> tinted = load("2d-sprite-alpha");
    tinted->bindTexture("BASEMAP", tile.get());
    tinted->setVector("TINT", math::float4(1, 0.5f, 0.5f, 0.75f));
    pixelQuad(*ctx, *tinted, 4, 4, 36);

    lang::Ptr<gr::Shader> fill = load("2d-sprite-fill");
    fill->bindTexture("BASEMAP", fade.get());
    fill->setVector("TINT", math::float4(0, 1, 1, 1));
    pixelQuad(*ctx, *fill, 46, 4, 36);

    lang::Ptr<gr::Shader> inverted = load("2d-sprite-modulate-inverted");
    inverted->bindTexture("BASEMAP", tile.get());
    pixelQuad(*ctx, *inverted, 88, 4, 36);

    // The tile repeated three times across, cut to the fade's shape; clip space.
    lang::Ptr<gr::Shader> masked = load("2d-sprite-alpha-masked");
    masked->bindTexture("BASEMAP", tile.get());
    masked->bindTexture("BASEMAP1", fade.get());
    masked->setFloat("ALPHA_FACTOR", 0.9f);
    const math::float4 clipCorners[4] = {
        {-0.9f, -0.2f, 0, 1}, {0.9f, -0.2f, 0, 1}, {-0.9f, -0.9f, 0, 1}, {0.9f, -0.9f, 0, 1}};
    shaderQuad(*ctx, *masked, clipCorners, 3);

    // The spot at the right half way down, over the whole screen.
    lang::Ptr<gr::Shader> spot = load("composite-spotlight");
    spot->setVector("SPOTLIGHT_POSITION", math::float4(0.5f, 0, 0, 0));
    const float w = static_cast<float>(ctx->width()), h = static_cast<float>(ctx->height());
    const math::float4 screen[4] = {{-w, -h, 0, 1}, {w, -h, 0, 1}, {-w, h, 0, 1}, {w, h, 0, 1}};
    spot->setMatrix(gr::MATRIX_WORLDVIEWPROJECT, ctx->projectionMatrix() * ctx->viewMatrix());
    shaderQuad(*ctx, *spot, screen);
    EXPECT_TRUE(matchesGolden(capture("bundle-shaders"), "bundle-shaders"));
}

// Clip-space drawing of the masked shader and the spotlight follow the
// orientation through the view matrix, as the image masks and the spotlight set it.
TEST_F(Gl2Test, ScreenShadersFollowTheOrientation) {
    makeContext(128, 96, 1);
    lang::Ptr<gr::Texture> white = ctx->createEmptyTexture(2, 2, gr::PIXELFORMAT_A8B8G8R8);
    const std::vector<uint8_t> opaque(16, 255);
    white->setPixels(0, 0, opaque.data(), 8, 2, 2, gr::PIXELFORMAT_A8B8G8R8);
    lang::Ptr<gr::Shader> masked = ctx->loadShader(shaderFolder() + "/2d-sprite-alpha-masked", 0);
    masked->bindTexture("BASEMAP", white.get());
    masked->bindTexture("BASEMAP1", white.get());
    masked->setMatrix(gr::MATRIX_VIEW, ctx->viewMatrix());
    // The oriented screen's top-left quarter.
    const math::float4 quarter[4] = {{-1, 1, 0, 1}, {0, 1, 0, 1}, {-1, 0, 0, 1}, {0, 0, 0, 1}};
    shaderQuad(*ctx, *masked, quarter);
    gr::Image image = capture("turned-mask");
    EXPECT_EQ(rgba(image, 120, 8), 0xffffffffu);  // the window's top-right
    EXPECT_EQ(rgba(image, 8, 8), 0x202020ffu);
    EXPECT_EQ(rgba(image, 120, 88), 0x202020ffu);

    // The spot at the oriented screen's top centre lands on the window's right edge.
    ctx->clear(0xffffffffu, true, false, false);
    lang::Ptr<gr::Shader> spot = ctx->loadShader(shaderFolder() + "/composite-spotlight", 0);
    spot->setVector("SPOTLIGHT_POSITION", math::float4(0, -0.9f, 0, 0));
    spot->setMatrix(gr::MATRIX_VIEW, ctx->viewMatrix());
    spot->setMatrix(gr::MATRIX_WORLDVIEWPROJECT, ctx->projectionMatrix() * ctx->viewMatrix());
    const float w = static_cast<float>(ctx->width()), h = static_cast<float>(ctx->height());
    const math::float4 screen[4] = {{-w, -h, 0, 1}, {w, -h, 0, 1}, {-w, h, 0, 1}, {w, h, 0, 1}};
    shaderQuad(*ctx, *spot, screen);
    image = capture("turned-spot");
    EXPECT_EQ(rgba(image, 124, 48), 0xffffffffu);  // in the spot
    EXPECT_LT(image.pixel(4, 48)[0], 128);         // darkened
}

// Orientation 1 turns the screen a quarter: a 128 x 96 drawable is drawn as
// 96 x 128, and the picture is turned onto the window.
TEST_F(Gl2Test, OrientationTurnsTheScreen) {
    makeContext(128, 96, 1);
    EXPECT_EQ(ctx->width(), 96);
    EXPECT_EQ(ctx->height(), 128);
    lang::Ptr<gr::Texture> tile = makeTile();
    ctx->drawTexture(tile.get(), 0, 0, 32, 32, WHOLE);
    ctx->fillRect(64, 96, 96, 128, gr::Color(0, 1, 1));
    ctx->renderState().clip = gr::Rect(0, 40, 96, 60);
    ctx->fillRect(0, 0, 96, 128, gr::Color(1, 0, 1));
    const gr::Image image = capture("orientation");
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 96);
    EXPECT_TRUE(matchesGolden(image, "orientation1"));
}

TEST_F(Gl2Test, ViewportMovesAndLimitsDrawing) {
    makeContext(128, 128);
    ctx->setViewport(gr::Rect(32, 32, 96, 96));
    ctx->fillRect(-100, -100, 300, 300, gr::Color(0, 0.5f, 0));
    ctx->fillRect(0, 0, 8, 8, WHITE);
    const gr::Image image = capture("viewport");
    EXPECT_EQ(rgba(image, 31, 31), 0x202020ffu);
    EXPECT_EQ(rgba(image, 33, 33), 0xffffffffu);
    EXPECT_EQ(rgba(image, 60, 60), 0x008000ffu);
    EXPECT_EQ(rgba(image, 96, 96), 0x202020ffu);
}

}  // namespace
}  // namespace grtest
