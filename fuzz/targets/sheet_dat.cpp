// The sprite-sheet chunk loader: bad data throws io::IOException, never more.
#include "FuzzSupport.h"
#include "game/SheetLoaderDAT.h"
#include "io/IOException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool withTextures : {false, true}) {
        try {
            game::SheetDescription d =
                game::SheetLoaderDAT().parseSheet(data, size, "fuzz.dat", withTextures);
            for (const auto& page : d.pages) {
                QF_FUZZ_CHECK(withTextures || page.texture.empty(), page.texture);
            }
        } catch (const io::IOException&) {
        }
    }
    return 0;
}
