#include "Scenes.h"

#include <cmath>
#include <stdexcept>

namespace bench {

Scene pyramid(int n) {
    Scene scene;
    scene.statics.push_back({0, 0.5f, 100, 0.5f});
    int b = 0;
    while (b * (b + 1) / 2 < n) {
        ++b;
    }
    int placed = 0;
    for (int r = 0; r < b && placed < n; ++r) {
        for (int j = 0; j < b - r && placed < n; ++j, ++placed) {
            float x = (static_cast<float>(j) - static_cast<float>(b - r - 1) * 0.5f) * 1.05f;
            scene.bodies.push_back({false, x, -0.5f - static_cast<float>(r)});
        }
    }
    return scene;
}

Scene container(int n) {
    Scene scene;
    const int c = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(n))));
    const int rows = (n + c - 1) / c;
    const float hw = 0.75f * static_cast<float>(c) + 1;
    const float h = 1.5f * static_cast<float>(rows) + 10;
    scene.statics.push_back({0, 0.5f, hw + 1, 0.5f});
    scene.statics.push_back({-(hw + 0.5f), -h / 2, 0.5f, h / 2});
    scene.statics.push_back({hw + 0.5f, -h / 2, 0.5f, h / 2});
    for (int i = 0; i < n; ++i) {
        const int col = i % c, row = i / c;
        float x = (static_cast<float>(col) - static_cast<float>(c - 1) / 2) * 1.5f +
                  static_cast<float>(row % 2) * 0.375f;
        float y = -(3 + 1.5f * static_cast<float>(row));
        scene.bodies.push_back({i % 2 == 1, x, y});
    }
    return scene;
}

Scene sceneNamed(const std::string& name, int n) {
    if (name == "pyramid") {
        return pyramid(n);
    }
    if (name == "container") {
        return container(n);
    }
    throw std::invalid_argument("unknown scene " + name);
}

}  // namespace bench
