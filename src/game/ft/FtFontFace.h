#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "game/FontFace.h"

namespace game {

/// A FreeType face at one pixel size, hinted lightly and anti-aliased.
class FtFontFace : public FontFace {
public:
    /// Opens face `index` of `file` at `points` points and 96 dpi; null when
    /// FreeType cannot use it.
    static lang::Ptr<FtFontFace> create(const std::string& file, int index, int points);
    ~FtFontFace() override;

    float ascent() const override { return ascent_; }
    float descent() const override { return descent_; }
    float lineSpacing() const override { return lineSpacing_; }

    Extent measure(const std::u32string& text, const Lines& lines) override;
    void render(const std::u32string& text, const Lines& lines, uint8_t* coverage, int width,
                int height) override;

private:
    explicit FtFontFace(FT_Face face, float pixelsPerEm);
    /// Calls visit(slot, penX, baseline) for each glyph loaded with `flags`, pen
    /// positions in 26.6 fixed point; returns the extent of the pens.
    template <class Visit>
    Extent layout(const std::u32string& text, const Lines& lines, FT_Int32 flags, Visit visit);

    FT_Face face_;
    float ascent_, descent_, lineSpacing_;
};

}  // namespace game
