// Teleporters and portals: where a traveller arrives, how fast it leaves, when
// it crosses, delays, effects, aborts and endless bouncing.

#include <string>
#include <vector>

#include "common/world/GameLuaFixture.h"
#include "common/world/special/GamePortals.h"
#include "common/world/special/ObjectTeleporter.h"

using worldtest::GameLuaFixture;

namespace {

const float STEP = 1.0f / 30.0f;

// Portal "a" at (10, 5) and its target "b" at (30, 5), both 1 wide and facing
// left at angle 0 (travellers enter moving right), and a ball left of "a".
const char* const SCENE = R"(
portalEvents = {}
local function note(hook)
    return function(name) portalEvents[#portalEvents + 1] = hook .. ':' .. name end
end
birdTravellingThroughPortal = note('bird')
objectTeleportationAborted = note('aborted')
onObjectRemoved = note('removed')
objectExitingThroughPortal = note('exit')
physicsToWorld = 20
for _, p in ipairs({{'a', 10, 'b'}, {'b', 30, 'a'}}) do
    createBox(p[1], '', p[2], 5, 1, 2, 0, 0, 0, true, false, 0)
    setColliderType(p[1], 8)
    setSensor(p[1], true)
    objects.world[p[1]].portal = {target = p[3]}
end
createCircle('ball', '', 9, 5, 0.25, 1, 0, 0, false, 0)
)";

}  // namespace

class PortalsTest : public GameLuaFixture {
protected:
    PortalsTest() {
        run(SCENE);
        startLevel();
    }

    void begin(const std::string& traveller, const std::string& portal) {
        portals.contactBegan(object(traveller), object(portal));
    }
    void end(const std::string& traveller, const std::string& portal) {
        portals.contactEnded(object(traveller), object(portal));
    }
    // The ball moving right at speed 2 from (x, y) touches portal "a".
    void enterA(float x = 9, float y = 5) {
        run("setPosition('ball', " + std::to_string(x) + ", " + std::to_string(y) + ")");
        run("setVelocity('ball', 2, 0)");
        begin("ball", "a");
    }
    std::string events() { return str("table.concat(portalEvents, ',')"); }
    b2Vec2 ballPosition() { return object("ball").body->GetPosition(); }
    b2Vec2 ballVelocity() { return object("ball").body->GetLinearVelocity(); }

    GamePortals portals{*world};
};

TEST_F(PortalsTest, TravellerKeepsItsOffsetTurnedWithTheMouths) {
    struct Case {
        const char* targetAngle;
        b2Vec2 offset;   // from portal "a", which has angle 0
        b2Vec2 arrival;  // offset from the target
    } cases[] = {
        {"0", {-1, 0.5f}, {-1, 0.5f}},
        {"math.pi", {-1, 0.5f}, {1, 0.5f}},
        {"math.pi / 2", {-1, 0.5f}, {-0.5f, -1}},
        {"math.pi / 2", {0, 0}, {0, 0}},
        {"0", {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.targetAngle) + " offset " + std::to_string(c.offset.x));
        run(std::string("setRotation('b', ") + c.targetAngle + ")");
        enterA(10 + c.offset.x, 5 + c.offset.y);
        const ObjectTeleporter* teleporter = portals.find("ball_a_b");
        ASSERT_NE(teleporter, nullptr);
        EXPECT_NEAR(teleporter->position().x, 30 + c.arrival.x, 1e-4);
        EXPECT_NEAR(teleporter->position().y, 5 + c.arrival.y, 1e-4);
    }
}

