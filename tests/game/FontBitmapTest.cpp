// Bitmap fonts: the font file, layout and measuring, drawing and anchors.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "game/Anchor.h"
#include "game/BitmapFont.h"
#include "game/FontFile.h"
#include "game/GameTestUtil.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "game/TextTestUtil.h"
#include "io/IOException.h"

using namespace game;
using namespace gametest;
using namespace texttest;

namespace {

// 'A' 10 wide standing on the baseline, 'B' 12 wide reaching 3 below it.
const std::vector<GlyphSpec> GLYPHS = {{'A', 0, 0, 10, 10, 10}, {'B', 10, 0, 12, 12, 9}};

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override { bundle.writePng("fonts/glyphs.png", 64, 16); }

    lang::Ptr<BitmapFont> load(const std::vector<uint8_t>& file) {
        bundle.write("fonts/f.dat", file);
        return new BitmapFont(&ctx, "fonts/f.dat");
    }
    lang::Ptr<BitmapFont> standard(int tracking = 2) {
        return load(fontFile("glyphs.png", 14, tracking, GLYPHS));
    }
    // The top-left corners of the glyphs drawn so far.
    std::vector<gr::Point> drawnCorners() const {
        std::vector<gr::Point> corners;
        for (const FakeContext::Draw& d : ctx.draws) {
            corners.push_back(d.corners.p[0]);
        }
        return corners;
    }

    BundleDir bundle;
    FakeContext ctx;
};

TEST_F(BitmapFontTest, ReadsMetricsAndTextureFromTheFontsFolder) {
    lang::Ptr<BitmapFont> font = standard();
    EXPECT_EQ(font->getLeading(), 14);
    EXPECT_EQ(font->getTracking(), 2);
    EXPECT_EQ(font->getMaxAscending(), 10);
    EXPECT_EQ(font->getMaxDescending(), 3);
    EXPECT_EQ(font->getHeight(), 13);
    ASSERT_EQ(ctx.loaded.size(), 1u);
    EXPECT_NE(ctx.loaded[0].find("fonts/glyphs.png"), std::string::npos);
    Sprite* b = font->getGlyph('B');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getName(), "66");
    EXPECT_EQ(b->getPivotX(), 0);
    EXPECT_EQ(b->getPivotY(), 9);
    EXPECT_FALSE(b->isRotated());
}

TEST_F(BitmapFontTest, MeasuresRangesOfCodePoints) {
    lang::Ptr<BitmapFont> font = standard();
    struct Case {
        const char* text;
        int start, count;
        int width, height;
    };
    const Case cases[] = {
        {"AB", 0, IFont::WHOLE_TEXT, 24, 12},
        {"AxB", 0, IFont::WHOLE_TEXT, 26, 12},  // the unknown x still adds tracking
        {"", 0, IFont::WHOLE_TEXT, 0, 0},
        {"A", 0, 1, 10, 10},
        {"AB", 1, 100, 12, 12},
        {"AB", 5, 1, 0, 0},
        {"AB", -3, 1, 10, 10},
        {"AB", 0, -1, 0, 0},
        {"x", 0, 1, 0, 0},
        {"\xC3\xA9"
         "A",
         1, 1, 10, 10},  // counts code points, not bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(font->getStringWidth(c.text, c.start, c.count), c.width);
        EXPECT_EQ(font->getStringHeight(c.text, c.start, c.count), c.height);
    }
}

TEST_F(BitmapFontTest, UnknownCharactersDoNotMoveThePen) {
    lang::Ptr<BitmapFont> font = standard();
    font->drawString(&ctx, "AxB", 100, 50, ANCHOR_BASELINE, ANCHOR_LEFT);
    const std::vector<gr::Point> corners = drawnCorners();
    ASSERT_EQ(corners.size(), 2u);
    // Each glyph's left edge on the baseline: A at 100, B after 10 + 2.
    EXPECT_FLOAT_EQ(corners[0].x, 100);
    EXPECT_FLOAT_EQ(corners[0].y, 40);
    EXPECT_FLOAT_EQ(corners[1].x, 112);
    EXPECT_FLOAT_EQ(corners[1].y, 41);
    EXPECT_FLOAT_EQ(ctx.draws[1].corners.p[3].x - corners[0].x, 24);  // drawn 24 wide
}

