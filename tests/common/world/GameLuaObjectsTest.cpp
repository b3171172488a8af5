// Game objects: creation, removal and the natives that change one object.

#include <cmath>

#include "common/world/GameLuaFixture.h"
#include "lang/Log.h"
#include "support/LogCapture.h"

using worldtest::GameLuaFixture;

namespace {

const float PI = 3.1415927f;

}  // namespace

class GameLuaObjectsTest : public GameLuaFixture {};

TEST_F(GameLuaObjectsTest, BoxTableMirrorsTheNativeRecord) {
    run("createBox('crate', '', 2, 3, 1, 2, 0, 0.5, 0.25, true, false, 4.7)");
    GameObject& crate = object("crate");
    EXPECT_TRUE(crate.isStatic());
    EXPECT_EQ(crate.shapeKind, GameObject::SHAPE_BOX);
    EXPECT_EQ(crate.colliderType, 0);
    EXPECT_EQ(str("objects.world.crate.type"), "box");
    EXPECT_EQ(num("objects.world.crate.mass"), 0);
    EXPECT_EQ(num("objects.world.crate.width"), 1);
    EXPECT_EQ(num("objects.world.crate.radius"), -1);
    EXPECT_EQ(num("objects.world.crate.friction"), 0.5f);
    EXPECT_FALSE(truth("objects.world.crate.destroyOnForce"));
    // The native record holds the very table the scripts see.
    run("objects.world.crate.strength = 7");
    EXPECT_EQ(crate.table.getNumber("strength"), 7);
    ASSERT_EQ(world->drawOrder().count(4), 1u);
    EXPECT_EQ(world->drawOrder().at(4), std::vector<std::string>{"crate"});
}

TEST_F(GameLuaObjectsTest, CircleMassAndTrackedList) {
    run("createCircle('a', '', 0, 0, 0.5, 2, 0, 0, false, 1)");
    run("createCircle('b', '', 3, 0, 0.5, 2, 0, 0, true, 1)");
    EXPECT_NEAR(num("objects.world.a.mass"), 2 * PI * 0.25f, 1e-5);
    EXPECT_EQ(object("a").collides, 1);
    ASSERT_EQ(world->trackedList().size(), 1u);
    EXPECT_EQ(world->trackedList()[0]->name, "b");
}

TEST_F(GameLuaObjectsTest, PolygonReadsVerticesUntilTheFirstGap) {
    run("createPolygon('p', '', 1, 1, {{x=0,y=0},{x=1,y=0},{x=0,y=1},nil,{x=5,y=5}}, 1, 0, 0, "
        "true, "
        "false, 0)");
    EXPECT_EQ(object("p").vertices.size(), 3u);
    EXPECT_EQ(str("objects.world.p.type"), "polygon");
    EXPECT_GT(num("objects.world.p.mass"), 0);
}

TEST_F(GameLuaObjectsTest, ShapesThePhysicsLibraryCannotTakeAreRefused) {
    const char* cases[] = {
        "createPolygon('p', '', 0, 0, {{x=0,y=0},{x=1,y=0}}, 1, 0, 0, true, false, 0)",
        "createPolygon('p', '', 0, 0, {{x=0,y=0},{x=1,y=0},{x=2,y=0}}, 1, 0, 0, true, false, 0)",
        "createPolygon('p', '', 0, 0, {{x=0,y=0},{x=1,y=0},{x=0,y=0.001}}, 1, 0, 0, true, false, "
        "0)",
        "createPolygon('p', '', 0, 0, {{x=0,y=0},{x=1,y=0},{x=1,y=1},{x=0,y=1},{x=-1,y=0.5},"
        "{x=0.5,y=-1},{x=2,y=0.5},{x=0.5,y=2},{x=1.5,y=1.5}}, 1, 0, 0, true, false, 0)",
        "createPolygon('p', '', 0, 0, {{x=0,y=0},{x=1,y=0},{x=0,y=0/0}}, 1, 0, 0, true, false, 0)",
        "createBox('p', '', 0, 0, 0, 1, 1, 0, 0, true, false, 0)",
        "createBox('p', '', 0/0, 0, 1, 1, 1, 0, 0, true, false, 0)",
        "createCircle('p', '', 0, 0, -1, 1, 0, 0, false, 0)",
    };
    for (const char* code : cases) {
        errorOf(code);
        EXPECT_EQ(world->findObject("p"), nullptr) << code;
    }
    EXPECT_EQ(world->physicsWorld().GetBodyCount(), 0);
}

TEST_F(GameLuaObjectsTest, ANameInUseIsRefused) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    EXPECT_NE(errorOf("createCircle('a', '', 0, 0, 1, 1, 0, 0, true, 0)").find("already exists"),
              std::string::npos);
    EXPECT_EQ(object("a").shapeKind, GameObject::SHAPE_BOX);
    EXPECT_TRUE(world->trackedList().empty());
}

