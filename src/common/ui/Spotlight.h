#pragma once

#include "gr/MathTypes.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
class Shader;
}  // namespace gr

/// A full-screen shader pass that darkens the screen around a spot. The spot
/// starts where the scripts put it and then wanders at random, pulled back
/// once it is more than half way to an edge and still moving outwards.
class Spotlight : public lang::Object {
public:
    /// A value in [0, 1); the engine's shared generator by default.
    using RandomSource = double (*)();

    /// Loads "composite-spotlight" on the gles2 and gl2 platforms; elsewhere
    /// the spotlight has no shader and draws nothing. The context is not owned.
    explicit Spotlight(gr::Context* context, RandomSource random = nullptr);
    ~Spotlight() override;

    /// Centres the spot on the screen pixel (x, y).
    void setPosition(int x, int y);
    void setVelocity(float x, float y) {
        velocity_[0] = x;
        velocity_[1] = y;
    }
    void setAcceleration(float x, float y) {
        acceleration_[0] = x;
        acceleration_[1] = y;
    }

    /// Moves the spot by dt seconds, each axis on its own.
    void update(float dt);
    void draw();

    /// In normalised screen units: 0 the centre, -1 and 1 the edges, y downwards.
    const math::float4& position() const { return position_; }
    float velocity(int axis) const { return velocity_[axis]; }
    float acceleration(int axis) const { return acceleration_[axis]; }
    gr::Shader* shader() const { return shader_.get(); }

private:
    void updateAxis(int axis, float& position, float dt);

    math::float4 position_;
    float velocity_[2] = {0, 0};
    float acceleration_[2] = {0, 0};
    gr::Context* context_;
    lang::Ptr<gr::Shader> shader_;
    RandomSource random_;
};
