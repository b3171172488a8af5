#pragma once

namespace particle {

/// One live particle, copied by value. Its sprite is the definition's sprite at
/// `spriteIndex`, looked up when drawn so that a released sheet is never reached.
struct Particle {
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    float angle = 0;  // radians
    float angularVelocity = 0;
    float scaleBegin = 0, scaleEnd = 0, scale = 0;
    float age = 0;
    float life = 0;
    int spriteIndex = 0;
};

}  // namespace particle
