#pragma once

#include <string>
#include <vector>

#include "game/IFont.h"

namespace gametest {

/// A font whose glyphs are all 10 wide; it records what it draws.
class FakeFont : public game::IFont {
public:
    struct Drawn {
        std::string text;
        float x, y;
        int vertical, horizontal;
    };

    void drawString(gr::Context*, const std::string& text, int, int, float x, float y, int vertical,
                    int horizontal) override {
        drawn.push_back(Drawn{text, x, y, vertical, horizontal});
    }
    void drawString(gr::Context* context, const std::string& text, float x, float y, int vertical,
                    int horizontal) override {
        drawString(context, text, 0, WHOLE_TEXT, x, y, vertical, horizontal);
    }
    std::string filterString(const std::string& text) override { return text; }
    bool hasGlyph(int) override { return true; }
    int getStringWidth(const std::string& text, int, int) override {
        return 10 * static_cast<int>(text.size());
    }
    int getStringHeight(const std::string&, int, int) override { return 12; }
    int getHeight() override { return 15; }
    int getMaxAscending() override { return 11; }
    int getMaxDescending() override { return 4; }
    int getLeading() override { return 17; }
    int getTracking() override { return 1; }
    gr::Rect getStringBounds(const std::string&, int, int, int, int) override { return gr::Rect(); }

    std::vector<Drawn> drawn;
};

}  // namespace gametest
