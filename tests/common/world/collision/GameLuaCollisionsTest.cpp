// Contact filtering, collision damage, bubbles and grabbing.

#include "common/world/GameLuaFixture.h"

using worldtest::GameLuaFixture;

namespace {

// Bird of mass 1 (radius 0.5) touching a static 1 x 1 block on its right.
const char* const BIRD_AND_BLOCK = R"(
setWorldGravity(0, 0)
blockTable = {damageFactors = {normal = {damageMultiplier = {}, velocityMultiplier = {}}}}
createCircle('bird', '', 0, 0, 0.5, 1 / (math.pi * 0.25), 0, 0, true, 0)
setColliderType('bird', 3)
objects.world.bird.damageFactors = 'normal'
setVelocity('bird', 20, 0)
createBox('block', '', 1, 0, 1, 1, 0, 0, 0, true, false, 0)
objects.world.block.materialName = 'wood'
objects.world.block.strength = 1
)";

}  // namespace

class GameLuaCollisionsTest : public GameLuaFixture {
protected:
    // Two touching 1 x 1 boxes: a of mass 2 moving at (speed, 0), b static.
    void twoBlocks(const std::string& nameB, float speed) {
        run("setWorldGravity(0, 0)");
        run("createBox('a', '', 0, 0, 1, 1, 2, 0, 0, true, false, 0)");
        run("createBox('" + nameB + "', '', 1, 0, 1, 1, 0, 0, 0, true, false, 0)");
        run("setVelocity('a', " + std::to_string(speed) + ", 0)");
    }
};

TEST_F(GameLuaCollisionsTest, BlockAgainstBlockDamage) {
    struct Case {
        const char* nameB;
        float speed;
        const char* setup;
        float strengthB;
        float dealt;
        bool dead;
    } cases[] = {
        {"b", 3, "objects.world.b.defence = 0.5", 0.9f, 0.1f, false},
        {"b", 25, "", -4, 1, true},
        {"b", 3, "objects.world.b.defence = 0.7", 1, 0, false},
        {"b", 3, "objects.world.a.noCollisionDamage = true", 1, 0, false},
        {"b", 3, "objects.world.b.ignoreAllDamage = true", 1, 0, false},
        {"b", 3, "objects.world.b.ignoreAllDamage = 'yes'", 0.4f, 0.6f, false},
        {"ground", 3, "objects.world.a.ignoreGroundDamage = true", 1, 0, false},
        {"b", 3, "setColliderType('b', 2) objects.world.b.ignoreGroundDamage = true", 1, 0, false},
        {"ground", 3, "", 0.4f, 0.6f, false},
    };
    for (const Case& c : cases) {
        world->removeAllObjects();
        run("deadBlocks = {} blockHits = {}");
        twoBlocks(c.nameB, c.speed);
        run(std::string("objects.world.") + c.nameB + ".strength = 1");
        run(c.setup);
        startLevel();
        world->update(GameLua::STEP);
        std::string b = std::string("objects.world.") + c.nameB;
        EXPECT_NEAR(num(b + ".strength"), c.strengthB, 1e-5) << c.setup;
        ASSERT_EQ(num("#blockHits"), 1) << c.setup;
        EXPECT_NEAR(num("blockHits[1].damage"), 0.1f * 2 * c.speed, 1e-4) << c.setup;
        EXPECT_NEAR(num("blockHits[1].dealt"), c.dealt, 1e-5) << c.setup;
        // Fixture order is the physics library's; both names are reported.
        EXPECT_EQ(str("blockHits[1].a .. blockHits[1].b") == "a" + std::string(c.nameB) ||
                      str("blockHits[1].b .. blockHits[1].a") == "a" + std::string(c.nameB),
                  true);
        EXPECT_EQ(truth(std::string("deadBlocks.") + c.nameB + " == " + b), c.dead) << c.setup;
    }
}

