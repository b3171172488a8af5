#pragma once

#include <string>
#include <vector>

namespace game {

/// What a sheet file describes, before anything is loaded: the sprites of each
/// texture, in file order.
struct SheetDescription {
    struct SpriteRecord {
        std::string name;
        int x, y, width, height;
        int pivotX, pivotY;
        bool rotated;
    };
    struct Page {
        std::string texture;  // as named in the file; empty when not asked for
        std::vector<SpriteRecord> sprites;
    };

    std::vector<Page> pages;
};

}  // namespace game
