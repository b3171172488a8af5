// A small game scene drawn through the gl2 renderer and compared with a golden image.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "common/GameDrawing.h"
#include "common/GameLua.h"
#include "common/GameLuaFixture.h"
#include "game/Resources.h"
#include "gr/Gl2Fixture.h"
#include "gr/GoldenImage.h"
#include "gr/Image.h"
#include "io/VFS.h"

namespace {

struct Box {
    const char* name;
    int x, y, w, h, pivotX, pivotY;
    uint8_t r, g, b;
};

// The sheet's sprites: solid boxes, and a sky that gets lighter downwards.
// Each is extruded by one pixel, so that filtering at its edges finds its own
// colour rather than a neighbour's.
const Box SPRITES[] = {
    {"SKY", 1, 1, 32, 24, 0, 24, 90, 150, 200},
    {"HILL", 1, 27, 32, 8, 0, 8, 60, 140, 50},
    {"BLOCK", 35, 1, 12, 6, 6, 3, 150, 100, 50},
    {"BIRD", 35, 9, 6, 6, 3, 3, 220, 30, 30},
    {"TRAIL_WHITE_1", 43, 9, 2, 2, 1, 1, 255, 255, 255},
    {"TRAIL_WHITE_2", 43, 9, 2, 2, 1, 1, 255, 255, 255},
    {"TRAIL_WHITE_3", 43, 9, 2, 2, 1, 1, 255, 255, 255},
    {"BIRD_SPECIAL", 47, 9, 4, 4, 2, 2, 255, 240, 60},
    {"PARTICLE_SLINGDOT", 53, 9, 3, 3, 1, 1, 250, 250, 250},
    {"BAND", 35, 17, 8, 2, 0, 0, 80, 40, 20},
    {"TOWER", 58, 1, 8, 24, 4, 24, 120, 120, 130},
};

gr::Image sheetImage() {
    gr::Image image(96, 48);
    for (const Box& box : SPRITES) {
        const bool sky = std::strcmp(box.name, "SKY") == 0;
        for (int y = box.y - 1; y <= box.y + box.h; ++y) {
            for (int x = box.x - 1; x <= box.x + box.w; ++x) {
                uint8_t* p = image.pixel(x, y);
                const int row = std::min(std::max(y - box.y, 0), box.h - 1);
                const int light = sky ? row * 2 : 0;
                p[0] = static_cast<uint8_t>(box.r + light);
                p[1] = static_cast<uint8_t>(box.g + light);
                p[2] = static_cast<uint8_t>(box.b + light);
                p[3] = 255;
            }
        }
    }
    return image;
}

std::string sheetJSON() {
    std::string frames;
    for (const Box& box : SPRITES) {
        auto n = [](int v) { return std::to_string(v); };
        frames += std::string(frames.empty() ? "" : ",") + "{\"filename\": \"" + box.name +
                  "\", \"frame\": {\"x\": " + n(box.x) + ", \"y\": " + n(box.y) +
                  ", \"w\": " + n(box.w) + ", \"h\": " + n(box.h) +
                  "}, \"pivot\": {\"x\": " + n(box.pivotX) + ", \"y\": " + n(box.pivotY) + "}}";
    }
    return R"({"meta": {"app": "Adobe Animate", "image": "scene.png"}, "frames": [)" + frames +
           "]}";
}

// A tinted sky tiled with parallax and a far tower behind a hill, with the
// ground below the hill; the camera puts world (0, 0) at screen (4, 100).
const char* const THEME = R"(
blockTable = {themes = {meadow = {
    color = {r = 180, g = 220, b = 250}, groundColor = {r = 120, g = 90, b = 60},
    bgLayers = {{"g", "SKY", 0.5, 4, tintColor = {255, 200, 200, 255}},
                {"g", "TOWER", 1, 1, false, 100}},
    fgLayers = {{"g", "HILL", 1, 2}}}}}
setTheme("meadow")
physicsToWorld = 20
setCameraViewport(-4, -100, 0, 0)
)";

