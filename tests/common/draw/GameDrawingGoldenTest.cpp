// A small game scene drawn through the gl2 renderer and compared with a golden image.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "common/draw/GameDrawing.h"
#include "common/world/GameLua.h"
#include "common/world/GameLuaFixture.h"
#include "game/BitmapFont.h"
#include "game/FontFile.h"
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

// Nine box parts, each corner its own colour, so that a part drawn at the
// wrong place or the wrong size shows.
const Box BOX_PARTS[] = {
    {"BOX_TL", 1, 1, 4, 4, 0, 0, 200, 60, 60},   {"BOX_TM", 7, 1, 1, 4, 0, 0, 150, 150, 150},
    {"BOX_TR", 10, 1, 4, 4, 0, 0, 60, 200, 60},  {"BOX_L", 16, 1, 4, 1, 0, 0, 110, 110, 110},
    {"BOX_C", 22, 1, 1, 1, 0, 0, 240, 230, 200}, {"BOX_R", 25, 1, 4, 1, 0, 0, 110, 110, 110},
    {"BOX_BL", 31, 1, 4, 4, 0, 0, 60, 60, 200},  {"BOX_BM", 37, 1, 1, 4, 0, 0, 80, 80, 80},
    {"BOX_BR", 40, 1, 4, 4, 0, 0, 200, 200, 60},
};

template <size_t N>
gr::Image sheetImage(const Box (&boxes)[N], int width, int height) {
    gr::Image image(width, height);
    for (const Box& box : boxes) {
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

template <size_t N>
std::string sheetJSON(const Box (&boxes)[N], const std::string& imageName) {
    std::string frames;
    for (const Box& box : boxes) {
        auto n = [](int v) { return std::to_string(v); };
        frames += std::string(frames.empty() ? "" : ",") + "{\"filename\": \"" + box.name +
                  "\", \"frame\": {\"x\": " + n(box.x) + ", \"y\": " + n(box.y) +
                  ", \"w\": " + n(box.w) + ", \"h\": " + n(box.h) +
                  "}, \"pivot\": {\"x\": " + n(box.pivotX) + ", \"y\": " + n(box.pivotY) + "}}";
    }
    return R"({"meta": {"app": "Adobe Animate", "image": ")" + imageName + R"("}, "frames": [)" +
           frames + "]}";
}

// Glyphs of a proportional bitmap font, seven rows high, all above the baseline.
struct Glyph {
    char c;
    const char* rows[7];
};

const Glyph GLYPHS[] = {
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
};

// Dark ink on a clear page; the glyphs stand two pixels apart.
gr::Image fontImage(game::FontDescription& font) {
    gr::Image image(64, 9);
    font.pages.emplace_back();
    font.pages[0].texture = "font.png";
    font.pages[0].tracking = 1;
    int left = 1;
    for (const Glyph& glyph : GLYPHS) {
        const int width = static_cast<int>(std::strlen(glyph.rows[0]));
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < width; ++x) {
                if (glyph.rows[y][x] == '#') {
                    uint8_t* p = image.pixel(left + x, 1 + y);
                    p[0] = p[1] = 20;
                    p[2] = 60;
                    p[3] = 255;
                }
            }
        }
        font.pages[0].glyphs.push_back(game::FontGlyph{glyph.c, left, 1, width, 7, 7});
        left += width + 2;
    }
    return image;
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
        gr::writePng((dir_ / "scene.png").string(), sheetImage(SPRITES, 96, 48));
        std::ofstream(dir_ / "scene.json") << sheetJSON(SPRITES, "scene.png");
        gr::writePng((dir_ / "box.png").string(), sheetImage(BOX_PARTS, 48, 8));
        std::ofstream(dir_ / "box.json") << sheetJSON(BOX_PARTS, "box.png");
        gr::writePng((dir_ / "font.png").string(), fontImage(font_));
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
    // The box sheet, and the glyph font as "FONT_BASIC".
    void addInterfaceResources() {
        resources->createSpriteSheet("box.json", false);
        resources->addFont("FONT_BASIC", new game::BitmapFont(ctx.get(), font_, ""));
    }
    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "scene", world.get());
    }

    lua::LuaState state;
    lang::Ptr<game::Resources> resources;
    lang::Ptr<GameLua> world;

private:
    std::filesystem::path dir_;
    game::FontDescription font_;
    std::string oldRoot_;
};

TEST_F(SceneTest, ThemeObjectsTrailsAndSlingshot) {
    makeContext(128, 128);
    makeWorld();
    run(THEME);
    run("setBGColor(180, 220, 250)");
    ctx->clear(0xff000000u | world->drawing().clearColor(), true, false, false);
    run(SCENE);
    EXPECT_TRUE(grtest::matchesGolden(capture("scene"), "scene", "common"));
}

// A framed panel with a label in its middle, a scaled coloured title below
// it, and a smaller box whose inside is a fill.
const char* const INTERFACE = R"(
box = {topLeft = "BOX_TL", topMiddle = "BOX_TM", topRight = "BOX_TR", left = "BOX_L",
       center = "BOX_C", right = "BOX_R", bottomLeft = "BOX_BL", bottomMiddle = "BOX_BM",
       bottomRight = "BOX_BR"}
drawBoxNative(box, 64, 30, 56, 20, "HCENTER", "VCENTER")
drawBoxNative(box, 10, 78, 24, 10, "LEFT", "TOP", {red = 0.3, green = 0.7, blue = 0.9})
drawUITextNative({visible = true, scaleX = 1, scaleY = 1, x = 0, y = 0, text = "PLAY",
                  hanchor = "HCENTER", vanchor = "VCENTER"}, 64, 30)
drawUITextNative({visible = true, scaleX = 2, scaleY = 2, x = 4, y = 0, text = "WIN",
                  hanchor = "HCENTER", color = {1, 0.6, 0.1, 1}, colorMode = "fill"}, 60, 52)
)";

TEST_F(SceneTest, NinePartBoxesAndTexts) {
    makeContext(128, 96);
    makeWorld();
    addInterfaceResources();
    run(INTERFACE);
    EXPECT_TRUE(grtest::matchesGolden(capture("ui"), "ui", "common"));
}

}  // namespace
