// The fixed-step simulation: accumulator, poses, interpolation, destruction
// countdown, moving detection and rolling sounds.

#include <cmath>
#include <cstring>
#include <string>

#include "common/world/GameLuaFixture.h"

using worldtest::GameLuaFixture;

namespace {

const float PI = 3.1415927f;
const char* const BOX = "createBox('box', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)";

}  // namespace

class GameLuaStepTest : public GameLuaFixture {};

TEST_F(GameLuaStepTest, AccumulatorRunsWholeStepsOnly) {
    struct Case {
        float dt;
        float speedFactor;  // 0: none
        int steps;
        int finalPose;  // parity of the pose writes
        float remainder;
    } cases[] = {
        {0.05f, 0, 1, 1, 0.05f - GameLua::STEP},
        // Two steps, not three: the float remainder is just below one step.
        {0.1f, 0, 2, 0, 0.033333328f},
        // 0.13: the first step only records trajectories, two write poses.
        {0.1f, 1.3f, 3, 0, 0.03f},
    };
    for (const Case& c : cases) {
        GameLuaFixture::TearDown();
        world.reset();
        GameLua::Services services;
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        run(BOX);
        run("setPhysicsEnabled(true)");
        if (c.speedFactor != 0) {
            world->set("physicsSpeedFactor", c.speedFactor);
        }
        world->update(c.dt);
        EXPECT_EQ(hookCount("updatePhysicsStep"), c.steps) << c.dt;
        EXPECT_EQ(hookCount("removeBlocks"), c.steps) << c.dt;
        EXPECT_EQ(hookCount("clearLuaForceFunctions"), 1);
        EXPECT_EQ(world->getCurrentPose(), c.finalPose) << c.dt;
        EXPECT_NEAR(world->getAccumulator(), c.remainder, 1e-6) << c.dt;
        EXPECT_LT(world->getAccumulator(), GameLua::STEP);
        EXPECT_EQ(num("lastStep"), GameLua::STEP);
    }
    EXPECT_EQ(world->getAccumulator() > 0, true);
}

TEST_F(GameLuaStepTest, ExactRemainderAfterAFullFrame) {
    run(BOX);
    startLevel();
    world->update(0.1f);
    EXPECT_EQ(world->getAccumulator(), 0.033333328f);
    EXPECT_LT(world->getAccumulator(), GameLua::STEP);
}

TEST_F(GameLuaStepTest, DrawnPoseBlendsTheLastTwoSteps) {
    run(BOX);
    startLevel();
    world->update(0.05f);
    GameObject& box = object("box");
    const GamePose& next = box.pose(world->getCurrentPose());
    const GamePose& previous = box.pose(1 - world->getCurrentPose());
    float alpha = world->getAccumulator() / GameLua::STEP;
    EXPECT_NEAR(alpha, 0.5f, 1e-5);
    EXPECT_EQ(previous.y, 0);
    EXPECT_EQ(next.y, box.body->GetPosition().y);
    EXPECT_GT(next.y, 0);
    EXPECT_EQ(box.renderY, (1 - alpha) * previous.y + alpha * next.y);
}

TEST_F(GameLuaStepTest, AngleInterpolationTakesTheShortWayRound) {
    run(BOX);
    startLevel();
    run("setWorldGravity(0, 0)");
    GameObject& box = object("box");
    struct Case {
        float previous, next, expected;
    } cases[] = {
        {3.0f, -3.0f, 0.7f * (3.0f - 2 * PI) + 0.3f * -3.0f},
        {-3.0f, 3.0f, 0.7f * (-3.0f + 2 * PI) + 0.3f * 3.0f},
        {0.5f, 1.0f, 0.7f * 0.5f + 0.3f * 1.0f},
    };
    for (const Case& c : cases) {
        box.pose(1 - world->getCurrentPose()).angle = c.previous;
        box.pose(world->getCurrentPose()).angle = c.next;
        // Below one step: no step runs, alpha is 0.3.
        world->update(0.3f * GameLua::STEP - world->getAccumulator());
        EXPECT_NEAR(world->getAccumulator() / GameLua::STEP, 0.3f, 1e-5);
        EXPECT_NEAR(box.renderAngle, c.expected, 1e-5) << c.previous << " " << c.next;
    }
}

