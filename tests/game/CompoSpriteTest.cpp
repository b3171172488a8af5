#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "game/Anchor.h"
#include "game/CompoSpriteSet.h"
#include "game/FakeContext.h"
#include "game/GameTestUtil.h"
#include "game/SheetLoaderDAT.h"
#include "game/SheetLoaderJSON.h"
#include "lang/Exception.h"

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

// Two sheets: "body" (keyed "a") and "wheel" and "tyre" (keyed "b"); "b" also
// has a "body" that loses to the one of "a".
class CompoTest : public ::testing::Test {
protected:
    void SetUp() override {
        lang::Ptr<SpriteSheet> a = new SpriteSheet();
        a->setTexture(new FakeTexture(64, 64, "a"));
        body = a->addSprite("body", 0, 0, 10, 20, 5, 20, false);
        lang::Ptr<SpriteSheet> b = new SpriteSheet();
        b->setTexture(new FakeTexture(64, 64, "b"));
        wheel = b->addSprite("wheel", 0, 0, 8, 8, 4, 4, false);
        tyre = b->addSprite("tyre", 8, 0, 8, 8, 4, 4, false);
        b->addSprite("body", 16, 0, 2, 2, 0, 0, false);
        sheets["a"] = a;
        sheets["b"] = b;
    }

    lang::Ptr<CompoSpriteSet> parseDat(const std::vector<uint8_t>& bytes) {
        return SheetLoaderDAT::parseCompoSpriteSet(bytes.data(), bytes.size(), "cars.dat", sheets);
    }
    lang::Ptr<CompoSpriteSet> parseJson(const std::string& text) {
        return SheetLoaderJSON::parseCompoSpriteSet(reinterpret_cast<const uint8_t*>(text.data()),
                                                    text.size(), "cars.json", sheets);
    }

    SheetTable sheets;
    Sprite* body;
    Sprite* wheel;
    Sprite* tyre;
};

void expectBounds(const CompoSprite& c, int width, int height, int pivotX, int pivotY) {
    EXPECT_EQ(c.getWidth(), width);
    EXPECT_EQ(c.getHeight(), height);
    EXPECT_EQ(c.getPivotX(), pivotX);
    EXPECT_EQ(c.getPivotY(), pivotY);
}

void expectCorners(const gr::Quad& q, float x0, float y0, float x1, float y1) {
    gr::Quad e = gr::Quad::rect(x0, y0, x1, y1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(q.p[i].x, e.p[i].x, 1e-3) << "corner " << i;
        EXPECT_NEAR(q.p[i].y, e.p[i].y, 1e-3) << "corner " << i;
    }
}

// A plain-layout ("PLXB") file with one composite "car" of the given parts.
std::vector<uint8_t> plainCompo(int version, const std::vector<std::string>& parts) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("COMP").int16(version).int16(1).string("car");
    w.int16(static_cast<int>(parts.size()));
    int x = 0;
    for (const std::string& p : parts) {
        w.string(p).int16(x).int16(-x);
        x += 10;
    }
    if (version == 2) {
        w.int16(2).string("skip").int16(1).int16(2).string("me").int16(3).int16(4);
    }
    w.endChunk().endFile();
    return w.data();
}

// A full-layout ("ZWQA") file with one composite "car" of one wheel.
std::vector<uint8_t> fullCompo() {
    chunk::ChunkWriter w;
    w.beginFile("ZWQA").beginChunk("COMP").int16(1).int16(1).string("car").int16(1);
    w.string("wheel").string("left").int16(3).int16(-4);
    w.float32(2).float32(0.5f).float32(90).boolean(true).boolean(false);
    w.endChunk().endFile();
    return w.data();
}

}  // namespace

TEST_F(CompoTest, BoundsOfOnePart) {
    CompoSprite c;
    c.addPart("body", 0, 0, body);
    expectBounds(c, 10, 20, 5, 20);
    // The pivot lies on the vertical centre line, so mirroring keeps the box.
    c.getSpriteEntry(0)->flipX = -1;
    c.updateBounds();
    expectBounds(c, 10, 20, 5, 20);
    c.getSpriteEntry(0)->scaleX = 2;
    c.updateBounds();
    expectBounds(c, 20, 20, 10, 20);
}

