// Themes: building them from the block catalogue, their natives and drifting sprites.

#include <cmath>
#include <string>
#include <vector>

#include "common/level/GameThemes.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLuaFixture.h"
#include "game/CompoSprite.h"
#include "game/Resources.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "qfseal/Sealer.h"

using worldtest::GameLuaFixture;

namespace {

// cloud: 40 x 20, pivot (10, 5); hill: 100 x 50, pivot (50, 50); house: composite.
const char* const SHEET = R"({"meta": {"app": "Adobe Animate", "image": "theme.png"},
    "frames": [
        {"filename": "cloud", "frame": {"x": 0, "y": 0, "w": 40, "h": 20},
         "pivot": {"x": 10, "y": 5}},
        {"filename": "hill", "frame": {"x": 0, "y": 20, "w": 100, "h": 50},
         "pivot": {"x": 50, "y": 50}},
        {"filename": "roof", "frame": {"x": 0, "y": 70, "w": 30, "h": 10}}]})";
const char* const COMPOS = R"({"meta": {"app": "Adobe Animate", "image": "theme.png"},
    "compo": [{"name": "house", "sprites": [{"name": "roof", "x": 0, "y": 0}]}]})";

const char* const BLOCKS = R"(
themes = {
    plain = {color = {r = 10, g = 20, b = 30}, groundColor = {r = 1, g = 2, b = 3}},
    full = {
        backgroundTintColor = {r = 100, g = 110, b = 120},
        color = {r = 10}, groundColor = {g = 5}, waterBottomColor = {r = 7, g = 8, b = 9},
        bgLayers = {
            {'sky', 'hill', 0.5, 2, false, 7, v = 3, scaleWobbleY = 0.25,
             fillBelow = {r = 10.4, g = 10.6, b = 300, a = -5}, tintColor = {1.5, 'x', 3}},
            {'clouds', 'cloud'},
        },
        fgLayers = {{'sea', 'house', water = true}, {'ground', 'nothing', water = 1}},
    },
    noGround = {color = {r = 1, g = 1, b = 1}},
    flatGround = {color = {r = 1, g = 1, b = 1}, groundColor = 5},
    badLayer = {color = {}, groundColor = {}, bgLayers = {'sky'}},
}
)";

}  // namespace

// A world with a resource registry holding the theme's sprites, and blocks.lua
// in a bundle folder.
class GameThemesTest : public GameLuaFixture {
protected:
    GameThemesTest() : resources(new game::Resources(context)) {
        savedRoot_ = io::bundleRoot();
        io::setBundleRoot(bundle.str() + "/");
        bundle.write("theme.png", "image");
        bundle.write("theme.json", SHEET);
        bundle.write("compos.json", COMPOS);
        resources->createSpriteSheet("theme.json", false);
        resources->createCompoSpriteSet("compos.json", false);
        std::vector<uint8_t> sealed = qfseal::seal(BLOCKS, "blocks.lua");
        bundle.write("scripts/blocks.lua", std::string(sealed.begin(), sealed.end()));

        GameLua::Services services;
        services.context = context;
        services.resources = resources.get();
        services.paths.scriptPath = "scripts";
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
    }
    ~GameThemesTest() override {
        world.reset();
        io::setBundleRoot(savedRoot_);
    }

    GameThemes& themes() { return world->themes(); }
    const Theme& theme() {
        EXPECT_NE(themes().current(), nullptr);
        return *themes().current();
    }
    std::string themeError(const std::string& code) {
        try {
            run(code);
        } catch (const lua::LuaException& e) {
            return e.what();
        }
        ADD_FAILURE() << "no error from " << code;
        return std::string();
    }

    TempDir bundle;
    lang::Ptr<game::Resources> resources;

private:
    std::string savedRoot_;
};

TEST_F(GameThemesTest, AThemeWithOnlyItsColoursGetsTheDefaults) {
    EXPECT_EQ(themes().current(), nullptr);
    // Without a block catalogue, setTheme reads it first.
    run("setTheme('plain')");
    EXPECT_TRUE(truth("type(blockTable.themes) == 'table'"));
    const Theme& t = theme();
    EXPECT_EQ(std::vector<float>(t.backgroundTint, t.backgroundTint + 3),
              (std::vector<float>{255, 255, 255}));
    EXPECT_EQ(std::vector<float>(t.waterBottomColor, t.waterBottomColor + 3),
              (std::vector<float>{110, 160, 172}));
    EXPECT_EQ(std::vector<float>(t.color, t.color + 3), (std::vector<float>{10, 20, 30}));
    EXPECT_EQ(std::vector<float>(t.groundColor, t.groundColor + 3), (std::vector<float>{1, 2, 3}));
    EXPECT_TRUE(t.bgLayers.empty());
    EXPECT_TRUE(t.fgLayers.empty());
}

