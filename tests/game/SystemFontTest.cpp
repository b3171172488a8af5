// System fonts through fontconfig and FreeType (DejaVu Sans must be installed),
// and the pool of rendered labels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "game/Anchor.h"
#include "game/LabelPool.h"
#include "game/SystemFont.h"
#include "game/TextTestUtil.h"
#include "lang/Exception.h"

using namespace game;
using namespace texttest;

namespace {

const char* const FACE = "DejaVu Sans";
const gr::Color WHITE(1, 1, 1, 1);

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "no exception";
}

class SystemFontTest : public ::testing::Test {
protected:
    lang::Ptr<SystemFont> font(int size = 12, const gr::Color& colour = WHITE, int style = 0) {
        return new SystemFont(&ctx, FACE, size, colour, style);
    }
    const RecordingTexture* texture(size_t draw) const {
        return static_cast<const RecordingTexture*>(ctx.log->draws.at(draw).texture);
    }

    RecordingContext ctx;
};

TEST_F(SystemFontTest, UnknownFamiliesAndStylesFail) {
    EXPECT_EQ(messageOf([&] { SystemFont(&ctx, "No Such Family Here", 12, WHITE, 0); }),
              "Font No Such Family Here is not available.");
    EXPECT_EQ(messageOf([&] { SystemFont(&ctx, FACE, 12, WHITE, 7); }),
              "Style Unknown is not available for font DejaVu Sans.");
    EXPECT_EQ(messageOf([&] { SystemFont(&ctx, FACE, 12, WHITE, -1); }),
              "Style Unknown is not available for font DejaVu Sans.");
    EXPECT_EQ(LabelPool::shared().getLiveFonts(), 0);
}

TEST_F(SystemFontTest, FamilyNamesIgnoreCaseAndBoldIsOffered) {
    EXPECT_EQ(SystemFont(&ctx, "dejavu sans", 12, WHITE, 0).getMaxAscending(), 15);
    lang::Ptr<SystemFont> bold = font(12, WHITE, SystemFont::STYLE_BOLD);
    lang::Ptr<SystemFont> regular = font();
    EXPECT_GT(bold->getStringWidth("Bold text", 0, 100),
              regular->getStringWidth("Bold text", 0, 100));
}

TEST_F(SystemFontTest, MetricsComeFromTheFaceAt96Dpi) {
    // 12 points are 16 pixels; DejaVu Sans: 2048 units, ascent 1901, descent
    // 483, line spacing 2384.
    lang::Ptr<SystemFont> f = font();
    EXPECT_EQ(f->getMaxAscending(), 15);  // 14.85
    EXPECT_EQ(f->getMaxDescending(), 4);  // 3.77
    EXPECT_EQ(f->getLeading(), 19);       // 18.63
    EXPECT_EQ(f->getHeight(), 19);
    EXPECT_EQ(f->getTracking(), 0);
    lang::Ptr<SystemFont> big = font(24);
    EXPECT_EQ(big->getMaxAscending(), 30);  // 29.7
    EXPECT_EQ(big->getMaxDescending(), 8);  // 7.55
}

TEST_F(SystemFontTest, MeasuresByteRanges) {
    lang::Ptr<SystemFont> f = font();
    EXPECT_EQ(f->getStringWidth("", 0, 10), 0);
    EXPECT_EQ(f->getStringHeight("", 0, 10), 0);
    const int a = f->getStringWidth("A", 0, 1);
    const int ab = f->getStringWidth("AB", 0, 2);
    EXPECT_GT(a, 5);
    EXPECT_GT(ab, a);
    EXPECT_EQ(f->getStringWidth("AB", 1, 5), f->getStringWidth("B", 0, 1));
    EXPECT_EQ(f->getStringWidth("AB", 2, 5), 0);
    EXPECT_EQ(f->getStringWidth("AB", -4, 1), a);
    EXPECT_EQ(f->getStringHeight("Ag", 0, 2), 19);
    // A second line adds the line spacing.
    EXPECT_EQ(f->getStringHeight("A\nB", 0, 3), 19 + 19);
    EXPECT_EQ(f->getStringWidth("AB\nA", 0, 4), ab);
}

TEST_F(SystemFontTest, EveryCodePointCounts) {
    lang::Ptr<SystemFont> f = font();
    for (int c : {0, 65, 0xE9, 0x1F600, 0x10FFFF}) {
        EXPECT_TRUE(f->hasGlyph(c));
    }
    EXPECT_EQ(f->filterString("a\xF0\x9F\x98\x80z"), "a\xF0\x9F\x98\x80z");
}

