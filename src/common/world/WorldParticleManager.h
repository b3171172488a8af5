#pragma once

#include "common/world/WorldParticles.h"
#include "lang/Ptr.h"
#include "particle/Manager.h"

/// The world's particles over a particle::Manager, which is also the script
/// object "particles". World emissions go to the world layer without angle or
/// limit override.
class WorldParticleManager : public WorldParticles {
public:
    /// `world` holds the scripts' `particleTable`; `sprites` may be null.
    WorldParticleManager(lua::LuaState& state, const lua::LuaTable& world,
                         game::SpriteProvider* sprites, int screenWidth, int screenHeight);
    ~WorldParticleManager() override;

    particle::Manager& manager() { return *manager_; }

    void emit(const std::string& name, float x, float y, float w, float h, int count) override;
    void emitTurned(const std::string& name, float x, float y, float angleOffset) override;
    void reset() override;
    void clear() override;
    void update(int layer, float dt) override;
    void draw(gr::Context& context, int layer, float offsetX, float offsetY, float scale) override;
    void viewChanged(float x0, float y0, float x1, float y1) override;
    void screenResized(int width, int height) override;
    int particleCount() const override;

private:
    lang::Ptr<particle::Manager> manager_;
};
