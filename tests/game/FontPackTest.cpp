// The bitmap-font builder of tools/fonts: a scalable font packed into a
// texture and a font file that the engine loads.

#include <gtest/gtest.h>

#include <stdexcept>

#include "fonts/FontPacker.h"
#include "game/Anchor.h"
#include "game/BitmapFont.h"
#include "game/FakeContext.h"
#include "game/FontFile.h"
#include "game/GameTestUtil.h"
#include "game/Sprite.h"
#include "game/SystemFont.h"
#include "lang/String.h"

using namespace game;
using namespace gametest;

namespace {

// From the package fonts-dejavu-core.
const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

fonts::PackedFont pack(const std::u32string& characters, int width = 128) {
    fonts::PackOptions options;
    options.fontFile = DEJAVU;
    options.pixelSize = 16;
    options.characters = characters;
    options.tracking = 1;
    options.textureWidth = width;
    return fonts::packFont(options, "menu.png");
}

// The sum of the alpha of a glyph's rectangle.
int ink(const fonts::PackedFont& packed, const Sprite& glyph) {
    int sum = 0;
    for (int y = 0; y < glyph.getHeight(); ++y) {
        for (int x = 0; x < glyph.getWidth(); ++x) {
            sum += packed.texture.pixel(glyph.getX() + x, glyph.getY() + y)[3];
        }
    }
    return sum;
}

TEST(FontPackTest, PackedFontsLoadAndMeasureLikeTheFace) {
    BundleDir bundle;
    const fonts::PackedFont packed = pack(lang::toUTF32("AVg \xC3\xA9\xC3\xA9\xEE\x80\x80"));
    ASSERT_EQ(packed.missing, std::vector<char32_t>{0xE000});
    bundle.write("fonts/menu.png", gr::encodePng(packed.texture));
    bundle.write("fonts/menu.dat", packed.file);
    lang::Ptr<FakeContext> ctx = new FakeContext();
    lang::Ptr<BitmapFont> font = new BitmapFont(ctx.get(), "fonts/menu.dat");

    EXPECT_EQ(font->getTracking(), 1);
    EXPECT_EQ(font->getLeading(), 19);  // the face's line spacing at 16 pixels
    EXPECT_EQ(font->filterString("AVg \xC3\xA9\xEE\x80\x80"), "AVg \xC3\xA9");
    const Sprite* a = font->getGlyph('A');
    const Sprite* g = font->getGlyph('g');
    const Sprite* space = font->getGlyph(' ');
    ASSERT_TRUE(a && g && space);
    EXPECT_EQ(a->getPivotY(), a->getHeight());  // stands on the baseline
    EXPECT_GT(g->getHeight(), g->getPivotY());  // reaches below it
    EXPECT_EQ(space->getHeight(), 0);
    EXPECT_GT(space->getWidth(), 0);
    EXPECT_GT(ink(packed, *a), 255 * 10);
    EXPECT_GE(font->getMaxAscending(), 12);

    // Each glyph is its advance wide, as the system font lays the face out.
    lang::Ptr<SystemFont> system = new SystemFont(ctx.get(), "DejaVu Sans", 12, gr::Color(), 0);
    for (const char* text : {"A", "V", "g"}) {
        EXPECT_NEAR(font->getStringWidth(text, 0, 1), system->getStringWidth(text, 0, 1), 1)
            << text;
    }
    font->drawString(ctx.get(), "AV", 0, 0, ANCHOR_TOP, ANCHOR_LEFT);
    EXPECT_EQ(ctx->draws.size(), 2u);
}

TEST(FontPackTest, GlyphsDoNotOverlap) {
    const fonts::PackedFont packed = pack(fonts::defaultCharacters(), 128);
    const FontDescription description = parseFontFile(packed.file.data(), packed.file.size(), "f");
    lang::Ptr<BitmapFont> font = new BitmapFont(nullptr, description, "");
    std::vector<gr::Rect> rects;
    for (char32_t c : fonts::defaultCharacters()) {
        if (const Sprite* s = font->getGlyph(static_cast<int>(c))) {
            const gr::Rect r(s->getX(), s->getY(), s->getX() + s->getWidth(),
                             s->getY() + s->getHeight());
            EXPECT_LE(r.x1, packed.texture.width);
            EXPECT_LE(r.y1, packed.texture.height);
            for (const gr::Rect& o : rects) {
                const bool apart = r.x1 <= o.x0 || o.x1 <= r.x0 || r.y1 <= o.y0 || o.y1 <= r.y0;
                ASSERT_TRUE(apart || r.width() == 0 || r.height() == 0) << int(c);
            }
            rects.push_back(r);
        }
    }
    EXPECT_GT(rects.size(), 180u);
}

TEST(FontPackTest, UnreadableFontsAndTinyTexturesFail) {
    fonts::PackOptions options;
    options.fontFile = "/nonexistent/font.ttf";
    options.characters = lang::toUTF32("A");
    EXPECT_THROW(fonts::packFont(options, "x.png"), std::runtime_error);
    EXPECT_THROW(pack(lang::toUTF32("W"), 8), std::runtime_error);
}

}  // namespace