TEST_F(SystemFontTest, BoundsPlaceTheTopByTheAnchor) {
    lang::Ptr<SystemFont> f = font();
    const int w = f->getStringWidth("Text", 0, 4);
    struct Case {
        int vertical, horizontal;
        gr::Rect bounds;
    };
    const Case cases[] = {
        {ANCHOR_TOP, ANCHOR_LEFT, gr::Rect(0, 0, w, 19)},
        {ANCHOR_BASELINE, ANCHOR_RIGHT, gr::Rect(-w, -15, 0, 4)},
        {ANCHOR_BOTTOM, ANCHOR_HCENTER, gr::Rect(-(w / 2), -19, w - w / 2, 0)},
        {ANCHOR_VCENTER, ANCHOR_HPIVOT, gr::Rect(0, -11, w, 8)},  // 15 / 2 + 4
    };
    for (const Case& c : cases) {
        const gr::Rect r = f->getStringBounds("Text", c.vertical, c.horizontal, 0, 4);
        EXPECT_EQ(r, c.bounds) << r.x0 << "," << r.y0 << "," << r.x1 << "," << r.y1;
    }
}

TEST_F(SystemFontTest, DrawsALabelWhereTheAnchorsSay) {
    lang::Ptr<SystemFont> f = font();
    const int w = f->getStringWidth("Text", 0, 4);
    struct Case {
        int vertical, horizontal;
        float x, y;
    };
    const Case cases[] = {
        {ANCHOR_TOP, ANCHOR_LEFT, 40, 30},
        {ANCHOR_BASELINE, ANCHOR_LEFT, 40, 15},  // the baseline lies at y
        {ANCHOR_BOTTOM, ANCHOR_RIGHT, 40.f - w, 11},
        {ANCHOR_VCENTER, ANCHOR_HCENTER, 40.f - w / 2, 19},
    };
    for (const Case& c : cases) {
        ctx.log->draws.clear();
        f->drawString(&ctx, "Text", 40.7f, 30.9f, c.vertical, c.horizontal);
        ASSERT_EQ(ctx.log->draws.size(), 1u);
        const TextureLog::Draw& d = ctx.log->draws[0];
        EXPECT_FLOAT_EQ(d.x, std::trunc(c.x + 0.7f)) << c.vertical << c.horizontal;
        EXPECT_FLOAT_EQ(d.y, c.y) << c.vertical;
        EXPECT_FLOAT_EQ(d.w, static_cast<float>(w));
        EXPECT_FLOAT_EQ(d.h, 19);
    }
    EXPECT_EQ(ctx.log->made, 1);  // one label served every draw
}

