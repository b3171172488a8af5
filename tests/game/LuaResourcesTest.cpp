#include <gtest/gtest.h>

#include "audio/AudioClip.h"
#include "audio/AudioOutput.h"
#include "audio/NullAudioDevice.h"
#include "game/CompoSprite.h"
#include "game/FakeContext.h"
#include "game/GameTestUtil.h"
#include "game/LuaResources.h"
#include "game/SystemFont.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"

using namespace game;
using namespace gametest;

namespace {

// A mono 16-bit WAV file of `samples` samples of one value.
std::string monoWav(int samples) {
    const auto le = [](std::string& out, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out += char((v >> (8 * i)) & 0xff);
        }
    };
    const uint32_t data = uint32_t(samples) * 2;
    std::string w = "RIFF";
    le(w, 36 + data, 4);
    w += "WAVEfmt ";
    le(w, 16, 4);
    le(w, 1, 2);      // PCM
    le(w, 1, 2);      // mono
    le(w, 8000, 4);   // rate
    le(w, 16000, 4);  // bytes a second
    le(w, 2, 2);
    le(w, 16, 2);
    w += "data";
    le(w, data, 4);
    for (int i = 0; i < samples; ++i) {
        le(w, 1000, 2);
    }
    return w;
}

class LuaResourcesTest : public ::testing::Test {
protected:
    LuaResourcesTest() : ctx(new FakeContext()), res(new LuaResources(state, ctx)) {
        bundle.writePng("cars.png", 64, 64);
        bundle.write("cars.dat", sheetDat("cars.png", {{"body", 0, 0, 10, 20, 5, 20},
                                                       {"wheel", 10, 0, 8, 8, 4, 4},
                                                       {"tyre", 20, 0, 6, 6, 3, 3}}));
        bundle.write("cars.json", R"({
            "meta": {"app": "Adobe Animate", "image": "cars.png", "sheet": "cars"},
            "compo": [{"name": "car", "sprites": [{"name": "wheel", "id": "left", "x": 3, "y": 4},
                                                  {"name": "body", "x": 0, "y": 0}]}]})");
    }

    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "test.lua", nullptr);
    }
    void load() { run("res.createSpriteSheet('cars.dat') res.createCompoSpriteSet('cars.json')"); }
    float number(const char* name) { return state.getGlobals().getNumber(name); }
    std::string string(const char* name) { return state.getGlobals().getString(name); }
    std::string errorOf(const std::string& code) {
        try {
            run(code);
        } catch (const lang::Exception& e) {
            return e.what();
        }
        return "(no exception)";
    }
    Resources& resources() { return res->getResources(); }

    BundleDir bundle;
    lua::LuaState state;
    lang::Ptr<FakeContext> ctx;
    lang::Ptr<LuaResources> res;
};

}  // namespace

TEST_F(LuaResourcesTest, WrongArgumentTypesGiveTheStrictReadersMessage) {
    load();
    struct Case {
        const char* code;
        const char* message;
    };
    const Case cases[] = {
        {"res.setPath(5)", "Excepted type STRING at stack position 1 but found NUMBER"},
        {"res.createSpriteSheet('a.dat', 'yes')",
         "Excepted type BOOLEAN at stack position 2 but found STRING"},
        {"res.drawSprite('body', 1, 2, 7)",
         "Excepted type STRING at stack position 4 but found NUMBER"},
        {"res:drawSprite('body', 1, {})",
         "Excepted type NUMBER at stack position 4 but found TABLE"},
        {"res.setClipRect(1, 2, '3', 4)",
         "Excepted type NUMBER at stack position 3 but found STRING"},
        {"res.getString('g', 5)", "Excepted type STRING at stack position 2 but found NUMBER"},
        {"res.playAudio('a', 'loud')", "Excepted type NUMBER at stack position 2 but found STRING"},
        {"res.createCompositeAudio('x', 'y')",
         "Excepted type TABLE at stack position 2 but found STRING"},
        {"res.setCompoSpriteEntry('car', 0, 5)",
         "Excepted type TABLE at stack position 3 but found NUMBER"},
        {"res.createSystemFont('n', 'Sans', 12, 255, 0, 0, 0, true)",
         "Excepted type NUMBER at stack position 8 but found BOOLEAN"},
    };
    for (const Case& c : cases) {
        std::string message = errorOf(c.code);
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.code << "\n" << message;
    }
}

