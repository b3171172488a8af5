#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/draw/RecordingContext.h"
#include "common/ui/GameTexts.h"
#include "common/world/GameLua.h"
#include "common/world/GameLuaFixture.h"
#include "game/BitmapFont.h"
#include "game/FontFile.h"
#include "game/Resources.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lua/LuaException.h"

namespace {

// Records each textured draw and fill with the render state it was made under.
class StateContext : public worldtest::RecordingContext {
public:
    struct Draw {
        std::string kind;
        float x0, y0, x1, y1;
        gr::RenderState state;
    };
    void drawTexture(gr::Texture*, float x, float y, float w, float h, const gr::Quad&) override {
        draws.push_back(Draw{"texture", x, y, x + w, y + h, renderState()});
    }
    void fillRect(float x0, float y0, float x1, float y1, const gr::Color&) override {
        draws.push_back(Draw{"rect", x0, y0, x1, y1, renderState()});
    }
    std::vector<Draw> draws;
};

// Every letter, space and hyphen is 10 wide and "W" is 30; ascent 9, descent 3.
game::FontDescription testFont() {
    game::FontDescription d;
    d.pages.emplace_back();
    d.pages[0].texture = "font.png";
    std::string chars = "abcdefghijklmnopqrstuvwxyz -";
    for (char c : chars) {
        d.pages[0].glyphs.push_back(game::FontGlyph{c, 0, 0, 10, 12, 9});
    }
    d.pages[0].glyphs.push_back(game::FontGlyph{'W', 0, 0, 30, 12, 9});
    return d;
}

const char* const BOX_SHEET = R"({"frames": [
    {"filename": "tl", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}, "pivot": {"x": 0, "y": 0}},
    {"filename": "tm", "frame": {"x": 0, "y": 0, "w": 1, "h": 4}, "pivot": {"x": 0, "y": 0}},
    {"filename": "tr", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}, "pivot": {"x": 0, "y": 0}},
    {"filename": "l", "frame": {"x": 0, "y": 0, "w": 3, "h": 1}, "pivot": {"x": 0, "y": 0}},
    {"filename": "c", "frame": {"x": 0, "y": 0, "w": 1, "h": 1}, "pivot": {"x": 0, "y": 0}},
    {"filename": "r", "frame": {"x": 0, "y": 0, "w": 2, "h": 1}, "pivot": {"x": 0, "y": 0}},
    {"filename": "bl", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}, "pivot": {"x": 0, "y": 0}},
    {"filename": "bm", "frame": {"x": 0, "y": 0, "w": 1, "h": 5}, "pivot": {"x": 0, "y": 0}},
    {"filename": "br", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}, "pivot": {"x": 0, "y": 0}}],
    "meta": {"app": "Adobe Animate", "image": "box.png"}})";

// A world drawing into a 480 x 320 recording context, with the test font as
// "FONT_BASIC" and a nine-part box sheet.
class GameTextsTest : public ::testing::Test {
protected:
    GameTextsTest() : oldBundle_(io::bundleRoot()), context(new StateContext()) {
        io::setBundleRoot(bundle.str() + "/");
        bundle.write("font.png", "texture");
        bundle.write("box.png", "texture");
        bundle.write("box.json", BOX_SHEET);
        resources = new game::Resources(context);
        resources->createSpriteSheet("box.json", false);
        resources->addFont("FONT_BASIC", new game::BitmapFont(context.get(), testFont(), ""));
        GameLua::Services services;
        services.context = context;
        services.resources = resources.get();
        world = new GameLua(state, services);
    }
    ~GameTextsTest() override {
        world.reset();
        io::setBundleRoot(oldBundle_);
    }

    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "test.lua", world.get());
    }
    std::vector<std::string> clippedLines() {
        std::vector<std::string> lines;
        lua::LuaTable t = world->getTable("clippedText").getTable("lines");
        for (int i = 1; !t.isNil(i); ++i) {
            lines.push_back(t.getString(i));
        }
        return lines;
    }
    // Left and top edges of the textured draws.
    std::vector<std::pair<float, float>> corners() {
        std::vector<std::pair<float, float>> out;
        for (const StateContext::Draw& d : context->draws) {
            out.emplace_back(d.x0, d.y0);
        }
        return out;
    }

    TempDir bundle;
    std::string oldBundle_;
    lua::LuaState state;
    lang::Ptr<StateContext> context;
    lang::Ptr<game::Resources> resources;
    lang::Ptr<GameLua> world;
};