TEST_F(GameThemesTest, LayersReadTheirElementsKeysAndSprites) {
    run("setTheme('full')");
    const Theme& t = theme();
    EXPECT_EQ(std::vector<float>(t.backgroundTint, t.backgroundTint + 3),
              (std::vector<float>{100, 110, 120}));
    // Missing components are 0.
    EXPECT_EQ(std::vector<float>(t.color, t.color + 3), (std::vector<float>{10, 0, 0}));
    EXPECT_EQ(std::vector<float>(t.waterBottomColor, t.waterBottomColor + 3),
              (std::vector<float>{7, 8, 9}));
    ASSERT_EQ(t.bgLayers.size(), 2u);
    ASSERT_EQ(t.fgLayers.size(), 2u);

    const ThemeLayer& sky = t.bgLayers[0];
    EXPECT_EQ(sky.group, "sky");
    EXPECT_EQ(sky.spriteName, "hill");
    EXPECT_TRUE(sky.found);
    EXPECT_EQ((std::vector<float>{sky.width, sky.height, sky.pivotX, sky.pivotY}),
              (std::vector<float>{100, 50, 50, 50}));
    EXPECT_EQ(sky.parallax, 0.5f);
    EXPECT_EQ(sky.scale, 2);
    EXPECT_FALSE(sky.tiled);
    EXPECT_EQ(sky.baseX, 7);
    EXPECT_EQ(sky.speed, 3);
    EXPECT_EQ(sky.scaleWobbleY, 0.25f);
    EXPECT_TRUE(sky.hasFillBelow);
    EXPECT_EQ(std::vector<int>(sky.fillBelow, sky.fillBelow + 4),
              (std::vector<int>{10, 11, 255, 0}));
    EXPECT_TRUE(sky.hasTint);
    EXPECT_EQ(std::vector<int>(sky.tint, sky.tint + 4), (std::vector<int>{2, 255, 3, 255}));

    const ThemeLayer& clouds = t.bgLayers[1];
    EXPECT_EQ(clouds.parallax, 1);
    EXPECT_EQ(clouds.scale, 1);
    EXPECT_TRUE(clouds.tiled);
    EXPECT_EQ(clouds.baseX, 4);
    EXPECT_FALSE(clouds.hasFillBelow);
    EXPECT_FALSE(clouds.hasTint);
    EXPECT_FALSE(clouds.water);

    const game::CompoSprite* house = resources->getCompoSprite("house");
    ASSERT_NE(house, nullptr);
    EXPECT_TRUE(t.fgLayers[0].found);
    EXPECT_EQ(t.fgLayers[0].width, house->getWidth());
    EXPECT_TRUE(t.fgLayers[0].water);
    // Only the boolean true makes water; an unknown sprite is not found.
    EXPECT_FALSE(t.fgLayers[1].water);
    EXPECT_FALSE(t.fgLayers[1].found);
    EXPECT_EQ(t.fgLayers[1].width, 0);
}

TEST_F(GameThemesTest, BadThemesAreScriptErrors) {
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"unknown", "no theme unknown"},
        {"noGround", "noGround needs color and groundColor"},
        {"flatGround", "flatGround needs color and groundColor"},
        {"badLayer", "TABLE"},
    };
    run("setTheme('plain')");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error = themeError(std::string("setTheme('") + c.name + "')");
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        // The current theme stays.
        EXPECT_EQ(theme().color[0], 10);
    }
    run("blockTable = {}");
    EXPECT_NE(themeError("setTheme('plain')").find("no theme plain"), std::string::npos);
}

TEST_F(GameThemesTest, OneLayerIndexCoversBackgroundThenForegroundLayers) {
    run("setTheme('full')");
    struct Case {
        float index;
        bool background;
        size_t layer;
    };
    const Case cases[] = {
        {0, true, 0}, {1.9f, true, 1}, {2, false, 0}, {3, false, 1}, {-0.5f, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        std::string index = std::to_string(c.index);
        run("createThemeSprite('s', 'cloud', 1, 2, 3, 1, 1, 0, " + index + ")");
        Theme& t = *themes().current();
        std::vector<ThemeSprite>& sprites =
            (c.background ? t.bgLayers : t.fgLayers)[c.layer].sprites;
        ASSERT_EQ(sprites.size(), 1u);
        EXPECT_EQ(sprites[0].sprite, resources->getSprite("cloud"));
        run("removeThemeSprite('s', " + index + ")");
        EXPECT_TRUE(sprites.empty());
    }
}

TEST_F(GameThemesTest, LayerIndicesOutsideTheThemeAreRejected) {
    run("setTheme('full')");
    const char* const calls[] = {
        "setThemeRectColour(2, 1, 2, 3, 4)",
        "setThemeLayerTintColour(-1, 1, 2, 3, 4)",
        "setThemeForegroundOffsetY(2, 5)",
        "createThemeSprite('s', 'cloud', 0, 0, 0, 1, 1, 0, 4)",
        "modifyThemeSprite('s', 0, 0, 1, 1, 0, 4)",
        "removeThemeSprite('s', -1)",
        "removeThemeSprite('s', 3e9)",
    };
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        std::string native(call, std::string(call).find('('));
        std::string error = themeError(call);
        EXPECT_NE(error.find(native + ": the theme has no layer"), std::string::npos) << error;
    }
    EXPECT_NE(themeError("removeThemeSprite('s', -1)").find("layer -1"), std::string::npos);
}

