// The composite-sprite chunk loader ("PLXB" and "ZWQA" layouts): bad data
// throws io::IOException, a part missing from the sheets lang::Exception.
#include "FuzzSupport.h"
#include "GameSupport.h"
#include "game/CompoSpriteSet.h"
#include "game/SheetLoaderDAT.h"
#include "lang/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        lang::Ptr<game::CompoSpriteSet> set =
            game::SheetLoaderDAT::parseCompoSpriteSet(data, size, "fuzz.dat", fuzz::partSheets());
        if (set) {
            for (const auto& entry : set->getCompoSprites()) {
                QF_FUZZ_CHECK(entry.second, entry.first);
            }
        }
    } catch (const lang::Exception&) {
    }
    return 0;
}