using Corners = std::vector<std::pair<float, float>>;

TEST_F(GameTextsTest, ClipTextBreaksLines) {
    resources->useFont("FONT_BASIC");
    struct Case {
        std::string text;
        float width;
        std::vector<std::string> lines;
        float widest;
    };
    const Case cases[] = {
        {"one two six", 80, {"one two", "six"}, 70},
        {"ab cd", 50, {"ab", "cd"}, 20},  // a line must be narrower than the width
        {"one two six", 0, {""}, 0},
        {"one two six", -5, {""}, 0},
        {"a\n\nb", 100, {"a", "", "b"}, 10},
        {"ab   cd", 45, {"ab", "cd"}, 20},
        {"ab   cd\n", 100, {"ab   cd"}, 70},
        {"abcdefgh", 35, {"abc", "def", "gh"}, 30},
        {"well-known", 60, {"well-", "known"}, 50},
        {"ab\u200B\u200Bcd", 35, {"ab", "cd"}, 20},
        {"WW", 20, {"W", "W"}, 30},  // wider than the line: one character each
        {"", 50, {}, 0},
    };
    for (const Case& c : cases) {
        world->set("__text", c.text);
        world->set("__width", c.width);
        run("clipText('no such group', __text, __width)");
        EXPECT_EQ(clippedLines(), c.lines) << c.text << " in " << c.width;
        EXPECT_EQ(world->getTable("clippedText").getNumber("widestLine"), c.widest) << c.text;
    }
}

TEST_F(GameTextsTest, ClipTextNeedsAFont) {
    try {
        run("clipText('g', 'words', 100)");
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ(e.what(), "No font is set while trying to get string width");
    }
}

TEST_F(GameTextsTest, TextTableIsDrawnScaledAndPutsTheRendererBack) {
    run(R"(label = {visible = true, scaleX = 2, scaleY = 2, x = 5, y = 10, group = 'g',
                    text = 'ab', alpha = 0.5, rotationPivotX = 3, rotationPivotY = 4}
           drawUITextNative(label, 100, 50))");
    // ((5 + 100) / 2, (10 + 50) / 2), the glyph tops on the baseline below it.
    ASSERT_EQ(corners(), (Corners{{52.5f, 30}, {62.5f, 30}}));
    const gr::RenderState& drawn = context->draws[0].state;
    EXPECT_EQ(drawn.scaleX, 2);
    EXPECT_EQ(drawn.alpha, 0.5f);
    EXPECT_EQ(drawn.pivotX, 3);
    EXPECT_EQ(drawn.pivotY, 4);
    EXPECT_EQ(context->renderState().alpha, 1);
    EXPECT_EQ(resources->getCurrentFont(), resources->getFont("FONT_BASIC"));

    context->draws.clear();
    context->renderState().alpha = 0.7f;
    run(R"(label.alpha = 1; label.floorCoordinates = true; label.hanchor = 'RIGHT'
           drawUITextNative(label, 100, 50, 1, 1, 0, 1))");
    ASSERT_EQ(corners(), (Corners{{32, 30}, {42, 30}}));  // 52 minus the 20 wide text
    EXPECT_EQ(context->draws[0].state.alpha, 0.7f);
    EXPECT_EQ(context->renderState().alpha, 0.7f);
}

TEST_F(GameTextsTest, ArgumentsScaleAndRotate) {
    run(R"(label = {visible = true, scaleX = 1, scaleY = 1, x = 10, y = 0, text = 'a'}
           drawUITextNative(label, 0, 0, 2, 3, 0.5, 2))");
    ASSERT_EQ(corners(), (Corners{{5, 0}}));  // x: 10 * 2 / (1 * 2 * 2)
    const gr::RenderState& s = context->draws[0].state;
    EXPECT_EQ(s.scaleX, 4);
    EXPECT_EQ(s.scaleY, 6);
    EXPECT_FLOAT_EQ(s.angle, 0.5f);
    EXPECT_FLOAT_EQ(s.rotation[1], std::sin(0.5f));
}