TEST_F(GameLuaStepTest, SleepingBodyKeepsItsDrawnPose) {
    run(BOX);
    startLevel();
    world->update(0.05f);
    GameObject& box = object("box");
    run("setSleeping('box', true)");
    GamePose a = box.poseA, b = box.poseB;
    float renderY = box.renderY;
    world->update(0.1f);
    EXPECT_EQ(box.renderY, renderY);
    EXPECT_EQ(box.poseA.y, a.y);
    EXPECT_EQ(box.poseB.y, b.y);
}

TEST_F(GameLuaStepTest, MovingAnObjectDoesNotPullTheDrawingBack) {
    run(BOX);
    startLevel();
    world->update(0.1f);
    run("setPosition('box', 10, -5) setRotation('box', 1)");
    world->update(0);
    GameObject& box = object("box");
    EXPECT_EQ(box.renderX, 10);
    EXPECT_EQ(box.renderY, -5);
    EXPECT_NEAR(box.renderAngle, 1, 1e-6);
}

TEST_F(GameLuaStepTest, SpeedFactorScalesSimulationAndCountdownNotGameTime) {
    run(BOX);
    startLevel();
    run("physicsSpeedFactor = 0.5");
    object("box").destroyPending = 1;
    object("box").destroyTimer = 1;
    world->update(0.1f);
    EXPECT_NEAR(world->getGameTime(), 0.1f, 1e-7);
    EXPECT_EQ(hookCount("updatePhysicsStep"), 1);
    EXPECT_NEAR(object("box").destroyTimer, 0.95f, 1e-6);
}

TEST_F(GameLuaStepTest, FrozenWorldStillCallsUpdate) {
    run(BOX);
    world->update(0.1f);
    EXPECT_EQ(hookCount("update"), 1);
    EXPECT_EQ(num("lastDt"), 0.1f);
    EXPECT_EQ(hookCount("updatePhysicsStep"), 0);
    EXPECT_EQ(object("box").body->GetPosition().y, 0);
}

TEST_F(GameLuaStepTest, DestroyOnForceHandsTheObjectToDeadBlocksThisFrame) {
    run(BOX);
    startLevel();
    run("objects.world.box.destroyOnForce = true objects.world.box.strength = 5");
    run("applyImpulse('box', 1, 0)");
    world->update(0.01f);
    EXPECT_EQ(num("objects.world.box.strength"), 0);
    EXPECT_TRUE(truth("deadBlocks.box == objects.world.box"));
    EXPECT_EQ(object("box").destroyPending, 0);
}

TEST_F(GameLuaStepTest, MissingHookRaisesAndNamesIt) {
    run(BOX);
    startLevel();
    run("removeBlocks = nil");
    try {
        world->update(0.05f);
        FAIL() << "no exception";
    } catch (const lua::LuaException& e) {
        EXPECT_NE(std::string(e.what()).find("removeBlocks"), std::string::npos);
    }
    // The world is not left inside a step.
    EXPECT_FALSE(world->physicsWorld().IsLocked());
}

TEST_F(GameLuaStepTest, MovingDetection) {
    struct Case {
        const char* setup;
        bool moving;
        bool aboveTolerance;
    } cases[] = {
        {"setAngularVelocity('c', -5)", true, false},
        {"setAngularVelocity('c', 5)", true, false},
        {"setVelocity('c', 4, 0)", true, true},
        {"setVelocity('c', 0.1, 0)", false, true},
        {"setVelocity('c', 4, 0) objects.doNotConsiderAsMovingObjects = {rock = false}", false,
         true},
        {"setVelocity('c', 4, 0) objects.doNotConsiderAsMovingObjects = {other = true}", true,
         true},
        {"objects.world.c.inBubble = true", true, false},
        {"objects.world.c.inBubble = 1", false, false},
        {"setColliderType('c', 3) objects.world.c.bombTimer = 2", true, false},
        {"setColliderType('c', 3) setVelocity('c', 0.5, 0)", false, false},
    };
    for (const Case& c : cases) {
        world->removeAllObjects();
        run("objects.doNotConsiderAsMovingObjects = nil");
        run("createCircle('c', '', 0, 0, 0.5, 1, 0, 0, false, 0) objects.world.c.definition = "
            "'rock'");
        run("setWorldGravity(0, 0) setPhysicsEnabled(true)");
        run(c.setup);
        world->update(0.01f);
        EXPECT_EQ(truth("hasMovingObjects"), c.moving) << c.setup;
        EXPECT_EQ(truth("hasMovingObjectsAboveTolerance"), c.aboveTolerance) << c.setup;
        EXPECT_TRUE(truth("hasAwakeObjects")) << c.setup;
    }
}

