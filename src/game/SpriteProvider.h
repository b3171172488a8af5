#pragma once

#include <string>

namespace game {

class Sprite;

/// Finds registered sprites by name.
class SpriteProvider {
public:
    virtual ~SpriteProvider() = default;
    /// The sprite registered under `name`, or null when there is none or the
    /// name belongs to a composite sprite.
    virtual Sprite* getSprite(const std::string& name) const = 0;
};

}  // namespace game
