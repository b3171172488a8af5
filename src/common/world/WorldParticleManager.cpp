#include "common/world/WorldParticleManager.h"

WorldParticleManager::WorldParticleManager(lua::LuaState& state, const lua::LuaTable& world,
                                           game::SpriteProvider* sprites, int screenWidth,
                                           int screenHeight)
    : manager_(new particle::Manager(state, world, sprites, screenWidth, screenHeight)) {}

WorldParticleManager::~WorldParticleManager() = default;

void WorldParticleManager::emit(const std::string& name, float x, float y, float w, float h,
                                int count) {
    manager_->emit(particle::LAYER_WORLD, name, count, x, y, w, h, 0, false);
}

void WorldParticleManager::emitTurned(const std::string& name, float x, float y,
                                      float angleOffset) {
    manager_->emit(particle::LAYER_WORLD, name, 1, x, y, 0, 0, 0, false, angleOffset);
}

void WorldParticleManager::reset() {
    manager_->reset();
}

void WorldParticleManager::clear() {
    manager_->clear();
}

void WorldParticleManager::update(int layer, float dt) {
    manager_->update(layer, dt);
}

void WorldParticleManager::draw(gr::Context& context, int layer, float offsetX, float offsetY,
                                float scale) {
    manager_->draw(context, layer, offsetX, offsetY, scale);
}

void WorldParticleManager::viewChanged(float x0, float y0, float x1, float y1) {
    manager_->viewChanged(x0, y0, x1, y1);
}

void WorldParticleManager::screenResized(int width, int height) {
    manager_->setScreenSize(width, height);
}

int WorldParticleManager::particleCount() const {
    int count = 0;
    for (const auto& definition : manager_->definitions()) {
        for (const auto& layer : definition.second.particles) {
            count += static_cast<int>(layer.size());
        }
    }
    return count;
}