TEST_F(PortalsTest, ObjectLeavesThroughTheExitMouthAtLeastMinSpeedOut) {
    struct Case {
        const char* targetAngle;
        b2Vec2 velocity;
        float minSpeedOut;
        b2Vec2 leaving;
    } cases[] = {
        {"0", {2, 1}, 0, {-2, 1}},               // mirrored about the mouth
        {"math.pi / 2", {2, 0}, 0, {0, -2}},     // exit faces up
        {"3 * math.pi / 2", {2, 0}, 0, {0, 2}},  // exit faces down
        {"math.pi", {2, 1}, 0, {2, 1}},          // exit faces right
        {"0", {0.5f, 0}, 3, {-3, 0}},            // slow: sped up
        {"0", {2, 0}, 1, {-2, 0}},               // fast enough already
        {"0", {0, 0}, 3, {-3, 0}},               // at rest: straight out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.targetAngle) + " v " + std::to_string(c.velocity.x));
        run(std::string("setRotation('b', ") + c.targetAngle + ")");
        run("objects.world.a.portal.minSpeedOut = " + std::to_string(c.minSpeedOut));
        run("setVelocity('ball', " + std::to_string(c.velocity.x) + ", " +
            std::to_string(c.velocity.y) + ")");
        begin("ball", "a");
        const ObjectTeleporter* teleporter = portals.find("ball_a_b");
        ASSERT_NE(teleporter, nullptr);
        EXPECT_NEAR(teleporter->velocity().x, c.leaving.x, 1e-4);
        EXPECT_NEAR(teleporter->velocity().y, c.leaving.y, 1e-4);
    }
}

TEST_F(PortalsTest, WithoutDelayTheCrossingUpdateMovesAndReports) {
    enterA();
    // Not yet past the crossing line 0.3 widths inside the mouth (x = 9.7).
    portals.update(STEP);
    EXPECT_NEAR(ballPosition().x, 9, 1e-5);
    EXPECT_EQ(events(), "");

    run("setPosition('ball', 9.8, 5)");
    portals.update(STEP);
    EXPECT_NEAR(ballPosition().x, 29, 1e-5);
    EXPECT_NEAR(ballPosition().y, 5, 1e-5);
    EXPECT_NEAR(ballVelocity().x, -2, 1e-5);
    GameObject& ball = object("ball");
    EXPECT_NEAR(ball.renderX, 29, 1e-5);
    EXPECT_NEAR(ball.poseA.x, 29, 1e-5);
    EXPECT_NEAR(ball.poseB.x, 29, 1e-5);
    EXPECT_EQ(events(), "exit:ball");
    EXPECT_EQ(portals.find("ball_a_b"), nullptr);
}

TEST_F(PortalsTest, ObjectThatStopsOrTurnsBackIsNotMovedAndEndingTheContactAborts) {
    const char* stops[] = {"setVelocity('ball', 0, 0)", "setVelocity('ball', -2, 0)"};
    for (const char* stop : stops) {
        SCOPED_TRACE(stop);
        run("portalEvents = {}");
        enterA();
        run("setPosition('ball', 9.8, 5)");
        run(stop);
        portals.update(STEP);
        EXPECT_NEAR(ballPosition().x, 9.8, 1e-5);
        ASSERT_NE(portals.find("ball_a_b"), nullptr);
        EXPECT_TRUE(portals.find("ball_a_b")->isWaiting());

        end("ball", "a");
        EXPECT_EQ(portals.find("ball_a_b"), nullptr);
        EXPECT_EQ(events(), "aborted:ball");
    }
}

