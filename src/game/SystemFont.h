#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/IFont.h"
#include "gr/RenderState.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace game {

/// A font installed on the machine. Each distinct text is rendered once into a
/// label (a premultiplied texture) kept in the process-wide LabelPool and drawn
/// from there afterwards. Ranges count bytes of the UTF-8 text; every code point
/// counts as drawable. Main thread only.
class SystemFont : public IFont {
public:
    enum Style { STYLE_NORMAL = 0, STYLE_BOLD = 1, STYLE_ITALIC = 2 };

    /// `size` in points (at 96 dots an inch), colour components clamped to 0..1.
    /// Throws lang::Exception "Font {0} is not available." or "Style {0} is not
    /// available for font {1}.".
    SystemFont(gr::Context* context, const std::string& faceName, int size, const gr::Color& colour,
               int style);
    ~SystemFont() override;

    /// The installed font families, sorted; read once and then kept.
    static std::vector<std::string> getAvailableSystemFonts();
    /// The name of a style in messages: "Normal", "Bold", "Italic" or "Unknown".
    static const char* styleName(int style);
    /// The colour as alpha << 24 | red << 16 | green << 8 | blue, each channel
    /// trunc(component x 255) after clamping.
    static uint32_t packColour(const gr::Color& colour);
    /// The pool key of a label: a 33-multiplier hash from 5381 over the face name's
    /// and the text's bytes, then the size, the packed colour and the style.
    static uint32_t labelKey(const std::string& faceName, const std::string& text, int size,
                             uint32_t packedColour, int style);

    void drawString(gr::Context* context, const std::string& text, int start, int count, float x,
                    float y, int verticalAnchor, int horizontalAnchor) override;
    void drawString(gr::Context* context, const std::string& text, float x, float y,
                    int verticalAnchor, int horizontalAnchor) override;
    std::string filterString(const std::string& text) override { return text; }
    bool hasGlyph(int) override { return true; }
    int getStringWidth(const std::string& text, int start, int count) override;
    int getStringHeight(const std::string& text, int start, int count) override;
    int getHeight() override;
    int getMaxAscending() override;
    int getMaxDescending() override;
    int getLeading() override;
    int getTracking() override { return 0; }
    gr::Rect getStringBounds(const std::string& text, int verticalAnchor, int horizontalAnchor,
                             int start, int count) override;

    const std::string& getFaceName() const;
    int getSize() const;
    int getStyle() const;
    uint32_t getPackedColour() const;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace game
