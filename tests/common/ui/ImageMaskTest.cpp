// Image masks: static pieces filled with a tiled texture in their sprite's
// shape, batched per fill texture.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "common/draw/RecordingShaders.h"
#include "common/ui/GameOverlays.h"
#include "common/ui/ImageMaskBatcher.h"
#include "common/world/GameLuaFixture.h"
#include "game/SpriteSheet.h"
#include "gr/GraphicsException.h"
#include "lang/Exception.h"

namespace {

using internal::ImageMaskBatcher;
using worldtest::RecordingTexture;
using worldtest::ShaderRecordingContext;

// A 480 x 320 screen, two sheets and three fill textures.
class ImageMaskTest : public ::testing::Test {
protected:
    ImageMaskTest() : ctx(new ShaderRecordingContext()), batcher(ctx.get()) {
        sheetA->setTexture(new RecordingTexture(128, 64));
        sheetB->setTexture(new RecordingTexture(64, 64));
        plank = sheetA->addSprite("PLANK", 8, 4, 32, 16, 0, 0, false);
        turned = sheetA->addSprite("TURNED", 40, 20, 10, 30, 5, 15, true);
        other = sheetB->addSprite("OTHER", 0, 0, 16, 16, 0, 0, false);
    }

    // The vertices collected for a fill texture (none when it has no batch).
    size_t verticesOf(gr::Texture* fill) const {
        auto it = batcher.batches().find(fill);
        return it == batcher.batches().end() ? 0 : it->second->positions.size();
    }

    lang::Ptr<ShaderRecordingContext> ctx;
    ImageMaskBatcher batcher;
    lang::Ptr<game::SpriteSheet> sheetA = new game::SpriteSheet("a");
    lang::Ptr<game::SpriteSheet> sheetB = new game::SpriteSheet("b");
    lang::Ptr<gr::Texture> stone = new RecordingTexture(32, 16);
    lang::Ptr<gr::Texture> wood = new RecordingTexture(16, 16);
    lang::Ptr<gr::Texture> ice = new RecordingTexture(8, 8);
    game::Sprite* plank;
    game::Sprite* turned;
    game::Sprite* other;
};

TEST_F(ImageMaskTest, PiecesOfOneFillAndSheetAreDrawnAsOnePrimitive) {
    batcher.add(stone.get(), 10, 10, *plank);
    batcher.add(stone.get(), 60, 10, *plank);
    ctx->renderState().alpha = 0.5f;
    batcher.flush();

    ASSERT_EQ(ctx->primitives.size(), 1u);
    const worldtest::RecordingPrimitive& primitive = *ctx->primitives[0];
    EXPECT_EQ(primitive.maxVertices(), 12);
    EXPECT_EQ(primitive.type(), gr::PRIMITIVE_TRIANGLELIST);
    EXPECT_EQ(primitive.vertexFormat().position(), gr::DF_FLOAT4);
    ASSERT_EQ(primitive.vertexFormat().texCoordCount(), 2);
    EXPECT_EQ(primitive.vertexFormat().texCoord(0), gr::DF_FLOAT2);
    EXPECT_EQ(primitive.vertexFormat().texCoord(1), gr::DF_FLOAT2);
    EXPECT_EQ(primitive.shader, ctx->shaders[0].get());

    // Everything drawn before goes out first; the batch then draws once.
    const std::vector<std::string> expected = {"flushDrawing",
                                               "setMatrix 2",
                                               "setMatrix 3",
                                               "setMatrix 6",
                                               "setMatrix 7",
                                               "setFloat ALPHA_FACTOR",
                                               "bindTexture BASEMAP",
                                               "bindTexture BASEMAP1",
                                               "createPrimitive",
                                               "beginDraw",
                                               "beginPass 0",
                                               "render 0+12",
                                               "endPass",
                                               "endDraw"};
    EXPECT_EQ(*ctx->log, expected);
    const worldtest::RecordingShader& shader = *ctx->shaders[0];
    EXPECT_EQ(shader.floats[0].second, 0.5f);
    EXPECT_EQ(shader.textures[0].second, stone.get());
    EXPECT_EQ(shader.textures[1].second, sheetA->getTexture());
    EXPECT_EQ(shader.matrices[gr::MATRIX_WORLDVIEWPROJECT],
              ctx->projectionMatrix() * ctx->viewMatrix() * ctx->renderState().transform());
}

TEST_F(ImageMaskTest, ASpriteFromAnotherSheetInOneBatchIsRefused) {
    batcher.add(stone.get(), 10, 10, *plank);
    batcher.add(stone.get(), 60, 10, *plank);
    try {
        batcher.add(stone.get(), 100, 10, *other);
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ(e.what(), "Unsupported: Mask sprites from multiple sheets used!");
    }
    EXPECT_EQ(verticesOf(stone.get()), 12u);
    // Another fill texture is another batch, which may use the other sheet.
    batcher.add(wood.get(), 100, 10, *other);
    EXPECT_EQ(verticesOf(wood.get()), 6u);
}

// Each vertex lands where the renderer would draw that corner of the sprite,
// and the fill texture is anchored to the drawing coordinates.
TEST_F(ImageMaskTest, CornersFollowTheRenderStateAndTheFillFollowsTheWorld) {
    struct Case {
        const char* what;
        float tx, ty, scale, angle;
        float x, y;
        game::Sprite* sprite;
    };
    const Case cases[] = {
        {"plain", 0, 0, 1, 0, 100, 50, plank},
        {"camera and zoom", -40, 12, 0.5f, 0, 300, 200, plank},
        {"turned about the pivot", -40, 12, 0.75f, 0.7f, 200, 120, turned},
    };
    const int order[6] = {0, 1, 2, 2, 1, 3};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const game::Sprite& sprite = *c.sprite;
        gr::RenderState& state = ctx->renderState();
        state.reset();
        state.translateX = c.tx;
        state.translateY = c.ty;
        state.scaleX = state.scaleY = c.scale;
        state.setAngle(c.angle);
        // As the world draws: the sprite's pivot is the transform's pivot.
        state.pivotX = static_cast<float>(sprite.getPivotX());
        state.pivotY = static_cast<float>(sprite.getPivotY());
        batcher.reset();
        batcher.add(stone.get(), c.x, c.y, sprite);
        ASSERT_EQ(verticesOf(stone.get()), 6u);
        const internal::ImageMask& mask = *batcher.batches().at(stone.get());

        const float ox = c.x - static_cast<float>(sprite.getPivotX());
        const float oy = c.y - static_cast<float>(sprite.getPivotY());
        const float w = static_cast<float>(sprite.getWidth());
        const float h = static_cast<float>(sprite.getHeight());
        const gr::Point corner[4] = {{ox, oy}, {ox + w, oy}, {ox, oy + h}, {ox + w, oy + h}};
        for (int v = 0; v < 6; ++v) {
            const gr::Point screen = state.apply(ox, oy, corner[order[v]].x, corner[order[v]].y);
            const math::float4& p = mask.positions[static_cast<size_t>(v)];
            EXPECT_NEAR(p.x, screen.x / 240 - 1, 1e-5) << v;
            EXPECT_NEAR(p.y, 1 - screen.y / 160, 1e-5) << v;
            EXPECT_FLOAT_EQ(p.z, 0.001f);
            EXPECT_EQ(p.w, 1);
            // One texel per drawing unit, before the camera's translation and zoom.
            const math::float4& f = mask.fillCoords[static_cast<size_t>(v)];
            EXPECT_NEAR(f.x * 32, screen.x / c.scale - c.tx, 1e-3) << v;
            EXPECT_NEAR(f.y * 16, screen.y / c.scale - c.ty, 1e-3) << v;
        }
    }
}

