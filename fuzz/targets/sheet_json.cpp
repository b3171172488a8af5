// The JSON sprite-sheet loader: bad text or members throw util::JSON's
// exceptions or lang::Exception, never more.
#include "FuzzSupport.h"
#include "game/SheetLoaderJSON.h"
#include "lang/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool withTextures : {false, true}) {
        try {
            game::SheetLoaderJSON().parseSheet(data, size, "fuzz.json", withTextures);
        } catch (const lang::Exception&) {
        }
    }
    return 0;
}