TEST_F(SystemFontTest, OneLabelPerTextFaceSizeColourAndStyle) {
    lang::Ptr<SystemFont> white = font();
    lang::Ptr<SystemFont> white2 = font();
    lang::Ptr<SystemFont> red = font(12, gr::Color(1, 0, 0, 1));
    lang::Ptr<SystemFont> big = font(14);
    white->drawString(&ctx, "Play", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    white2->drawString(&ctx, "Play", 5, 5, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_EQ(ctx.log->made, 1);
    red->drawString(&ctx, "Play", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    big->drawString(&ctx, "Play", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    white->drawString(&ctx, "Plays", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    white->drawString(&ctx, "Plays", 0, 4, 0, 0, ANCHOR_TOP, ANCHOR_LEFT);  // "Play" again
    EXPECT_EQ(ctx.log->made, 4);
    EXPECT_EQ(LabelPool::shared().size(), 4u);
    white->drawString(&ctx, "", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    white->drawString(&ctx, "Play", 4, 9, 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_EQ(ctx.log->made, 4);
    EXPECT_EQ(ctx.log->draws.size(), 6u);
}

TEST_F(SystemFontTest, CollidingKeysStillDrawTheirOwnText) {
    // "Ez" and "FY" give the same 33-multiplier hash.
    const uint32_t colour = SystemFont::packColour(WHITE);
    ASSERT_EQ(SystemFont::labelKey(FACE, "Ez", 12, colour, 0),
              SystemFont::labelKey(FACE, "FY", 12, colour, 0));
    lang::Ptr<SystemFont> f = font();
    f->drawString(&ctx, "Ez", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    ASSERT_EQ(ctx.log->draws.size(), 1u);
    const std::vector<uint8_t> ez = texture(0)->pixels;  // the label goes with the next draw
    f->drawString(&ctx, "FY", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    ASSERT_EQ(ctx.log->draws.size(), 2u);
    EXPECT_EQ(ctx.log->made, 2);
    EXPECT_NE(ez, texture(1)->pixels);
    EXPECT_EQ(LabelPool::shared().size(), 1u);
}

TEST_F(SystemFontTest, LabelsHoldPremultipliedColour) {
    lang::Ptr<SystemFont> f = font(32, gr::Color(1, 0.5f, 0, 0.5f));
    EXPECT_EQ(f->getPackedColour(), 0x7fff7f00u);
    f->drawString(&ctx, "Il", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    ASSERT_EQ(ctx.log->draws.size(), 1u);
    const std::vector<uint8_t>& p = texture(0)->pixels;
    int maxAlpha = 0;
    for (size_t i = 0; i < p.size(); i += 4) {
        ASSERT_EQ(p[i], p[i + 3] * 255 / 255) << i;  // red: alpha * 255 / 255
        ASSERT_EQ(p[i + 1], p[i + 3] * 127 / 255) << i;
        ASSERT_EQ(p[i + 2], 0) << i;
        maxAlpha = std::max(maxAlpha, int(p[i + 3]));
    }
    EXPECT_EQ(maxAlpha, 127);  // solid stems at half alpha
}

TEST_F(SystemFontTest, ColourIsClampedAndPacked) {
    EXPECT_EQ(SystemFont::packColour(gr::Color(2, -1, 0.5f, 1)), 0xffff007fu);
    EXPECT_EQ(SystemFont::packColour(gr::Color(0.999f, 0, 0, 0)), 0x00fe0000u);
    EXPECT_STREQ(SystemFont::styleName(2), "Italic");
    EXPECT_STREQ(SystemFont::styleName(3), "Unknown");
}

TEST_F(SystemFontTest, ThePoolEmptiesWithTheLastFont) {
    lang::Ptr<SystemFont> a = font();
    lang::Ptr<SystemFont> b = font(13);
    a->drawString(&ctx, "one", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    b->drawString(&ctx, "two", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_EQ(LabelPool::shared().getLiveFonts(), 2);
    a.reset();
    EXPECT_EQ(LabelPool::shared().size(), 2u);
    b.reset();
    EXPECT_EQ(LabelPool::shared().size(), 0u);
    EXPECT_EQ(LabelPool::shared().getTotalBytes(), 0);
}

TEST_F(SystemFontTest, ListsInstalledFamilies) {
    const std::vector<std::string> families = SystemFont::getAvailableSystemFonts();
    EXPECT_NE(std::find(families.begin(), families.end(), FACE), families.end());
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
    EXPECT_EQ(SystemFont::getAvailableSystemFonts(), families);
}

// The pool alone, with 512 x 512 labels of 1,048,576 bytes each.
class LabelPoolTest : public ::testing::Test {
protected:
    lang::Ptr<LabelPool::Label> label(int w = 512, int h = 512) {
        return new LabelPool::Label(ctx.createEmptyTexture(w, h, gr::PIXELFORMAT_A8B8G8R8), "");
    }

    RecordingContext ctx;
    LabelPool pool;
};

TEST_F(LabelPoolTest, TheOldestLabelLeavesFirstHoweverOftenItIsUsed) {
    for (uint32_t key = 1; key <= 5; ++key) {
        pool.add(key, label());
    }
    EXPECT_EQ(pool.getTotalBytes(), 5 * 1048576);
    ASSERT_NE(pool.find(1, ""), nullptr);
    pool.find(1, "")->draw(0, 0);
    pool.add(6, label());
    EXPECT_EQ(pool.find(1, ""), nullptr);
    EXPECT_NE(pool.find(2, ""), nullptr);
    EXPECT_NE(pool.find(6, ""), nullptr);
    EXPECT_EQ(pool.size(), 5u);
    EXPECT_EQ(pool.getTotalBytes(), 5 * 1048576);
    // A bigger label pushes out as many as it needs.
    pool.add(7, label(1024, 1024));
    EXPECT_EQ(pool.size(), 2u);
    EXPECT_NE(pool.find(6, ""), nullptr);
}

TEST_F(LabelPoolTest, ALabelOverTheBudgetStaysAlone) {
    pool.add(1, label(16, 16));
    pool.add(2, label(2048, 1024));  // 8 MiB
    EXPECT_EQ(pool.size(), 1u);
    EXPECT_NE(pool.find(2, ""), nullptr);
    pool.add(3, label(16, 16));
    EXPECT_EQ(pool.size(), 1u);
    EXPECT_EQ(pool.getTotalBytes(), 16 * 16 * 4);
}

TEST_F(LabelPoolTest, ReplacingAKeyReplacesItsBytes) {
    pool.add(1, label(10, 10));
    pool.add(1, label(20, 10));
    EXPECT_EQ(pool.size(), 1u);
    EXPECT_EQ(pool.getTotalBytes(), 800);
    pool.add(2, label(1, 1));
    EXPECT_EQ(pool.find(1, "other text"), nullptr);
    pool.clear();
    EXPECT_EQ(pool.getTotalBytes(), 0);
    EXPECT_EQ(pool.find(2, ""), nullptr);
}

TEST_F(LabelPoolTest, LabelsDrawTheirWholeTexture) {
    lang::Ptr<LabelPool::Label> l = label(30, 12);
    l->draw(5, 6);
    ASSERT_EQ(ctx.log->draws.size(), 1u);
    const TextureLog::Draw& d = ctx.log->draws[0];
    EXPECT_EQ(d.x, 5);
    EXPECT_EQ(d.y, 6);
    EXPECT_EQ(d.w, 30);
    EXPECT_EQ(d.h, 12);
}

}  // namespace
