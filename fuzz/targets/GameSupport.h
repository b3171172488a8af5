#pragma once

// The sheet that the composite-sprite targets find their parts in; the seed
// corpus names its sprites.
#include "game/SheetLoader.h"
#include "game/SpriteSheet.h"

namespace fuzz {

inline const game::SheetTable& partSheets() {
    static const game::SheetTable* table = [] {
        lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet();
        sheet->addSprite("a", 0, 0, 4, 4, 2, 2, false);
        sheet->addSprite("b", 4, 0, 4, 4, 2, 2, false);
        sheet->addSprite("c", 0, 4, 8, 2, 0, 0, true);
        auto* t = new game::SheetTable;
        (*t)["parts"] = sheet;
        return t;
    }();
    return *table;
}

}  // namespace fuzz
