#include <cmath>
#include <functional>

#include "ParticleFixture.h"

namespace particletest {
namespace {

using particle::LAYER_SCREEN;
using particle::LAYER_WORLD;
using particle::Particle;

constexpr float PI = 3.14159265358979f;
constexpr float DEG = PI / 180;

class ManagerEmit : public ParticleFixture {};

TEST_F(ManagerEmit, SoftAndHardLimitsCutTheRequest) {
    struct Case {
        int existing, asked;
        int softLimit;
        float factor;
        int hardLimit;
        size_t expectedAdded;
    } cases[] = {
        {35, 10, 40, 0.5f, 125, 5},     // over the soft limit: half
        {100, 200, 40, 0.5f, 125, 25},  // then the hard limit caps it
        {0, 40, 40, 0.5f, 125, 40},     // exactly at the soft limit: all
        {0, 1, 0, 0.1f, 125, 1},        // the soft cut never goes below one
        {124, 10, 40, 0.5f, 125, 1},
        {130, 10, 40, 0.5f, 125, 0},  // already past the hard limit
        {0, 10, 100, 0.5f, 4, 4},
        {50, -5, 40, 0.5f, 125, 0},  // a negative request is not cut up to one
    };
    define("dust", "sprites = {'a'}, lifeTime = 1");
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.existing << " + " << c.asked);
        manager->clear();
        manager->setSoftLimit(c.softLimit, c.factor);
        manager->setHardLimit(c.hardLimit);
        manager->emit(LAYER_WORLD, "dust", c.existing, 0, -10, 0, 0, 0, true);
        manager->emit(LAYER_WORLD, "dust", c.asked, 0, -10, 0, 0, 0, false);
        EXPECT_EQ(count("dust", LAYER_WORLD), c.existing + c.expectedAdded);
    }
}

TEST_F(ManagerEmit, LimitsCountEachLayerOfEachDefinitionApart) {
    define("dust", "sprites = {'a'}, lifeTime = 1");
    define("smoke", "sprites = {'b'}, lifeTime = 1");
    manager->emit(LAYER_WORLD, "dust", 120, 0, -10, 0, 0, 0, true);
    manager->emit(LAYER_SCREEN, "dust", 30, 0, 0, 0, 0, 0, false);
    manager->emit(LAYER_WORLD, "smoke", 30, 0, -10, 0, 0, 0, false);
    EXPECT_EQ(count("dust", LAYER_SCREEN), 30u);
    EXPECT_EQ(count("smoke", LAYER_WORLD), 30u);
}

