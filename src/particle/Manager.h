#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "lua/LuaObject.h"
#include "particle/ParticleDefinition.h"

namespace game {
class SpriteProvider;
}
namespace gr {
class Context;
}

namespace particle {

/// The view rectangle the looping definitions fill, in world pixels.
struct ViewRect {
    float x0, y0, x1, y1;
    float width() const { return x1 - x0; }
    float height() const { return y1 - y0; }
    float area() const { return width() * height(); }
};

/// Runs every sprite particle in two layers: 0 drawn in screen coordinates, 1 in
/// the world. Definitions come from the world's `particleTable.particles[name]`
/// and are read the first time they are used. It is also the script object
/// "particles" (fields SCREEN = 0, WORLD = 1). Main thread only.
class Manager : public lua::LuaObject {
public:
    static constexpr float DEFAULT_SOFT_LIMIT_FACTOR = 0.5f;
    static constexpr int DEFAULT_SOFT_LIMIT = 40;
    static constexpr int DEFAULT_HARD_LIMIT = 125;

    /// `world` is the table the scripts define `particleTable` in; `sprites`
    /// (may be null: nothing is emitted) finds the sprites by name.
    Manager(lua::LuaState& state, const lua::LuaTable& world, game::SpriteProvider* sprites,
            int screenWidth, int screenHeight);
    ~Manager() override;

    /// Emits `count` particles of `name` over the width x height area centred at
    /// (x, y) and turned by `angle` (radians); `angleOffset` is added to each
    /// particle's start angle. An unknown layer or definition emits nothing.
    void emit(int layer, const std::string& name, int count, float x, float y, float width,
              float height, float angle, bool ignoreLimits, float angleOffset = 0);
    /// Ages, moves and animates the particles of the layer.
    void update(int layer, float dt);
    /// Draws the layer through the context's render state, which is restored
    /// afterwards.
    void draw(gr::Context& context, int layer, float offsetX, float offsetY, float scale);
    /// Refills or thins the looping definitions for the new camera view.
    void viewChanged(float x0, float y0, float x1, float y1);
    void setScreenSize(int width, int height);

    /// Empties both layers and restores the default limits.
    void reset();
    void clear();
    void clear(int layer);
    void setSoftLimit(int count, float factor);
    void setHardLimit(int count);

    /// Where each random number in [0, 1) comes from; math::random by default.
    void setRandomSource(std::function<double()> source);

    const std::map<std::string, ParticleDefinition>& definitions() const { return definitions_; }
    /// Null when `name` was never emitted.
    const ParticleDefinition* findDefinition(const std::string& name) const;
    const ViewRect& view() const { return view_; }
    int softLimit() const { return softLimit_; }
    float softLimitFactor() const { return softLimitFactor_; }
    int hardLimit() const { return hardLimit_; }

    /// Sprite names that particles asked for and the registry did not have, for
    /// the whole process.
    static const std::set<std::string>& missingSprites();

private:
    // Emission (Manager.cpp).
    ParticleDefinition* prepare(const std::string& name);
    int limitCount(int count, int existing) const;
    bool spawn(const ParticleDefinition& d, float x, float y, float width, float height,
               float angle, float angleOffset, Particle& p);
    void startMotion(const ParticleDefinition& d, Particle& p, float& startAngle);
    float random();
    float lerp(float a, float b) { return a + (b - a) * random(); }

    // Motion and view (ManagerUpdate.cpp).
    void updateList(ParticleDefinition& d, int layer, float dt);
    void move(const ParticleDefinition& d, Particle& p, float dt) const;
    void wrapIntoView(Particle& p) const;
    void fitToView(ParticleDefinition& d, const ViewRect& next);
    void fillUncovered(const std::string& name, const ViewRect& next, int missing);

    // Script natives (ManagerScript.cpp).
    void registerNatives();
    int scriptAdd(lua::LuaState* state);
    int scriptAddParticles(lua::LuaState* state);
    int scriptUpdate(lua::LuaState* state);
    int scriptClear(lua::LuaState* state);
    int scriptSetSoftLimit(lua::LuaState* state);
    int scriptSetHardLimit(lua::LuaState* state);

    lua::LuaTable world_;
    game::SpriteProvider* sprites_;
    std::map<std::string, ParticleDefinition> definitions_;
    int screenWidth_, screenHeight_;
    float softLimitFactor_ = DEFAULT_SOFT_LIMIT_FACTOR;
    int softLimit_ = DEFAULT_SOFT_LIMIT;
    int hardLimit_ = DEFAULT_HARD_LIMIT;
    ViewRect view_{-1, -1, 1, 1};
    std::function<double()> random_;
};

}  // namespace particle
