#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "common/draw/GameDrawing.h"
#include "common/level/GameThemes.h"
#include "common/level/Theme.h"
#include "common/world/GameLuaFixture.h"
#include "game/Resources.h"
#include "io/VFS.h"

using namespace worldtest;

namespace {

// name, x, y, width, height, pivot x, pivot y. Sizes tell the draws apart.
const char* const SHEET_JSON = R"({"meta": {"app": "Adobe Animate", "image": "s.png"},
  "frames": [
    {"filename": "BLOCK", "frame": {"x": 0, "y": 0, "w": 20, "h": 10}, "pivot": {"x": 10, "y": 5}},
    {"filename": "BIRD", "frame": {"x": 0, "y": 0, "w": 8, "h": 8}, "pivot": {"x": 4, "y": 4}},
    {"filename": "TRAIL_WHITE_1", "frame": {"x": 0, "y": 0, "w": 2, "h": 2}, "pivot": {"x": 1, "y": 1}},
    {"filename": "TRAIL_WHITE_2", "frame": {"x": 0, "y": 0, "w": 3, "h": 3}, "pivot": {"x": 1, "y": 1}},
    {"filename": "TRAIL_WHITE_3", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}, "pivot": {"x": 1, "y": 1}},
    {"filename": "BIRD_SPECIAL", "frame": {"x": 0, "y": 0, "w": 5, "h": 5}, "pivot": {"x": 1, "y": 1}},
    {"filename": "PARTICLE_SLINGDOT", "frame": {"x": 0, "y": 0, "w": 6, "h": 6}, "pivot": {"x": 3, "y": 3}},
    {"filename": "BAND", "frame": {"x": 0, "y": 0, "w": 16, "h": 4}, "pivot": {"x": 0, "y": 0}},
    {"filename": "SKY", "frame": {"x": 0, "y": 0, "w": 100, "h": 40}, "pivot": {"x": 0, "y": 40}},
    {"filename": "HILL", "frame": {"x": 0, "y": 0, "w": 50, "h": 20}, "pivot": {"x": 0, "y": 0}}
  ]})";

const char* const THEME = R"(
blockTable = {themes = {test = {
    color = {r = 200, g = 100, b = 0}, groundColor = {r = 10, g = 20, b = 30},
    bgLayers = {{"g", "SKY", 1, 1}},
    fgLayers = {{"g", "HILL", 1, 1}, {"g", "HILL", 1, 1, water = true}}}}}
setTheme("test")
)";