TEST_F(GameTextsTest, InvisibleOrUnscaledTextsDrawNothing) {
    for (const char* table :
         {"{visible = false, scaleX = 1, scaleY = 1, text = 'a'}",
          "{scaleX = 1, scaleY = 1, text = 'a'}", "{visible = true, scaleY = 1, text = 'a'}"}) {
        run(std::string("drawUITextNative(") + table + ", 10, 10)");
        EXPECT_TRUE(context->draws.empty()) << table;
    }
}

TEST_F(GameTextsTest, BlockDrawsTheLinesOnScreen) {
    run(R"(block = {visible = true, clipped = true, scaleX = 1, scaleY = 1, x = 10, y = 20,
                    lines = {
                        {x = 0, y = 0, text = 'a', scaleX = 1, scaleY = 1},
                        {x = 0, y = -40, text = 'b', scaleX = 1, scaleY = 1},
                        {x = 0, y = 300, text = 'c', scaleX = 1, scaleY = 1},
                        {x = 0, y = 310, text = 'd', scaleX = 1, scaleY = 1, vanchor = 'BOTTOM'},
                        {x = 5, y = 0, text = 'e', scaleX = 2, scaleY = 2},
                    }}
           drawUITextNative(block, 0, 0))");
    // b ends above the screen (20 - 40 + 12 < 0), c starts at its bottom (320);
    // d is anchored by its bottom, so it lies inside.
    ASSERT_EQ(corners(), (Corners{{10, 20}, {10, 318}, {7.5f, 10}}));
    EXPECT_EQ(context->draws[2].state.scaleX, 2);
}

// A line is culled with the font current when it comes up, and only a line
// that is drawn makes its own font current: what clipText measures with next.
TEST_F(GameTextsTest, BlockCullsWithTheCurrentFont) {
    game::FontDescription tall = testFont();
    for (game::FontGlyph& g : tall.pages[0].glyphs) {
        g.height = 120;
        g.baseline = 90;
    }
    resources->addFont("FONT_TALL", new game::BitmapFont(context.get(), tall, ""));
    resources->useFont("FONT_BASIC");
    // At y -20 a line is off screen for the basic font (12 high), not for the tall one.
    run(R"(block = {visible = true, clipped = true, scaleX = 1, scaleY = 1, x = 10, y = 20,
                    lines = {
                        {x = 0, y = -40, text = 'a', scaleX = 1, scaleY = 1, font = 'FONT_TALL'},
                        {x = 0, y = 0, text = 'b', scaleX = 1, scaleY = 1, font = 'FONT_TALL'},
                        {x = 0, y = -40, text = 'c', scaleX = 1, scaleY = 1},
                        {x = 0, y = -40, text = 'd', scaleX = 1, scaleY = 1, font = 'FONT_TALL'},
                    }}
           drawUITextNative(block, 0, 0))");
    // "a" is culled by the basic font; "b" makes the tall one current, which
    // lets "c" through; "c" makes the basic font current again, which culls "d".
    ASSERT_EQ(corners(), (Corners{{10, 20}, {10, -20}}));
    EXPECT_EQ(resources->getCurrentFont(), resources->getFont("FONT_BASIC"));
}

TEST_F(GameTextsTest, BlockBeforeAnyFontDrawsItsFirstLine) {
    ASSERT_EQ(resources->getCurrentFont(), nullptr);
    // The first line cannot be culled and makes the basic font current, which
    // culls the second.
    run(R"(block = {visible = true, clipped = true, scaleX = 1, scaleY = 1, x = 10, y = 20,
                    lines = {{x = 0, y = -40, text = 'a', scaleX = 1, scaleY = 1},
                             {x = 0, y = -40, text = 'b', scaleX = 1, scaleY = 1}}}
           drawUITextNative(block, 0, 0))");
    EXPECT_EQ(corners(), (Corners{{10, -20}}));
}