TEST_F(LuaResourcesTest, DrawSpriteWithAnchorsSizesAndColonSyntax) {
    load();
    run("res.drawSprite('body', 100, 50, 'TOP', 'LEFT')"
        " res:drawSprite('body', 100, 50, 'HCENTER')"
        " res.drawSprite('body', 100, 50, nil, nil, 40, 30)"
        " res.drawCompoSprite('car', 100, 50, '', 'LEFT')");
    ASSERT_EQ(ctx->draws.size(), 5u);
    EXPECT_FLOAT_EQ(ctx->draws[0].corners.p[0].x, 100);
    EXPECT_FLOAT_EQ(ctx->draws[0].corners.p[0].y, 50);
    EXPECT_FLOAT_EQ(ctx->draws[1].corners.p[0].x, 95);   // HCENTER
    EXPECT_FLOAT_EQ(ctx->draws[1].corners.p[0].y, 30);   // VPIVOT kept
    EXPECT_FLOAT_EQ(ctx->draws[2].corners.p[3].x, 135);  // 95 + 40
    EXPECT_FLOAT_EQ(ctx->draws[2].corners.p[3].y, 60);   // 30 + 30
    EXPECT_EQ(errorOf("res.drawSprite('body', 1, 2, 'MIDDLE')"), "Invalid anchor: MIDDLE");
}

// One drawSprites call draws what a drawSprite call for each point draws:
// sprites, composites, anchors and the colon syntax.
TEST_F(LuaResourcesTest, DrawSpritesMatchesOneDrawSpriteAPoint) {
    load();
    struct Case {
        const char* batch;
        const char* single;
    };
    const Case cases[] = {
        {"res.drawSprites('body', {100, 50, -3.25, 7.5, 0, 0})",
         "res.drawSprite('body', 100, 50) res.drawSprite('body', -3.25, 7.5)"
         " res.drawSprite('body', 0, 0)"},
        {"res:drawSprites('wheel', {10, 20, 30, 40}, 'TOP', 'HCENTER')",
         "res:drawSprite('wheel', 10, 20, 'TOP', 'HCENTER')"
         " res:drawSprite('wheel', 30, 40, 'TOP', 'HCENTER')"},
        {"res.drawSprites('car', {5, 6, 7, 8}, 'BOTTOM')",
         "res.drawCompoSprite('car', 5, 6, 'BOTTOM') res.drawCompoSprite('car', 7, 8, 'BOTTOM')"},
        {"res.drawSprites('body', {})", ""},
        {"res.drawSprites('nothing', {1, 2})", ""},
    };
    for (const Case& c : cases) {
        ctx->draws.clear();
        run(c.batch);
        const std::vector<FakeContext::Draw> batch = ctx->draws;
        ctx->draws.clear();
        run(c.single);
        ASSERT_EQ(batch.size(), ctx->draws.size()) << c.batch;
        for (size_t i = 0; i < batch.size(); ++i) {
            EXPECT_EQ(batch[i].texture, ctx->draws[i].texture) << c.batch;
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(batch[i].corners.p[k].x, ctx->draws[i].corners.p[k].x) << c.batch;
                EXPECT_EQ(batch[i].corners.p[k].y, ctx->draws[i].corners.p[k].y) << c.batch;
                EXPECT_EQ(batch[i].uv.p[k].x, ctx->draws[i].uv.p[k].x) << c.batch;
            }
        }
    }
    const Case errors[] = {
        {"res.drawSprites('body', {1, 2, 3})",
         "res.drawSprites takes x, y pairs; 3 numbers were given"},
        {"res.drawSprites('body', {1, 2, 3, 'x'})",
         "res.drawSprites: entry 4 of the points is not a number"},
        {"res.drawSprites('body', 5)", "Excepted type TABLE at stack position 2 but found NUMBER"},
        {"res.drawSprites('body', {}, 'MIDDLE')", "Invalid anchor: MIDDLE"},
    };
    for (const Case& c : errors) {
        const std::string message = errorOf(c.batch);
        EXPECT_EQ(message.rfind(c.single, 0), 0u) << c.batch << "\n" << message;
    }
}

// The sprite drawn last is remembered for the next draw of the same name; a
// released or replaced sheet must not be drawn from that memory.
TEST_F(LuaResourcesTest, ReleasedAndReplacedSheetsAreNotDrawnFromMemory) {
    load();
    run("res.drawSprite('body', 0, 0) res.releaseSpriteSheet('cars.dat')"
        " res.drawSprite('body', 0, 0)");
    EXPECT_EQ(ctx->draws.size(), 1u);
    bundle.write("cars.dat", sheetDat("cars.png", {{"body", 8, 8, 4, 4, 0, 0}}));
    run("res.createSpriteSheet('cars.dat') res.drawSprite('body', 0, 0)"
        " res.createSpriteSheet('cars.dat', true) res.drawSprite('body', 1, 0)");
    ASSERT_EQ(ctx->draws.size(), 3u);
    EXPECT_FLOAT_EQ(ctx->draws[1].corners.p[3].x, 4);  // the new sheet's 4 x 4 sprite at 0, 0
    EXPECT_FLOAT_EQ(ctx->draws[1].corners.p[3].y, 4);
    EXPECT_FLOAT_EQ(ctx->draws[2].corners.p[3].x, 5);  // reloaded under the same key
}

