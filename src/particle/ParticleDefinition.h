#pragma once

#include <string>
#include <vector>

#include "particle/Particle.h"

namespace lua {
class LuaTable;
}

namespace particle {

enum Layer { LAYER_SCREEN = 0, LAYER_WORLD = 1, LAYER_COUNT = 2 };

enum Emitter { EMITTER_BOX, EMITTER_CIRCLE, EMITTER_BAT };

/// A particle kind as the scripts define it, with its live particles.
struct ParticleDefinition {
    std::string name;
    std::vector<std::string> sprites;
    std::string sheet;
    bool animatedByLife = false;
    bool randomizeBirthPosition = true;
    Emitter emitter = EMITTER_BAT;
    /// Box emitter.
    float minVelX = 0, maxVelX = 0, minVelY = 0, maxVelY = 0;
    /// Circle emitter; angles in degrees.
    float minVel = 0, maxVel = 0, minAngleEmitter = 0, maxAngleEmitter = 360;
    /// Bat emitter: where every particle heads, in pixels.
    float batTargetX = 0, batTargetY = 0;
    float minAngleVel = 0, maxAngleVel = 0;
    float minScaleBegin = 0, maxScaleBegin = 0, minScaleEnd = 0, maxScaleEnd = 0;
    float lifeTime = 0;
    float gravityX = 0, gravityY = 0;
    bool hasTarget = false;
    float targetX = 0, targetY = 0, killEarlyPercent = 1;
    float animationLength = 0;
    float density = 0;  // particles per square unit
    bool looping = false;
    bool alwaysLoad = false;
    std::vector<Particle> particles[LAYER_COUNT];
};

/// Reads every setting of `definition` (not its name or particles) from the
/// script table; absent numbers read as 0 or their default, flags count only
/// when they are the boolean true. The bat target is scaled by the screen size.
void readDefinition(const lua::LuaTable& table, int screenWidth, int screenHeight,
                    ParticleDefinition& definition);

}  // namespace particle