TEST_F(CompoTest, BoundsOfATurnedPart) {
    CompoSprite c;
    c.addPart("wheel", "", wheel, gr::Point{10.5f, 0.5f}, gr::Point{1, 2}, gr::Point{1, 1},
              static_cast<float>(M_PI / 2));
    // 8 x 16 after scaling, turned a quarter around (10.5, 0.5): corners at x 2.5
    // and 18.5, y -3.5 and 4.5, each truncated toward zero.
    expectBounds(c, 16, 7, -2, 3);
}

TEST_F(CompoTest, NoVisiblePartGivesTheWrappedBounds) {
    CompoSprite empty;
    expectBounds(empty, 1, 1, -INT_MAX, -INT_MAX);
    CompoSprite c;
    c.addPart("body", 0, 0, body);
    c.getSpriteEntry(0)->visible = false;
    c.updateBounds();
    expectBounds(c, 1, 1, -INT_MAX, -INT_MAX);
}

TEST_F(CompoTest, NamesIdsAndRenaming) {
    CompoSprite c;
    c.addPart("wheel", "left", wheel, gr::Point{0, 0}, gr::Point{1, 1}, gr::Point{1, 1}, 0);
    c.addPart("wheel", "", wheel, gr::Point{5, 0}, gr::Point{1, 1}, gr::Point{1, 1}, 0);
    c.addPart("wheel", 9, 0, wheel);
    EXPECT_EQ(c.getSpriteEntry(0)->name, "wheel#left");
    // A repeated name points the lookup at the newer part; both are drawn.
    EXPECT_EQ(c.getEntryCount(), 3);
    EXPECT_FLOAT_EQ(c.getSpriteEntry("wheel")->x, 9);

    c.renameEntry("wheel#left", "tyre#left", tyre);
    EXPECT_EQ(c.getSpriteEntry(0)->name, "tyre#left");
    EXPECT_EQ(c.getSpriteEntry("tyre#left")->getSprite(), tyre);
    LogCapture log;
    EXPECT_EQ(c.getSpriteEntry("wheel#left"), nullptr);
    EXPECT_TRUE(log.contains("Composite part(wheel#left) not found!"));
    EXPECT_EQ(c.getSpriteEntry(3), nullptr);
    EXPECT_EQ(c.getSpriteEntry(-1), nullptr);
}

TEST_F(CompoTest, AnchorsPlaceTheBoundingBox) {
    CompoSprite c;
    c.addPart("body", 0, 0, body);
    FakeContext ctx;
    c.draw(&ctx, 100, 50, ANCHOR_TOP, ANCHOR_LEFT);
    c.draw(&ctx, 100, 50, ANCHOR_VPIVOT, ANCHOR_HPIVOT);
    c.draw(&ctx, 100, 50, ANCHOR_BOTTOM, ANCHOR_RIGHT);
    c.draw(&ctx, 100, 50, ANCHOR_VCENTER, ANCHOR_HCENTER);
    ASSERT_EQ(ctx.draws.size(), 4u);
    expectCorners(ctx.draws[0].corners, 100, 50, 110, 70);
    expectCorners(ctx.draws[1].corners, 95, 30, 105, 50);
    expectCorners(ctx.draws[2].corners, 90, 30, 100, 50);
    expectCorners(ctx.draws[3].corners, 95, 40, 105, 60);
}