TEST_F(PortalsTest, DelayHidesTheObjectAndPlaysEntryAndExitEffects) {
    run(R"(objects.world.a.portal.delay = 0.5
        objects.world.a.portal.effect = {
            {type = 'sound', id = 'whoosh', direction = 'in', volume = 0.5},
            {type = 'sound', id = {'pop1', 'pop2'}, direction = 'out'},
            {type = 'particle', id = 'sparks', direction = 'both', positionFromPortal = true},
            {type = 'particle', id = 'trail', direction = 'in'},
        })");
    enterA();
    run("setPosition('ball', 9.8, 5.5)");
    portals.update(STEP);
    GameObject& ball = object("ball");
    EXPECT_NEAR(ballPosition().x, 29, 1e-5);
    EXPECT_EQ(ball.visible, 0);
    EXPECT_FALSE(ball.body->IsEnabled());
    EXPECT_EQ(events(), "");
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].name, "whoosh");
    EXPECT_FLOAT_EQ(sounds.calls[0].volume, 0.5f);
    // Entering: one particle at the portal, one where the ball was, in pixels.
    ASSERT_EQ(particles.emits.size(), 2u);
    EXPECT_EQ(particles.emits[0].name, "sparks");
    EXPECT_FLOAT_EQ(particles.emits[0].x, 200);
    EXPECT_FLOAT_EQ(particles.emits[0].y, 100);
    EXPECT_EQ(particles.emits[0].count, 1);
    EXPECT_EQ(particles.emits[1].name, "trail");
    EXPECT_FLOAT_EQ(particles.emits[1].x, 196);
    EXPECT_FLOAT_EQ(particles.emits[1].y, 110);

    // Disabling the body ends its contacts; that must not abort a transit.
    end("ball", "a");
    portals.update(0.25f);
    EXPECT_EQ(ball.visible, 0);
    ASSERT_NE(portals.find("ball_a_b"), nullptr);

    portals.update(0.3f);
    EXPECT_EQ(ball.visible, 1);
    EXPECT_TRUE(ball.body->IsEnabled());
    EXPECT_EQ(events(), "exit:ball");
    EXPECT_EQ(portals.find("ball_a_b"), nullptr);
    ASSERT_EQ(sounds.calls.size(), 2u);
    EXPECT_TRUE(sounds.calls[1].name == "pop1" || sounds.calls[1].name == "pop2");
    EXPECT_FLOAT_EQ(sounds.calls[1].volume, 1);
    ASSERT_EQ(particles.emits.size(), 3u);
    EXPECT_EQ(particles.emits[2].name, "sparks");
    EXPECT_FLOAT_EQ(particles.emits[2].x, 600);
}

TEST_F(PortalsTest, TheEleventhConsecutivePassBetweenTwoPortalsRemovesTheObject) {
    struct Case {
        const char* passes;
        bool removed;
    } cases[] = {
        {"abababababa", true},
        // The eleventh goes into "b" after leaving "a": a new run starts.
        {"abababababb", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.passes);
        run("removeObject('ball'); createCircle('ball', '', 9, 5, 0.25, 1, 0, 0, false, 0)");
        run("portalEvents = {}");
        portals.objectRemoved("ball");
        std::string expected;
        for (const char* p = c.passes; *p; ++p) {
            const std::string portal(1, *p);
            const float x = portal == "a" ? 10 : 30;
            run("setPosition('ball', " + std::to_string(x - 1) + ", 5)");
            run("setVelocity('ball', 2, 0)");
            begin("ball", portal);
            run("setPosition('ball', " + std::to_string(x - 0.1f) + ", 5)");
            portals.update(STEP);
            if (p[1] || !c.removed) {
                expected += std::string(expected.empty() ? "" : ",") + "exit:ball";
            }
        }
        if (c.removed) {
            expected += ",removed:ball";
            EXPECT_EQ(world->findObject("ball"), nullptr);
        } else {
            EXPECT_NE(world->findObject("ball"), nullptr);
        }
        EXPECT_EQ(events(), expected);
        EXPECT_TRUE(portals.teleporters().empty());
    }
}