TEST_F(GameLuaStepTest, EmptyWorldReportsNothingMoving) {
    run("hasMovingObjects = true hasAwakeObjects = true hasMovingObjectsAboveTolerance = true");
    run("setPhysicsEnabled(true)");
    world->update(0.05f);
    EXPECT_FALSE(truth("hasMovingObjects"));
    EXPECT_FALSE(truth("hasAwakeObjects"));
    EXPECT_FALSE(truth("hasMovingObjectsAboveTolerance"));
}

TEST_F(GameLuaStepTest, ObjectPropertiesReachTheScripts) {
    run("createBox('far', '', -5, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('wall', '', 5, 0, 1, 1, 0, 0, 0, true, false, 0)");
    run("setLevelLimits(0, 0, 10.9, 0) setPhysicsEnabled(true)");
    world->update(0.05f);
    EXPECT_TRUE(truth("props.far.outside"));
    EXPECT_FALSE(truth("props.far.asleep"));
    EXPECT_EQ(num("props.far.x"), object("far").renderX);
    EXPECT_EQ(num("props.far.vy"), object("far").body->GetLinearVelocity().y);
    // Static bodies are never awake, so the scripts hear nothing of them.
    EXPECT_TRUE(truth("props.wall == nil"));
}

TEST_F(GameLuaStepTest, HookMayRemoveObjectsWhileTheyAreWalked) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('b', '', 3, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('c', '', 6, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("function updateObjectProperties(name) seen = (seen or '') .. name "
        "if name == 'a' then removeObject('b') removeObject('a') end end");
    startLevel();
    world->update(0.05f);
    EXPECT_EQ(str("seen"), "ac");
    EXPECT_EQ(world->objectIndex().size(), 1u);
}

// What the hook does to the object index decides which objects the same pass
// still visits: the walk goes on in name order from the current name.
TEST_F(GameLuaStepTest, PassFollowsTheIndexAsTheHookChangesIt) {
    struct Case {
        const char* what;
        const char* onName;
        const char* action;
        const char* seen;
        size_t left;
    };
    const Case cases[] = {
        {"an object made after the current one is visited", "a",
         "createBox('ab', '', 9, 0, 1, 1, 1, 0, 0, true, false, 0)", "a ab b c ", 4},
        {"removing one already visited changes nothing ahead", "b", "removeObject('a')", "a b c ",
         2},
        {"the current one removed and made again", "a",
         "removeObject('a') createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)", "a b c ", 3},
        {"the next one removed, a later one made", "b",
         "removeObject('c') createBox('d', '', 9, 0, 1, 1, 1, 0, 0, true, false, 0)", "a b d ", 3},
        {"everything removed", "a", "removeObject('a') removeObject('b') removeObject('c')", "a ",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world->removeAllObjects();
        run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
        run("createBox('b', '', 3, 0, 1, 1, 1, 0, 0, true, false, 0)");
        run("createBox('c', '', 6, 0, 1, 1, 1, 0, 0, true, false, 0)");
        run(std::string("seen = '' function updateObjectProperties(name) seen = seen .. name .. "
                        "' ' if name == '") +
            c.onName + "' and not done then done = true " + c.action + " end end done = false");
        startLevel();
        world->update(0.05f);
        EXPECT_EQ(str("seen"), c.seen);
        EXPECT_EQ(world->objectIndex().size(), c.left);
    }
}

TEST_F(GameLuaStepTest, SpinPhaseOfTypeFiveAdvances) {
    run(BOX);
    run("setColliderType('box', 5) setPhysicsEnabled(true)");
    world->update(0.05f);
    EXPECT_NEAR(object("box").spinPhase, 0.06f, 1e-6);
}

TEST_F(GameLuaStepTest, RollingSoundFollowsTheSpin) {
    run("createCircle('ball', '', 0, 0, 2, 1, 0, 0, false, 0) setRollingSound('ball', 'roll')");
    run("setWorldGravity(0, 0) setPhysicsEnabled(true) setAngularVelocity('ball', 10)");
    world->update(0.05f);
    b2Body* body = object("ball").body;
    float expected = std::min(1.0f, body->GetMass() * 2 * body->GetAngularVelocity() / 400);
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].what, "loop");
    EXPECT_EQ(sounds.calls[0].name, "roll");
    EXPECT_FLOAT_EQ(sounds.calls[0].volume, expected);
    world->update(0.05f);
    ASSERT_EQ(sounds.calls.size(), 2u);
    EXPECT_EQ(sounds.calls[1].what, "volume");
    run("setSleeping('ball', true)");
    world->update(0.05f);
    ASSERT_EQ(sounds.calls.size(), 3u);
    EXPECT_EQ(sounds.calls[2].what, "stop");
    EXPECT_EQ(sounds.calls[2].name, "roll");
}

