#include <gtest/gtest.h>

#include <climits>

#include <functional>

#include "audio/AudioOutput.h"
#include "audio/NullAudioDevice.h"
#include "game/CompoSprite.h"
#include "game/CompoSpriteSet.h"
#include "game/FakeContext.h"
#include "game/FakeFont.h"
#include "game/GameTestUtil.h"
#include "game/Resources.h"
#include "io/IOException.h"

using namespace game;
using namespace gametest;

namespace {

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

// 16-bit mono PCM in a WAV file.
std::vector<uint8_t> wav(int samples, int rate = 8000) {
    chunk::ChunkWriter w;  // big-endian; WAV wants little-endian, so write bytes
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            w.int8(static_cast<int>((v >> (8 * i)) & 0xFF));
        }
    };
    auto le16 = [&](int v) { w.int8(v & 0xFF).int8((v >> 8) & 0xFF); };
    uint32_t bytes = static_cast<uint32_t>(samples) * 2;
    w.fourCC("RIFF");
    le32(36 + bytes);
    w.fourCC("WAVE").fourCC("fmt ");
    le32(16);
    le16(1);
    le16(1);
    le32(static_cast<uint32_t>(rate));
    le32(static_cast<uint32_t>(rate) * 2);
    le16(2);
    le16(16);
    w.fourCC("data");
    le32(bytes);
    for (int i = 0; i < samples; ++i) {
        le16((i % 50) * 300);
    }
    return w.data();
}

class ResourcesTest : public ::testing::Test {
protected:
    ResourcesTest() : ctx(new FakeContext()), res(new Resources(ctx)) {}

    void writeSheet(const std::string& path, const std::vector<SpriteSpec>& sprites) {
        bundle.writePng(path + ".png", 64, 64);
        std::string name = io::PathName(path).getBaseName() + ".png";
        bundle.write(path + ".dat", sheetDat(name, sprites));
    }
    bool indexed(const std::string& name) const { return res->findDrawable(name) != nullptr; }

    BundleDir bundle;
    lang::Ptr<FakeContext> ctx;
    lang::Ptr<Resources> res;
};

const char* const CAR_JSON = R"({
    "meta": {"app": "Adobe Animate", "image": "cars.png", "sheet": "cars"},
    "compo": [{"name": "car", "sprites": [{"name": "wheel", "x": 0, "y": 0},
                                          {"name": "body", "x": 0, "y": 0}]}]})";

}  // namespace

TEST_F(ResourcesTest, ReloadDecidesWhichSheetOfAKeyStays) {
    writeSheet("a/menu", {{"x", 0, 0, 8, 8, 0, 0}, {"onlyA", 0, 0, 8, 8, 0, 0}});
    writeSheet("b/menu", {{"x", 8, 8, 8, 8, 0, 0}, {"onlyB", 0, 0, 8, 8, 0, 0}});
    res->createSpriteSheet("a/menu.dat", false);
    res->createSpriteSheet("b/menu.dat", false);
    EXPECT_TRUE(indexed("onlyA"));
    EXPECT_FALSE(indexed("onlyB"));
    res->createSpriteSheet("b/menu.dat", true);
    EXPECT_FALSE(indexed("onlyA"));
    EXPECT_TRUE(indexed("onlyB"));
    EXPECT_EQ(res->getSprite("x")->getX(), 8);
    EXPECT_EQ(res->getSheets().size(), 1u);
    EXPECT_EQ(res->findDrawable("x")->owner, "menu");
}

TEST_F(ResourcesTest, ReleasingTheLaterOfTwoSheetsDropsTheSharedName) {
    writeSheet("first", {{"x", 0, 0, 8, 8, 0, 0}});
    writeSheet("second", {{"x", 1, 0, 8, 8, 0, 0}});
    res->createSpriteSheet("first.dat", false);
    res->createSpriteSheet("second.dat", false);
    EXPECT_EQ(res->getSprite("x")->getX(), 1);
    res->releaseSpriteSheet("second.dat", false);
    EXPECT_FALSE(indexed("x"));
    EXPECT_NE(res->getSheet("first")->getSprite("x"), nullptr);
}