TEST_F(PortalsTest, OnlyObjectsOfTheLevelTouchingAPortalStartAPass) {
    struct Case {
        const char* block;
        const char* undo;
    } cases[] = {
        {"setEditing(true)", "setEditing(false)"},
        {"saved = objects.world.ball; objects.world.ball = nil", "objects.world.ball = saved"},
        {"saved = objects.world.a.portal; objects.world.a.portal = nil",
         "objects.world.a.portal = saved"},
        {"objects.world.a.portal.target = 'nowhere'", "objects.world.a.portal.target = 'b'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        run(c.block);
        begin("ball", "a");
        begin("a", "ball");
        EXPECT_TRUE(portals.teleporters().empty());
        run(c.undo);
    }
    world->setLevelLoading(true);
    begin("ball", "a");
    EXPECT_TRUE(portals.teleporters().empty());
    world->setLevelLoading(false);
    // Either order of the pair works once nothing blocks it.
    begin("a", "ball");
    EXPECT_NE(portals.find("ball_a_b"), nullptr);
}

TEST_F(PortalsTest, FlyingBirdIsReportedAndLosesItsJointsWhileWaiting) {
    run(R"(setColliderType('ball', 3)
        createBox('anchor', '', 8, 5, 0.5, 0.5, 1, 0, 0, true, false, 0)
        createJoint({name = 'rope', type = 2, end1 = 'ball', end2 = 'anchor'}))");
    ASSERT_EQ(world->physicalJoints().size(), 1u);
    enterA();
    EXPECT_EQ(events(), "bird:ball");
    portals.update(STEP);
    EXPECT_TRUE(world->physicalJoints().empty());
    EXPECT_FALSE(truth("objects.joints.rope ~= nil"));
}

TEST_F(PortalsTest, InheritedTeleportationFollowsTheNewObjects) {
    run(R"(createCircle('ball2', '', 9, 5.2, 0.25, 1, 0, 0, false, 0)
        createCircle('ball3', '', 9, 4.8, 0.25, 1, 0, 0, false, 0)
        createCircle('ball4', '', 9, 5, 0.25, 1, 0, 0, false, 0))");
    enterA();
    run("inheritTeleportation('ball_a_b', {'ball2', 'ghost', 'ball3', 7, 'ball4'})");
    run("inheritTeleportation('unknown', {'ball4'})");
    for (const char* name : {"ball2", "ball3"}) {
        const ObjectTeleporter* clone = portals.find(name);
        ASSERT_NE(clone, nullptr) << name;
        EXPECT_EQ(clone->object(), &object(name));
        EXPECT_EQ(clone->key(), std::string(name) + "_a_b");
    }
    EXPECT_EQ(portals.find("ghost"), nullptr);
    EXPECT_EQ(portals.find("ball4"), nullptr);

    // The clone answers to its own object's contact.
    end("ball2", "a");
    EXPECT_EQ(portals.find("ball2"), nullptr);
    EXPECT_NE(portals.find("ball_a_b"), nullptr);
    EXPECT_EQ(events(), "aborted:ball2");

    run("setPosition('ball3', 9.8, 4.8); setVelocity('ball3', 2, 0)");
    portals.update(STEP);
    EXPECT_NEAR(object("ball3").body->GetPosition().x, 29, 1e-5);
    EXPECT_EQ(portals.find("ball3"), nullptr);
}

TEST_F(PortalsTest, RemovedObjectsAndLevelLoadsLeaveNoTeleporterBehind) {
    run("createCircle('other', '', 9, 6, 0.25, 1, 0, 0, false, 0)");
    enterA();
    begin("other", "a");
    portals.add("ball", new ObjectTeleporter(object("ball"), "ball", b2Vec2(1, 1), b2Vec2(), 0));

    run("removeObject('ball')");
    portals.objectRemoved("ball");
    EXPECT_EQ(portals.find("ball_a_b"), nullptr);
    EXPECT_EQ(portals.find("ball"), nullptr);
    EXPECT_NE(portals.find("other_a_b"), nullptr);
    portals.update(STEP);

    portals.clear();
    EXPECT_TRUE(portals.teleporters().empty());
    EXPECT_EQ(events(), "");
}

TEST_F(PortalsTest, PlainTeleporterMovesItsObjectAtTheFirstUpdate) {
    run("createCircle('twin', '', 0, 0, 0.25, 1, 0, 0, false, 0)");
    lang::Ptr<ObjectTeleporter> move =
        new ObjectTeleporter(object("ball"), "ball_to_x", b2Vec2(3, 4), b2Vec2(1, -2), 0.5f);
    portals.add("ball", move);
    portals.update(STEP);
    GameObject& ball = object("ball");
    EXPECT_FLOAT_EQ(ballPosition().x, 3);
    EXPECT_FLOAT_EQ(ballPosition().y, 4);
    EXPECT_FLOAT_EQ(ball.body->GetAngle(), 0.5f);
    EXPECT_FLOAT_EQ(ballVelocity().y, -2);
    EXPECT_FLOAT_EQ(ball.renderY, 4);
    EXPECT_FLOAT_EQ(ball.poseA.angle, 0.5f);
    EXPECT_FLOAT_EQ(ball.poseB.x, 3);
    EXPECT_EQ(portals.find("ball"), nullptr);

    lang::Ptr<ObjectTeleporter> clone = move->cloneFor(object("twin"));
    EXPECT_EQ(clone->key(), "twin_to_x");
    EXPECT_EQ(clone->object(), &object("twin"));
    EXPECT_FLOAT_EQ(clone->position().x, 3);
}

namespace {

// Hands the physics world's contacts straight to the portals under test.
class PortalContacts : public b2ContactListener {
public:
    explicit PortalContacts(GamePortals& portals) : portals_(portals) {}
    void BeginContact(b2Contact* contact) override { portals_.beginContact(contact); }
    void EndContact(b2Contact* contact) override { portals_.endContact(contact); }

private:
    GamePortals& portals_;
};

}  // namespace

TEST_F(PortalsTest, ABallFlyingThroughADelayingPortalComesOutOfTheTarget) {
    PortalContacts contacts(portals);
    world->physicsWorld().SetContactListener(&contacts);
    run("setWorldGravity(0, 0); objects.world.a.portal.delay = 0.2");
    run("setPosition('ball', 8, 5); setVelocity('ball', 6, 0)");
    bool hidden = false;
    for (int frame = 0; frame < 30 && events().empty(); ++frame) {
        world->physicsWorld().Step(STEP, 10, 10);
        portals.update(STEP);
        hidden = hidden || object("ball").visible == 0;
    }
    // Hiding the ball ends its contact with the portal; the pass goes on.
    EXPECT_TRUE(hidden);
    EXPECT_EQ(events(), "exit:ball");
    EXPECT_EQ(object("ball").visible, 1);
    EXPECT_LT(ballPosition().x, 29.5f);
    EXPECT_NEAR(ballVelocity().x, -6, 1e-4);
}

// The ball at rest inside portal "a": a real contact the world's own portals
// saw, and a teleporter that waits.
class PortalsRemovalTest : public PortalsTest {
protected:
    PortalsRemovalTest() {
        run("setPosition('ball', 9.8, 5); setVelocity('ball', 0, 0)");
        world->update(STEP);
    }
};

TEST_F(PortalsRemovalTest, RemovingTheWaitingTravellerDropsItsTeleporterBeforeTheBody) {
    ASSERT_NE(world->portals().find("ball_a_b"), nullptr);
    ASSERT_TRUE(world->portals().find("ball_a_b")->isWaiting());
    // Were the abort reported while the body goes, this would destroy it twice.
    run("objectTeleportationAborted = function(name) removeObject(name) end");
    run("removeObject('ball')");
    EXPECT_EQ(world->findObject("ball"), nullptr);
    EXPECT_EQ(world->portals().find("ball_a_b"), nullptr);
    EXPECT_NO_THROW(world->update(STEP));
}

TEST_F(PortalsRemovalTest, AHookErrorWhileAPortalGoesSurfacesFromTheRemoval) {
    ASSERT_NE(world->portals().find("ball_a_b"), nullptr);
    run("objectTeleportationAborted = function(name) error('aborted ' .. name) end");
    EXPECT_NE(errorOf("removeObject('a')").find("aborted ball"), std::string::npos);
    EXPECT_EQ(world->findObject("a"), nullptr);
    // Nothing is left over for the next step to raise.
    EXPECT_NO_THROW(world->update(STEP));
    EXPECT_NO_THROW(world->update(STEP));
}
