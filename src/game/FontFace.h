#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {

/// A face of an installed scalable font at one size, made by the platform's font
/// backend. Sizes are in pixels at 96 dots an inch. Text is laid out in lines
/// split at '\n' ('\r' is ignored); line i has its baseline at
/// firstBaseline + i * lineHeight and its pen starts at x 0.
class FontFace : public lang::Object {
public:
    enum OpenResult { OPENED, NO_FAMILY, NO_STYLE };
    enum StyleBits { STYLE_BOLD = 1, STYLE_ITALIC = 2 };

    struct Lines {
        int firstBaseline;
        int lineHeight;
    };
    /// Extents of laid-out text in pixels from the top-left of the layout.
    struct Extent {
        float advance = 0;    // the furthest pen position after a line
        float inkRight = 0;   // the furthest right edge of a glyph
        float inkBottom = 0;  // the lowest bottom edge of a glyph
        int lines = 0;        // 0 for an empty text
    };

    /// Finds `family` (case and blanks ignored) with the style bits among the
    /// installed fonts and opens it at `points` points.
    static OpenResult open(const std::string& family, int points, int style,
                           lang::Ptr<FontFace>& face);
    /// The names of the installed font families, sorted, each once.
    static std::vector<std::string> listFamilies();

    /// Font-wide metrics, positive, in pixels.
    virtual float ascent() const = 0;
    virtual float descent() const = 0;
    virtual float lineSpacing() const = 0;

    virtual Extent measure(const std::u32string& text, const Lines& lines) = 0;
    /// Adds the glyphs' coverage (0 to 255) to a width x height buffer of one
    /// byte a pixel, rows without padding; what falls outside is cut off.
    virtual void render(const std::u32string& text, const Lines& lines, uint8_t* coverage,
                        int width, int height) = 0;
};

}  // namespace game