TEST_F(GameTextsTest, BadTextTablesRaiseScriptErrors) {
    for (const char* table :
         {"{visible = true, scaleX = 1, scaleY = 1, text = 'a', color = 5}",
          "{visible = true, clipped = true, scaleX = 1, scaleY = 1, lines = 5}",
          "{visible = true, clipped = true, scaleX = 1, scaleY = 1, lines = {5}}"}) {
        EXPECT_THROW(run(std::string("drawUITextNative(") + table + ", 0, 0)"), lua::LuaException)
            << table;
    }
}

TEST_F(GameTextsTest, ColouredTextKeepsItsGlyphPositions) {
    run(R"(label = {visible = true, scaleX = 1, scaleY = 1, text = 'ab', color = {1, 0, 0, 1},
                    colorMode = 'fill'}
           drawUITextNative(label, 0, 0)
           label.color = nil
           drawUITextNative(label, 0, 50))");
    EXPECT_EQ(corners(), (Corners{{0, 0}, {10, 0}, {0, 50}, {10, 50}}));
}

const char* const BOX = R"(box = {topLeft = 'tl', topMiddle = 'tm', topRight = 'tr', left = 'l',
                                  center = 'c', right = 'r', bottomLeft = 'bl',
                                  bottomMiddle = 'bm', bottomRight = 'br'})";

TEST_F(GameTextsTest, BoxFramesTheCentredRectangle) {
    run(BOX);
    context->renderState().translateX = 7;
    context->renderState().scaleX = 3;
    run("drawBoxNative(box, 100, 50, 40, 20, 'HCENTER', 'VCENTER')");
    // The inner rectangle is (80, 40) to (120, 60).
    const std::vector<std::vector<float>> expected = {
        {80, 36, 120, 40}, {80, 60, 120, 65},   // top and bottom edges
        {77, 40, 80, 60},  {120, 40, 122, 60},  // left and right edges
        {76, 36, 80, 40},  {120, 36, 124, 40},  // corners
        {76, 60, 80, 64},  {120, 60, 124, 64},  //
        {80, 40, 120, 60},                      // the centre
    };
    ASSERT_EQ(context->draws.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const StateContext::Draw& d = context->draws[i];
        EXPECT_EQ((std::vector<float>{d.x0, d.y0, d.x1, d.y1}), expected[i]) << i;
        EXPECT_EQ(d.state.translateX, 0);
        EXPECT_EQ(d.state.scaleX, 1);
    }
}

TEST_F(GameTextsTest, BoxWithAColourIsFilledInstead) {
    run(BOX);
    run("drawBoxNative(box, 10.5, 20, 40, 20, 'LEFT', 'TOP', {red = 0.5})");
    const StateContext::Draw& last = context->draws.back();
    EXPECT_EQ(last.kind, "rect");
    EXPECT_EQ((std::vector<float>{last.x0, last.y0, last.x1, last.y1}),
              (std::vector<float>{10, 20, 50, 40}));
    for (const StateContext::Draw& d : context->draws) {
        EXPECT_FALSE(d.kind == "texture" && d.x1 - d.x0 == 40 && d.y1 - d.y0 == 20);
    }
}

TEST_F(GameTextsTest, BoxesOffScreenAndMissingPartsDrawNothing) {
    run(BOX);
    for (const char* call : {"drawBoxNative(box, 10, 325, 40, 20, 'LEFT', 'TOP')",
                             "drawBoxNative(box, 10, -30, 40, 20, 'LEFT', 'TOP')",
                             "drawBoxNative({center = 5}, 10, 10, 40, 20, 'LEFT', 'TOP')"}) {
        run(call);
        EXPECT_TRUE(context->draws.empty()) << call;
    }
    run("drawBoxNative(box, 10, -24, 40, 20, 'LEFT', 'TOP')");  // only its bottom edge shows
    EXPECT_FALSE(context->draws.empty());
}

}  // namespace