TEST_F(GameLuaObjectsTest, MissingSpriteWarnsAndStillCreates) {
    qftest::LogCapture log;
    run("createBox('a', 'NO_SUCH', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("setSprite('a', 'OTHER')");
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0], "Sprite NO_SUCH not found for game object a");
    EXPECT_EQ(log.functions()[0], "GameLua::createBoxLua");
    EXPECT_EQ(log.functions()[1], "GameLua::setSprite");
    EXPECT_EQ(str("objects.world.a.sprite"), "OTHER");
    EXPECT_EQ(object("a").spriteName, "NO_SUCH");
}

TEST_F(GameLuaObjectsTest, RemoveObjectCleansEveryIndex) {
    run("createCircle('b', '', 0, 0, 0.5, 1, 0, 0, true, 2)");
    run("setRollingSound('b', 'roll')");
    run("removeObject('b')");
    EXPECT_EQ(world->findObject("b"), nullptr);
    EXPECT_TRUE(world->trackedList().empty());
    EXPECT_TRUE(world->drawOrder().at(2).empty());
    EXPECT_EQ(world->physicsWorld().GetBodyCount(), 0);
    // The script half stays until the scripts drop it.
    EXPECT_TRUE(truth("objects.world.b ~= nil"));
    // Unknown names change nothing.
    run("createBox('c', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("removeObject('nobody')");
    EXPECT_EQ(world->objectIndex().size(), 1u);
}

TEST_F(GameLuaObjectsTest, RemovingTheFirstEndOfADestroyLinkStartsTheCountdown) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('b', '', 5, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createJoint({name='link', type=5, end1='a', end2='b', destroyTimer=2.5})");
    run("removeObject('a')");
    EXPECT_EQ(object("b").destroyPending, 1);
    EXPECT_EQ(object("b").destroyTimer, 2.5f);
    EXPECT_TRUE(world->destroyLinks().empty());
    EXPECT_TRUE(truth("objects.joints.link == nil"));
}

TEST_F(GameLuaObjectsTest, RotationIsWrappedIntoOneTurn) {
    run("createBox('a', '', 1, 2, 1, 1, 1, 0, 0, true, false, 0)");
    run("setRotation('a', -math.pi / 2)");
    EXPECT_NEAR(num("objects.world.a.angle"), 3 * PI / 2, 1e-5);
    GameObject& a = object("a");
    EXPECT_EQ(a.poseA.angle, a.poseB.angle);
    EXPECT_EQ(a.renderAngle, a.poseA.angle);
    run("setRotation('a', 5 * math.pi)");
    EXPECT_NEAR(num("objects.world.a.angle"), PI, 1e-5);
    run("setPosition('a', 4, 5)");
    EXPECT_EQ(a.poseA.x, 4);
    EXPECT_EQ(a.poseB.y, 5);
    EXPECT_EQ(num("objects.world.a.x"), 4);
    EXPECT_NEAR(a.poseA.angle, PI, 1e-5);
}

TEST_F(GameLuaObjectsTest, ImpulseAtOriginOrAtAPoint) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createBox('b', '', 5, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("applyImpulse('a', 2, 0)");
    run("applyImpulse('b', 2, 0, 5, 0.5)");
    EXPECT_NEAR(num("getSpeed('a')"), 2, 1e-5);
    EXPECT_EQ(num("getAngularVelocity('a')"), 0);
    EXPECT_NE(num("getAngularVelocity('b')"), 0);
}

// Without a point the push is at the body's origin, which for this triangle
// is a corner, not the centre of mass: the body turns as well.
TEST_F(GameLuaObjectsTest, ImpulseWithoutAPointPushesAtTheOriginOfAnOffCentreBody) {
    run("createPolygon('t', '', 1, 1, {{x=0,y=0},{x=2,y=0},{x=0,y=2}}, 1, 0, 0, true, false, 0)");
    const b2Body& body = *object("t").body;
    const b2Vec2 arm = body.GetPosition() - body.GetWorldCenter();  // (-2/3, -2/3)
    ASSERT_NEAR(arm.x, -2.0f / 3, 1e-5);
    run("applyImpulse('t', 0, 3)");
    EXPECT_NEAR(body.GetLinearVelocity().y, 3 / body.GetMass(), 1e-5);
    // GetInertia is about the origin; the turn is about the centre of mass.
    const float inertia = body.GetInertia() - body.GetMass() * arm.LengthSquared();
    EXPECT_NEAR(body.GetAngularVelocity(), b2Cross(arm, b2Vec2(0, 3)) / inertia, 1e-4);
    EXPECT_LT(body.GetAngularVelocity(), 0);
}

TEST_F(GameLuaObjectsTest, ObjectParameters) {
    run("createBox('a', '', 0, 0, 1, 1, 1, 0, 0, true, false, 0)");
    GameObject& a = object("a");
    struct Case {
        const char* code;
        int useDrawScale;
        int forcesAlways;
    } cases[] = {
        {"setObjectParameter('a', 6, 1)", 1, 0},   {"setObjectParameter('a', 6, 0.9)", 0, 0},
        {"setObjectParameter('a', 8.7, 1)", 0, 1}, {"setObjectParameter('a', 8, 2)", 0, 0},
        {"setObjectParameter('a', 3, 1)", 0, 0},
    };
    for (const Case& c : cases) {
        run(c.code);
        EXPECT_EQ(a.useDrawScale, c.useDrawScale) << c.code;
        EXPECT_EQ(a.forcesAlways, c.forcesAlways) << c.code;
    }
    run("setObjectParameter('a', 5, 1.5)");
    EXPECT_EQ(a.drawScale[3], 1.5f);
    run("setObjectParameter('a', 2, 0)");
    EXPECT_TRUE(a.isStatic());
    run("setObjectParameter('a', 7, 0)");
    EXPECT_GE(a.spinPhase, 0);
    EXPECT_LT(a.spinPhase, 2 * PI);
}

TEST_F(GameLuaObjectsTest, IntersectingObjects) {
    run("createBox('ground', '', 0, 10, 20, 1, 0, 0, 0, true, false, 0)");
    run("createCircle('ball', '', 0, 0, 0.5, 1, 0, 0, false, 0)");
    run("hits = getIntersectingObjects({x=0, y=0, left=-1, right=1, down=-1, up=1})");
    EXPECT_EQ(num("#hits"), 1);
    EXPECT_EQ(str("hits[1]"), "ball");
    run("hits = getIntersectingObjects({x=0, y=10, left=-1, right=1, down=-1, up=1})");
    EXPECT_EQ(str("hits[1]"), "ground");
    run("hits = getIntersectingObjects({x=50, y=50, left=-1, right=1, down=-1, up=1})");
    EXPECT_TRUE(truth("next(hits) == nil"));
}

TEST_F(GameLuaObjectsTest, UnknownNamesDoNothingAndGettersGiveZero) {
    qftest::LogCapture log;
    run("setLinearDamping('x', 1) setAngularDamping('x', 1) setVelocity('x', 1, 1)");
    run("r = getRadius('x') s = getSpeed('x') w = getAngularVelocity('x')");
    run("sx, sy = getScale('x') px, py = getWorldPoint('x', 1, 2)");
    EXPECT_EQ(num("r + s + w + sx + sy + px + py"), 0);
    EXPECT_FALSE(truth("isGravityEnabled('x')"));
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0], "Body name : x");
    EXPECT_EQ(log.messages()[1], "Body x not found in GameLua::setAngularDamping");
}