// The mask reads the sprite's area as if unrotated, whatever the sprite's
// own corner coordinates say.
TEST_F(ImageMaskTest, MaskCoordinatesAreTheSpritesAreaOnItsSheet) {
    struct Case {
        game::Sprite* sprite;
        float u0, v0, u1, v1;
    };
    const Case cases[] = {{plank, 8 / 128.f, 4 / 64.f, 40 / 128.f, 20 / 64.f},
                          {turned, 40 / 128.f, 20 / 64.f, 50 / 128.f, 50 / 64.f}};
    for (const Case& c : cases) {
        batcher.reset();
        batcher.add(wood.get(), 100, 100, *c.sprite);
        const std::vector<math::float4> expected = {{c.u0, c.v0, 0, 0}, {c.u1, c.v0, 0, 0},
                                                    {c.u0, c.v1, 0, 0}, {c.u0, c.v1, 0, 0},
                                                    {c.u1, c.v0, 0, 0}, {c.u1, c.v1, 0, 0}};
        EXPECT_EQ(batcher.batches().at(wood.get())->maskCoords, expected);
    }
}

// A 32 x 16 piece on a 480 x 320 screen: wholly outside it adds nothing and
// makes no batch; touching the screen's left or bottom edge still counts.
TEST_F(ImageMaskTest, PiecesWhollyOffScreenAreCulled) {
    const struct {
        float x, y;
        bool kept;
    } cases[] = {{-40, 100, false}, {-32, 100, true},  {-31, 100, true}, {480, 100, false},
                 {479, 100, true},  {100, -16, false}, {100, -15, true}, {100, 330, false},
                 {100, 320, true},  {-40, -40, false}};
    for (const auto& c : cases) {
        batcher.reset();
        ctx->log->clear();
        batcher.add(stone.get(), c.x, c.y, *plank);
        EXPECT_EQ(verticesOf(stone.get()), c.kept ? 6u : 0u) << c.x << ", " << c.y;
        EXPECT_EQ(batcher.batches().size(), c.kept ? 1u : 0u) << c.x << ", " << c.y;
        batcher.flush();
        if (!c.kept) {
            EXPECT_TRUE(ctx->log->empty());  // not even a flush of the context
        }
    }
}