// A fresh folder that serves as the bundle while it lives.
class TempBundle {
public:
    TempBundle() : oldRoot_(io::bundleRoot()) {
        std::random_device rd;
        do {
            path_ = std::filesystem::temp_directory_path() / ("qf_draw_" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(path_));
        io::setBundleRoot(path_.string() + "/");
    }
    ~TempBundle() {
        io::setBundleRoot(oldRoot_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }

private:
    std::filesystem::path path_;
    std::string oldRoot_;
};

// Also keeps what the particles were told.
class ViewParticles : public RecordingParticles {
public:
    void viewChanged(float x0, float y0, float x1, float y1) override { view = {x0, y0, x1, y1}; }
    void draw(gr::Context& context, int layer, float x, float y, float scale) override {
        RecordingParticles::draw(context, layer, x, y, scale);
        drawnAt = {x, y, scale};
    }
    std::vector<float> view, drawnAt;
};

// Where a draw lands on the screen: its top-left and size.
struct ScreenRect {
    float x, y, w, h;
};

ScreenRect onScreen(const RecordingContext::Call& c) {
    const gr::Point a = c.state.apply(c.x0, c.y0, c.x0, c.y0);
    const gr::Point b = c.state.apply(c.x0, c.y0, c.x1, c.y1);
    return ScreenRect{a.x, a.y, b.x - a.x, b.y - a.y};
}

// A world drawing to a recording context, with one sheet of sprites.
class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() : context(new RecordingContext(480, 320)) {
        bundle.write("s.png", "not decoded by the recording context");
        bundle.write("s.json", SHEET_JSON);
        resources = new game::Resources(context);
        resources->createSpriteSheet("s.json", false);
        GameLua::Services services;
        services.context = context;
        services.resources = resources.get();
        services.particles = &particles;
        world = new GameLua(state, services);
        run(DEFAULT_HOOKS);
        run("physicsToWorld = 20");
        world->bindLevelTables();
    }
    ~DrawingTest() override { world.reset(); }

    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "t", world.get());
    }
    GameObject& object(const std::string& name) { return *world->findObject(name); }
    // The sprite draws since the last clear, by kind.
    std::vector<RecordingContext::Call> draws(const char* kind = "texture") const {
        std::vector<RecordingContext::Call> found;
        for (const RecordingContext::Call& c : context->calls) {
            if (c.kind == kind)
                found.push_back(c);
        }
        return found;
    }
    // Widths of the sprite draws: which sprites were drawn, in order.
    std::vector<int> drawnWidths() const {
        std::vector<int> widths;
        for (const RecordingContext::Call& c : draws())
            widths.push_back(static_cast<int>(c.x1 - c.x0));
        return widths;
    }
    void drawGame() {
        context->calls.clear();
        run("drawGameNative()");
    }
    // A 1 x 0.5 box at physics (x, y), drawn with the given sprite.
    void box(const std::string& name, float x, float y, float z, const char* sprite = "BLOCK") {
        run("createBox('" + name + "', '" + sprite + "', " + std::to_string(x) + ", " +
            std::to_string(y) + ", 1, 0.5, 1, 0.5, 0, true, false, " + std::to_string(z) + ")");
    }

    TempBundle bundle;
    lua::LuaState state;
    lang::Ptr<RecordingContext> context;
    lang::Ptr<game::Resources> resources;
    ViewParticles particles;
    lang::Ptr<GameLua> world;
};