TEST_F(LuaResourcesTest, ClipRectStringsAndSpriteQueries) {
    load();
    run("res.setClipRect(10, 20, 30, 40) a, b, c, d = res.getClipRect()"
        " s = res.getString('menu', 'PLAY') l = res.getLocale()"
        " w, h = res.getSpriteBounds('body') px, py = res:getSpritePivot('wheel')"
        " uw, uh = res.getSpriteBounds('car')");
    EXPECT_EQ(number("a"), 10);
    EXPECT_EQ(number("b"), 20);
    EXPECT_EQ(number("c"), 30);
    EXPECT_EQ(number("d"), 40);
    EXPECT_EQ(string("s"), "PLAY");
    EXPECT_EQ(string("l"), "en_EN");
    EXPECT_EQ(number("w"), 10);
    EXPECT_EQ(number("h"), 20);
    EXPECT_EQ(number("px"), 4);
    EXPECT_EQ(number("uw"), 0);
    EXPECT_EQ(number("uh"), 0);
}

TEST_F(LuaResourcesTest, CompositeBoundsDataAndEntries) {
    load();
    run("l, t, r, b = res:getCompoSpriteBounds('car')"
        " data = res.getCompoSpriteData('car')"
        " first = res.getCompoSpriteEntry('car', 0)"
        " wheel = res.getCompoSpriteEntry('car', 'wheel#left')"
        " none = res.getCompoSpriteEntry('car', true)");
    EXPECT_EQ(number("l"), -5);
    EXPECT_EQ(number("t"), -20);
    EXPECT_EQ(number("r"), 7);
    EXPECT_EQ(number("b"), 8);
    lua::LuaTable data = state.getGlobals().getTable("data");
    EXPECT_EQ(data.getTable(1).getString(1), "body");
    EXPECT_EQ(data.getTable(2).getString(1), "wheel#left");
    EXPECT_EQ(data.getTable(2).getNumber(2), 3);
    EXPECT_EQ(data.getTable(2).getNumber(3), 4);
    EXPECT_EQ(state.getGlobals().getTable("first").getString("name"), "body");
    lua::LuaTable wheel = state.getGlobals().getTable("wheel");
    EXPECT_EQ(wheel.getNumber("scaleX"), 1);
    EXPECT_TRUE(wheel.isBoolean("flipX"));
    EXPECT_FALSE(wheel.getBoolean("flipX"));
    EXPECT_TRUE(wheel.getBoolean("visible"));
    EXPECT_TRUE(state.getGlobals().isNil("none"));
}

TEST_F(LuaResourcesTest, SetCompoSpriteEntryRenamesAndChangesParts) {
    load();
    run("res.setCompoSpriteEntry('car', 'wheel#left',"
        "  {name = 'tyre#left', x = 9, flipX = true, visible = 1, angle = 0.5})"
        " res.setCompoSpriteEntry('car', 0, {flipY = true, scaleY = 3})");
    CompoSprite* car = resources().getCompoSprite("car");
    CompoSprite::Entry* tyre = car->getSpriteEntry(1);
    EXPECT_EQ(tyre->name, "tyre#left");
    EXPECT_EQ(tyre->getSprite(), resources().getSprite("tyre"));
    EXPECT_FLOAT_EQ(tyre->x, 9);
    EXPECT_FLOAT_EQ(tyre->y, 4);
    EXPECT_FLOAT_EQ(tyre->flipX, -1);
    EXPECT_FLOAT_EQ(tyre->angle, 0.5f);
    EXPECT_FALSE(tyre->visible) << "only the boolean true counts";
    EXPECT_FLOAT_EQ(car->getSpriteEntry(0)->flipY, -1);
    EXPECT_FLOAT_EQ(car->getSpriteEntry(0)->scaleY, 3);
}

