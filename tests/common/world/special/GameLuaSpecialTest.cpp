// Thrust, drag, water and trajectories.

#include <cmath>
#include <set>

#include "common/world/GameLuaFixture.h"

using worldtest::GameLuaFixture;

class GameLuaSpecialTest : public GameLuaFixture {
protected:
    // A 1 x 1 box of mass 1 without gravity, physics on.
    void rocket(const std::string& keys) {
        run("createBox('r', 'ROCKET', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
        run("setGravityEnabled('r', false) setPhysicsEnabled(true)");
        run("local t = objects.world.r " + keys);
        world->bindLevelTables();
    }
    b2Vec2 velocity(const std::string& name) { return object(name).body->GetLinearVelocity(); }
};

TEST_F(GameLuaSpecialTest, DisabledGravityIsCancelled) {
    rocket("");
    world->update(GameLua::STEP);
    EXPECT_NEAR(velocity("r").y, 0, 1e-5);
}

TEST_F(GameLuaSpecialTest, ContinuousForcePerUnitOfTableMass) {
    rocket("t.forceX = 2 t.mass = 3");
    world->update(GameLua::STEP);
    EXPECT_NEAR(velocity("r").x, 6 * GameLua::STEP, 1e-5);
}

TEST_F(GameLuaSpecialTest, TargetVelocityDropsThrustAlongTheMotionOnly) {
    struct Case {
        float vx;
        float expected;
    } cases[] = {{12, 12}, {-12, -12 + 6 * GameLua::STEP}, {5, 5 + 6 * GameLua::STEP}};
    for (const Case& c : cases) {
        world->removeAllObjects();
        rocket("t.forceX = 2 t.mass = 3 t.targetVelocity = 10");
        run("setVelocity('r', " + std::to_string(c.vx) + ", 0)");
        world->update(GameLua::STEP);
        EXPECT_NEAR(velocity("r").x, c.expected, 1e-4) << c.vx;
    }
}

TEST_F(GameLuaSpecialTest, RelativeThrustFollowsTheBody) {
    rocket("t.forceRelative = 3 t.forceX = 100");
    run("setRotation('r', math.pi / 2)");
    world->update(GameLua::STEP);
    EXPECT_NEAR(velocity("r").x, 0, 1e-4);
    EXPECT_NEAR(velocity("r").y, 3 * GameLua::STEP, 1e-4);
}

TEST_F(GameLuaSpecialTest, IntervalImpulseFiresAfterOneSecondAndCarriesTheOvershoot) {
    rocket("t.forceX = 2 t.mass = 1 t.applyForceInterval = 1 t.spriteWhenForceApplied = 'FIRE'");
    world->update(GameLua::STEP);
    EXPECT_NEAR(num("objects.world.r.applyForceTimer"), 1 - GameLua::STEP, 1e-6);
    EXPECT_EQ(velocity("r").x, 0);
    int firedAt = 0;
    float before = 0;
    for (int step = 2; step <= 40 && firedAt == 0; ++step) {
        before = num("objects.world.r.applyForceTimer");
        world->update(GameLua::STEP);
        if (velocity("r").x > 0)
            firedAt = step;
    }
    EXPECT_GE(firedAt, 30);
    EXPECT_LE(firedAt, 31);
    EXPECT_NEAR(velocity("r").x, 2, 1e-5);
    EXPECT_NEAR(num("objects.world.r.applyForceTimer"), before - GameLua::STEP + 1, 1e-6);
    EXPECT_EQ(str("objects.world.r.sprite"), "FIRE");
    EXPECT_EQ(str("objects.world.r.originalSprite"), "ROCKET");
    for (int i = 0; i < 8; ++i)
        world->update(GameLua::STEP);
    EXPECT_EQ(str("objects.world.r.sprite"), "ROCKET");
}

TEST_F(GameLuaSpecialTest, ImpulseSoundIsDrawnFromTheTable) {
    rocket(
        "t.forceX = 1 t.mass = 1 t.applyForceInterval = 0.01 "
        "t.soundWhenForceApplied = {'s1', 's2', 's3'} t.soundWhenForceAppliedVolume = 0.4");
    for (int i = 0; i < 20; ++i)
        world->update(GameLua::STEP);
    ASSERT_EQ(sounds.calls.size(), 20u);
    std::set<std::string> names;
    for (const auto& call : sounds.calls) {
        EXPECT_EQ(call.what, "play");
        EXPECT_EQ(call.volume, 0.4f);
        names.insert(call.name);
    }
    EXPECT_GT(names.size(), 1u);
    for (const std::string& name : names) {
        EXPECT_TRUE(name == "s1" || name == "s2" || name == "s3") << name;
    }
}

TEST_F(GameLuaSpecialTest, Drag) {
    struct Case {
        const char* keys;
        float vx;
        float expected;
    } cases[] = {
        {"t.airResistance = 0.5", 10, 10 - 5 * GameLua::STEP},
        {"t.frictionXRelative = 1", -4, -4 + 16 * GameLua::STEP},
        {"t.frictionXRelative = 1", 4, 4},
        {"", 4, 4},
    };
    for (const Case& c : cases) {
        world->removeAllObjects();
        rocket(c.keys);
        run("setVelocity('r', " + std::to_string(c.vx) + ", 0)");
        world->update(GameLua::STEP);
        EXPECT_NEAR(velocity("r").x, c.expected, 1e-4) << c.keys << " " << c.vx;
    }
}

class GameLuaWaterTest : public GameLuaSpecialTest {
protected:
    void SetUp() override {
        run("objects.waterLevel = 0 waterMaxBuoyancyDepth = 2 timeSinceLevelStart = 3 "
            "physicsToWorld = 20");
    }
    void box(float y, const std::string& extra = "") {
        run("createBox('w', '', 0, " + std::to_string(y) + ", 1, 1, 1, 0, 0, true, false, 0)");
        run("setPhysicsEnabled(true) " + extra);
        world->bindLevelTables();
    }
};

TEST_F(GameLuaWaterTest, EnteringSplashesAndBuoyancyLifts) {
    box(1, "setAngularDamping('w', 0)");
    world->update(GameLua::STEP);
    ASSERT_EQ(particles.emits.size(), 1u);
    EXPECT_EQ(particles.emits[0].name, "waterSplashUp");
    EXPECT_EQ(particles.emits[0].count, 3);
    EXPECT_EQ(particles.emits[0].y, 20);
    EXPECT_EQ(particles.emits[0].w, 10);
    EXPECT_FALSE(truth("splashes[1]"));
    EXPECT_EQ(num("#splashes"), 1);
    EXPECT_EQ(object("w").body->GetAngularDamping(), 0.5f);
    EXPECT_TRUE(truth("objects.world.w.waterTimerIsActive"));
    // Depth 1 of 2: -20 * (0.8 * 0.5 + 1.05) against gravity 20 leaves -9 per unit mass.
    EXPECT_NEAR(velocity("w").y, -9 * GameLua::STEP, 1e-4);
}

TEST_F(GameLuaWaterTest, ForceCases) {
    struct Case {
        const char* extra;
        float vy;
    } cases[] = {
        {"", -9 * GameLua::STEP},
        {"objects.world.w.floatability = 0", 20 * GameLua::STEP},
        {"objects.world.w.timeWithoutMoving = 2", 20 * GameLua::STEP},
        {"objects.world.w.homing = 1", 20 * GameLua::STEP},
        {"waterMaxBuoyancyDepth = nil", 20 * GameLua::STEP},
        {"objects.waterLevel = -5", 20 * GameLua::STEP},
    };
    for (const Case& c : cases) {
        world->removeAllObjects();
        run("objects.waterLevel = 0 waterMaxBuoyancyDepth = 2");
        box(1, c.extra);
        world->update(GameLua::STEP);
        EXPECT_NEAR(velocity("w").y, c.vy, 1e-4) << c.extra;
        EXPECT_TRUE(std::isfinite(object("w").body->GetPosition().y)) << c.extra;
    }
    EXPECT_TRUE(particles.emits.empty());
}

TEST_F(GameLuaWaterTest, LeavingTheWaterResetsDamping) {
    box(-10, "setVelocity('w', 0, -10) objects.world.w.waterTimerIsActive = true");
    world->update(GameLua::STEP);
    EXPECT_EQ(object("w").body->GetAngularDamping(), 0);
    EXPECT_FALSE(truth("objects.world.w.waterTimerIsActive"));
    ASSERT_EQ(particles.emits.size(), 1u);
    EXPECT_EQ(particles.emits[0].name, "waterSplashUp");
}

TEST_F(GameLuaWaterTest, TargetsDrownBelowTheKillLevel) {
    run("objects.waterLevel = nil objects.water = {waterLevel = 0, killLevel = 5}");
    box(1, "setColliderType('w', 4) objects.world.w.strength = 3");
    world->update(GameLua::STEP);
    EXPECT_EQ(num("objects.world.w.strength"), 0);
    EXPECT_TRUE(truth("deadBlocks.w == objects.world.w"));
}

// Without a buoyancy depth there is no buoyancy, but targets still drown.
TEST_F(GameLuaWaterTest, TargetsDrownWithoutABuoyancyDepth) {
    const char* waters[] = {
        "waterMaxBuoyancyDepth = nil",
        "waterMaxBuoyancyDepth = -1",
        "waterMaxBuoyancyDepth = 0 objects.waterLevel = nil "
        "objects.water = {waterLevel = 0, killLevel = 5}",
    };
    for (const char* water : waters) {
        world->removeAllObjects();
        run("objects.waterLevel = 0 objects.water = nil deadBlocks = {}");
        run(water);
        box(1, "setColliderType('w', 4) objects.world.w.strength = 3");
        world->update(GameLua::STEP);
        EXPECT_EQ(num("objects.world.w.strength"), 0) << water;
        EXPECT_TRUE(truth("deadBlocks.w == objects.world.w")) << water;
        EXPECT_NEAR(velocity("w").y, 20 * GameLua::STEP, 1e-4) << water;
    }
}

class GameLuaTrajectoryTest : public GameLuaFixture {};

TEST_F(GameLuaTrajectoryTest, PredictedPath) {
    run("createCircle('b', '', 1, 2, 0.5, 1, 0, 0, false, 0) setVelocity('b', 3, -6)");
    run("path = getTrajectory('b')");
    EXPECT_TRUE(truth("path[0] ~= nil and path[299] ~= nil and path[300] == nil"));
    EXPECT_EQ(num("path[0].x"), 1);
    EXPECT_EQ(num("path[0].y"), 2);
    EXPECT_NEAR(num("path[299].t"), 9.9667f, 1e-4);
    float g = 20.0f / 900.0f;
    EXPECT_NEAR(num("path[10].y"), 2 + 10 * -0.2f + g * 50 + g * 5, 1e-5);
    EXPECT_NEAR(num("path[10].x"), 2, 1e-5);
    // Faster than the largest step allows is capped: 2 units per step.
    run("setVelocity('b', 100, 0) path = getTrajectory('b')");
    EXPECT_NEAR(num("path[1].x"), 3, 1e-5);
    EXPECT_EQ(num("getTrajectory('nobody')"), 0);
}

TEST_F(GameLuaTrajectoryTest, ListsAndSets) {
    EXPECT_EQ(world->getTrajectorySet(), 0);
    run("addToTrajectory(1, 5, 6) addToTrajectory(4, 1, 1) addToTrajectory(0, 1, 1)");
    run("addPuffToTrajectory(3, 7, 8)");
    EXPECT_EQ(world->trajectoryPoints(0).size(), 1u);
    EXPECT_EQ(world->trajectoryPuffs(2).size(), 1u);
    run("startNewTrajectory() addToTrajectory(2, 1, 1)");
    EXPECT_EQ(world->getTrajectorySet(), 3);
    EXPECT_EQ(world->trajectoryPoints(4).size(), 1u);
    EXPECT_EQ(world->trajectoryPoints(0).size(), 1u);
    run("startNewTrajectory()");
    EXPECT_EQ(world->getTrajectorySet(), 0);
    EXPECT_TRUE(world->trajectoryPoints(0).empty());
    EXPECT_TRUE(world->trajectoryPuffs(2).empty());
    EXPECT_EQ(world->trajectoryPoints(4).size(), 1u);
}

TEST_F(GameLuaTrajectoryTest, FlyingBirdLeavesDotsApart) {
    run("createCircle('bird', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('bird', 3)");
    run("createCircle('other', '', 0, 5, 0.5, 1, 0, 0, false, 0)");
    run("setWorldGravity(0, 0) setVelocity('bird', 30, 0) setVelocity('other', 30, 0)");
    run("flyingBird = 'bird' otherBirds = {'other'} objects.world.other.recordTrajectory = false");
    startLevel();
    for (int i = 0; i < 10; ++i)
        world->update(0.05f);
    const GameLua::PointList& dots = world->trajectoryPoints(0);
    ASSERT_GT(dots.size(), 3u);
    for (size_t i = 1; i < dots.size(); ++i) {
        float dx = dots[i].first - dots[i - 1].first;
        EXPECT_GT(dx * dx, 1000);
    }
    EXPECT_EQ(num("objects.world.bird.lastTrajectoryX"), dots.back().first);
    EXPECT_TRUE(world->trajectoryPoints(1).empty());
}