TEST_F(DrawingTest, ObjectsFollowTheDrawOrderKeysAndTheHookSeesEachKey) {
    box("a", 1, 0, 2.9f);
    box("b", 2, 0, 2.1f);
    box("c", 3, 0, 1.0f);
    run(R"(hasExtraZOrderedDraws = true
           zKeys = {}
           function drawZOrdered(z) zKeys[#zKeys + 1] = z end)");
    drawGame();
    // Key 1 first, then a and b, which share key 2, in the order they were made.
    std::vector<float> centres;
    for (const auto& c : draws())
        centres.push_back(c.x0 + 10);
    EXPECT_EQ(centres, (std::vector<float>{60, 20, 40}));
    run("keys = table.concat(zKeys, ',')");
    EXPECT_EQ(world->getString("keys"), "1,2");
    EXPECT_EQ(particles.calls.back(), "draw 1");
}

TEST_F(DrawingTest, AHookThatRemovesObjectsWhileDrawingIsSafe) {
    box("a", 1, 0, 1);
    box("b", 2, 0, 2);
    run(R"(hasExtraZOrderedDraws = true
           function drawZOrdered(z) if z == 1 then removeObject('b') end end)");
    drawGame();
    EXPECT_EQ(draws().size(), 1u);
}

TEST_F(DrawingTest, HiddenUnresolvedAndEditorOnlyObjectsAreSkipped) {
    box("shown", 1, 0, 0);
    box("hidden", 2, 0, 0);
    box("unresolved", 3, 0, 0, "NO_SUCH_SPRITE");
    box("editorOnly", 4, 0, 0);
    run("setVisible('hidden', false); setColliderType('editorOnly', 7)");
    drawGame();
    EXPECT_EQ(draws().size(), 1u);
    run("setEditing(true)");
    drawGame();
    EXPECT_EQ(draws().size(), 2u);
}

// The BLOCK sprite is 20 x 10; an object at physics (5, 4) has its pivot at
// (100, 80) world pixels, (90, 60) on screen with the camera at (10, 20).
TEST_F(DrawingTest, ColliderTypesAndScalesSetTheDrawnSize) {
    struct Case {
        const char* setup;
        float centreX, centreY, w, h;
    } cases[] = {
        {"", 90, 60, 20, 10},
        {"setColliderType('o', 1)", 90, 60, 40, 20},
        {"setColliderType('o', 1); setScale('o', 1, 1.5)", 90, 60, 20, 15},
        {"setColliderType('o', 3); setObjectParameter('o', 5, 2); setObjectParameter('o', 6, 1)",
         90, 60, 40, 20},
        {"setColliderType('o', 0); setWorldScale(2)", 180, 120, 40, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        run("setWorldScale(1); setCameraViewport(10, 20, 0, 0)");
        box("o", 5, 4, 0);
        run(c.setup);
        drawGame();
        ASSERT_EQ(draws().size(), 1u);
        const ScreenRect r = onScreen(draws()[0]);
        EXPECT_FLOAT_EQ(r.x + r.w / 2, c.centreX);
        EXPECT_FLOAT_EQ(r.y + r.h / 2, c.centreY);
        EXPECT_FLOAT_EQ(r.w, c.w);
        EXPECT_FLOAT_EQ(r.h, c.h);
        run("removeObject('o')");
    }
}

TEST_F(DrawingTest, SpinningObjectsAreDrawnTwiceAroundTheirPlace) {
    box("o", 5, 4, 0);
    run("setColliderType('o', 5)");
    object("o").spinPhase = static_cast<float>(M_PI / 2);
    drawGame();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_NEAR(onScreen(draws()[0]).y + 5, 75, 1e-4);
    EXPECT_NEAR(onScreen(draws()[1]).y + 5, 85, 1e-4);
    EXPECT_NEAR(onScreen(draws()[0]).x + 10, 100, 1e-4);
}

TEST_F(DrawingTest, TrailsAreDrawnOnceJustBeforeTheFirstBird) {
    box("ground", 1, 0, 0);
    run("addToTrajectory(1, 10, 10); addPuffToTrajectory(1, 12, 12)");
    drawGame();
    EXPECT_EQ(drawnWidths(), (std::vector<int>{20})) << "no bird, no trail";

    run(R"(createCircle('red', 'BIRD', 1, 1, 0.5, 1, 0.5, 0.5, false, 1)
           createCircle('blue', 'BIRD', 2, 1, 0.5, 1, 0.5, 0.5, false, 2)
           setColliderType('red', 3); setColliderType('blue', 4)
           for i = 2, 5 do addToTrajectory(1, i * 10, 10) end)");
    drawGame();
    // Five points cycle through the set's three names, then the puff's name.
    EXPECT_EQ(drawnWidths(), (std::vector<int>{20, 2, 3, 4, 2, 3, 5, 8, 8}));
    const auto trail = draws()[1];
    EXPECT_EQ(trail.state.rotation[0], 1.0f);
    EXPECT_FLOAT_EQ(onScreen(trail).x, 10 - 1);
}

TEST_F(DrawingTest, CameraViewportReachesTheParticlesInWorldPixels) {
    run("setWorldScale(2); setCameraViewport(10, 20, 99, 99); cx, cy = getCameraTopLeft()");
    EXPECT_EQ(world->getNumber("cx"), 10);
    EXPECT_EQ(world->getNumber("cy"), 20);
    EXPECT_EQ(particles.view, (std::vector<float>{10, 20, 250, 180}));
    drawGame();
    EXPECT_EQ(particles.drawnAt, (std::vector<float>{-10, -20, 2}));
}

TEST_F(DrawingTest, SetRenderStateSetsWhatItsArgumentsReach) {
    struct Case {
        const char* args;
        float tx, sx, angle, px, alpha;
    } cases[] = {
        {"1", 0, 1, 0, 0, 1},
        {"1, 2", 1, 1, 0, 0, 1},
        {"1, 2, 3, 4", 1, 3, 0, 0, 1},
        {"1, 2, 3, 4, 0.5", 1, 3, 0.5f, 0, 1},
        {"1, 2, 3, 4, 0.5, 6, 7", 1, 3, 0.5f, 6, 1},
        {"1, 2, 3, 4, 0.5, 6, 7, 0.25", 1, 3, 0.5f, 6, 0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        gr::RenderState& s = context->renderState();
        s.reset();
        run(std::string("setRenderState(") + c.args + ")");
        EXPECT_EQ(s.translateX, c.tx);
        EXPECT_EQ(s.scaleX, c.sx);
        EXPECT_FLOAT_EQ(s.angle, c.angle);
        EXPECT_FLOAT_EQ(s.rotation[1], std::sin(c.angle));
        EXPECT_EQ(s.pivotX, c.px);
        EXPECT_EQ(s.alpha, c.alpha);
    }
}

TEST_F(DrawingTest, DrawRectResetsTheTransformUnlessToldToKeepIt) {
    context->renderState().clip = gr::Rect(1, 2, 3, 4);
    run("setRenderState(5, 6, 2, 2); drawRect(1, 0.5, 0, 0.25, 0, 0, 10, 10, true)");
    run("drawRect(1, 0.5, 0, 0.25, 0, 0, 10, 10, false)");
    const auto rects = draws("rect");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].state.translateX, 5);
    EXPECT_EQ(rects[0].state.scaleX, 2);
    EXPECT_EQ(rects[1].state.translateX, 0);
    EXPECT_EQ(rects[1].state.scaleX, 1);
    EXPECT_EQ(rects[1].state.clip, gr::Rect(1, 2, 3, 4)) << "the clip belongs to the registry";
    EXPECT_EQ(rects[1].color.a, 0.25f);
}

TEST_F(DrawingTest, LinesAreTruncatedAndOutlinesGoTopLeftBottomRight) {
    run("drawLine2D(1.7, 2.2, 10.9, -3.5, 2.9, 255, 0, 0, 51)");
    run("drawRectLines(0, 0, 10, 20, 2, 0, 255, 0, 255)");
    const auto lines = draws("line");
    ASSERT_EQ(lines.size(), 5u);
    const float expected[5][4] = {
        {1, 2, 10, -3}, {0, 0, 10, 0}, {0, 0, 0, 20}, {0, 20, 10, 20}, {10, 0, 10, 20}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ((std::vector<float>{lines[i].x0, lines[i].y0, lines[i].x1, lines[i].y1}),
                  std::vector<float>(expected[i], expected[i] + 4))
            << i;
        EXPECT_EQ(lines[i].width, 2);
    }
    EXPECT_FLOAT_EQ(lines[0].color.a, 0.2f);
    EXPECT_EQ(lines[1].color.g, 1.0f);
}

TEST_F(DrawingTest, BackgroundColourIsClampedAndTintedByTheTheme) {
    run("setBGColor(300, -5, 127.9)");
    EXPECT_EQ(world->drawing().clearColor(), 0xFF007Fu);
    run(THEME);
    run("drawBackgroundNative()");
    // Each theme component squared over 255: 200 gives 156, 100 gives 39.
    EXPECT_EQ(world->drawing().clearColor(), 0x9C2700u);
}

TEST_F(DrawingTest, BackgroundLayerTilesCoverTheScreen) {
    run(THEME);
    run("setCameraViewport(30, 0, 0, 0)");
    context->calls.clear();
    run("drawBackgroundNative()");
    const auto tiles = draws();
    ASSERT_FALSE(tiles.empty());
    // The sky scrolls with the camera: 30 pixels in, its tiles start at -130.
    EXPECT_FLOAT_EQ(onScreen(tiles.front()).x, -130);
    EXPECT_GE(onScreen(tiles.back()).x + 100, 480);
    EXPECT_FLOAT_EQ(onScreen(tiles.front()).y, -40) << "the pivot sits on the top edge";

    world->themes().current()->bgLayers[0].width = 0;
    context->calls.clear();
    run("drawBackgroundNative()");
    EXPECT_TRUE(draws().empty()) << "a layer without width cannot be tiled";
}

TEST_F(DrawingTest, DrawLayerStoresTheWrappedScrollOffset) {
    run(THEME);
    Theme& theme = *world->themes().current();
    theme.bgLayers[0].scrollOffset = 250;
    theme.fgLayers[0].scrollOffset = -120;
    run("drawLayer(0); drawLayer(1)");
    EXPECT_FLOAT_EQ(theme.bgLayers[0].scrollOffset, 50);
    EXPECT_FLOAT_EQ(theme.fgLayers[0].scrollOffset, -20);
    run("drawLayer(7); drawLayer(-1)");  // no such layer: nothing happens
}

TEST_F(DrawingTest, WaterLayersNeedWaterAndCloseWithTheWaterBottom) {
    run(THEME);
    context->calls.clear();
    run("drawForegroundNative()");
    const size_t dryTiles = draws().size();
    ASSERT_EQ(draws("rect").size(), 1u);
    EXPECT_EQ(draws("rect")[0].y0, 20) << "the ground starts below the first layer";

    run("objects.waterLevel = 2");
    context->calls.clear();
    run("drawForegroundNative()");
    EXPECT_EQ(draws().size(), 2 * dryTiles);
    EXPECT_FLOAT_EQ(onScreen(draws().back()).y, -2) << "the water layer rises with the level";
    ASSERT_EQ(draws("rect").size(), 2u);
    EXPECT_FLOAT_EQ(draws("rect")[1].color.a, 0.99f);
    EXPECT_FLOAT_EQ(draws("rect")[1].color.r, 110 / 255.0f);
}

// The first dot is 0.2 s (six steps) into the flight, drawn 1 - 0.2 / 3 of its size.
TEST_F(DrawingTest, SlingScopeDotsFollowTheLaunchCurve) {
    run("rubberBandPos = {x = 10, y = 5}; g_sling_scope_animation = 0");
    run("createCircle('bird', 'BIRD', 0, 0, 1, 1, 0.5, 0.5, false, 1); currentBirdName = 'bird'");
    const float mass = static_cast<float>(M_PI);
    struct Case {
        const char* call;
        float x, y;
    } cases[] = {
        {"drawSlingScopeNative(10, -5, 0)", 12, 5 - 1 + 20 / 900.0f * 21},
        {"drawSlingScopeNative(600, 0, 0)", 10 + 6 * 2, 5 + 20 / 900.0f * 21},
        {"drawSlingScopeNative(10, -5, 90)", 12, 5 - 1 + (20 / 900.0f + 0.1f / mass) * 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        context->calls.clear();
        context->renderState().reset();
        run(c.call);
        const auto dots = draws();
        ASSERT_GT(dots.size(), 5u);
        const ScreenRect first = onScreen(dots[0]);
        const float size = 6 * (1 - 0.2f / 3);
        EXPECT_NEAR(first.w, size, 1e-4);
        EXPECT_NEAR(first.x + first.w / 2, c.x * 20, 2e-3);
        EXPECT_NEAR(first.y + first.h / 2, c.y * 20, 2e-3);
        EXPECT_LT(onScreen(dots.back()).w, onScreen(dots[dots.size() - 2]).w);
        EXPECT_EQ(context->renderState().scaleX, 1) << "the state is put back";
    }
}

TEST_F(DrawingTest, RubberBandIsAQuadAcrossTheSegment) {
    run("setRenderState(7, 7, 3, 3)");
    run("drawRubberband(0, 0, 30, 40, 10, 'BAND')");
    ASSERT_EQ(draws("quad").size(), 1u);
    const auto band = draws("quad")[0];
    const float expected[4][2] = {{4, -3}, {34, 37}, {-4, 3}, {26, 43}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(band.corners.p[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(band.corners.p[i].y, expected[i][1]) << i;
    }
    EXPECT_EQ(band.state.translateX, 0);
    EXPECT_EQ(band.state.scaleX, 1);
    EXPECT_EQ(context->renderState().scaleX, 3) << "the state is put back";

    run("drawRubberband(5, 5, 5, 5, 10, 'BAND'); drawRubberband(0, 0, 9, 9, 10, 'NOPE')");
    EXPECT_EQ(draws("quad").size(), 1u);
}

}  // namespace