// The pool grows to the most fill textures of one flush; masks in use are
// never handed out twice and come back empty.
TEST_F(ImageMaskTest, MasksArePooledAcrossFrames) {
    const std::vector<std::vector<gr::Texture*>> frames = {
        {stone.get(), wood.get()}, {wood.get()}, {stone.get(), wood.get(), ice.get()}, {ice.get()}};
    const size_t poolSizes[] = {2, 2, 3, 3};
    for (size_t f = 0; f < frames.size(); ++f) {
        for (gr::Texture* fill : frames[f]) {
            batcher.add(fill, 10, 10, *plank);
        }
        std::set<const internal::ImageMask*> distinct;
        for (const auto& batch : batcher.batches()) {
            distinct.insert(batch.second.get());
            EXPECT_EQ(batch.second->positions.size(), 6u) << "frame " << f;
        }
        EXPECT_EQ(distinct.size(), frames[f].size()) << "frame " << f;
        EXPECT_EQ(batcher.poolSize(), poolSizes[f]) << "frame " << f;
        ctx->primitives.clear();
        batcher.flush();
        EXPECT_EQ(ctx->primitives.size(), frames[f].size()) << "frame " << f;
        batcher.reset();
        EXPECT_TRUE(batcher.batches().empty());
    }
}

TEST_F(ImageMaskTest, NothingIsCollectedWithoutASheetTextureOrAContext) {
    lang::Ptr<game::SpriteSheet> bare = new game::SpriteSheet("bare");
    game::Sprite* shape = bare->addSprite("SHAPE", 0, 0, 16, 16, 0, 0, false);
    batcher.add(stone.get(), 10, 10, *shape);
    EXPECT_TRUE(batcher.batches().empty());
    // A piece with a texture can still start the batch afterwards.
    batcher.add(stone.get(), 10, 10, *plank);
    batcher.add(wood.get(), 10, 10, *plank);
    EXPECT_EQ(verticesOf(stone.get()), 6u);
    EXPECT_EQ(verticesOf(wood.get()), 6u);

    ImageMaskBatcher headless(nullptr);
    headless.add(stone.get(), 10, 10, *plank);
    EXPECT_TRUE(headless.batches().empty());
    headless.flush();
}

TEST(ImageMaskShaderTest, TheShaderDependsOnThePlatform) {
    const struct {
        int platform;
        const char* shader;  // null: none
    } cases[] = {{gr::PLATFORM_GLES1, "shaders/sprite-straightalpha"},
                 {gr::PLATFORM_GLES2, "shaders/2d-sprite-alpha-masked"},
                 {gr::PLATFORM_GL1, "shaders/sprite-straightalpha"},
                 {gr::PLATFORM_GL2, "shaders/2d-sprite-alpha-masked"},
                 {gr::PLATFORM_DX11, "shaders/2d-sprite-alpha-masked"},
                 {gr::PLATFORM_XNA, nullptr}};
    lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet();
    sheet->setTexture(new RecordingTexture(32, 32));
    game::Sprite* sprite = sheet->addSprite("S", 0, 0, 8, 8, 0, 0, false);
    lang::Ptr<gr::Texture> fill = new RecordingTexture(8, 8);
    for (const auto& c : cases) {
        lang::Ptr<ShaderRecordingContext> ctx = new ShaderRecordingContext(c.platform);
        ImageMaskBatcher batcher(ctx.get());
        EXPECT_EQ(ctx->loaded,
                  c.shader ? std::vector<std::string>{c.shader} : std::vector<std::string>{});
        batcher.add(fill.get(), 0, 0, *sprite);
        batcher.flush();
        // Without a shader the earlier drawing still goes out, but no masks.
        EXPECT_EQ(ctx->primitives.size(), c.shader ? 1u : 0u) << c.platform;
        EXPECT_EQ(ctx->log->front(), "flushDrawing");
    }
}

// The world's calls: after a failed flush the batches are still emptied, so
// no texture of this frame is kept for the next.
TEST(GameOverlaysMaskTest, FlushingAlwaysStartsOver) {
    class FailingContext : public ShaderRecordingContext {
    public:
        lang::Ptr<gr::Primitive> createPrimitive(int, const gr::VertexFormat&, int, int) override {
            throw gr::GraphicsException(lang::Format("out of buffers"));
        }
    };
    lua::LuaState state;
    lang::Ptr<FailingContext> ctx = new FailingContext();
    GameLua::Services services;
    services.context = ctx;
    lang::Ptr<GameLua> world = new GameLua(state, services);
    GameOverlays overlays(*world);

    lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet();
    sheet->setTexture(new RecordingTexture(32, 32));
    game::Sprite* sprite = sheet->addSprite("S", 0, 0, 8, 8, 0, 0, false);
    lang::Ptr<gr::Texture> fill = new RecordingTexture(8, 8);
    overlays.addMask(fill.get(), 0, 0, *sprite);
    EXPECT_THROW(overlays.flushMasks(), gr::GraphicsException);
    EXPECT_TRUE(overlays.masks().batches().empty());

    overlays.addMask(fill.get(), 0, 0, *sprite);
    EXPECT_EQ(overlays.masks().batches().size(), 1u);
    EXPECT_EQ(overlays.masks().poolSize(), 1u);
}

}  // namespace
