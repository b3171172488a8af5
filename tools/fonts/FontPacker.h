#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gr/Image.h"

// Builds bitmap fonts from scalable font files: every character is rendered
// white with its coverage as alpha, packed into one texture, and described in
// a "PLXB" file with a "FONT" chunk of version 2. A glyph's rectangle is its
// advance wide and reaches from its highest to its lowest inked row; ink that
// falls outside the advance is cut off.
namespace fonts {

struct PackOptions {
    std::string fontFile;
    int faceIndex = 0;
    int pixelSize = 16;         // pixels an em
    std::u32string characters;  // each packed once; missing ones are skipped
    std::u32string required;    // packed too; a missing one is an error
    int tracking = 0;
    int leading = -1;  // below 0: the face's line spacing
    int textureWidth = 256;
    int padding = 1;  // empty pixels around every glyph
};

struct PackedFont {
    gr::Image texture;
    std::vector<uint8_t> file;      // the font file naming `textureName`
    std::vector<char32_t> missing;  // characters the face has no glyph for
};

// Printable ASCII and Latin-1.
std::u32string defaultCharacters();

// Throws std::runtime_error when the font cannot be read, has no glyph for a
// required character (naming them all), or the glyphs do not fit a texture of
// at most textureWidth x 4096 pixels.
PackedFont packFont(const PackOptions& options, const std::string& textureName);

}  // namespace fonts
