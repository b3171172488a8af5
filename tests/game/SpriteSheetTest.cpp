#include <gtest/gtest.h>

#include "game/Anchor.h"
#include "game/FakeContext.h"
#include "game/GameTestUtil.h"
#include "game/SheetLoaderDAT.h"
#include "game/SheetLoaderJSON.h"
#include "io/ByteArrayInputStream.h"
#include "io/IOException.h"
#include "util/JSON.h"

using namespace game;
using namespace gametest;

namespace {

SheetDescription parseDat(const std::vector<uint8_t>& bytes, bool withTextures = true) {
    return SheetLoaderDAT().parseSheet(bytes.data(), bytes.size(), "gfx/menu.dat", withTextures);
}

SheetDescription parseJson(const std::string& text) {
    return SheetLoaderJSON().parseSheet(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                        "menu.json", true);
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

void expectQuad(const gr::Quad& q, const gr::Quad& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(q.p[i].x, expected.p[i].x) << "corner " << i;
        EXPECT_FLOAT_EQ(q.p[i].y, expected.p[i].y) << "corner " << i;
    }
}

}  // namespace

TEST(SheetDat, ReadsSpritesAndSkipsOtherChunksAndVersions) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB");
    w.beginChunk("JUNK").int32(123456).endChunk();
    w.beginChunk("SPRT").int16(1).string("a.png").int16(1);
    w.string("ok").int16(1).int16(2).int16(30).int16(40).int16(5).int16(6).endChunk();
    w.beginChunk("SPRT").int16(2).string("ignored.png").int16(0).endChunk();
    w.beginChunk("XTRA").endChunk();
    w.beginChunk("SPRT").int16(1).string("b.png").int16(1);
    w.string("next").int16(-3).int16(0).int16(8).int16(8).int16(-1).int16(0).endChunk();
    w.endFile();

    SheetDescription d = parseDat(w.data());
    ASSERT_EQ(d.pages.size(), 2u);
    EXPECT_EQ(d.pages[0].texture, "a.png");
    ASSERT_EQ(d.pages[0].sprites.size(), 1u);
    const auto& s = d.pages[0].sprites[0];
    EXPECT_EQ(s.name, "ok");
    EXPECT_EQ(std::vector<int>({s.x, s.y, s.width, s.height, s.pivotX, s.pivotY}),
              std::vector<int>({1, 2, 30, 40, 5, 6}));
    EXPECT_FALSE(s.rotated);
    EXPECT_EQ(d.pages[1].texture, "b.png");
    EXPECT_EQ(d.pages[1].sprites[0].x, -3);
    EXPECT_EQ(d.pages[1].sprites[0].pivotX, -1);
}

TEST(SheetDat, OtherMagicDescribesNothing) {
    std::vector<uint8_t> bytes = sheetDat("a.png", {{"x", 0, 0, 1, 1, 0, 0}});
    bytes[0] = 'Q';
    EXPECT_TRUE(parseDat(bytes).pages.empty());
}

TEST(SheetDat, EveryTruncationFailsNamingTheFile) {
    std::vector<uint8_t> whole =
        sheetDat("tex.png", {{"one", 1, 2, 3, 4, 5, 6}, {"two", 0, 0, 1, 1, 0, 0}});
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
        EXPECT_EQ(errorOf([&] { parseDat(part); }), "Malformed PLXB file: gfx/menu.dat")
            << n << " bytes";
    }
}

TEST(SheetDat, InconsistentSizesFail) {
    struct Case {
        const char* what;
        std::function<void(chunk::ChunkWriter&)> write;
    };
    const Case cases[] = {
        {"payload larger than the file",
         [](chunk::ChunkWriter& w) { w.fourCC("PLXB").int32(100).int32(0); }},
        {"negative payload", [](chunk::ChunkWriter& w) { w.fourCC("PLXB").int32(-8); }},
        {"chunk larger than the payload",
         [](chunk::ChunkWriter& w) {
             w.fourCC("PLXB").int32(12).fourCC("SPRT").int32(5).int32(0);
         }},
        {"negative chunk size",
         [](chunk::ChunkWriter& w) { w.fourCC("PLXB").int32(8).fourCC("SPRT").int32(-4); }},
        {"sprite data past its chunk",
         [](chunk::ChunkWriter& w) {
             w.beginFile("PLXB").beginChunk("SPRT").int16(1).string("t.png").int16(1);
             w.string("x").int16(0).endChunk();
             w.beginChunk("PADD").int32(0).int32(0).int32(0).endChunk().endFile();
         }},
        {"a count far beyond the data",
         [](chunk::ChunkWriter& w) {
             w.beginFile("PLXB").beginChunk("SPRT").int16(1).string("t.png").int16(32767);
             w.endChunk().endFile();
         }},
        {"negative string length",
         [](chunk::ChunkWriter& w) {
             w.beginFile("PLXB").beginChunk("SPRT").int16(1).int16(-2).endChunk().endFile();
         }},
    };
    for (const Case& c : cases) {
        chunk::ChunkWriter w;
        c.write(w);
        EXPECT_EQ(errorOf([&] { parseDat(w.data()); }), "Malformed PLXB file: gfx/menu.dat")
            << c.what;
    }
}

