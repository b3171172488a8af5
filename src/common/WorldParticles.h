#pragma once

#include <string>

/// Where the world emits particles into the world layer (splashes).
class WorldParticles {
public:
    virtual ~WorldParticles() = default;

    /// `count` particles of the definition `name` over the area w x h centred
    /// at (x, y), in world pixels, without angle or limit override.
    virtual void emit(const std::string& name, float x, float y, float w, float h, int count) = 0;
};