TEST_F(CompoTest, DrawFoldsTheRenderStateIntoThePartsAndRestoresIt) {
    CompoSprite c;
    c.addPart("body", 0, 0, body);
    c.addPart("wheel", 0, 0, wheel);
    c.addPart("tyre", 0, 0, tyre);
    c.getSpriteEntry(2)->visible = false;
    FakeContext ctx;
    gr::RenderState& state = ctx.renderState();
    state.translateX = 10;
    state.translateY = 5;
    state.scaleX = state.scaleY = 2;
    state.alpha = 0.5f;
    c.draw(&ctx, 100, 50, ANCHOR_VPIVOT, ANCHOR_HPIVOT);
    ASSERT_EQ(ctx.draws.size(), 2u);
    // Origin at 2 * (110, 55); the body spans (-5, -20)..(5, 0) scaled by 2.
    expectCorners(ctx.draws[0].corners, 210, 70, 230, 110);
    expectCorners(ctx.draws[1].corners, 212, 102, 228, 118);
    EXPECT_EQ(ctx.draws[0].texture, body->getSheet()->getTexture());
    for (const FakeContext::Draw& d : ctx.draws) {
        EXPECT_EQ(d.state.translateX, 0);
        EXPECT_EQ(d.state.scaleX, 1);
        EXPECT_EQ(d.state.angle, 0);
        EXPECT_EQ(d.state.alpha, 0.5f);
    }
    EXPECT_EQ(state.translateX, 10);
    EXPECT_EQ(state.scaleY, 2);
}

TEST_F(CompoTest, PartsOutliveAReleasedSheet) {
    CompoSprite c;
    c.addPart("wheel", 0, 0, wheel);
    sheets.clear();  // the registry let go of both sheets
    FakeContext ctx;
    c.draw(&ctx, 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    ASSERT_EQ(ctx.draws.size(), 1u);
    EXPECT_EQ(ctx.draws[0].texture->name(), "b");
}

TEST_F(CompoTest, PlainChunkLayoutBothVersions) {
    for (int version : {1, 2}) {
        lang::Ptr<CompoSpriteSet> set = parseDat(plainCompo(version, {"body", "wheel"}));
        CompoSprite* car = set->get("car");
        ASSERT_NE(car, nullptr) << version;
        ASSERT_EQ(car->getEntryCount(), 2);
        EXPECT_EQ(car->getSpriteEntry(0)->getSprite(), body) << "first sheet in key order";
        EXPECT_EQ(car->getSpriteEntry(1)->getSprite(), wheel);
        EXPECT_FLOAT_EQ(car->getSpriteEntry(1)->x, 10);
        EXPECT_FLOAT_EQ(car->getSpriteEntry(1)->y, -10);
    }
    EXPECT_TRUE(parseDat(plainCompo(3, {"body"}))->empty()) << "unknown version skipped";
}

TEST_F(CompoTest, FullChunkLayout) {
    lang::Ptr<CompoSpriteSet> set = parseDat(fullCompo());
    CompoSprite::Entry* e = set->get("car")->getSpriteEntry("wheel#left");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getSprite(), wheel);
    EXPECT_FLOAT_EQ(e->x, 3);
    EXPECT_FLOAT_EQ(e->y, -4);
    EXPECT_FLOAT_EQ(e->scaleX, 2);
    EXPECT_FLOAT_EQ(e->scaleY, 0.5f);
    EXPECT_NEAR(e->angle, M_PI / 2, 1e-6);
    EXPECT_FLOAT_EQ(e->flipX, -1);
    EXPECT_FLOAT_EQ(e->flipY, 1);
}

TEST_F(CompoTest, ChunkErrorsNameTheFile) {
    EXPECT_EQ(errorOf([&] {
                  parseDat(plainCompo(1, {"body", "door"}));
              }),
              "Sprite \"door\" not loaded while loading cars.dat");
    std::vector<uint8_t> odd = plainCompo(1, {"body"});
    odd[0] = 'X';
    EXPECT_EQ(errorOf([&] { parseDat(odd); }), "Malformed Composite Sprite file: cars.dat");

    struct Layout {
        std::vector<uint8_t> bytes;
        std::string message;
    };
    const Layout layouts[] = {
        {plainCompo(2, {"body", "wheel"}), "Malformed PLXB file: cars.dat"},
        {fullCompo(), "Malformed Composprite file: cars.dat"},
    };
    for (const Layout& l : layouts) {
        for (size_t n = 0; n < l.bytes.size(); ++n) {
            std::vector<uint8_t> part(l.bytes.begin(), l.bytes.begin() + static_cast<long>(n));
            EXPECT_EQ(errorOf([&] { parseDat(part); }),
                      n < 4 ? "Malformed Composite Sprite file: cars.dat" : l.message)
                << n << " of " << l.bytes.size() << " bytes";
        }
    }
}