// Blocks under the collider-type rules (plain, double size, scaled, spinning),
// two birds with a trail between them, the aiming dots and the two bands.
const char* const SCENE = R"(
createBox("plain", "BLOCK", 2, -1.5, 0.6, 0.3, 0, 0.5, 0, true, false, 1)
createBox("double", "BLOCK", 4, -1.6, 0.6, 0.3, 0, 0.5, 0, true, false, 1)
setColliderType("double", 1)
createBox("tall", "BLOCK", 2, -2.6, 0.6, 0.3, 0, 0.5, 0, true, false, 1)
setScale("tall", 1, 2)
createBox("spin", "BLOCK", 5, -3.6, 0.6, 0.3, 0, 0.5, 0, true, false, 2)
setColliderType("spin", 5)
createCircle("red", "BIRD", 1.2, -3, 0.15, 1, 0.5, 0.5, false, 3)
setColliderType("red", 3)
createCircle("far", "BIRD", 5.5, -2, 0.15, 1, 0.5, 0.5, false, 3)
setColliderType("far", 4)
for i = 0, 5 do addToTrajectory(1, 20 + i * 12, -40 - i * 3) end
addPuffToTrajectory(1, 96, -62)
rubberBandPos = {x = 0.4, y = -2}
g_sling_scope_animation = 0.5
drawBackgroundNative()
drawGameNative()
drawForegroundNative()
setRenderState(4, 100, 1, 1, 0, 0, 0, 1)
drawSlingScopeNative(5, -6, 0)
drawRubberband(4, 66, 12, 60, 3, "BAND")
drawRubberband(18, 64, 12, 60, 3, "BAND")
)";

std::string goldenPath(const std::string& name) {
    const char* source = std::getenv("QF_SOURCE_DIR");
    return std::string(source ? source : "../..") + "/tests/common/golden/" + name + ".png";
}

// Compares with tests/common/golden/<name>.png (QF_UPDATE_GOLDEN=1 writes it).
::testing::AssertionResult matchesSceneGolden(const gr::Image& image, const std::string& name) {
    const char* update = std::getenv("QF_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        gr::writePng(goldenPath(name), image);
        return ::testing::AssertionSuccess();
    }
    const gr::Image expected = grtest::readPng(goldenPath(name));
    if (expected.width != image.width || expected.height != image.height) {
        return ::testing::AssertionFailure() << "size differs from " << goldenPath(name);
    }
    size_t bad = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        int diff = 0;
        for (size_t c = 0; c < 4; ++c) {
            diff = std::max(diff, std::abs(image.pixels[i + c] - expected.pixels[i + c]));
        }
        bad += diff > grtest::GOLDEN_CHANNEL_TOLERANCE ? 1 : 0;
    }
    if (bad > static_cast<size_t>(grtest::GOLDEN_PIXEL_SHARE * image.width * image.height)) {
        const std::string actual = grtest::outputDir() + "/" + name + ".png";
        gr::writePng(actual, image);
        return ::testing::AssertionFailure() << bad << " pixels differ; see " << actual;
    }
    return ::testing::AssertionSuccess();
}

class SceneTest : public grtest::Gl2Test {
protected:
    void SetUp() override {
        Gl2Test::SetUp();
        std::random_device rd;
        do {
            dir_ = std::filesystem::temp_directory_path() / ("qf_scene_" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(dir_));
        oldRoot_ = io::bundleRoot();
        io::setBundleRoot(dir_.string() + "/");
        gr::writePng((dir_ / "scene.png").string(), sheetImage());
        std::ofstream(dir_ / "scene.json") << sheetJSON();
    }
    void TearDown() override {
        world.reset();
        resources.reset();
        Gl2Test::TearDown();
        io::setBundleRoot(oldRoot_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    void makeWorld() {
        ctx->setShaderFolder(shaderFolder());
        resources = new game::Resources(ctx);
        resources->createSpriteSheet("scene.json", false);
        GameLua::Services services;
        services.context = ctx;
        services.resources = resources.get();
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        world->bindLevelTables();
    }
    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "scene", world.get());
    }

    lua::LuaState state;
    lang::Ptr<game::Resources> resources;
    lang::Ptr<GameLua> world;

private:
    std::filesystem::path dir_;
    std::string oldRoot_;
};

TEST_F(SceneTest, ThemeObjectsTrailsAndSlingshot) {
    makeContext(128, 128);
    makeWorld();
    run(THEME);
    run("setBGColor(180, 220, 250)");
    ctx->clear(0xff000000u | world->drawing().clearColor(), true, false, false);
    run(SCENE);
    EXPECT_TRUE(matchesSceneGolden(capture("scene"), "scene"));
}

}  // namespace
