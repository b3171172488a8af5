#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {
class Sprite;
class CompoSprite;
}  // namespace game

/// A sprite placed on a theme layer; x and y are in theme units.
struct ThemeSprite {
    const game::Sprite* sprite = nullptr;  // not owned
    // Set instead of sprite when the name is a composite sprite; not owned.
    const game::CompoSprite* compoSprite = nullptr;
    float x = 0, y = 0;
    float speed = 0;
    float scaleX = 1, scaleY = 1;
    float angle = 0;
    std::string id;
};

/// One image layer of a theme's scenery.
struct ThemeLayer {
    std::string group;
    std::string spriteName;
    bool found = false;
    float width = 0, height = 0, pivotX = 0, pivotY = 0;
    float parallax = 1;
    float scale = 1;
    bool tiled = true;
    float baseX = 4;
    float scrollOffset = 0;
    float offsetY = 0;
    bool water = false;
    float speed = 0;
    float scaleWobbleY = 0;
    bool hasFillBelow = false;
    uint8_t fillBelow[4] = {0, 0, 0, 0};
    bool hasTint = false;
    uint8_t tint[4] = {255, 255, 255, 255};
    std::vector<ThemeSprite> sprites;
};

/// A level's scenery: colours and the background and foreground layers.
struct Theme {
    float backgroundTint[3] = {255, 255, 255};
    float color[3] = {0, 0, 0};
    float groundColor[3] = {0, 0, 0};
    float waterBottomColor[3] = {110, 160, 172};
    std::vector<ThemeLayer> bgLayers;
    std::vector<ThemeLayer> fgLayers;
};
