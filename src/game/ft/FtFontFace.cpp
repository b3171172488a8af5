#include "game/ft/FtFontFace.h"

#include <algorithm>

namespace game {

namespace {

// Larger sizes would make glyph bitmaps of gigabytes.
const int MAX_PIXELS_PER_EM = 2048;
const FT_Int32 LOAD_FLAGS = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;

FT_Library library() {
    // Started on first use; it stays for the process.
    static FT_Library lib = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return lib;
}

float fromFixed(FT_Pos value) {
    return static_cast<float>(value) / 64.f;
}

}  // namespace

lang::Ptr<FtFontFace> FtFontFace::create(const std::string& file, int index, int points) {
    FT_Library lib = library();
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, file.c_str(), index, &face) != 0) {
        return nullptr;
    }
    float ppem = std::max(1.f, std::min(points * 96.f / 72.f, float(MAX_PIXELS_PER_EM)));
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem + 0.5f)) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    return new FtFontFace(face, ppem);
}

FtFontFace::FtFontFace(FT_Face face, float pixelsPerEm) : face_(face) {
    const float scale = pixelsPerEm / static_cast<float>(face->units_per_EM);
    ascent_ = static_cast<float>(face->ascender) * scale;
    descent_ = -static_cast<float>(face->descender) * scale;
    lineSpacing_ = static_cast<float>(face->height) * scale;
}

FtFontFace::~FtFontFace() {
    FT_Done_Face(face_);
}

template <class Visit>
FontFace::Extent FtFontFace::layout(const std::u32string& text, const Lines& lines, FT_Int32 flags,
                                    Visit visit) {
    Extent extent;
    FT_Pos pen = 0;
    FT_Pos baseline = FT_Pos(lines.firstBaseline) * 64;
    FT_UInt previous = 0;
    extent.lines = text.empty() ? 0 : 1;
    for (char32_t c : text) {
        if (c == U'\n') {
            extent.advance = std::max(extent.advance, fromFixed(pen));
            pen = 0;
            previous = 0;
            baseline += FT_Pos(lines.lineHeight) * 64;
            ++extent.lines;
            continue;
        }
        if (c == U'\r') {
            continue;
        }
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        FT_Vector kern{0, 0};
        if (previous && index && FT_HAS_KERNING(face_)) {
            FT_Get_Kerning(face_, previous, index, FT_KERNING_DEFAULT, &kern);
        }
        pen += kern.x;
        previous = index;
        if (FT_Load_Glyph(face_, index, flags) != 0) {
            continue;  // an unloadable glyph adds nothing
        }
        visit(face_->glyph, pen, baseline);
        pen += face_->glyph->advance.x;
    }
    extent.advance = std::max(extent.advance, fromFixed(pen));
    return extent;
}

FontFace::Extent FtFontFace::measure(const std::u32string& text, const Lines& lines) {
    float inkRight = 0, inkBottom = 0;
    Extent extent =
        layout(text, lines, LOAD_FLAGS, [&](FT_GlyphSlot slot, FT_Pos pen, FT_Pos baseline) {
            const FT_Glyph_Metrics& m = slot->metrics;
            if (m.width > 0 && m.height > 0) {
                inkRight = std::max(inkRight, fromFixed(pen + m.horiBearingX + m.width));
                inkBottom = std::max(inkBottom, fromFixed(baseline - m.horiBearingY + m.height));
            }
        });
    extent.inkRight = inkRight;
    extent.inkBottom = inkBottom;
    return extent;
}

namespace {

// Lays a glyph's grey bitmap over the coverage: a + b - a * b.
void blit(const FT_Bitmap& bitmap, int left, int top, uint8_t* coverage, int width, int height) {
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0) {
        return;
    }
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        const int y = top + row;
        if (y < 0 || y >= height) {
            continue;
        }
        const uint8_t* src = bitmap.buffer + row * bitmap.pitch;
        for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
            const int x = left + col;
            if (x < 0 || x >= width) {
                continue;
            }
            uint8_t& dst = coverage[static_cast<size_t>(y) * width + x];
            dst = static_cast<uint8_t>(dst + src[col] - dst * src[col] / 255);
        }
    }
}

}  // namespace

void FtFontFace::render(const std::u32string& text, const Lines& lines, uint8_t* coverage,
                        int width, int height) {
    layout(text, lines, LOAD_FLAGS, [&](FT_GlyphSlot slot, FT_Pos pen, FT_Pos baseline) {
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            return;
        }
        const int x = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
        const int y = static_cast<int>((baseline + 32) >> 6) - slot->bitmap_top;
        blit(slot->bitmap, x, y, coverage, width, height);
    });
}

}  // namespace game
