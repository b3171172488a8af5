#pragma once

#include <string>

#include "gr/RenderState.h"
#include "lang/Object.h"

namespace gr {
class Context;
}

namespace game {

/// The interface of every font, bitmap or system. Text is UTF-8; `start` and
/// `count` select a range of it (clamped to the text) in the font's own units.
/// Anchors are the values of game/Anchor.h.
class IFont : public lang::Object {
public:
    enum { WHOLE_TEXT = 2147483647 };

    virtual void drawString(gr::Context* context, const std::string& text, int start, int count,
                            float x, float y, int verticalAnchor, int horizontalAnchor) = 0;
    /// The whole text: start 0, count WHOLE_TEXT.
    virtual void drawString(gr::Context* context, const std::string& text, float x, float y,
                            int verticalAnchor, int horizontalAnchor) = 0;
    /// The text without the characters the font cannot draw.
    virtual std::string filterString(const std::string& text) = 0;
    virtual bool hasGlyph(int codePoint) = 0;
    virtual int getStringWidth(const std::string& text, int start, int count) = 0;
    virtual int getStringHeight(const std::string& text, int start, int count) = 0;
    /// getMaxAscending() + getMaxDescending().
    virtual int getHeight() = 0;
    virtual int getMaxAscending() = 0;
    virtual int getMaxDescending() = 0;
    virtual int getLeading() = 0;
    virtual int getTracking() = 0;
    /// The rectangle x0, y0, x1, y1 the range covers when drawn at (0, 0).
    virtual gr::Rect getStringBounds(const std::string& text, int verticalAnchor,
                                     int horizontalAnchor, int start, int count) = 0;
};

}  // namespace game