// Each emitter's particle against the random numbers it drew, in order.
TEST_F(ManagerEmit, EmittersPlaceAndLaunchFromTheSharedSequence) {
    struct Case {
        const char* name;
        const char* fields;
        float angle, angleOffset;
        size_t drawsUsed;
        std::function<void(const std::vector<float>& r, const Particle& p)> check;
    };
    const float x = 100, y = -50, w = 20, h = 10;
    Case cases[] = {
        {"box",
         "sprites = {'a', 'b', 'c'}, lifeTime = 2, minAngleVel = 1, maxAngleVel = 3,"
         "minScaleBegin = 0.5, maxScaleBegin = 1, minScaleEnd = 2, maxScaleEnd = 4,"
         "emitter_box = { minVelX = -10, maxVelX = 10, minVelY = 5, maxVelY = 15 }",
         0, 0, 8,
         [&](const std::vector<float>& r, const Particle& p) {
             EXPECT_EQ(p.spriteIndex, static_cast<int>(r[0] * 3));
             EXPECT_NEAR(p.x, x + (r[1] - 0.5f) * w, 1e-3);
             EXPECT_NEAR(p.y, y + (r[2] - 0.5f) * h, 1e-3);
             EXPECT_NEAR(p.vx, -10 + 20 * r[3], 1e-3);
             EXPECT_NEAR(p.vy, 5 + 10 * r[4], 1e-3);
             EXPECT_EQ(p.angle, 0);
             EXPECT_NEAR(p.angularVelocity, 1 + 2 * r[5], 1e-4);
             EXPECT_NEAR(p.scaleBegin, 0.5f + 0.5f * r[6], 1e-4);
             EXPECT_EQ(p.scale, p.scaleBegin);
             EXPECT_NEAR(p.scaleEnd, 2 + 2 * r[7], 1e-4);
             EXPECT_EQ(p.life, 2);
             EXPECT_EQ(p.age, 0);
         }},
        {"turnedBox", "sprites = {'a'}, emitter_box = {}", PI / 2, 0, 8,
         [&](const std::vector<float>& r, const Particle& p) {
             // A quarter turn maps the area's x offset onto y and its y offset onto -x.
             EXPECT_NEAR(p.x, x - (r[2] - 0.5f) * h, 1e-3);
             EXPECT_NEAR(p.y, y + (r[1] - 0.5f) * w, 1e-3);
         }},
        {"circle",
         "sprites = {'a'}, lifeTime = 1,"
         "emitter_circle = { minVel = 10, maxVel = 20, minAngleEmitter = 90, maxAngleEmitter = 180 "
         "}",
         0, 2 * PI, 9,
         [&](const std::vector<float>& r, const Particle& p) {
             float speed = 10 + 10 * r[3];
             float direction = (90 + 90 * r[4]) * DEG;
             EXPECT_NEAR(p.vx, speed * std::cos(direction), 1e-3);
             EXPECT_NEAR(p.vy, speed * std::sin(direction), 1e-3);
             // Its own draw, brought back into [0, 2 pi) after the offset.
             EXPECT_NEAR(p.angle, (90 + 90 * r[5]) * DEG, 1e-4);
         }},
        {"circleDefaults", "sprites = {'a'}, emitter_circle = { minVel = 1, maxVel = 1 }", 0,
         -PI / 2, 9,
         [&](const std::vector<float>& r, const Particle& p) {
             float direction = 360 * r[4] * DEG;
             EXPECT_NEAR(p.vx, std::cos(direction), 1e-4);
             float expected = std::fmod(360 * r[5] * DEG - PI / 2 + 2 * PI, 2 * PI);
             EXPECT_NEAR(p.angle, expected, 1e-4);
         }},
        {"bat",
         "sprites = {'a', 'b'}, lifeTime = 4, randomizeBirthPosition = false,"
         "emitter_bat = { targetX = 0.5, targetY = 0.25 }",
         0, 0, 4,
         [&](const std::vector<float>&, const Particle& p) {
             EXPECT_EQ(p.x, x);
             EXPECT_EQ(p.y, y);
             EXPECT_NEAR(p.vx, (400 - x) / 4, 1e-4);
             EXPECT_NEAR(p.vy, (150 - y) / 4, 1e-4);
         }},
        {"target",
         "sprites = {'a'}, lifeTime = 4, randomizeBirthPosition = false, emitter_box = {},"
         "particle_target = { targetX = 300, targetY = 50, killEarlyPercent = 2 }",
         0, 0, 6,
         [&](const std::vector<float>&, const Particle& p) {
             EXPECT_NEAR(p.vx, (300 - x) / 2, 1e-4);
             EXPECT_NEAR(p.vy, (50 - y) / 2, 1e-4);
         }},
        {"batWithoutLife", "sprites = {'a'}, randomizeBirthPosition = false", 0, 0, 4,
         [&](const std::vector<float>&, const Particle& p) {
             EXPECT_EQ(p.vx, 0);
             EXPECT_EQ(p.vy, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        define(c.name, c.fields);
        draws.clear();
        manager->emit(LAYER_WORLD, c.name, 1, x, y, w, h, c.angle, false, c.angleOffset);
        ASSERT_EQ(count(c.name, LAYER_WORLD), 1u);
        EXPECT_EQ(draws.size(), c.drawsUsed);
        const Particle& p = layer(c.name, LAYER_WORLD)[0];
        EXPECT_GE(p.angle, 0);
        EXPECT_LT(p.angle, 2 * PI);
        c.check(draws, p);
    }
}

TEST_F(ManagerEmit, SpritesThatCannotBeDrawnAreNotEmitted) {
    define("bare", "lifeTime = 1");
    define("half", "lifeTime = 1, sprites = {'a', 'nowhere'}");
    manager->emit(LAYER_WORLD, "bare", 5, 0, -10, 0, 0, 0, false);
    manager->emit(LAYER_WORLD, "undefined", 5, 0, -10, 0, 0, 0, false);
    manager->emit(LAYER_WORLD, "half", 20, 0, -10, 0, 0, 0, false);

    EXPECT_EQ(count("bare", LAYER_WORLD), 0u);
    EXPECT_EQ(manager->findDefinition("undefined"), nullptr);
    size_t chosenMissing = 0;
    for (size_t i = 0; i < draws.size(); ++i) {
        // The sprite draw of a particle; a skipped particle draws nothing else.
        if (draws[i] >= 0.5f) {
            ++chosenMissing;
        } else {
            i += 5;
        }
    }
    EXPECT_GT(chosenMissing, 0u);
    EXPECT_EQ(count("half", LAYER_WORLD), 20 - chosenMissing);
    for (const Particle& p : layer("half", LAYER_WORLD)) {
        EXPECT_EQ(p.spriteIndex, 0);
    }
    EXPECT_EQ(particle::Manager::missingSprites().count("nowhere"), 1u);
}

TEST_F(ManagerEmit, DefinitionIsReadOnceUnlessItAsksToBeReloaded) {
    define("dust", "sprites = {'a'}, lifeTime = 1");
    manager->emit(LAYER_WORLD, "dust", 1, 0, -10, 0, 0, 0, false);
    run("particleTable.particles.dust.lifeTime = 5");
    manager->emit(LAYER_WORLD, "dust", 1, 0, -10, 0, 0, 0, false);
    EXPECT_EQ(manager->findDefinition("dust")->lifeTime, 1);

    run("particleTable.particles.dust.alwaysLoad = true "
        "particleTable.particles.dust.sprites = {'c'}");
    manager->emit(LAYER_WORLD, "dust", 1, 0, -10, 0, 0, 0, false);
    const particle::ParticleDefinition* d = manager->findDefinition("dust");
    EXPECT_EQ(d->lifeTime, 5);
    EXPECT_EQ(d->sprites, std::vector<std::string>{"c"});
    ASSERT_EQ(d->particles[LAYER_WORLD].size(), 3u);
    EXPECT_EQ(d->particles[LAYER_WORLD][0].life, 1);
    EXPECT_EQ(d->particles[LAYER_WORLD][2].life, 5);

    // A definition the scripts removed keeps serving its name.
    run("particleTable.particles.dust = nil");
    manager->emit(LAYER_WORLD, "dust", 1, 0, -10, 0, 0, 0, false);
    EXPECT_EQ(count("dust", LAYER_WORLD), 4u);
}

TEST_F(ManagerEmit, DefinitionReadsLenientlyWithItsDefaults) {
    define("plain",
           "sprites = {'a', 'b', 7, 'c'}, sheet = 'fx', lifeTime = 3, density = 50,"
           "looping = 1, alwaysLoad = 'yes', randomizeBirthPosition = 0,"
           "animation = 'lifeTime', particle_target = {}");
    define("off",
           "sprites = {'a'}, randomizeBirthPosition = false, looping = true,"
           "animationLength = 0.5, emitter_box = true");
    manager->emit(LAYER_WORLD, "plain", 1, 0, -10, 0, 0, 0, false);
    manager->emit(LAYER_WORLD, "off", 1, 0, -10, 0, 0, 0, false);

    const particle::ParticleDefinition& plain = *manager->findDefinition("plain");
    EXPECT_EQ(plain.sprites, (std::vector<std::string>{"a", "b", "7", "c"}));
    EXPECT_EQ(plain.sheet, "fx");
    EXPECT_EQ(plain.emitter, particle::EMITTER_BAT);
    EXPECT_TRUE(plain.animatedByLife);
    EXPECT_EQ(plain.animationLength, 3);
    EXPECT_FLOAT_EQ(plain.density, 0.0005f);
    EXPECT_FALSE(plain.looping);
    EXPECT_FALSE(plain.alwaysLoad);
    EXPECT_FALSE(plain.randomizeBirthPosition);
    EXPECT_TRUE(plain.hasTarget);
    EXPECT_EQ(plain.killEarlyPercent, 1);

    const particle::ParticleDefinition& off = *manager->findDefinition("off");
    EXPECT_EQ(off.emitter, particle::EMITTER_BOX);
    EXPECT_FALSE(off.randomizeBirthPosition);
    EXPECT_TRUE(off.looping);
    EXPECT_EQ(off.animationLength, 0.5f);
    EXPECT_FALSE(off.hasTarget);
}

}  // namespace
}  // namespace particletest