TEST_F(GameLuaObjectsTest, PointsAndBodySettings) {
    run("createBox('a', '', 2, 3, 1, 1, 1, 0, 0, true, false, 0)");
    run("setRotation('a', math.pi / 2)");
    run("wx, wy = getWorldPoint('a', 1, 0) lx, ly = getLocalPoint('a', wx, wy)");
    EXPECT_NEAR(num("wx"), 2, 1e-5);
    EXPECT_NEAR(num("wy"), 4, 1e-5);
    EXPECT_NEAR(num("lx"), 1, 1e-5);
    run("setScale('a', 2, 3) sx, sy = getScale('a')");
    EXPECT_EQ(num("sx * 10 + sy"), 23);
    run("setFilterCategory('a', 4) setFilterMask('a', 6) setSensor('a', true)");
    const b2Fixture* f = object("a").body->GetFixtureList();
    EXPECT_EQ(f->GetFilterData().categoryBits, 4);
    EXPECT_EQ(f->GetFilterData().maskBits, 6);
    EXPECT_TRUE(f->IsSensor());
    run("setFriction('a', 0.7) setDensity('a', 3)");
    EXPECT_NEAR(f->GetFriction(), 0.7f, 1e-6);
    EXPECT_EQ(f->GetDensity(), 3);
    EXPECT_EQ(object("a").density, 3);
    run("setSleeping('a', true)");
    EXPECT_FALSE(object("a").body->IsAwake());
    run("setSleeping('a', false)");
    EXPECT_TRUE(object("a").body->IsAwake());
}

// The velocity is kept for when something wakes the body; setting it is no
// reason to wake it.
TEST_F(GameLuaObjectsTest, SetVelocityLeavesASleepingBodyAsleep) {
    run("createCircle('c', '', 0, 0, 0.5, 1, 0, 0, false, 0) setSleeping('c', true)");
    run("setVelocity('c', 3, -4)");
    EXPECT_FALSE(object("c").body->IsAwake());
    EXPECT_NEAR(num("getSpeed('c')"), 5, 1e-5);
    run("setPhysicsEnabled(true)");
    world->update(GameLua::STEP);
    EXPECT_FALSE(object("c").body->IsAwake());
}

TEST_F(GameLuaObjectsTest, ResizeCircleKeepsBodyAndVelocity) {
    run("createCircle('c', '', 0, 0, 0.5, 1, 0, 0, false, 0)");
    run("setVelocity('c', 3, 0) resizeCircle('c', 2)");
    EXPECT_EQ(num("getRadius('c')"), 2);
    EXPECT_EQ(object("c").body->GetFixtureList()->GetShape()->m_radius, 2);
    EXPECT_NEAR(num("getSpeed('c')"), 3, 1e-5);
}
