#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/IFont.h"
#include "game/SpriteSheet.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace game {

struct FontDescription;
class Sprite;

/// A font whose glyphs are sprites of a sheet, indexed by code point. Text is
/// laid out on one line: the pen starts at the anchored position and advances
/// by each glyph's width plus the tracking. Ranges count code points.
class BitmapFont : public IFont {
public:
    /// Draws one glyph with its left edge at x on the baseline y.
    using GlyphDrawer = std::function<void(gr::Context*, Sprite*, float, float)>;

    /// Loads the bundle file `path`; its textures come from the folder of `path`.
    /// Throws io::IOException "Malformed PLXB file: {0}" or a stream's failure.
    BitmapFont(gr::Context* context, const std::string& path);
    /// A font from a parsed file whose textures are in the bundle folder
    /// `folder`. Without a context the glyphs have no texture and draw nothing.
    BitmapFont(gr::Context* context, const FontDescription& description, const std::string& folder);
    ~BitmapFont() override;

    /// An empty function clears the drawer.
    void setGlyphDrawer(const GlyphDrawer& drawer) { glyphDrawer_ = drawer; }
    /// The glyph of a code point, or null.
    Sprite* getGlyph(int codePoint) const;

    void drawString(gr::Context* context, const std::string& text, int start, int count, float x,
                    float y, int verticalAnchor, int horizontalAnchor) override;
    void drawString(gr::Context* context, const std::string& text, float x, float y,
                    int verticalAnchor, int horizontalAnchor) override;
    std::string filterString(const std::string& text) override;
    bool hasGlyph(int codePoint) override { return getGlyph(codePoint) != nullptr; }
    int getStringWidth(const std::string& text, int start, int count) override;
    int getStringHeight(const std::string& text, int start, int count) override;
    int getHeight() override { return maxAscending_ + maxDescending_; }
    int getMaxAscending() override { return maxAscending_; }
    int getMaxDescending() override { return maxDescending_; }
    int getLeading() override { return leading_; }
    int getTracking() override { return tracking_; }
    gr::Rect getStringBounds(const std::string& text, int verticalAnchor, int horizontalAnchor,
                             int start, int count) override;

private:
    void build(gr::Context* context, const FontDescription& description, const std::string& folder);
    int widthOf(const std::u32string& text, int start, int count) const;
    /// Where the baseline lies below a point placed by the vertical anchor.
    int baselineOffset(int verticalAnchor) const;

    /// Every page's sheet stays: the glyphs are its sprites.
    std::vector<lang::Ptr<SpriteSheet>> sheets_;
    std::map<int, Sprite*> glyphs_;
    int leading_ = 0;
    int tracking_ = 0;
    int maxAscending_ = 0;
    int maxDescending_ = 0;
    GlyphDrawer glyphDrawer_;
};

}  // namespace game
