// Line breaking of interface texts (clipText): any text, any width, a font
// whose glyph widths come from the input. Every line fits or is a single
// character cut from a word too wide for any line; no character other than
// the break spaces and line feeds is lost, added or moved; the widest line is
// reported.
#include <cmath>

#include "FuzzSupport.h"
#include "common/ui/GameTexts.h"
#include "game/IFont.h"
#include "lang/Ptr.h"
#include "lang/String.h"

namespace {

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\n' || c == 0x200B;
}

std::u32string withoutSpaces(const std::u32string& text) {
    std::u32string out;
    for (char32_t c : text) {
        if (!isSpace(c)) {
            out += c;
        }
    }
    return out;
}

// Each code point is as wide as one of 16 widths picked by the input.
class TableFont : public game::IFont {
public:
    explicit TableFont(fuzz::Input& in) {
        for (int& w : widths_) {
            w = in.byte() % 24;
        }
        tracking_ = in.byte() % 3;
    }

    int getStringWidth(const std::string& text, int start, int count) override {
        const std::u32string cps = lang::toUTF32(text);
        const size_t from = std::min(size_t(std::max(start, 0)), cps.size());
        const size_t n = std::min(size_t(std::max(count, 0)), cps.size() - from);
        int width = 0;
        for (size_t i = from; i < from + n; ++i) {
            width += widths_[cps[i] % 16] + tracking_;
        }
        return width;
    }

    void drawString(gr::Context*, const std::string&, int, int, float, float, int, int) override {}
    void drawString(gr::Context*, const std::string&, float, float, int, int) override {}
    std::string filterString(const std::string& text) override { return text; }
    bool hasGlyph(int) override { return true; }
    int getStringHeight(const std::string&, int, int) override { return 10; }
    int getHeight() override { return 10; }
    int getMaxAscending() override { return 8; }
    int getMaxDescending() override { return 2; }
    int getLeading() override { return 0; }
    int getTracking() override { return tracking_; }
    gr::Rect getStringBounds(const std::string& text, int, int, int start, int count) override {
        return gr::Rect(0, 0, getStringWidth(text, start, count), 10);
    }

private:
    int widths_[16];
    int tracking_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    lang::Ptr<TableFont> font = new TableFont(in);
    const uint16_t w = in.u16();
    const float width = (w & 0x8000) ? -float(w & 0xFF) : float(w % 400) + float(w >> 9 & 3) / 4;
    const std::vector<uint8_t> bytes = in.rest();
    const std::string text(bytes.begin(), bytes.end());

    const WrappedText wrapped = wrapText(*font, text, width);
    QF_FUZZ_CHECK(!wrapped.lines.empty() || lang::toUTF32(text).empty(), "no lines");
    if (!(width > 0)) {
        QF_FUZZ_CHECK(
            wrapped.lines.size() == 1 && wrapped.lines[0].empty() && wrapped.widestLine == 0,
            "a width of 0 or less gives one empty line");
        return 0;
    }
    std::u32string joined;
    int widest = 0;
    for (const std::string& line : wrapped.lines) {
        const std::u32string cps = lang::toUTF32(line);
        const int lineWidth = font->getStringWidth(line, 0, game::IFont::WHOLE_TEXT);
        QF_FUZZ_CHECK(lineWidth < width || cps.size() == 1,
                      "line of width " + std::to_string(lineWidth) + " in " +
                          std::to_string(width) + ": " + line);
        QF_FUZZ_CHECK(cps.find(U'\n') == std::u32string::npos, "a line feed inside a line");
        widest = std::max(widest, lineWidth);
        joined += cps;
    }
    QF_FUZZ_CHECK(wrapped.widestLine == widest,
                  std::to_string(wrapped.widestLine) + " reported, " + std::to_string(widest));
    QF_FUZZ_CHECK(withoutSpaces(joined) == withoutSpaces(lang::toUTF32(text)),
                  "characters lost or added");
    return 0;
}
