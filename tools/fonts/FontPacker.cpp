#include "fonts/FontPacker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "chunk/ChunkWriter.h"

namespace fonts {

namespace {

const int MAX_TEXTURE_HEIGHT = 4096;

struct Glyph {
    char32_t codePoint;
    int width = 0, height = 0;   // the rectangle: advance x inked rows
    int baseline = 0;            // rows from the rectangle's top to the baseline
    std::vector<uint8_t> alpha;  // width x height
    int x = 0, y = 0;            // place in the texture
};

struct Library {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    ~Library() {
        if (face) {
            FT_Done_Face(face);
        }
        if (lib) {
            FT_Done_FreeType(lib);
        }
    }
};

void openFace(const PackOptions& options, Library& ft) {
    if (FT_Init_FreeType(&ft.lib) != 0 ||
        FT_New_Face(ft.lib, options.fontFile.c_str(), options.faceIndex, &ft.face) != 0) {
        throw std::runtime_error("cannot read the font");
    }
    if (options.pixelSize < 1 || options.pixelSize > 1024 ||
        FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(options.pixelSize)) != 0) {
        throw std::runtime_error("the font has no size " + std::to_string(options.pixelSize));
    }
}

// Renders one glyph into its rectangle: the advance across, the inked rows down.
bool renderGlyph(FT_Face face, char32_t c, Glyph& glyph) {
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.codePoint = c;
    glyph.width = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.height = bitmap.pitch > 0 ? static_cast<int>(bitmap.rows) : 0;
    glyph.baseline = glyph.height > 0 ? slot->bitmap_top : 0;
    glyph.alpha.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    for (int row = 0; row < glyph.height; ++row) {
        for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
            const int x = slot->bitmap_left + col;
            if (x >= 0 && x < glyph.width) {
                glyph.alpha[static_cast<size_t>(row) * glyph.width + x] =
                    bitmap.buffer[row * bitmap.pitch + col];
            }
        }
    }
    return true;
}

// Shelves of glyphs, tallest first; returns the texture height used.
int place(std::vector<Glyph*>& glyphs, int width, int padding) {
    std::sort(glyphs.begin(), glyphs.end(), [](const Glyph* a, const Glyph* b) {
        return a->height != b->height ? a->height > b->height : a->codePoint < b->codePoint;
    });
    int x = padding, y = padding, shelf = 0;
    for (Glyph* g : glyphs) {
        if (g->width + 2 * padding > width) {
            throw std::runtime_error("a glyph is wider than the texture");
        }
        if (x + g->width + padding > width) {
            x = padding;
            y += shelf + padding;
            shelf = 0;
        }
        g->x = x;
        g->y = y;
        x += g->width + padding;
        shelf = std::max(shelf, g->height);
    }
    const int height = (y + shelf + padding + 3) / 4 * 4;
    if (height > MAX_TEXTURE_HEIGHT) {
        throw std::runtime_error("the glyphs do not fit the texture");
    }
    return height;
}

std::vector<uint8_t> describe(const std::vector<Glyph>& glyphs, const std::string& textureName,
                              int leading, int tracking) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("FONT").int16(2).string(textureName);
    w.int16(leading).int16(tracking).int16(static_cast<int>(glyphs.size()));
    for (const Glyph& g : glyphs) {
        w.int32(static_cast<int32_t>(g.codePoint)).int16(g.x).int16(g.y);
        w.int16(g.width).int16(g.height).int16(g.baseline);
    }
    w.endChunk().endFile();
    return w.data();
}

}  // namespace

std::u32string defaultCharacters() {
    std::u32string chars;
    for (char32_t c = 32; c < 127; ++c) {
        chars += c;
    }
    for (char32_t c = 160; c < 256; ++c) {
        chars += c;
    }
    return chars;
}

PackedFont packFont(const PackOptions& options, const std::string& textureName) {
    Library ft;
    openFace(options, ft);
    PackedFont packed;
    std::vector<Glyph> glyphs;
    std::u32string seen;
    std::string lacking;
    for (char32_t c : options.required) {
        if (seen.find(c) != std::u32string::npos || c < 32) {
            continue;  // control characters such as line breaks are no glyphs
        }
        seen += c;
        Glyph glyph;
        if (renderGlyph(ft.face, c, glyph)) {
            glyphs.push_back(std::move(glyph));
        } else {
            char code[16];
            std::snprintf(code, sizeof code, " U+%04X", static_cast<unsigned>(c));
            lacking += code;
        }
    }
    if (!lacking.empty()) {
        throw std::runtime_error("the font has no glyph for" + lacking);
    }
    for (char32_t c : options.characters) {
        if (seen.find(c) != std::u32string::npos) {
            continue;
        }
        seen += c;
        Glyph glyph;
        if (renderGlyph(ft.face, c, glyph)) {
            glyphs.push_back(std::move(glyph));
        } else {
            packed.missing.push_back(c);
        }
    }
    if (glyphs.size() > 32767) {
        throw std::runtime_error("more than 32767 glyphs");
    }
    std::vector<Glyph*> order;
    for (Glyph& g : glyphs) {
        order.push_back(&g);
    }
    const int height = place(order, options.textureWidth, options.padding);
    packed.texture = gr::Image(options.textureWidth, height);
    for (const Glyph& g : glyphs) {
        for (int row = 0; row < g.height; ++row) {
            for (int col = 0; col < g.width; ++col) {
                uint8_t* p = packed.texture.pixel(g.x + col, g.y + row);
                p[0] = p[1] = p[2] = 255;
                p[3] = g.alpha[static_cast<size_t>(row) * g.width + col];
            }
        }
    }
    const int leading = options.leading >= 0
                            ? options.leading
                            : static_cast<int>((ft.face->size->metrics.height + 63) >> 6);
    packed.file = describe(glyphs, textureName, leading, options.tracking);
    return packed;
}

}  // namespace fonts