TEST_F(GameLuaCollisionsTest, GroundContactStillTestsBreakableJoints) {
    twoBlocks("ground", 3);
    run("objects.world.a.strength = 1 objects.world.a.ignoreGroundDamage = true");
    run("createBox('anchor', '', 10, 0, 1, 1, 0, 0, 0, true, false, 0)");
    run("createJoint({name='j', type=1, end1='a', end2='anchor', breakable=true, breakForce=0.5})");
    run("createJoint({name='k', type=1, end1='a', end2='anchor', breakable=true, breakForce=0.7})");
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_EQ(num("objects.world.a.strength"), 1);
    EXPECT_EQ(num("#deferred"), 1);
    EXPECT_EQ(str("deferred[1]"), "j");
    // Deferred: the joint is still there for the scripts to destroy.
    EXPECT_EQ(world->physicalJoints().size(), 2u);
}

TEST_F(GameLuaCollisionsTest, BirdBreaksBlockAndKeepsHalfItsSpeedAfterTheStep) {
    run(BIRD_AND_BLOCK);
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_NEAR(num("objects.world.block.strength"), -1, 1e-4);
    EXPECT_TRUE(truth("deadBlocks.block == objects.world.block"));
    ASSERT_EQ(num("#birdHits"), 1);
    EXPECT_EQ(str("birdHits[1].a"), "bird");
    EXPECT_NEAR(num("birdHits[1].damage"), 2, 1e-4);
    EXPECT_EQ(num("birdHits[1].dealt"), 1);
    // The pending velocity was imposed after the step; the bird passed through.
    EXPECT_NEAR(object("bird").body->GetLinearVelocity().x, 10, 1e-3);
    EXPECT_EQ(object("bird").pendingVelocity, 0);
}

TEST_F(GameLuaCollisionsTest, BirdDamageCases) {
    struct Case {
        const char* setup;
        float strength;
        float damage;
        float dealt;
        float speedAfter;
    } cases[] = {
        // Legacy path: factor min(1, 1 / 1 / 2 * 10 * 1.75) = 1, applied at once.
        {"objects.world.bird.useLegacyCollisionPath = false", -1, 2, 1, 20},
        {"blockTable.damageFactors.normal.damageMultiplier.wood = 3 "
         "blockTable.damageFactors.normal.velocityMultiplier.wood = 0.5",
         -5, 6, 1, 20 * (5.0f / 6.0f) * 0.5f},
        {"objects.world.block.defence = 100", 1, 2, -98, -1},
        {"objects.world.block.ignoreAllDamage = true", 1, 2, 0, -1},
        {"objects.world.block.strength = 10", 8, 2, 2, -1},
    };
    for (const Case& c : cases) {
        world->removeAllObjects();
        run("deadBlocks = {} birdHits = {}");
        run(BIRD_AND_BLOCK);
        run(c.setup);
        startLevel();
        world->update(GameLua::STEP);
        EXPECT_NEAR(num("objects.world.block.strength"), c.strength, 1e-3) << c.setup;
        ASSERT_EQ(num("#birdHits"), 1) << c.setup;
        EXPECT_NEAR(num("birdHits[1].damage"), c.damage, 1e-3) << c.setup;
        EXPECT_EQ(num("birdHits[1].dealt"), c.dealt) << c.setup;
        if (c.speedAfter >= 0) {
            EXPECT_NEAR(num("getSpeed('bird')"), c.speedAfter, 1e-2) << c.setup;
        } else {
            // The block held: the bird was stopped by it.
            EXPECT_LT(num("getSpeed('bird')"), 20) << c.setup;
        }
    }
}

TEST_F(GameLuaCollisionsTest, MissingDamageFactorsRaiseAfterTheStep) {
    run(BIRD_AND_BLOCK);
    run("objects.world.bird.damageFactors = 'steel'");
    startLevel();
    EXPECT_THROW(world->update(GameLua::STEP), lua::LuaException);
    EXPECT_FALSE(world->physicsWorld().IsLocked());
    // The world goes on once the scripts are mended.
    run("objects.world.bird.damageFactors = 'normal'");
    run("createBox('later', '', 50, 0, 1, 1, 1, 0, 0, true, false, 0)");
    world->update(0.1f);
    EXPECT_NE(world->findObject("later"), nullptr);
}