TEST_F(BitmapFontTest, AnchorsPlaceTheFirstGlyph) {
    // Tracking 3 makes "AB" 25 wide; the ascent is 10 and the descent 3.
    lang::Ptr<BitmapFont> font = standard(3);
    struct Case {
        int vertical, horizontal;
        float baselineY, leftX;
    };
    const Case cases[] = {
        {ANCHOR_TOP, ANCHOR_LEFT, 60, 100},
        {ANCHOR_VCENTER, ANCHOR_HCENTER, 54, 88},  // 10 - 13 / 2; 25 / 2
        {ANCHOR_BOTTOM, ANCHOR_RIGHT, 47, 75},
        {ANCHOR_BASELINE, ANCHOR_HPIVOT, 50, 100},
        {ANCHOR_VPIVOT, ANCHOR_LEFT, 50, 100},
    };
    for (const Case& c : cases) {
        ctx.draws.clear();
        font->drawString(&ctx, "AB", 100, 50, c.vertical, c.horizontal);
        ASSERT_EQ(ctx.draws.size(), 2u);
        EXPECT_FLOAT_EQ(ctx.draws[0].corners.p[0].x, c.leftX) << c.vertical << c.horizontal;
        EXPECT_FLOAT_EQ(ctx.draws[0].corners.p[0].y, c.baselineY - 10) << c.vertical;
    }
}

TEST_F(BitmapFontTest, BoundsFollowTheAnchors) {
    lang::Ptr<BitmapFont> font = standard();
    // "AB": 24 wide, 12 high, highest glyph top 10 above the baseline.
    struct Case {
        int vertical, horizontal;
        gr::Rect bounds;
    };
    const Case cases[] = {
        {ANCHOR_TOP, ANCHOR_LEFT, gr::Rect(0, 0, 24, 12)},
        {ANCHOR_BASELINE, ANCHOR_HCENTER, gr::Rect(-12, -10, 12, 2)},
        {ANCHOR_BOTTOM, ANCHOR_RIGHT, gr::Rect(-24, -13, 0, -1)},
        {ANCHOR_VCENTER, ANCHOR_LEFT, gr::Rect(0, -6, 24, 6)},
    };
    for (const Case& c : cases) {
        const gr::Rect r = font->getStringBounds("AB", c.vertical, c.horizontal, 0, 2);
        EXPECT_EQ(r, c.bounds) << r.x0 << "," << r.y0 << "," << r.x1 << "," << r.y1;
    }
    EXPECT_EQ(font->getStringBounds("", ANCHOR_TOP, ANCHOR_LEFT, 0, 5), gr::Rect(0, 10, 0, 10));
}

TEST_F(BitmapFontTest, VersionOneCodePointsAreSixteenBits) {
    lang::Ptr<BitmapFont> v1 =
        load(fontFile("glyphs.png", 0, 0, {{0xE9, 0, 0, 5, 5, 5}, {0xFFFF, 5, 0, 6, 5, 5}}, 1));
    EXPECT_TRUE(v1->hasGlyph(0xE9));
    EXPECT_TRUE(v1->hasGlyph(0xFFFF));
    EXPECT_FALSE(v1->hasGlyph(-1));
    lang::Ptr<BitmapFont> v2 = load(fontFile("glyphs.png", 0, 0, {{0x1F600, 0, 0, 7, 5, 5}}, 2));
    EXPECT_TRUE(v2->hasGlyph(0x1F600));
    EXPECT_EQ(v2->getStringWidth("\xF0\x9F\x98\x80", 0, 1), 7);
}

TEST_F(BitmapFontTest, TheLaterOfTwoGlyphsWins) {
    lang::Ptr<BitmapFont> font =
        load(fontFile("glyphs.png", 0, 0, {{'A', 0, 0, 10, 10, 10}, {'A', 20, 0, 4, 6, 2}}));
    EXPECT_EQ(font->getStringWidth("A", 0, 1), 4);
    EXPECT_EQ(font->getGlyph('A')->getX(), 20);
    // Both count in the font's extent.
    EXPECT_EQ(font->getMaxAscending(), 10);
    EXPECT_EQ(font->getMaxDescending(), 4);
}

TEST_F(BitmapFontTest, FilterKeepsOnlyDrawableCharacters) {
    lang::Ptr<BitmapFont> font =
        load(fontFile("glyphs.png", 0, 0, {{'A', 0, 0, 1, 1, 1}, {0xE9, 0, 0, 1, 1, 1}}));
    EXPECT_EQ(font->filterString("xA\xC3\xA9yA"),
              "A\xC3\xA9"
              "A");
    EXPECT_EQ(font->filterString("xyz"), "");
    EXPECT_EQ(font->filterString(""), "");
}

