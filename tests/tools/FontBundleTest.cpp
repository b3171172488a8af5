// The bundle's bitmap fonts, loaded through the engine and measured against
// FreeType's own metrics of the face they were packed from.

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fstream>
#include <iterator>

#include "game/BitmapFont.h"
#include "game/FakeContext.h"
#include "game/Sprite.h"
#include "io/VFS.h"
#include "lang/String.h"
#include "tools/ToolRun.h"

namespace {

const std::string DEJAVU = "/usr/share/fonts/truetype/dejavu/";

// One face at one size, opened with FreeType.
class Face {
public:
    Face(const std::string& file, int pixels) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Face(library_, file.c_str(), 0, &face_), 0) << file;
        EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixels)), 0);
    }
    ~Face() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    // The glyph as the packer renders it.
    FT_GlyphSlot load(char32_t c) {
        EXPECT_EQ(FT_Load_Char(face_, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT), 0) << int(c);
        return face_->glyph;
    }
    int advance(char32_t c) { return int((load(c)->advance.x + 32) >> 6); }
    double unhintedAdvance(char32_t c) { return load(c)->linearHoriAdvance / 65536.0; }
    int lineHeight() const { return int((face_->size->metrics.height + 63) >> 6); }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FontBundleTest, BundleFontsMatchTheirFaceAndCoverTheTexts) {
    struct Font {
        const char* name;
        const char* face;
        int pixels;
    };
    const Font fonts[] = {
        {"sans_14", "DejaVuSans.ttf", 14},           {"sans_18", "DejaVuSans.ttf", 18},
        {"sans_24", "DejaVuSans.ttf", 24},           {"sans_bold_18", "DejaVuSans-Bold.ttf", 18},
        {"sans_bold_28", "DejaVuSans-Bold.ttf", 28}, {"sans_bold_48", "DejaVuSans-Bold.ttf", 48},
    };
    // Every character of both languages' texts, and the printable ASCII ones.
    std::u32string needed = lang::toUTF32(readText(toolstest::buildWork() + "/text/chars.txt"));
    for (char32_t c = 32; c < 127; ++c) {
        needed += c;
    }
    const std::string sample =
        "Federn fliegen \xE2\x80\x93 \xE2\x80\x9ESchuss!\xE2\x80\x9C Gr\xC3\xB6\xC3\x9F"
        "e 42";
    const std::string saved = io::bundleRoot();
    io::setBundleRoot(toolstest::builtBundle() + "/");
    gametest::FakeContext ctx;
    for (const Font& f : fonts) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(std::string(f.name) + " x" + std::to_string(scale));
            const std::string folder = scale == 1 ? "fonts/" : "fonts/hd/";
            lang::Ptr<game::BitmapFont> font = new game::BitmapFont(&ctx, folder + f.name + ".dat");
            Face face(DEJAVU + f.face, f.pixels * scale);
            for (char32_t c : needed) {
                if (c >= 32) {
                    EXPECT_TRUE(font->hasGlyph(int(c))) << "U+" << std::hex << int(c);
                }
            }
            // Each glyph is its advance wide and stands on the baseline as rendered.
            for (char32_t c : lang::toUTF32("HgQ\xC3\x9F\xE2\x80\x9E")) {
                const game::Sprite* glyph = font->getGlyph(int(c));
                ASSERT_NE(glyph, nullptr);
                const FT_GlyphSlot slot = face.load(c);
                EXPECT_EQ(glyph->getHeight(), int(slot->bitmap.rows)) << int(c);
                EXPECT_EQ(glyph->getPivotY(), slot->bitmap_top) << int(c);
                EXPECT_EQ(glyph->getWidth(), face.advance(c)) << int(c);
            }
            int hinted = 0;
            double unhinted = 0;
            const std::u32string codes = lang::toUTF32(sample);
            for (char32_t c : codes) {
                hinted += face.advance(c);
                unhinted += face.unhintedAdvance(c);
            }
            const int width = font->getStringWidth(sample, 0, int(codes.size()));
            EXPECT_EQ(width, hinted);
            EXPECT_NEAR(width, unhinted, 0.5 * double(codes.size()) + 1);
            EXPECT_EQ(font->getLeading(), face.lineHeight());
            EXPECT_EQ(font->getTracking(), 0);
        }
    }
    io::setBundleRoot(saved);
}

}  // namespace