TEST_F(CompoTest, JsonPartsComeLastFirst) {
    lang::Ptr<CompoSpriteSet> set = parseJson(R"({
        "meta": {"app": "Adobe Animate", "image": "cars.png", "sheet": "cars"},
        "compo": [{"name": "car", "sprites": [
            {"name": "wheel", "x": 1, "y": 2, "id": "front", "scale": 2, "flip": [-1, 1]},
            {"name": "tyre", "x": 3, "y": 4, "scale": [0.5, 3], "angle": 180},
            {"name": "body", "x": 0, "y": 0}]}]})");
    CompoSprite* car = set->get("car");
    ASSERT_EQ(car->getEntryCount(), 3);
    EXPECT_EQ(car->getSpriteEntry(0)->name, "body");
    const CompoSprite::Entry& t = *car->getSpriteEntry(1);
    EXPECT_EQ(t.name, "tyre");
    EXPECT_FLOAT_EQ(t.scaleX, 0.5f);
    EXPECT_FLOAT_EQ(t.scaleY, 3);
    EXPECT_NEAR(t.angle, M_PI, 1e-5);
    const CompoSprite::Entry& w = *car->getSpriteEntry(2);
    EXPECT_EQ(w.name, "wheel#front");
    EXPECT_FLOAT_EQ(w.scaleX, 2);
    EXPECT_FLOAT_EQ(w.scaleY, 2);
    EXPECT_FLOAT_EQ(w.flipX, -1);
    EXPECT_FLOAT_EQ(w.flipY, 1);
    EXPECT_FLOAT_EQ(w.x, 1);
}

TEST_F(CompoTest, JsonErrorsAndAbsentCompo) {
    const std::string meta = R"("meta": {"app": "Adobe Animate", "image": "c.png", "sheet": "c"})";
    EXPECT_EQ(parseJson("{" + meta + "}"), nullptr);
    EXPECT_EQ(
        errorOf([&] {
            parseJson(
                "{" + meta +
                R"(, "compo": [{"name": "c", "sprites": [{"name": "door", "x": 0, "y": 0}]}]})");
        }),
        "Sprite \"door\" not loaded while loading cars.json");
    EXPECT_EQ(errorOf([&] {
                  parseJson(R"({"meta": {"app": "TexturePacker", "image": "c.png"}, "compo": []})");
              }),
              "Unsupported JSON composprite format");
    EXPECT_EQ(errorOf([&] { parseJson(R"({"meta": {"app": "Adobe"}, "compo": []})"); }),
              "Key \"image\" not found");
}

TEST(CompoDescription, MapsNamesToSpritesAndSheet) {
    std::string text = R"({
        "meta": {"app": "Adobe Animate", "image": "cars.png", "sheet": "carsheet"},
        "compo": [{"name": "car", "sprites": [{"name": "wheel", "x": 1, "y": 2}]},
                  {"name": "bike", "sprites": []}]})";
    lang::Ptr<util::JSON> d = SheetLoaderJSON::parseCompoDescription(
        reinterpret_cast<const uint8_t*>(text.data()), text.size());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(
        d->toString(false),
        R"({"bike":{"sheet":"carsheet","sprites":[]},"car":{"sheet":"carsheet","sprites":[{"name":"wheel","x":1,"y":2}]}})");
    std::string none = R"({"meta": {"app": "Adobe", "image": "c.png", "sheet": "s"}})";
    EXPECT_EQ(SheetLoaderJSON::parseCompoDescription(reinterpret_cast<const uint8_t*>(none.data()),
                                                     none.size()),
              nullptr);
    EXPECT_EQ(SheetLoaderDAT().loadCompoDescription("whatever.dat"), nullptr);
}
