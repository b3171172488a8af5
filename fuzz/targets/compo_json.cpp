// The JSON composite-sprite loader and its summary: bad text or members throw
// lang::Exception (util::JSON's exceptions among them), never more.
#include "FuzzSupport.h"
#include "GameSupport.h"
#include "game/CompoSpriteSet.h"
#include "game/SheetLoaderJSON.h"
#include "lang/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        game::SheetLoaderJSON::parseCompoSpriteSet(data, size, "fuzz.json", fuzz::partSheets());
    } catch (const lang::Exception&) {
    }
    try {
        lang::Ptr<util::JSON> summary = game::SheetLoaderJSON::parseCompoDescription(data, size);
        if (summary) {
            summary->toString(false);
        }
    } catch (const lang::Exception&) {
    }
    return 0;
}
