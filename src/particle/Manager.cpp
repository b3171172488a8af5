#include "particle/Manager.h"

#include <algorithm>
#include <cmath>

#include "game/SpriteProvider.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"
#include "math/random.h"

namespace particle {
namespace {

constexpr float TWO_PI = 6.28318530717958647692f;
constexpr float DEGREES = 0.0174532925199432957692f;

std::set<std::string>& missingSet() {
    static std::set<std::string> names;
    return names;
}

bool validLayer(int layer) {
    return layer >= 0 && layer < LAYER_COUNT;
}

float wrapAngle(float radians) {
    float a = std::fmod(radians, TWO_PI);
    if (a < 0) {
        a += TWO_PI;
    }
    // Rounding may land a tiny negative angle on 2 pi itself.
    return a < TWO_PI ? a : 0.0f;
}

// The speed that covers `distance` in `duration`; still for no duration.
float speedOver(float distance, float duration) {
    float v = distance / duration;
    return std::isfinite(v) ? v : 0.0f;
}

}  // namespace

Manager::Manager(lua::LuaState& state, const lua::LuaTable& world, game::SpriteProvider* sprites,
                 int screenWidth, int screenHeight)
    : lua::LuaObject(state),
      world_(world),
      sprites_(sprites),
      screenWidth_(screenWidth),
      screenHeight_(screenHeight),
      random_(&math::random) {
    set("SCREEN", static_cast<float>(LAYER_SCREEN));
    set("WORLD", static_cast<float>(LAYER_WORLD));
    registerNatives();
}

Manager::~Manager() = default;

const std::set<std::string>& Manager::missingSprites() {
    return missingSet();
}

const ParticleDefinition* Manager::findDefinition(const std::string& name) const {
    auto it = definitions_.find(name);
    return it == definitions_.end() ? nullptr : &it->second;
}

void Manager::setRandomSource(std::function<double()> source) {
    random_ = source ? std::move(source) : std::function<double()>(&math::random);
}

void Manager::setScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
}

void Manager::setSoftLimit(int count, float factor) {
    softLimit_ = count;
    softLimitFactor_ = factor;
}

void Manager::setHardLimit(int count) {
    hardLimit_ = count;
}

void Manager::reset() {
    clear();
    softLimitFactor_ = DEFAULT_SOFT_LIMIT_FACTOR;
    softLimit_ = DEFAULT_SOFT_LIMIT;
    hardLimit_ = DEFAULT_HARD_LIMIT;
}

void Manager::clear() {
    for (int layer = 0; layer < LAYER_COUNT; ++layer) {
        clear(layer);
    }
}

void Manager::clear(int layer) {
    if (!validLayer(layer)) {
        return;
    }
    for (auto& entry : definitions_) {
        entry.second.particles[layer].clear();
    }
}

float Manager::random() {
    return static_cast<float>(random_());
}

void Manager::emit(int layer, const std::string& name, int count, float x, float y, float width,
                   float height, float angle, bool ignoreLimits, float angleOffset) {
    // The soft limit would turn a negative request into one particle.
    if (!validLayer(layer) || count <= 0) {
        return;
    }
    ParticleDefinition* d = prepare(name);
    if (!d) {
        return;
    }
    std::vector<Particle>& list = d->particles[layer];
    if (!ignoreLimits) {
        count = limitCount(count, static_cast<int>(list.size()));
    }
    for (int i = 0; i < count; ++i) {
        Particle p;
        if (spawn(*d, x, y, width, height, angle, angleOffset, p)) {
            list.push_back(p);
        }
    }
}

// The definition of `name`, read on first use and again at every use when its
// table asks for it; null when the scripts never defined it.
ParticleDefinition* Manager::prepare(const std::string& name) {
    lua::LuaTable table;
    if (world_.isTable("particleTable")) {
        lua::LuaTable all = world_.getTable("particleTable");
        if (all.isTable("particles") && all.getTable("particles").isTable(name)) {
            table = all.getTable("particles").getTable(name);
        }
    }
    auto it = definitions_.find(name);
    bool known = it != definitions_.end();
    if (table.isEmpty()) {
        return known ? &it->second : nullptr;
    }
    if (known && !lua::isTrue(table, "alwaysLoad")) {
        return &it->second;
    }
    ParticleDefinition& d = definitions_[name];
    d.name = name;
    readDefinition(table, screenWidth_, screenHeight_, d);
    return &d;
}

int Manager::limitCount(int count, int existing) const {
    if (softLimit_ < count + existing) {
        count = std::max(1, lang::truncateToInt(softLimitFactor_ * static_cast<float>(count)));
    }
    if (existing + count > hardLimit_) {
        count = std::max(hardLimit_, existing) - existing;
    }
    return count;
}

bool Manager::spawn(const ParticleDefinition& d, float x, float y, float width, float height,
                    float angle, float angleOffset, Particle& p) {
    if (d.sprites.empty()) {
        return false;
    }
    int spriteCount = static_cast<int>(d.sprites.size());
    int index = d.animatedByLife ? 0 : static_cast<int>(random_() * spriteCount);
    p.spriteIndex = std::max(0, std::min(index, spriteCount - 1));
    const std::string& sprite = d.sprites[static_cast<size_t>(p.spriteIndex)];
    if (!sprites_ || !sprites_->getSprite(sprite)) {
        missingSet().insert(sprite);
        return false;
    }
    p.x = x;
    p.y = y;
    if (d.randomizeBirthPosition) {
        float dx = (random() - 0.5f) * width;
        float dy = (random() - 0.5f) * height;
        p.x += dx * std::cos(angle) - dy * std::sin(angle);
        p.y += dx * std::sin(angle) + dy * std::cos(angle);
    }
    float startAngle = 0;
    startMotion(d, p, startAngle);
    p.angle = wrapAngle(startAngle + angleOffset);
    p.angularVelocity = lerp(d.minAngleVel, d.maxAngleVel);
    p.scaleBegin = lerp(d.minScaleBegin, d.maxScaleBegin);
    p.scaleEnd = lerp(d.minScaleEnd, d.maxScaleEnd);
    p.scale = p.scaleBegin;
    p.life = d.lifeTime;
    p.age = 0;
    return true;
}

// The velocity (and start angle) the emitter gives a particle born at (p.x, p.y).
void Manager::startMotion(const ParticleDefinition& d, Particle& p, float& startAngle) {
    switch (d.emitter) {
        case EMITTER_BOX:
            p.vx = lerp(d.minVelX, d.maxVelX);
            p.vy = lerp(d.minVelY, d.maxVelY);
            break;
        case EMITTER_CIRCLE: {
            float speed = lerp(d.minVel, d.maxVel);
            float direction = lerp(d.minAngleEmitter, d.maxAngleEmitter) * DEGREES;
            p.vx = speed * std::cos(direction);
            p.vy = speed * std::sin(direction);
            startAngle = lerp(d.minAngleEmitter, d.maxAngleEmitter) * DEGREES;
            break;
        }
        case EMITTER_BAT:
            p.vx = speedOver(d.batTargetX - p.x, d.lifeTime);
            p.vy = speedOver(d.batTargetY - p.y, d.lifeTime);
            break;
    }
    if (d.hasTarget) {
        float duration = d.lifeTime / d.killEarlyPercent;
        p.vx = speedOver(d.targetX - p.x, duration);
        p.vy = speedOver(d.targetY - p.y, duration);
    }
}

}  // namespace particle
