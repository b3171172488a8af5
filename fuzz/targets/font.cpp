// The bitmap-font chunk loader: bad data throws io::IOException; every glyph
// it accepts has a size of zero or more.
#include "FuzzSupport.h"
#include "game/FontFile.h"
#include "io/IOException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        game::FontDescription font = game::parseFontFile(data, size, "fuzz.dat");
        for (const auto& page : font.pages) {
            for (const game::FontGlyph& g : page.glyphs) {
                QF_FUZZ_CHECK(g.width >= 0 && g.height >= 0, std::to_string(g.codePoint) + ": " +
                                                                 std::to_string(g.width) + " x " +
                                                                 std::to_string(g.height));
            }
        }
    } catch (const io::IOException&) {
    }
    return 0;
}