TEST_F(ResourcesTest, PathsAreRelativeToTheResourcePath) {
    writeSheet("gfx/menu", {{"x", 0, 0, 8, 8, 0, 0}});
    res->setPath("gfx/sub/..");
    res->createSpriteSheet("./menu.dat", false);
    EXPECT_TRUE(indexed("x"));
    EXPECT_EQ(res->fullPath("a\\b.dat"), "gfx/a/b.dat");
}

TEST_F(ResourcesTest, FailedLoadsChangeNothing) {
    writeSheet("menu", {{"x", 0, 0, 8, 8, 0, 0}});
    res->createSpriteSheet("menu.dat", false);
    Sprite* before = res->getSprite("x");

    std::vector<uint8_t> broken = sheetDat("menu.png", {{"y", 0, 0, 8, 8, 0, 0}});
    broken.resize(broken.size() - 3);
    bundle.write("menu.dat", broken);
    std::string message = errorOf([&] { res->createSpriteSheet("menu.dat", true); });
    EXPECT_EQ(message.rfind("Malformed PLXB file: ", 0), 0u) << message;
    EXPECT_NE(message.find("menu.dat"), std::string::npos);

    bundle.write("menu.dat", sheetDat("gone.png", {{"y", 0, 0, 8, 8, 0, 0}}));
    EXPECT_THROW(res->createSpriteSheet("menu.dat", true), io::IOException);
    EXPECT_THROW(res->createSpriteSheet("nothere.dat", false), io::IOException);
    EXPECT_EQ(errorOf([&] { res->createSpriteSheet("other.xml", false); }),
              "No loader for sprite file other.xml");

    EXPECT_EQ(res->getSprite("x"), before);
    EXPECT_FALSE(indexed("y"));
    EXPECT_EQ(res->getSheets().size(), 1u);
}

TEST_F(ResourcesTest, ReleasingOnlyTexturesKeepsTheSheet) {
    writeSheet("menu", {{"x", 0, 0, 8, 8, 0, 0}});
    res->createSpriteSheet("menu.dat", false);
    res->releaseSpriteSheet("menu.dat", true);
    EXPECT_FALSE(indexed("x"));
    ASSERT_NE(res->getSheet("menu"), nullptr);
    EXPECT_EQ(res->getSheet("menu")->getTexture(), nullptr);
    res->releaseSpriteSheet("menu.dat", false);
    EXPECT_EQ(res->getSheet("menu"), nullptr);
    res->releaseSpriteSheet("menu.dat", false);  // unknown: nothing happens
}

TEST_F(ResourcesTest, CompositesShareTheIndexAndDrawThroughDrawSprite) {
    writeSheet("cars", {{"body", 0, 0, 10, 20, 5, 20}, {"wheel", 10, 0, 8, 8, 4, 4}});
    res->createSpriteSheet("cars.dat", false);
    bundle.write("cars.json", CAR_JSON);
    res->createCompoSpriteSet("cars.json", false);
    ASSERT_NE(res->getCompoSprite("car"), nullptr);
    EXPECT_EQ(res->getSprite("car"), nullptr);
    EXPECT_EQ(res->findDrawable("car")->kind, Resources::KIND_COMPOSITE);

    res->drawSprite("car", 50, 60, ANCHOR_VPIVOT, ANCHOR_HPIVOT, 500, 500);
    ASSERT_EQ(ctx->draws.size(), 2u);
    EXPECT_FLOAT_EQ(ctx->draws[0].corners.p[0].x, 45);  // body first, unsized
    EXPECT_FLOAT_EQ(ctx->draws[0].corners.p[3].y, 60);
    ctx->draws.clear();
    res->drawSprite("nothing", 0, 0);
    EXPECT_TRUE(ctx->draws.empty());

    // The parts keep their images after the sheet goes.
    res->releaseSpriteSheet("cars.dat", false);
    res->drawSprite("car", 0, 0);
    EXPECT_EQ(ctx->draws.size(), 2u);

    res->releaseCompoSpriteSet("cars.json");
    EXPECT_FALSE(indexed("car"));
}

