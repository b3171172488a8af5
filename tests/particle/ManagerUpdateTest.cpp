#include <cmath>

#include "ParticleFixture.h"

namespace particletest {
namespace {

using particle::LAYER_SCREEN;
using particle::LAYER_WORLD;
using particle::Particle;

class ManagerUpdate : public ParticleFixture {
protected:
    // Emits one particle exactly at (x, y).
    void put(const std::string& name, int layer, float x, float y) {
        manager->emit(layer, name, 1, x, y, 0, 0, 0, true);
    }
    bool inside(const Particle& p, const particle::ViewRect& r) {
        return p.x >= r.x0 && p.x < r.x1 && p.y >= r.y0 && p.y < r.y1;
    }
};

TEST_F(ManagerUpdate, ParticlesLeaveWhenOldOrBelowTheWorldsGround) {
    struct Case {
        const char* what;
        int layer;
        float y, dt;
        bool survives;
    } cases[] = {
        {"young, above ground", LAYER_WORLD, -5, 0.5f, true},
        {"below ground in the world", LAYER_WORLD, 5, 0.1f, false},
        {"below y = 0 on the screen", LAYER_SCREEN, 5, 0.1f, true},
        {"reaching its life", LAYER_SCREEN, 5, 1, false},
        {"past its life", LAYER_WORLD, -5, 3, false},
    };
    define("dust", "sprites = {'a'}, lifeTime = 1, emitter_box = {}");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager->clear();
        put("dust", c.layer, 0, c.y);
        manager->update(c.layer, c.dt);
        EXPECT_EQ(count("dust", c.layer), c.survives ? 1u : 0u);
    }
}

TEST_F(ManagerUpdate, RemovalMovesTheLastParticleInAndChecksItToo) {
    define("dust", "sprites = {'a'}, lifeTime = 1, emitter_box = {}");
    put("dust", LAYER_WORLD, 1, 5);
    put("dust", LAYER_WORLD, 2, -5);
    put("dust", LAYER_WORLD, 3, 5);
    put("dust", LAYER_WORLD, 4, -5);
    manager->update(LAYER_WORLD, 0.01f);
    ASSERT_EQ(count("dust", LAYER_WORLD), 2u);
    EXPECT_NEAR(layer("dust", LAYER_WORLD)[0].x, 4, 1e-4);
    EXPECT_NEAR(layer("dust", LAYER_WORLD)[1].x, 2, 1e-4);
}

TEST_F(ManagerUpdate, MotionScaleAndAnimationFollowAge) {
    define("spark",
           "sprites = {'a', 'b', 'c', 'd'}, lifeTime = 10, animation = 'lifeTime',"
           "animationLength = 1, gravityX = 1, gravityY = 10, minAngleVel = 2,"
           "maxAngleVel = 2, minScaleBegin = 1, maxScaleBegin = 1, minScaleEnd = 3,"
           "maxScaleEnd = 3, randomizeBirthPosition = false,"
           "emitter_box = { minVelX = 4, maxVelX = 4, minVelY = -2, maxVelY = -2 }");
    put("spark", LAYER_SCREEN, 10, 20);
    manager->update(LAYER_SCREEN, 0.5f);
    const Particle& p = layer("spark", LAYER_SCREEN)[0];
    EXPECT_FLOAT_EQ(p.vx, 4.5f);
    EXPECT_FLOAT_EQ(p.vy, 3);
    EXPECT_FLOAT_EQ(p.x, 12.25f);
    EXPECT_FLOAT_EQ(p.y, 21.5f);
    EXPECT_FLOAT_EQ(p.angle, 1);
    EXPECT_FLOAT_EQ(p.scale, 1.1f);
    EXPECT_EQ(p.spriteIndex, 2);

    manager->update(LAYER_SCREEN, 0.75f);  // age 1.25: the animation starts over
    EXPECT_EQ(layer("spark", LAYER_SCREEN)[0].spriteIndex, 1);
}

TEST_F(ManagerUpdate, LoopingParticlesNeverAgeAndStayInTheView) {
    define("rain",
           "sprites = {'a'}, lifeTime = 1, looping = true,"
           "emitter_box = { minVelX = -300, maxVelX = 300, minVelY = 100, maxVelY = 900 }");
    manager->viewChanged(0, 0, 100, 50);
    const particle::ViewRect& view = manager->view();
    EXPECT_FLOAT_EQ(view.x0, -4);
    EXPECT_FLOAT_EQ(view.y0, -2);
    EXPECT_FLOAT_EQ(view.x1, 104);
    EXPECT_FLOAT_EQ(view.y1, 52);

    manager->emit(LAYER_WORLD, "rain", 30, 50, 25, 100, 50, 0, true);
    for (int step = 0; step < 20; ++step) {
        manager->update(LAYER_WORLD, 0.37f);
        for (const Particle& p : layer("rain", LAYER_WORLD)) {
            ASSERT_TRUE(inside(p, view)) << p.x << ", " << p.y;
            ASSERT_EQ(p.age, 0);
        }
    }
    EXPECT_EQ(count("rain", LAYER_WORLD), 30u);
}

TEST_F(ManagerUpdate, ViewChangeFillsAndThinsTheLoopingLayer) {
    define("snow", "sprites = {'a'}, lifeTime = 1, looping = true, density = 100");
    define("idle", "sprites = {'a'}, lifeTime = 1, looping = true, density = 100");
    define("dust", "sprites = {'a'}, lifeTime = 1, density = 100");
    put("snow", LAYER_WORLD, 0, 0);
    put("dust", LAYER_WORLD, 0, 0);

    // 1080 x 540 after widening: 583 particles wanted.
    manager->viewChanged(0, 0, 1000, 500);
    particle::ViewRect wide = manager->view();
    size_t filled = count("snow", LAYER_WORLD);
    EXPECT_LE(filled, 583u);
    EXPECT_GE(filled, 579u);  // each of the four strips rounds down
    for (const Particle& p : layer("snow", LAYER_WORLD)) {
        ASSERT_TRUE(inside(p, wide));
    }
    EXPECT_EQ(count("idle", LAYER_WORLD), 0u);
    EXPECT_EQ(count("dust", LAYER_WORLD), 1u);

    // 540 x 270: 145 wanted; only particles outside the new view go.
    particle::ViewRect small{-20, -10, 520, 260};
    size_t outside = 0;
    for (const Particle& p : layer("snow", LAYER_WORLD)) {
        outside += inside(p, small) ? 0 : 1;
    }
    size_t surplus = filled - 145;
    manager->viewChanged(0, 0, 500, 250);
    EXPECT_EQ(count("snow", LAYER_WORLD), filled - std::min(surplus, outside));

    // Within the tolerance of 1 % nothing changes.
    size_t before = count("snow", LAYER_WORLD);
    manager->viewChanged(0.1f, 0, 500.1f, 250);
    EXPECT_EQ(count("snow", LAYER_WORLD), before);
}

}  // namespace
}  // namespace particletest