namespace {

// A stack of boxes hit by a ball, run with fixed frame times; the body poses.
std::vector<float> simulate() {
    lua::LuaState state;
    GameLua::Services services;
    lang::Ptr<GameLua> world = new GameLua(state, services);
    std::string code = std::string(worldtest::DEFAULT_HOOKS) + R"(
        createBox('ground', '', 0, 10, 60, 1, 0, 0.5, 0, true, false, 0)
        for i = 1, 6 do
            createBox('box' .. i, '', 10, 9.5 - i, 1, 1, 1, 0.5, 0.1, true, false, 0)
        end
        createCircle('ball', '', -5, 5, 0.5, 2, 0.5, 0.3, true, 0)
        setVelocity('ball', 25, -2)
        setPhysicsEnabled(true)
    )";
    state.runBuffer(code.data(), code.size(), "scene.lua", world.get());
    world->bindLevelTables();
    const float frames[] = {0.016f, 0.033f, 0.1f, 0.02f, 0.05f};
    for (int i = 0; i < 120; ++i) {
        world->update(frames[i % 5]);
    }
    std::vector<float> poses;
    for (const auto& entry : world->objectIndex()) {
        const b2Transform& t = entry.second->body->GetTransform();
        poses.insert(poses.end(), {t.p.x, t.p.y, t.q.s, t.q.c, entry.second->renderX});
    }
    world.reset();
    return poses;
}

}  // namespace

TEST(GameLuaDeterminismTest, SameScriptAndFrameTimesGiveIdenticalBodies) {
    std::vector<float> first = simulate();
    std::vector<float> second = simulate();
    ASSERT_EQ(first.size(), second.size());
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
    // Something did move.
    EXPECT_NE(first[first.size() - 5], -5.0f);
}

// A level played after another comes out as it does when played first: a world
// emptied of its objects starts again from a fresh broad phase.
TEST_F(GameLuaStepTest, EmptiedWorldSimulatesLikeAFreshOne) {
    const std::string pile =
        "createBox('ground', '', 0, 1, 40, 1, 0, 0.5, 0, true, false, 0)\n"
        "for i = 1, 12 do\n"
        "  createBox('b' .. i, '', (i % 3) * 1.02 - 1, -i * 1.02, 1, 1, 1, 0.5, 0, true, false, "
        "0)\n"
        "end\n";
    const std::string removeAll = "for _, n in ipairs(__names) do removeObject(n) end\n";
    auto settle = [&]() {
        for (int i = 0; i < 90; ++i) {
            world->update(GameLua::STEP);
        }
        std::vector<float> poses;
        for (int i = 1; i <= 12; ++i) {
            const b2Body* body = world->findObject("b" + std::to_string(i))->body;
            poses.push_back(body->GetPosition().x);
            poses.push_back(body->GetPosition().y);
            poses.push_back(body->GetAngle());
        }
        return poses;
    };
    startLevel();
    run(pile);
    const std::vector<float> first = settle();
    // Something else played in between, with other bodies, then everything removed.
    run("__names = {'ground'} for i = 1, 12 do __names[#__names + 1] = 'b' .. i end");
    run(removeAll);
    run("for i = 1, 30 do createCircle('c' .. i, '', i * 0.7, -i, 0.4, 1, 0.5, 0, false, 0) "
        "end");
    for (int i = 0; i < 40; ++i) {
        world->update(GameLua::STEP);
    }
    run("__names = {} for i = 1, 30 do __names[#__names + 1] = 'c' .. i end");
    run(removeAll);
    run(pile);
    EXPECT_EQ(first, settle());
}