TEST_F(ResourcesTest, FailedOrEmptyCompositeLoadsKeepTheOldSet) {
    writeSheet("cars", {{"body", 0, 0, 10, 20, 5, 20}, {"wheel", 10, 0, 8, 8, 4, 4}});
    res->createSpriteSheet("cars.dat", false);
    bundle.write("cars.json", CAR_JSON);
    res->createCompoSpriteSet("cars.json", false);
    CompoSpriteSet* before = res->getCompoSpriteSet("cars");

    bundle.write("cars.json", R"({"meta": {"app": "Adobe", "image": "c.png"}})");
    res->createCompoSpriteSet("cars.json", true);
    bundle.write("cars.json", R"({"meta": {"app": "Adobe", "image": "c.png"},
        "compo": [{"name": "van", "sprites": [{"name": "door", "x": 0, "y": 0}]}]})");
    EXPECT_THROW(res->createCompoSpriteSet("cars.json", true), lang::Exception);
    bundle.write("other.json", R"({"meta": {"app": "Adobe", "image": "c.png"}, "compo": []})");
    res->createCompoSpriteSet("other.json", false);

    EXPECT_EQ(res->getCompoSpriteSet("cars"), before);
    EXPECT_EQ(res->getCompoSpriteSet("other"), nullptr);
    EXPECT_TRUE(indexed("car"));
    EXPECT_FALSE(indexed("van"));
}

TEST_F(ResourcesTest, CaptureMakesAOneSpriteSheetAndReusesIt) {
    res->captureSprite("shot");
    Sprite* shot = res->getSprite("shot");
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->getWidth(), 320);
    EXPECT_EQ(shot->getHeight(), 240);
    EXPECT_EQ(shot->getPivotX(), 0);
    EXPECT_FLOAT_EQ(shot->getTexCoords().p[3].x, 1);
    gr::Texture* texture = res->getSheet("shot")->getTexture();
    res->captureSprite("shot");
    EXPECT_EQ(ctx->captures, 2);
    EXPECT_EQ(res->getSheet("shot")->getTexture(), texture);
    EXPECT_EQ(res->getSprite("shot"), shot);
    ctx->resize(100, 50);
    res->captureSprite("shot");
    EXPECT_EQ(res->getSprite("shot")->getWidth(), 100);
}

TEST_F(ResourcesTest, ClipRectangle) {
    int x, y, w, h;
    res->getClipRect(x, y, w, h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({-10000, -10000, 20000, 20000}));
    res->setClipRect(10, 20, 30, 40);
    res->getClipRect(x, y, w, h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({10, 20, 30, 40}));
    EXPECT_EQ(ctx->renderState().clip, gr::Rect(10, 20, 40, 60));
}

// Corners beyond the int range stop at its ends instead of wrapping around.
TEST_F(ResourcesTest, ClipRectangleCornersSaturate) {
    const int big = 2000000000, max = INT_MAX, min = INT_MIN;
    const struct {
        int x, y, w, h;
        gr::Rect clip;
        std::vector<int> read;
    } cases[] = {
        {big, 0, big, 10, gr::Rect(big, 0, max, 10), {big, 0, max - big, 10}},
        {-big,
         -big,
         -big,
         -big,
         gr::Rect(-big, -big, min, min),
         {-big, -big, min + big, min + big}},
        {max, 5, max, -max, gr::Rect(max, 5, max, 5 - max), {max, 5, 0, -max}},
    };
    for (const auto& c : cases) {
        res->setClipRect(c.x, c.y, c.w, c.h);
        EXPECT_EQ(ctx->renderState().clip, c.clip) << c.x << " " << c.w;
        int x, y, w, h;
        res->getClipRect(x, y, w, h);
        EXPECT_EQ(std::vector<int>({x, y, w, h}), c.read) << c.x << " " << c.w;
    }
}

