// The spotlight: where enableSpotlight puts the spot, how it wanders and what
// its shader pass is given.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/draw/RecordingShaders.h"
#include "common/ui/GameOverlays.h"
#include "common/ui/Spotlight.h"
#include "common/world/GameLuaFixture.h"
#include "gr/GraphicsException.h"

namespace {

using worldtest::GameLuaFixture;
using worldtest::RecordingContext;
using worldtest::ShaderRecordingContext;

// The draws of the random source, repeated.
std::vector<double> draws = {0.25};
size_t nextDraw = 0;
double scriptedRandom() {
    return draws[nextDraw++ % draws.size()];
}

void useDraws(std::vector<double> values) {
    draws = values;
    nextDraw = 0;
}

TEST(SpotlightTest, PositionIsInHalfScreensFromTheCentre) {
    struct Case {
        int width, height, x, y;
        float expectX, expectY;
    };
    const Case cases[] = {
        {480, 320, 240, 160, 0, 0},                               // the centre
        {480, 320, 0, 0, -1, -1},                                 // the top-left corner
        {480, 320, 480, 320, 1, 1},                               // the bottom-right corner
        {481, 321, 240, 160, 0, 0},                               // odd sizes halve by truncation
        {481, 321, 480, 0, 1, -1},  {100, 50, 75, 100, 0.5f, 3},  // off screen is allowed
    };
    for (const Case& c : cases) {
        lang::Ptr<RecordingContext> ctx = new RecordingContext(c.width, c.height);
        lang::Ptr<Spotlight> spot = new Spotlight(ctx.get());
        spot->setPosition(c.x, c.y);
        EXPECT_FLOAT_EQ(spot->position().x, c.expectX) << c.width << " " << c.x;
        EXPECT_FLOAT_EQ(spot->position().y, c.expectY) << c.height << " " << c.y;
        EXPECT_EQ(spot->position().z, 0);
        EXPECT_EQ(spot->position().w, 0);
    }
}

// One axis moves with its old velocity, then speeds up, then draws a new
// acceleration that pulls it back when it is beyond half way and heading out.
TEST(SpotlightTest, EachAxisWandersAndIsPulledBackFromTheEdges) {
    struct Case {
        const char* what;
        float position, velocity, acceleration, dt;
        float expectPosition, expectVelocity, expectAcceleration;
    };
    const float r = 0.25f;
    const Case cases[] = {
        {"beyond half, outwards", 0.6f, 0, 1, 0.5f, 0.6f, 0.5f, r - 1.1f},
        {"beyond half, inwards", 0.6f, 0, -1, 0.5f, 0.6f, -0.5f, r - 0.5f},
        {"beyond minus half, outwards", -0.6f, 0, -1, 0.5f, -0.6f, -0.5f, r + 0.1f},
        {"beyond minus half, inwards", -0.6f, 0, 1, 0.5f, -0.6f, 0.5f, r - 0.5f},
        {"inside, outwards", 0.4f, 0, 1, 0.5f, 0.4f, 0.5f, r - 0.5f},
        {"moved by the old velocity", 0, 2, 10, 0.5f, 1, 7, r - 1.5f},
    };
    // 480 x 320: half a screen is 240 pixels across and 160 down.
    const float half[2] = {240, 160};
    for (int axis = 0; axis < 2; ++axis) {
        for (const Case& c : cases) {
            useDraws({r});
            lang::Ptr<RecordingContext> ctx = new RecordingContext(480, 320);
            lang::Ptr<Spotlight> spot = new Spotlight(ctx.get(), &scriptedRandom);
            int pixel[2] = {240, 160};
            pixel[axis] = static_cast<int>(std::lround((c.position + 1) * half[axis]));
            spot->setPosition(pixel[0], pixel[1]);
            float v[2] = {0, 0}, a[2] = {0, 0};
            v[axis] = c.velocity;
            a[axis] = c.acceleration;
            spot->setVelocity(v[0], v[1]);
            spot->setAcceleration(a[0], a[1]);
            spot->update(c.dt);

            const float position[2] = {spot->position().x, spot->position().y};
            SCOPED_TRACE(std::string(c.what) + (axis ? " on y" : " on x"));
            EXPECT_FLOAT_EQ(position[axis], c.expectPosition);
            EXPECT_FLOAT_EQ(spot->velocity(axis), c.expectVelocity);
            EXPECT_FLOAT_EQ(spot->acceleration(axis), c.expectAcceleration);
            // The resting axis stays put and only draws a new acceleration.
            EXPECT_EQ(position[1 - axis], 0);
            EXPECT_EQ(spot->velocity(1 - axis), 0);
            EXPECT_FLOAT_EQ(spot->acceleration(1 - axis), r - 0.5f);
        }
    }
}

TEST(SpotlightTest, EachAxisDrawsItsOwnRandomNumber) {
    useDraws({0.1, 0.9});
    lang::Ptr<RecordingContext> ctx = new RecordingContext(480, 320);
    lang::Ptr<Spotlight> spot = new Spotlight(ctx.get(), &scriptedRandom);
    spot->setPosition(240, 160);
    spot->update(0.1f);
    EXPECT_FLOAT_EQ(spot->acceleration(0), 0.1f - 0.5f);
    EXPECT_FLOAT_EQ(spot->acceleration(1), 0.9f - 0.5f);
}

TEST(SpotlightTest, OnlyTheGles2AndGl2PlatformsLoadTheShader) {
    const struct {
        int platform;
        bool loads;
    } cases[] = {{gr::PLATFORM_GLES1, false}, {gr::PLATFORM_GLES2, true},
                 {gr::PLATFORM_GL1, false},   {gr::PLATFORM_GL2, true},
                 {gr::PLATFORM_DX11, false},  {gr::PLATFORM_XNA, false}};
    for (const auto& c : cases) {
        lang::Ptr<ShaderRecordingContext> ctx = new ShaderRecordingContext(c.platform);
        lang::Ptr<Spotlight> spot = new Spotlight(ctx.get());
        spot->draw();
        if (c.loads) {
            EXPECT_EQ(ctx->loaded, std::vector<std::string>{"shaders/composite-spotlight"});
            EXPECT_EQ(ctx->primitives.size(), 1u) << c.platform;
        } else {
            // Without a shader nothing is drawn.
            EXPECT_TRUE(ctx->loaded.empty()) << c.platform;
            EXPECT_TRUE(ctx->log->empty()) << c.platform;
        }
    }
}

TEST(SpotlightTest, DrawsTwoScreenSizedTrianglesInEveryPass) {
    lang::Ptr<ShaderRecordingContext> ctx = new ShaderRecordingContext(gr::PLATFORM_GL2, 2);
    gr::RenderState& state = ctx->renderState();
    state.translateX = -300;
    state.translateY = 20;
    state.scaleX = state.scaleY = 0.5f;
    state.setAngle(0.3f);
    lang::Ptr<Spotlight> spot = new Spotlight(ctx.get());
    spot->setPosition(120, 80);
    ctx->log->clear();
    spot->draw();

    ASSERT_EQ(ctx->shaders.size(), 1u);
    const worldtest::RecordingShader& shader = *ctx->shaders[0];
    const std::vector<std::string> expected = {"setMatrix 2",
                                               "setMatrix 3",
                                               "setMatrix 6",
                                               "setMatrix 7",
                                               "setVector SPOTLIGHT_POSITION",
                                               "beginDraw",
                                               "createPrimitive",
                                               "beginPass 0",
                                               "render 0+6",
                                               "endPass",
                                               "beginPass 1",
                                               "render 0+6",
                                               "endPass",
                                               "endDraw"};
    EXPECT_EQ(*ctx->log, expected);

    const math::float4x4 r = state.transform();
    EXPECT_EQ(shader.matrices[gr::MATRIX_WORLD], r);
    EXPECT_EQ(shader.matrices[gr::MATRIX_VIEW], ctx->viewMatrix());
    EXPECT_EQ(shader.matrices[gr::MATRIX_PROJECTION], ctx->projectionMatrix());
    EXPECT_EQ(shader.matrices[gr::MATRIX_WORLDVIEWPROJECT],
              ctx->projectionMatrix() * ctx->viewMatrix() * r);
    ASSERT_EQ(shader.vectors.size(), 1u);
    EXPECT_EQ(shader.vectors[0].second, math::float4(-0.5f, -0.5f, 0, 0));

    const worldtest::RecordingPrimitive& quad = *ctx->primitives[0];
    EXPECT_EQ(quad.type(), gr::PRIMITIVE_TRIANGLELIST);
    EXPECT_EQ(quad.vertexFormat().position(), gr::DF_FLOAT2);
    EXPECT_EQ(quad.vertexFormat().texCoordCount(), 0);
    EXPECT_EQ(quad.shader, &shader);
    const std::vector<math::float4> corners = {{-480, -320, 0, 0}, {-480, 320, 0, 0},
                                               {480, -320, 0, 0},  {480, -320, 0, 0},
                                               {-480, 320, 0, 0},  {480, 320, 0, 0}};
    EXPECT_EQ(quad.positions, corners);
}

// A renderer failure inside the pass still ends the shader's draw, so the
// next frame can draw with it again.
TEST(SpotlightTest, AFailedDrawStillEndsTheShaderDraw) {
    class FailingContext : public ShaderRecordingContext {
    public:
        lang::Ptr<gr::Primitive> createPrimitive(int, const gr::VertexFormat&, int, int) override {
            throw gr::GraphicsException(lang::Format("out of buffers"));
        }
    };
    lang::Ptr<FailingContext> ctx = new FailingContext();
    lang::Ptr<Spotlight> spot = new Spotlight(ctx.get());
    EXPECT_THROW(spot->draw(), gr::GraphicsException);
    ASSERT_FALSE(ctx->log->empty());
    EXPECT_EQ(ctx->log->back(), "endDraw");
}

class SpotlightNativesTest : public GameLuaFixture {
protected:
    GameOverlays overlays{*world};
};

TEST_F(SpotlightNativesTest, EnableReplacesAndDisableRemovesTheSpotlight) {
    // Nothing to move or draw before the first enable.
    overlays.update(0.1f);
    overlays.drawSpotlight();
    EXPECT_EQ(overlays.spotlight(), nullptr);

    run("enableSpotlight(240.9, 160.9)");  // pixels are truncated
    Spotlight* first = overlays.spotlight();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->position(), math::float4(0, 0, 0, 0));
    overlays.update(0.5f);
    overlays.update(0.5f);
    EXPECT_NE(first->velocity(0), 0);
    EXPECT_GE(first->acceleration(1), -0.5f);
    EXPECT_LT(first->acceleration(1), 0.5f);

    run("enableSpotlight(0, 0)");
    ASSERT_NE(overlays.spotlight(), nullptr);
    EXPECT_EQ(overlays.spotlight()->position(), math::float4(-1, -1, 0, 0));
    EXPECT_EQ(overlays.spotlight()->velocity(0), 0);  // a fresh spot

    run("disableSpotlight()");
    EXPECT_EQ(overlays.spotlight(), nullptr);
    overlays.update(0.1f);
    overlays.drawSpotlight();
}

}  // namespace