TEST_F(GameThemesTest, ColourAndOffsetNativesChangeTheirLayer) {
    run("setTheme('full')");
    run("setThemeTintColour(1, 2, 3)");
    run("setThemeRectColour(1, 12.7, 300, -4, 128)");
    const Theme& t = theme();
    EXPECT_EQ(std::vector<float>(t.backgroundTint, t.backgroundTint + 3),
              (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(std::vector<int>(t.bgLayers[1].tint, t.bgLayers[1].tint + 4),
              (std::vector<int>{12, 255, 0, 128}));
    EXPECT_FALSE(t.bgLayers[1].hasTint);
    run("setThemeLayerTintColour(1, 5, 6, 7, 8)");
    EXPECT_EQ(t.bgLayers[1].tint[3], 8);
    EXPECT_TRUE(t.bgLayers[1].hasTint);
    // The background tint reads bytes as its sister natives do.
    run("setThemeTintColour(12.7, 300, -4)");
    EXPECT_EQ(std::vector<float>(t.backgroundTint, t.backgroundTint + 3),
              (std::vector<float>{12, 255, 0}));
    run("setThemeForegroundOffsetY(1, -40)");
    EXPECT_EQ(t.fgLayers[1].offsetY, -40);
    EXPECT_EQ(t.fgLayers[0].offsetY, 0);
}

TEST_F(GameThemesTest, ModifyAndRemoveTakeTheFirstSpriteWithTheId) {
    run("setTheme('full')");
    run("createThemeSprite('a', 'cloud', 1, 1, 7, 1, 1, 0, 2)");
    run("createThemeSprite('a', 'house', 2, 2, 8, 1, 1, 0, 2)");
    run("modifyThemeSprite('a', 10, 20, 2, 3, 0.5, 2)");
    std::vector<ThemeSprite>& sprites = themes().current()->fgLayers[0].sprites;
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ((std::vector<float>{sprites[0].x, sprites[0].y, sprites[0].scaleX, sprites[0].scaleY,
                                  sprites[0].angle, sprites[0].speed}),
              (std::vector<float>{10, 20, 2, 3, 0.5f, 7}));
    EXPECT_EQ(sprites[1].x, 2);
    EXPECT_EQ(sprites[1].compoSprite, resources->getCompoSprite("house"));
    run("modifyThemeSprite('missing', 0, 0, 1, 1, 0, 2) removeThemeSprite('missing', 2)");
    run("removeThemeSprite('a', 2)");
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_EQ(sprites[0].speed, 8);
    // A new theme starts without sprites.
    run("setTheme('full')");
    EXPECT_TRUE(themes().current()->fgLayers[0].sprites.empty());
}

// Layer "clouds": width 40, scale 1, baseX 4; screen 480 wide, minWorldScale 1 and
// simulationScale 2, so the bounds are 484 on the right and 4 - 20 - 44 = -60 on
// the left for a cloud (width 40, pivot 10) at scale 1.
TEST_F(GameThemesTest, DriftingCloudsReappearOnTheOtherSide) {
    run("setTheme('full') setPhysicsSimulationScale(2)");
    struct Case {
        float speed;
        float start;
        std::vector<float> xs;  // after each step of 0.05 s
    };
    const Case cases[] = {
        // The wrap looks at the left edge before the move: -61 is past -60.
        {-10, -24, {-24.5f, -25, -25.5f, (10 + 484) / 2.0f}},
        {10, 246.5f, {247, 247.5f, (10 - 60) / 2.0f, -24.5f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        run("removeThemeSprite('c', 1)");
        run("createThemeSprite('c', 'cloud', " + std::to_string(c.start) + ", 3, " +
            std::to_string(c.speed) + ", 1, 1, 0, 1)");
        const ThemeSprite& cloud = themes().current()->bgLayers[1].sprites[0];
        for (float expected : c.xs) {
            themes().scroll(0.05f);
            EXPECT_FLOAT_EQ(cloud.x, expected);
        }
        EXPECT_EQ(cloud.y, 3);
    }
}

TEST_F(GameThemesTest, OnlyMovingSpritesOfBackgroundLayersDrift) {
    themes().scroll(1);  // no theme yet
    run("setTheme('full')");
    run("createThemeSprite('still', 'cloud', 5, 0, 0, 1, 1, 0, 1)");
    run("createThemeSprite('fg', 'cloud', 5, 0, 10, 1, 1, 0, 2)");
    run("createThemeSprite('unknown', 'nothing', 5, 0, 10, 1, 1, 0, 0)");
    run("setWorldScale(1)");
    themes().scroll(0.5f);
    const Theme& t = theme();
    EXPECT_EQ(t.bgLayers[1].sprites[0].x, 5);
    EXPECT_EQ(t.fgLayers[0].sprites[0].x, 5);
    EXPECT_EQ(t.bgLayers[0].sprites[0].x, 10);
    // A zoom limit of 0 must not poison positions.
    run("minWorldScale = 0 setWorldScale(1)");
    for (int i = 0; i < 200; ++i) {
        themes().scroll(0.5f);
    }
    EXPECT_TRUE(std::isfinite(t.bgLayers[0].sprites[0].x));
}