TEST_F(ResourcesTest, FontQueriesNeedACurrentFont) {
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { res->drawString("g", "k", 0, 0); }, "No font is set while trying to draw string"},
        {[&] { res->getStringWidth("t"); }, "No font is set while trying to get string width"},
        {[&] { res->getFontMaxAscending(); },
         "No font is set while trying to get font max ascending"},
        {[&] { res->getFontMaxDescending(); },
         "No font is set while trying to get font max descending"},
        {[&] { res->getFontLeading(); }, "No font is set while trying to get font leading"},
        {[&] { res->getFontTracking(); }, "No font is set while trying to get font tracking"},
        {[&] { res->getFontHeight(); }, "No font is set while trying to get font height!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(c.first), c.second);
    }
    lang::Ptr<FakeFont> font = new FakeFont();
    res->addFont("plain", font);
    res->useFont("plain");
    res->useFont("unknown");
    EXPECT_EQ(res->getStringWidth("abc"), 30);
    EXPECT_EQ(res->getFontHeight(), 15);
    res->drawString("nogroup", "HELLO", 5, 6);
    ASSERT_EQ(font->drawn.size(), 1u);
    EXPECT_EQ(font->drawn[0].text, "HELLO");
    EXPECT_EQ(font->drawn[0].vertical, ANCHOR_TOP);
    EXPECT_EQ(font->drawn[0].horizontal, ANCHOR_LEFT);
    // A released font is no longer current.
    res->releaseFont("fonts/plain.dat");
    EXPECT_THROW(res->getFontLeading(), lang::Exception);
}

TEST_F(ResourcesTest, LocaleAndStrings) {
    EXPECT_EQ(res->getLocale(), "en_EN");
    res->useLocale("fi_FI");
    EXPECT_EQ(res->getLocale(), "fi_FI");
    EXPECT_EQ(res->getString("never", "KEY"), "KEY");
    res->loadLocale("never", "fi_FI");  // no such set: nothing happens
}

TEST_F(ResourcesTest, AudioWithoutOutput) {
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { res->playAudio("a", 1, false, 0); },
         "Trying to play audio clip but no audio output has been created"},
        {[&] { res->stopAudio(3); },
         "Trying to stop audio clip but no audio output has been created"},
        {[&] { res->stopAudio(std::string("a")); },
         "Trying to stop audio clip but no audio output has been created"},
        {[&] { res->stopAllAudio(); },
         "Trying to stop all audio clips but no audio output has been created"},
        {[&] { res->startAudioOutput(); },
         "Trying to start audio output but no audio output has been created"},
        {[&] { res->startAudioInput(); },
         "Trying to start audio input but no audio input has been created"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(c.first), c.second);
    }
    EXPECT_FALSE(res->isAudioPlaying(std::string("a")));
    EXPECT_FALSE(res->isAudioPlaying(0));
    res->setMasterVolume(0.5f);
    res->stopAudioOutput();
}

TEST_F(ResourcesTest, AudioClipsPlayAndStop) {
    bundle.write("sfx/boom.wav", wav(8000));
    res->setPath("sfx");
    res->createAudio("boom.wav", "boom", false);
    res->createAudio("boom.wav", "stream", true);
    res->createCompositeAudio("both", {"boom", "missing", "stream"});
    ASSERT_NE(res->getAudio("boom"), nullptr);
    EXPECT_EQ(res->getAudio("boom")->getLength(), 16000);
    EXPECT_EQ(res->getAudio("both")->getLength(), 32000);

    audio::AudioFormat format{1, 16, 8000};
    res->setAudioOutput(new audio::AudioOutput(format, new audio::NullAudioDevice(16000)));
    EXPECT_TRUE(res->startAudioOutput());
    EXPECT_EQ(res->playAudio("nothing", 1, false, 0), -1);
    int handle = res->playAudio("boom", 1, true, 0);
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(res->isAudioPlaying(handle));
    EXPECT_TRUE(res->isAudioPlaying(std::string("boom")));
    res->releaseAudio("boom");
    EXPECT_FALSE(res->isAudioPlaying(handle));
    EXPECT_EQ(res->getAudio("boom"), nullptr);
    res->stopAllAudio();
    res->stopAudioOutput();
}