TEST(SheetJson, TexturePackerNamesByBaseNameAndReadsRotation) {
    SheetDescription d = parseJson(R"({
        "frames": [
            {"filename": "ui/buttons/ok.png", "frame": {"x": 100, "y": 50, "w": 10, "h": 20},
             "rotated": true},
            {"filename": "odd.png", "frame": {"x": 0, "y": 0, "w": 5, "h": 7}, "rotated": false}
        ],
        "meta": {"app": "http://www.texturepacker.com", "image": "sheet.png"}})");
    ASSERT_EQ(d.pages.size(), 1u);
    EXPECT_EQ(d.pages[0].texture, "sheet.png");
    const auto& s = d.pages[0].sprites;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].name, "ok");
    EXPECT_TRUE(s[0].rotated);
    EXPECT_EQ(s[0].pivotX, 5);
    EXPECT_EQ(s[0].pivotY, 10);
    EXPECT_EQ(s[1].name, "odd");
    EXPECT_EQ(s[1].pivotX, 2);
    EXPECT_EQ(s[1].pivotY, 3);
}

TEST(SheetJson, AdobeKeepsFilenamesAndRoundsPivots) {
    SheetDescription d = parseJson(R"({
        "frames": [
            {"filename": "ui/buttons/ok.png", "frame": {"x": 1, "y": 2, "w": 9, "h": 4},
             "pivot": {"x": 3.5, "y": -0.5}},
            {"filename": "plain", "frame": {"x": 0, "y": 0, "w": 5, "h": 6}}
        ],
        "meta": {"app": "Adobe Animate", "image": "sheet.png"}})");
    const auto& s = d.pages[0].sprites;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].name, "ui/buttons/ok.png");
    EXPECT_EQ(s[0].pivotX, 4);
    EXPECT_EQ(s[0].pivotY, 0);
    EXPECT_FALSE(s[0].rotated);
    EXPECT_EQ(s[1].pivotX, 2);
    EXPECT_EQ(s[1].pivotY, 3);
}

TEST(SheetJson, DialectAndShapeErrors) {
    const std::string frames =
        R"("frames": [{"filename": "a", "frame": {"x": 0, "y": 0, "w": 1, "h": 1}, "rotated": false}])";
    struct Case {
        std::string json;
        std::string message;
    };
    const Case cases[] = {
        {"{" + frames + R"(, "meta": {"app": "http://www.texturepacker.com/", "image": "s.png"}})",
         "Unsupported JSON sheet format"},
        {"{" + frames + R"(, "meta": {"app": "SomeTool", "image": "s.png"}})",
         "Unsupported JSON sheet format"},
        {R"({"frames": {"a": {}}, "meta": {"app": "http://www.texturepacker.com", "image": "s.png"}})",
         "Unsupported TexturePacker JSON sheet format (use JSON Array format instead)"},
        {"{" + frames + "}", "Key \"meta\" not found"},
        {"{" + frames + R"(, "meta": {"app": "Adobe"}})", "Key \"image\" not found"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorOf([&] { parseJson(c.json); }), c.message) << c.json;
    }
    EXPECT_THROW(parseJson("{\"frames\": ["), util::JSON::ParseError);
}

TEST(SpriteCoords, UnrotatedAndRotated) {
    SpriteSheet sheet;
    sheet.setTexture(new FakeTexture(256, 256, "t"));
    Sprite* flat = sheet.addSprite("flat", 64, 32, 16, 8, 0, 0, false);
    expectQuad(flat->getTexCoords(), gr::Quad::rect(0.25f, 0.125f, 0.3125f, 0.15625f));
    // Stored a quarter turn around: texture pixels 100..120 across, 50..60 down.
    Sprite* turned = sheet.addSprite("turned", 100, 50, 10, 20, 0, 0, true);
    float l = 100 / 256.f, r = 120 / 256.f, t = 50 / 256.f, b = 60 / 256.f;
    expectQuad(turned->getTexCoords(), gr::Quad{{{r, t}, {r, b}, {l, t}, {l, b}}});

    SpriteSheet bare;
    expectQuad(bare.addSprite("none", 1, 2, 3, 4, 0, 0, false)->getTexCoords(),
               gr::Quad::rect(0, 0, 0, 0));
}