TEST_F(GameLuaCollisionsTest, NativesThatChangeBodiesAreRefusedInsideTheStep) {
    run(BIRD_AND_BLOCK);
    run("function birdCollision(a, b) removeObject(b) end");
    startLevel();
    try {
        world->update(GameLua::STEP);
        FAIL() << "no exception";
    } catch (const lua::LuaException& e) {
        EXPECT_NE(std::string(e.what()).find("during a physics step"), std::string::npos);
    }
    EXPECT_NE(world->findObject("block"), nullptr);
    run("removeObject('block')");
    EXPECT_EQ(world->findObject("block"), nullptr);
}

TEST_F(GameLuaCollisionsTest, TwoBirdsReportTheFasterOnesImpact) {
    run("setWorldGravity(0, 0)");
    run("createCircle('b1', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('b1', 3)");
    run("createCircle('b2', '', 1, 0, 0.5, 2, 0, 0, false, 0) setColliderType('b2', 1)");
    run("setVelocity('b1', 4, 0) setVelocity('b2', -5, 0)");
    startLevel();
    world->update(GameLua::STEP);
    ASSERT_EQ(num("#birdHits"), 1);
    float mass2 = 2 * 3.1415927f * 0.25f;
    EXPECT_NEAR(num("birdHits[1].damage"), 5 * mass2 / 10, 1e-4);
    EXPECT_EQ(num("birdHits[1].dealt"), 0);
}

TEST_F(GameLuaCollisionsTest, NothingHappensOutsideTheLevelTablesOrWhileEditing) {
    twoBlocks("b", 3);
    run("objects.world.b.strength = 1");
    run("setPhysicsEnabled(true)");
    // Level tables not bound yet: no handler runs.
    world->update(GameLua::STEP);
    EXPECT_EQ(num("#blockHits"), 0);
    world->removeAllObjects();
    twoBlocks("b", 3);
    world->bindLevelTables();
    run("setEditing(true)");
    world->update(GameLua::STEP);
    EXPECT_EQ(num("#blockHits"), 0);
}

TEST_F(GameLuaCollisionsTest, BubbleTrapsAShotBird) {
    run("setWorldGravity(0, 0)");
    run("createCircle('bird', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('bird', 3)");
    run("createCircle('bubble', '', 0.5, 0, 1, 1, 0, 0, false, 0) setColliderType('bubble', 11)");
    run("setSensor('bubble', true) setVelocity('bird', 5, 0) objects.world.bird.shot = true");
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_EQ(num("objects.world.bubble.strength"), 0);
    EXPECT_TRUE(truth("objects.world.bubble.killSilently"));
    EXPECT_TRUE(truth("deadBlocks.bubble ~= nil"));
    EXPECT_TRUE(truth("objects.world.bird.inBubble"));
    EXPECT_EQ(num("objects.world.bird.bubbleAntiGravityTimer"), 5);
    EXPECT_EQ(str("objects.world.bird.bubbleSprite"), "BUBBLE_PARTICLE_6");
    EXPECT_EQ(num("objects.world.bird.bubbleSpriteScale"), 0.5f);
    EXPECT_EQ(str("trapped[1]"), "bird");
    EXPECT_EQ(str("birdHits[1].b"), "bubble");
    EXPECT_EQ(num("birdHits[1].damage"), 1);
    EXPECT_EQ(num("getSpeed('bird')"), 0);
}

TEST_F(GameLuaCollisionsTest, BirdInABubbleDoesNotPopAnotherButIsTrappedAgain) {
    run("setWorldGravity(0, 0)");
    run("createCircle('bird', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('bird', 3)");
    run("createCircle('bubble', '', 0.5, 0, 1, 1, 0, 0, false, 0) setColliderType('bubble', 11)");
    run("setSensor('bubble', true) objects.world.bubble.strength = 3");
    run("objects.world.bird.inBubble = true objects.world.bird.bubbleAntiGravityTimer = 1");
    run("objects.world.bird.shot = 1");
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_EQ(num("objects.world.bubble.strength"), 3);
    EXPECT_TRUE(truth("deadBlocks.bubble == nil"));
    EXPECT_EQ(num("objects.world.bird.bubbleAntiGravityTimer"), 5);
    EXPECT_EQ(num("#trapped"), 1);
}

