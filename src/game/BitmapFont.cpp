#include "game/BitmapFont.h"

#include <algorithm>

#include "game/Anchor.h"
#include "game/FontFile.h"
#include "game/SheetLoader.h"
#include "game/Sprite.h"
#include "game/TextRange.h"
#include "io/PathName.h"
#include "lang/String.h"

namespace game {

BitmapFont::BitmapFont(gr::Context* context, const std::string& path) {
    std::string name;
    const std::vector<uint8_t> bytes = readBundleFile(path, name);
    build(context, parseFontFile(bytes.data(), bytes.size(), path),
          io::PathName(path).getParent().toString());
}

BitmapFont::BitmapFont(gr::Context* context, const FontDescription& description,
                       const std::string& folder) {
    build(context, description, folder);
}

BitmapFont::~BitmapFont() = default;

void BitmapFont::build(gr::Context* context, const FontDescription& description,
                       const std::string& folder) {
    for (const FontDescription::Page& page : description.pages) {
        lang::Ptr<SpriteSheet> sheet = new SpriteSheet();
        // The texture first: a sprite takes its texture coordinates when made.
        if (context) {
            sheet->setTexture(context, io::PathName(folder, page.texture).toString());
        }
        leading_ = page.leading;
        tracking_ = page.tracking;
        for (const FontGlyph& g : page.glyphs) {
            glyphs_[g.codePoint] = sheet->addSprite(lang::toString(g.codePoint), g.x, g.y, g.width,
                                                    g.height, 0, g.baseline, false);
            maxAscending_ = std::max(maxAscending_, g.baseline);
            maxDescending_ = std::max(maxDescending_, g.height - g.baseline);
        }
        sheets_.push_back(sheet);
    }
}

Sprite* BitmapFont::getGlyph(int codePoint) const {
    auto it = glyphs_.find(codePoint);
    return it == glyphs_.end() ? nullptr : it->second;
}

int BitmapFont::widthOf(const std::u32string& text, int start, int count) const {
    if (count <= 0) {
        return 0;
    }
    int width = tracking_ * (count - 1);
    for (int i = start; i < start + count; ++i) {
        if (const Sprite* glyph = getGlyph(static_cast<int>(text[i]))) {
            width += glyph->getWidth();
        }
    }
    return width;
}

int BitmapFont::baselineOffset(int verticalAnchor) const {
    switch (verticalAnchor) {
        case ANCHOR_TOP:
            return maxAscending_;
        case ANCHOR_VCENTER:
            return maxAscending_ - (maxAscending_ + maxDescending_) / 2;
        case ANCHOR_BOTTOM:
            return -maxDescending_;
        default:
            return 0;
    }
}

namespace {

int horizontalOffset(int horizontalAnchor, int width) {
    switch (horizontalAnchor) {
        case ANCHOR_HCENTER:
            return -(width / 2);
        case ANCHOR_RIGHT:
            return -width;
        default:
            return 0;
    }
}

}  // namespace

void BitmapFont::drawString(gr::Context* context, const std::string& text, int start, int count,
                            float x, float y, int verticalAnchor, int horizontalAnchor) {
    const std::u32string codePoints = lang::toUTF32(text);
    clampTextRange(codePoints.size(), start, count);
    if (count == 0) {
        return;
    }
    y += static_cast<float>(baselineOffset(verticalAnchor));
    x += static_cast<float>(horizontalOffset(horizontalAnchor, widthOf(codePoints, start, count)));
    for (int i = start; i < start + count; ++i) {
        Sprite* glyph = getGlyph(static_cast<int>(codePoints[i]));
        if (!glyph) {
            continue;
        }
        if (glyphDrawer_) {
            glyphDrawer_(context, glyph, x, y);
        } else {
            glyph->draw(context, x, y, ANCHOR_VPIVOT, ANCHOR_HPIVOT);
        }
        x += static_cast<float>(glyph->getWidth() + tracking_);
    }
}

void BitmapFont::drawString(gr::Context* context, const std::string& text, float x, float y,
                            int verticalAnchor, int horizontalAnchor) {
    drawString(context, text, 0, WHOLE_TEXT, x, y, verticalAnchor, horizontalAnchor);
}

std::string BitmapFont::filterString(const std::string& text) {
    std::u32string kept;
    for (char32_t c : lang::toUTF32(text)) {
        if (getGlyph(static_cast<int>(c))) {
            kept.push_back(c);
        }
    }
    return lang::toUTF8(kept);
}

int BitmapFont::getStringWidth(const std::string& text, int start, int count) {
    const std::u32string codePoints = lang::toUTF32(text);
    clampTextRange(codePoints.size(), start, count);
    return widthOf(codePoints, start, count);
}

int BitmapFont::getStringHeight(const std::string& text, int start, int count) {
    const std::u32string codePoints = lang::toUTF32(text);
    clampTextRange(codePoints.size(), start, count);
    int height = 0;
    for (int i = start; i < start + count; ++i) {
        if (const Sprite* glyph = getGlyph(static_cast<int>(codePoints[i]))) {
            height = std::max(height, static_cast<int>(glyph->getHeight()));
        }
    }
    return height;
}

gr::Rect BitmapFont::getStringBounds(const std::string& text, int verticalAnchor,
                                     int horizontalAnchor, int start, int count) {
    const std::u32string codePoints = lang::toUTF32(text);
    clampTextRange(codePoints.size(), start, count);
    const int w = widthOf(codePoints, start, count);
    int h = 0;
    int top = 0;  // the largest baseline offset of the range's glyphs
    for (int i = start; i < start + count; ++i) {
        if (const Sprite* glyph = getGlyph(static_cast<int>(codePoints[i]))) {
            h = std::max(h, static_cast<int>(glyph->getHeight()));
            top = std::max(top, static_cast<int>(glyph->getPivotY()));
        }
    }
    const int x0 = horizontalOffset(horizontalAnchor, w);
    const int c = baselineOffset(verticalAnchor);
    return gr::Rect(x0, c - top, x0 + w, c + h - top);
}

}  // namespace game
