#pragma once

// The benchmark scenes in world units (y down), built the same way by the raw
// stepper here and by bench/scenes/scenes.lua for the engine and LÖVE. Numbers
// are single precision throughout, as the engine's Lua computes them.

#include <string>
#include <vector>

namespace bench {

struct StaticBox {
    float x, y, halfWidth, halfHeight;
};

struct SceneBody {
    bool circle;  // else a 1 x 1 box; circles have radius 0.5
    float x, y;
};

struct Scene {
    std::vector<StaticBox> statics;
    std::vector<SceneBody> bodies;
};

/// Rows of 1 x 1 boxes 0.05 apart on a wide floor; the top row is partial.
Scene pyramid(int n);
/// Boxes and circles in offset rows, dropped into a walled container.
Scene container(int n);
/// The scene of that name ("pyramid" or "container"); throws otherwise.
Scene sceneNamed(const std::string& name, int n);

}  // namespace bench
