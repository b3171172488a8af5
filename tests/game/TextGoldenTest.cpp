// Text drawn by the gl2 renderer with a bitmap font and with a system font,
// compared with golden images (golden/README.md).

#include "game/Anchor.h"
#include "game/BitmapFont.h"
#include "game/GameTestUtil.h"
#include "game/Gl2Golden.h"
#include "game/SystemFont.h"
#include "game/TextTestUtil.h"

using namespace game;
using namespace gametest;
using namespace texttest;

namespace {

// A 5 x 7 pixel font; 'y' reaches two pixels below the baseline.
struct PixelGlyph {
    char c;
    const char* rows[9];
};

const PixelGlyph PIXEL_GLYPHS[] = {
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'y', {".....", ".....", "#...#", "#...#", "#...#", ".####", "....#", "#...#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
};

// The glyphs side by side, 6 pixels apart, with a 3-pixel blank for ' '.
void writePixelFont(const BundleDir& bundle) {
    gr::Image image(64, 16);
    std::vector<GlyphSpec> glyphs;
    int x = 0;
    for (const PixelGlyph& g : PIXEL_GLYPHS) {
        const int height = g.rows[7] ? 9 : 7;
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (g.rows[row][col] == '#') {
                    std::fill_n(image.pixel(x + col, row), 4, 255);
                }
            }
        }
        glyphs.push_back(GlyphSpec{g.c, x, 0, 5, height, 7});
        x += 6;
    }
    glyphs.push_back(GlyphSpec{' ', x, 0, 3, 7, 7});
    bundle.write("fonts/pixel.png", gr::encodePng(image));
    bundle.write("fonts/pixel.dat", fontFile("pixel.png", 9, 1, glyphs));
}

class TextGoldenTest : public Gl2GoldenTest {
protected:
    // A dim guide line through y, to show where the anchors put the text.
    void guide(float y) { ctx->fillRect(0, y, 128, y + 1, gr::Color(0.5f, 0.1f, 0.1f)); }

    BundleDir bundle;
};

TEST_F(TextGoldenTest, BitmapFontAtItsAnchors) {
    writePixelFont(bundle);
    lang::Ptr<BitmapFont> font = new BitmapFont(ctx.get(), "fonts/pixel.dat");
    guide(30);
    guide(60);
    guide(90);
    font->drawString(ctx.get(), "HELLO 12!", 4, 30, ANCHOR_TOP, ANCHOR_LEFT);
    font->drawString(ctx.get(), "yEOH yELL", 64, 60, ANCHOR_BASELINE, ANCHOR_HCENTER);
    font->drawString(ctx.get(), "y21 OLE", 124, 90, ANCHOR_BOTTOM, ANCHOR_RIGHT);
    ctx->renderState().alpha = 0.5f;
    font->drawString(ctx.get(), "HOLE", 64, 110, ANCHOR_VCENTER, ANCHOR_HCENTER);
    ctx->renderState().reset();
    EXPECT_TRUE(matchesGolden(capture("text-bitmap"), "text-bitmap"));
}

TEST_F(TextGoldenTest, SystemFontStylesColoursAndAnchors) {
    lang::Ptr<SystemFont> regular =
        new SystemFont(ctx.get(), "DejaVu Sans", 12, gr::Color(1, 1, 1, 1), 0);
    lang::Ptr<SystemFont> bold =
        new SystemFont(ctx.get(), "DejaVu Sans", 16, gr::Color(1, 0.6f, 0.1f, 1), 1);
    lang::Ptr<SystemFont> faint =
        new SystemFont(ctx.get(), "DejaVu Sans", 10, gr::Color(0.3f, 0.9f, 1, 0.6f), 0);
    guide(50);
    guide(120);
    regular->drawString(ctx.get(), "Quillfire", 4, 4, ANCHOR_TOP, ANCHOR_LEFT);
    bold->drawString(ctx.get(), "Bold gyp", 64, 50, ANCHOR_BASELINE, ANCHOR_HCENTER);
    regular->drawString(ctx.get(), "two\nlines", 4, 60, ANCHOR_TOP, ANCHOR_LEFT);
    faint->drawString(ctx.get(), "faint text", 124, 120, ANCHOR_BOTTOM, ANCHOR_RIGHT);
    EXPECT_TRUE(matchesGolden(capture("text-system"), "text-system"));
}

}  // namespace