TEST_F(GameLuaCollisionsTest, GrabberGluesAnEggToItsPlunger) {
    run("setWorldGravity(0, 0)");
    run("createBox('plunger', '', 5, 5, 1, 1, 0, 0, 0, true, false, 0)");
    run("createBox('grab', '', 1, 0, 1, 1, 0, 0, 0, true, false, 0) setColliderType('grab', 10)");
    run("objects.world.grab.plungerName = 'plunger'");
    run("createCircle('egg', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('egg', 6)");
    run("setVelocity('egg', 3, 0)");
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_EQ(str("objects.world.egg.grabber"), "plunger");
    EXPECT_EQ(str("objects.world.plunger.grabbedEgg"), "egg");
    EXPECT_TRUE(truth("objects.world.egg.gluedToBlock"));
    b2JointEdge* edge = object("egg").body->GetJointList();
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->joint->GetType(), e_weldJoint);
    EXPECT_EQ(edge->other, object("plunger").body);
    EXPECT_TRUE(world->physicalJoints().empty());
}

TEST_F(GameLuaCollisionsTest, GrabberIgnoresABirdAlreadyHeld) {
    run("setWorldGravity(0, 0) blockTable = {damageFactors = {n = {damageMultiplier = {}, "
        "velocityMultiplier = {}}}}");
    run("createBox('plunger', '', 5, 5, 1, 1, 0, 0, 0, true, false, 0)");
    run("createBox('grab', '', 1, 0, 1, 1, 0, 0, 0, true, false, 0) setColliderType('grab', 10)");
    run("objects.world.grab.plungerName = 'plunger'");
    run("createCircle('bird', '', 0, 0, 0.5, 1, 0, 0, false, 0) setColliderType('bird', 3)");
    run("objects.world.bird.damageFactors = 'n' objects.world.bird.grabber = 'other'");
    startLevel();
    world->update(GameLua::STEP);
    EXPECT_EQ(num("#birdHits"), 1);
    EXPECT_TRUE(truth("objects.world.bird.gluedToBlock == nil"));
    EXPECT_EQ(object("bird").body->GetJointList(), nullptr);
}

TEST_F(GameLuaCollisionsTest, ContactFilterFollowsTheRuleTable) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('b', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    struct Case {
        const char* setup;
        bool collide;
    } cases[] = {
        {"setColliderType('a', 0) setColliderType('b', 0)", true},
        {"setColliderType('a', 0) setColliderType('b', 6)", false},
        {"setColliderType('a', 6) setColliderType('b', 6)", false},
        {"setColliderType('a', 9) setColliderType('b', 9)", true},
        {"setColliderType('a', 1) setColliderType('b', 2)", false},
        {"setColliderType('a', 10) setColliderType('b', 6)", true},
        {"setColliderType('a', 4) setColliderType('b', 11)", false},
        // Types outside the table collide without handlers.
        {"setColliderType('a', 40) setColliderType('b', -3)", true},
        {"setColliderType('a', 0) setColliderType('b', 0) setFilterMask('b', 2)", false},
    };
    b2Fixture* fa = object("a").body->GetFixtureList();
    b2Fixture* fb = object("b").body->GetFixtureList();
    b2ContactFilter& filter = *world;
    for (const Case& c : cases) {
        run("setFilterMask('b', 65535)");
        run(c.setup);
        EXPECT_EQ(filter.ShouldCollide(fa, fb), c.collide) << c.setup;
    }
    run("setColliderType('a', 0) setColliderType('b', 6)");
    b2Filter group = fa->GetFilterData();
    group.groupIndex = 3;
    fa->SetFilterData(group);
    fb->SetFilterData(group);
    EXPECT_TRUE(filter.ShouldCollide(fa, fb));
    group.groupIndex = -3;
    fa->SetFilterData(group);
    fb->SetFilterData(group);
    run("setColliderType('b', 0)");
    EXPECT_FALSE(filter.ShouldCollide(fa, fb));
    // Objects created with collides false never collide.
    run("createBox('c', '', 0, 0, 1, 1, 1, 0, 0, false, false, 0)");
    EXPECT_FALSE(filter.ShouldCollide(fa, object("c").body->GetFixtureList()));
}