TEST_F(LuaResourcesTest, UnknownCompositesAreLoggedAndGiveNothing) {
    load();
    LogCapture log;
    run("n = select('#', res.getCompoSpriteBounds('nope'))"
        " e = res.getCompoSpriteEntry('nope', 0)"
        " d = res.getCompoSpriteData('nope')"
        " res.setCompoSpriteEntry('nope', 0, {x = 1})"
        " res.setCompoSpriteEntry('car', 7, {x = 1})");
    EXPECT_EQ(number("n"), 0);
    EXPECT_TRUE(state.getGlobals().isNil("e"));
    EXPECT_TRUE(state.getGlobals().isNil("d"));
    EXPECT_TRUE(log.contains("Could not find composprite (for get): nope"));
    EXPECT_TRUE(log.contains("Could not find composprite (for set): nope"));
    ASSERT_FALSE(log.records().empty());
    EXPECT_EQ(log.records()[0].category, "game/LuaResources");
    EXPECT_STREQ(log.records()[0].function, "game::LuaResources::getCompoSpriteBounds");
}

TEST_F(LuaResourcesTest, AudioHandlesAndLooseArguments) {
    EXPECT_EQ(errorOf("res.stopAllAudio()"),
              "Trying to stop all audio clips but no audio output has been created");
    run("res.stopAudio(5) p = res.isAudioPlaying({})");
    EXPECT_FALSE(state.getGlobals().getBoolean("p"));

    audio::AudioFormat format{1, 16, 8000};
    resources().setAudioOutput(new audio::AudioOutput(format, new audio::NullAudioDevice(16000)));
    run("started = res.startAudioOutput() h = res.playAudio('none')"
        " kind = type(h) playing = res.isAudioPlaying(h) res.stopAudio(h) res.stopAudio('none')"
        " res.setTrackVolume(0.5, 2) v = res.getTrackVolume(2)");
    EXPECT_TRUE(state.getGlobals().getBoolean("started"));
    EXPECT_EQ(string("kind"), "userdata");
    EXPECT_FALSE(state.getGlobals().getBoolean("playing"));
    EXPECT_FLOAT_EQ(number("v"), 0.5f);
    resources().stopAudioOutput();
}

// What the scripts get when everything is there: clips streamed unless told
// otherwise, composites of the names up to the first that is no string, and a
// handle that plays until it is stopped.
TEST_F(LuaResourcesTest, AudioClipsCompositesAndAPlayingHandle) {
    bundle.write("tone.wav", monoWav(800));
    run("res.createAudio('tone.wav', 'streamed') res.createAudio('tone.wav', 'decoded', false)");
    ASSERT_NE(resources().getAudio("streamed"), nullptr);
    ASSERT_NE(resources().getAudio("decoded"), nullptr);
    // A streamed clip reads the file itself, after its header.
    EXPECT_EQ(resources().getAudio("streamed")->getReader()->getDataOffset(), 44);
    EXPECT_EQ(resources().getAudio("decoded")->getReader()->getDataOffset(), 0);

    run("res.createCompositeAudio('pair', {'streamed', 'decoded', 7, 'streamed'})");
    ASSERT_NE(resources().getAudio("pair"), nullptr);
    EXPECT_EQ(resources().getAudio("pair")->getLength(), 2 * 1600);

    resources().setAudioOutput(
        new audio::AudioOutput(audio::AudioFormat{1, 16, 8000}, new audio::NullAudioDevice(16000)));
    run("res.startAudioOutput() h = res.playAudio('streamed', 1, true, 1)"
        " playing = res.isAudioPlaying(h) res.stopAudio(h) stopped = res.isAudioPlaying(h)");
    EXPECT_TRUE(state.getGlobals().getBoolean("playing"));
    EXPECT_FALSE(state.getGlobals().getBoolean("stopped"));
    resources().stopAudioOutput();
}

// The colour arguments are alpha, red, green and blue, in that order.
TEST_F(LuaResourcesTest, SystemFontsTakeTheirColourInArgbOrder) {
    run("res.createSystemFont('label', 'DejaVu Sans', 14, 255, 16, 32, 48, 1)");
    auto* font = dynamic_cast<SystemFont*>(resources().getFont("label"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->getPackedColour(), 0xff102030u);
    EXPECT_EQ(font->getSize(), 14);
    EXPECT_EQ(font->getStyle(), 1);
}

TEST_F(LuaResourcesTest, AvailableSystemFontsAreAListFromOne) {
    run("fonts = res.getAvailableSystemFonts() n = #fonts first = fonts[1] zero = fonts[0]");
    const std::vector<std::string> families = SystemFont::getAvailableSystemFonts();
    ASSERT_FALSE(families.empty());
    EXPECT_EQ(number("n"), float(families.size()));
    EXPECT_EQ(string("first"), families[0]);
    EXPECT_TRUE(state.getGlobals().isNil("zero"));
}