TEST_F(BitmapFontTest, GlyphDrawerReplacesSpriteDrawing) {
    lang::Ptr<BitmapFont> font = standard();
    std::vector<std::pair<std::string, gr::Point>> seen;
    font->setGlyphDrawer([&](gr::Context* context, Sprite* glyph, float x, float y) {
        EXPECT_EQ(context, &ctx);
        seen.push_back({glyph->getName(), gr::Point{x, y}});
    });
    font->drawString(&ctx, "BA", 5, 7, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_TRUE(ctx.draws.empty());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, "66");
    EXPECT_FLOAT_EQ(seen[0].second.x, 5);
    EXPECT_FLOAT_EQ(seen[0].second.y, 17);  // the baseline
    EXPECT_FLOAT_EQ(seen[1].second.x, 19);

    font->setGlyphDrawer(BitmapFont::GlyphDrawer());
    font->drawString(&ctx, "BA", 5, 7, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_EQ(ctx.draws.size(), 2u);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(BitmapFontTest, DrawsRangesAndNothingForEmptyText) {
    lang::Ptr<BitmapFont> font = standard();
    font->drawString(&ctx, "", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    font->drawString(&ctx, "AB", 2, 5, 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_TRUE(ctx.draws.empty());
    font->drawString(&ctx, "ABAB", 1, 2, 0, 0, ANCHOR_BASELINE, ANCHOR_LEFT);
    ASSERT_EQ(ctx.draws.size(), 2u);
    EXPECT_FLOAT_EQ(ctx.draws[0].corners.p[0].y, -9);  // B first
}

TEST_F(BitmapFontTest, OtherDataAndChunksAreSkipped) {
    // Not a chunk file: an empty font.
    lang::Ptr<BitmapFont> empty = load(std::vector<uint8_t>{'G', 'I', 'F', '8', 1, 2});
    EXPECT_EQ(empty->getHeight(), 0);
    EXPECT_FALSE(empty->hasGlyph('A'));
    EXPECT_EQ(empty->getStringWidth("AB", 0, 2), 0);

    chunk::ChunkWriter w;
    w.beginFile("PLXB");
    w.beginChunk("SPRT").int16(1).string("x.png").endChunk();
    w.beginChunk("FONT").int16(3).string("nothing.png").int16(1).int16(1).endChunk();
    w.beginChunk("FONT").int16(1).string("glyphs.png").int16(5).int16(1).int16(1);
    w.int16('Z').int16(0).int16(0).int16(3).int16(4).int16(4).endChunk();
    w.endFile();
    lang::Ptr<BitmapFont> font = load(w.data());
    EXPECT_TRUE(font->hasGlyph('Z'));
    EXPECT_EQ(font->getLeading(), 5);
    EXPECT_EQ(ctx.loaded.size(), 1u);
}

TEST_F(BitmapFontTest, MalformedFilesNameThePath) {
    std::vector<uint8_t> good = fontFile("glyphs.png", 1, 1, GLYPHS);
    std::vector<uint8_t> longPayload = good;
    longPayload[7] += 1;
    std::vector<uint8_t> cut(good.begin(), good.end() - 3);
    std::vector<uint8_t> negative = fontFile("glyphs.png", 1, 1, {{'A', 0, 0, -1, 4, 4}});
    for (const std::vector<uint8_t>* file : {&longPayload, &cut, &negative}) {
        bundle.write("fonts/bad.dat", *file);
        try {
            BitmapFont(&ctx, "fonts/bad.dat");
            ADD_FAILURE() << "no failure";
        } catch (const io::IOException& e) {
            EXPECT_STREQ(e.what(), "Malformed PLXB file: fonts/bad.dat");
        }
    }
}

TEST_F(BitmapFontTest, EveryDamagedFileParsesOrThrows) {
    const std::vector<uint8_t> good = fontFile("glyphs.png", 1, 1, GLYPHS, 1);
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_THROW(parseFontFile(cut.data(), cut.size(), "f"), io::IOException) << length;
    }
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> data = good;
        for (int e = 0; e < 3; ++e) {
            data[random() % data.size()] = static_cast<uint8_t>(random());
        }
        try {
            FontDescription font = parseFontFile(data.data(), data.size(), "f");
            for (const FontDescription::Page& page : font.pages) {
                for (const FontGlyph& g : page.glyphs) {
                    EXPECT_GE(g.width, 0);
                    EXPECT_GE(g.height, 0);
                }
            }
        } catch (const io::IOException& e) {
            EXPECT_STREQ(e.what(), "Malformed PLXB file: f");
        }
    }
}

TEST_F(BitmapFontTest, RegistryKeepsWhatItHadWhenALoadFails) {
    lang::Ptr<FakeContext> shared = new FakeContext();
    lang::Ptr<Resources> res = new Resources(shared);
    bundle.write("fonts/menu.dat", fontFile("glyphs.png", 14, 2, GLYPHS));
    res->createBitmapFont("fonts/menu.dat", false);
    res->useFont("menu");
    EXPECT_EQ(res->getStringWidth("AB"), 24);

    bundle.write("fonts/menu.dat", std::vector<uint8_t>{'P', 'L', 'X', 'B', 0, 0, 1, 0});
    EXPECT_THROW(res->createBitmapFont("fonts/menu.dat", true), io::IOException);
    EXPECT_EQ(res->getStringWidth("AB"), 24);
    EXPECT_THROW(res->createBitmapFont("fonts/other.dat", false), io::IOException);
    EXPECT_EQ(res->getFont("other"), nullptr);
}

}  // namespace