TEST(SpriteDraw, AnchorsPlaceTheTopLeft) {
    SpriteSheet sheet;
    sheet.setTexture(new FakeTexture(64, 64, "t"));
    Sprite* s = sheet.addSprite("s", 0, 0, 7, 9, 2, 3, false);
    struct Case {
        int vertical, horizontal;
        float x, y;
    };
    const Case cases[] = {
        {ANCHOR_TOP, ANCHOR_LEFT, 100, 50},     {ANCHOR_VCENTER, ANCHOR_HCENTER, 97, 46},
        {ANCHOR_BOTTOM, ANCHOR_RIGHT, 93, 41},  {ANCHOR_BASELINE, ANCHOR_HPIVOT, 98, 47},
        {ANCHOR_VPIVOT, ANCHOR_HPIVOT, 98, 47},
    };
    FakeContext ctx;
    for (const Case& c : cases) {
        ctx.draws.clear();
        s->draw(&ctx, 100, 50, c.vertical, c.horizontal);
        ASSERT_EQ(ctx.draws.size(), 1u);
        expectQuad(ctx.draws[0].corners, gr::Quad::rect(c.x, c.y, c.x + 7, c.y + 9));
    }
    // The stretched form anchors by the sprite's own size.
    ctx.draws.clear();
    s->draw(&ctx, 100, 50, 70, 90, ANCHOR_VCENTER, ANCHOR_HCENTER);
    expectQuad(ctx.draws[0].corners, gr::Quad::rect(97, 46, 167, 136));

    sheet.releaseTexture();
    ctx.draws.clear();
    s->draw(&ctx, 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_TRUE(ctx.draws.empty());
}

TEST(SheetLoad, TextureComesFromTheSheetsFolder) {
    BundleDir bundle;
    bundle.writePng("gfx/art/menu.png", 32, 16);
    bundle.write("gfx/menu.dat", sheetDat("art/menu.png", {{"button", 0, 0, 16, 16, 8, 8}}));
    FakeContext ctx;
    lang::Ptr<SpriteSheet> sheet = SheetLoaderDAT().loadSheet(&ctx, "gfx/menu.dat");
    ASSERT_NE(sheet->getTexture(), nullptr);
    EXPECT_EQ(sheet->getTexture()->width(), 32);
    ASSERT_NE(sheet->getSprite("button"), nullptr);
    EXPECT_FLOAT_EQ(sheet->getSprite("button")->getTexCoords().p[3].x, 0.5f);
    ASSERT_EQ(ctx.loaded.size(), 1u);
    EXPECT_NE(ctx.loaded[0].find("gfx/art/menu.png"), std::string::npos);
}

TEST(SheetLoad, StreamsGiveTheTextureAndNamedTexturesAreNotLoaded) {
    BundleDir bundle;
    bundle.writePng("other.png", 64, 64);
    std::vector<uint8_t> dat = sheetDat("missing.png", {{"a", 0, 0, 32, 32, 0, 0}});
    io::ByteArrayInputStream description(dat.data(), static_cast<int>(dat.size()));
    gr::Image image(64, 64);
    std::vector<uint8_t> png = gr::encodePng(image);
    io::ByteArrayInputStream texture(png.data(), static_cast<int>(png.size()));
    FakeContext ctx;
    lang::Ptr<SpriteSheet> sheet = SheetLoaderDAT().loadSheet(&ctx, description, texture);
    EXPECT_EQ(ctx.loaded.size(), 1u);
    EXPECT_FLOAT_EQ(sheet->getSprite("a")->getTexCoords().p[3].x, 0.5f);

    // loadSprites adds to a sheet and leaves its texture alone.
    bundle.write("more.json",
                 R"({"frames": [{"filename": "b", "frame": {"x": 0, "y": 0, "w": 4, "h": 4}}],
                                  "meta": {"app": "Adobe", "image": "nope.png"}})");
    gr::Texture* before = sheet->getTexture();
    SheetLoaderJSON().loadSprites("more.json", sheet.get());
    EXPECT_EQ(sheet->getTexture(), before);
    EXPECT_NE(sheet->getSprite("a"), nullptr);
    EXPECT_NE(sheet->getSprite("b"), nullptr);
}
