#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace game {

/// One glyph of a bitmap font: its rectangle on the texture and how far its top
/// lies above the baseline.
struct FontGlyph {
    int32_t codePoint;
    int x, y, width, height;
    int baseline;
};

/// The contents of a bitmap-font file: one page for every "FONT" chunk read.
struct FontDescription {
    struct Page {
        std::string texture;  // named relative to the font file's folder
        int leading = 0;
        int tracking = 0;
        std::vector<FontGlyph> glyphs;  // in file order
    };
    std::vector<Page> pages;
};

/// Parses a bitmap-font file held in memory; `name` names it in messages. Data
/// that is no "PLXB" file gives no pages. Throws io::IOException
/// "Malformed PLXB file: {0}" when the data ends early, a size does not fit
/// or a glyph has a negative size.
FontDescription parseFontFile(const uint8_t* data, size_t size, const std::string& name);

}  // namespace game
