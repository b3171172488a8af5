#pragma once

#include <string>

namespace gr {
class Context;
}

/// The world's particle effects: layer 0 is drawn in screen space, layer 1 in
/// the world.
class WorldParticles {
public:
    virtual ~WorldParticles() = default;

    /// `count` particles of the definition `name` over the area w x h centred
    /// at (x, y), in world pixels, without angle or limit override.
    virtual void emit(const std::string& name, float x, float y, float w, float h, int count) = 0;
    /// One particle of `name` at (x, y) whose start angle is turned by
    /// angleOffset radians (effects that leave a portal).
    virtual void emitTurned(const std::string& name, float x, float y, float angleOffset) = 0;
    /// Empties both layers and restores the default limits (a level load).
    virtual void reset() = 0;
    /// Removes every particle of both layers, keeping the limits.
    virtual void clear() = 0;
    virtual void update(int layer, float dt) = 0;
    virtual void draw(gr::Context& context, int layer, float offsetX, float offsetY,
                      float scale) = 0;
    /// The camera's view in world pixels, for the looping definitions.
    virtual void viewChanged(float x0, float y0, float x1, float y1) = 0;
    virtual void screenResized(int width, int height) = 0;
    /// Particles alive in both layers (for the debug overlay).
    virtual int particleCount() const { return 0; }
};
