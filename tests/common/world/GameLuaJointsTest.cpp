// Joints and destroy links.

#include "common/world/GameLuaFixture.h"

using worldtest::GameLuaFixture;

namespace {

const float PI = 3.1415927f;

}  // namespace

class GameLuaJointsTest : public GameLuaFixture {
protected:
    void SetUp() override {
        run("setWorldGravity(0, 0)");
        run("createBox('a', '', 0, 0, 1, 1, 0, 0, 0, true, false, 0)");
        run("createBox('b', '', 3, 0, 1, 1, 1, 0, 0, true, false, 0)");
    }
    b2Joint* joint(size_t i = 0) { return world->physicalJoints().at(i).joint; }
};

TEST_F(GameLuaJointsTest, SpringBetweenOriginsGetsItsRestLengthAndDefaults) {
    run("createJoint({name='s', type=1, end1='a', end2='b'})");
    auto* spring = static_cast<b2DistanceJoint*>(joint());
    ASSERT_EQ(spring->GetType(), e_distanceJoint);
    EXPECT_NEAR(spring->GetLength(), 3, 1e-6);
    EXPECT_GT(spring->GetStiffness(), 0);
    EXPECT_EQ(num("objects.joints.s.frequency"), 4);
    EXPECT_EQ(num("objects.joints.s.dampingRatio"), 0.5f);
    EXPECT_EQ(num("objects.joints.s.x2"), 3);
    EXPECT_FALSE(truth("objects.joints.s.collideConnected"));
    // It is a spring, not a rod: pulled away, it stretches.
    run("setPhysicsEnabled(true) setVelocity('b', 30, 0)");
    world->update(0.1f);
    EXPECT_GT(object("b").body->GetPosition().x, 3.2f);
}

TEST_F(GameLuaJointsTest, SpringAnchorsByCoordinateType) {
    run("createJoint({name='s', type=1, end1='a', end2='b', coordType=1.6, x1=0.5, y1=0, x2=-0.5,"
        "y2=0})");
    EXPECT_EQ(num("objects.joints.s.coordType"), 2);
    EXPECT_NEAR(static_cast<b2DistanceJoint*>(joint())->GetLength(), 2, 1e-6);
    run("createJoint(0, 0, 0, 0, 0, 0, 1, 3, 1, {name='w', type=1, end1='a', end2='b', "
        "coordType=1})");
    EXPECT_EQ(num("objects.joints.w.y1"), 1);
    EXPECT_NEAR(static_cast<b2DistanceJoint*>(joint(1))->GetLength(), 3, 1e-6);
    EXPECT_THROW(run("createJoint({name='x', type=1, end1='a', end2='b', coordType=1})"),
                 lua::LuaException);
}

TEST_F(GameLuaJointsTest, HingeWithoutLimitKeepsTheStoredDefaults) {
    run("createJoint({name='h', type=3, end1='a', end2='b', x1=1, y1=0})");
    auto* hinge = static_cast<b2RevoluteJoint*>(joint());
    ASSERT_EQ(hinge->GetType(), e_revoluteJoint);
    EXPECT_FALSE(hinge->IsLimitEnabled());
    EXPECT_FALSE(hinge->IsMotorEnabled());
    EXPECT_EQ(hinge->GetMaxMotorTorque(), 10000);
    EXPECT_EQ(num("objects.joints.h.upperLimit"), PI);
    EXPECT_FALSE(truth("objects.joints.h.backAndForth"));
    EXPECT_EQ(hinge->GetAnchorA().x, 1);
}

TEST_F(GameLuaJointsTest, SliderTurnsAtItsLimits) {
    run("createJoint({name='s', type=4, end1='a', end2='b', worldAxisX=1, worldAxisY=0, "
        "motorSpeed=2, upperLimit=1})");
    auto* slider = static_cast<b2PrismaticJoint*>(joint());
    ASSERT_EQ(slider->GetType(), e_prismaticJoint);
    EXPECT_TRUE(slider->IsLimitEnabled());
    EXPECT_TRUE(slider->IsMotorEnabled());
    EXPECT_TRUE(truth("objects.joints.s.backAndForth"));
    run("setPhysicsEnabled(true)");
    run("checkJointLimits('s')");
    EXPECT_EQ(slider->GetMotorSpeed(), 2);
    for (int i = 0; i < 10; ++i)
        world->update(0.1f);
    EXPECT_GE(slider->GetJointTranslation(), 1 - 0.01f);
    run("checkJointLimits('s')");
    EXPECT_EQ(slider->GetMotorSpeed(), -2);
    for (int i = 0; i < 10; ++i)
        world->update(0.1f);
    EXPECT_LE(slider->GetJointTranslation(), 0.01f);
    run("checkJointLimits('s')");
    EXPECT_EQ(slider->GetMotorSpeed(), 2);
}

TEST_F(GameLuaJointsTest, HingeMotorTurnsAtTheLimitToo) {
    run("createJoint({name='h', type=3, end1='a', end2='b', motor=true, motorSpeed=3, "
        "limit=true, lowerLimit=-0.5, upperLimit=0.5})");
    auto* hinge = static_cast<b2RevoluteJoint*>(joint());
    run("setPhysicsEnabled(true)");
    for (int i = 0; i < 5; ++i)
        world->update(0.1f);
    run("checkJointLimits('h')");
    EXPECT_EQ(hinge->GetMotorSpeed(), -3);
}

TEST_F(GameLuaJointsTest, SetJointParametersChangesJointAndTable) {
    run("createJoint({name='h', type=3, end1='a', end2='b'})");
    run("setJointParameters({name='h', motor=true, motorSpeed=4, limit=true, upperLimit=1})");
    auto* hinge = static_cast<b2RevoluteJoint*>(joint());
    EXPECT_TRUE(hinge->IsMotorEnabled());
    EXPECT_EQ(hinge->GetMotorSpeed(), 4);
    EXPECT_TRUE(hinge->IsLimitEnabled());
    EXPECT_EQ(hinge->GetUpperLimit(), 1);
    EXPECT_EQ(hinge->GetLowerLimit(), 0);
    EXPECT_EQ(num("objects.joints.h.motorSpeed"), 4);
    EXPECT_TRUE(truth("objects.joints.h.motor"));
    run("createJoint({name='s', type=1, end1='a', end2='b'})");
    float before = static_cast<b2DistanceJoint*>(joint(1))->GetStiffness();
    run("setJointParameters({name='s', frequency=8})");
    EXPECT_NEAR(static_cast<b2DistanceJoint*>(joint(1))->GetStiffness(), 4 * before, before * 1e-4);
    EXPECT_EQ(num("objects.joints.s.frequency"), 8);
    errorOf("setJointParameters({name='h', lowerLimit=2})");
    EXPECT_EQ(hinge->GetLowerLimit(), 0);
}

TEST_F(GameLuaJointsTest, JointListAndDestruction) {
    run("createBox('c', '', 9, 0, 1, 1, 1, 0, 0, true, false, 0)");
    run("createJoint({name='w', type=2, end1='a', end2='b'})");
    run("createJoint({name='h', type=3, end1='b', end2='c'})");
    run("list = getJointList('b') none = getJointList('nobody')");
    EXPECT_EQ(num("#list"), 2);
    EXPECT_EQ(str("list[1] .. list[2]"), "wh");
    EXPECT_TRUE(truth("next(none) == nil"));
    run("destroyJoint('w')");
    EXPECT_EQ(world->physicalJoints().size(), 1u);
    EXPECT_TRUE(truth("objects.joints.w == nil"));
    EXPECT_EQ(world->physicsWorld().GetJointCount(), 1);
    run("removeObject('c')");
    EXPECT_TRUE(world->physicalJoints().empty());
    EXPECT_TRUE(truth("objects.joints.h == nil"));
}

TEST_F(GameLuaJointsTest, BreakableJointsAreHandedToTheScripts) {
    struct Case {
        const char* desc;
        float force;
        bool deferred;
    } cases[] = {
        {"breakable=true, breakForce=5", 6, true},
        {"breakable=true, breakForce=5", 5, false},
        {"breakable='yes', breakForce=5", 6, false},
        {"breakForce=5", 6, false},
    };
    for (const Case& c : cases) {
        run("deferred = {} destroyJoint('j')");
        run(std::string("createJoint({name='j', type=2, end1='a', end2='b', ") + c.desc + "})");
        run("destroyBreakableJoints('b', " + std::to_string(c.force) + ")");
        EXPECT_EQ(num("#deferred"), c.deferred ? 1 : 0) << c.desc;
    }
}

TEST_F(GameLuaJointsTest, DestroyLinkCountsDownAndHandsTheObjectToDeadBlocks) {
    run("createJoint({name='d', type=5, end1='a', end2='b'})");
    EXPECT_EQ(num("objects.joints.d.destroyTimer"), 1);
    EXPECT_EQ(world->physicsWorld().GetJointCount(), 0);
    startLevel();
    run("removeObject('a')");
    world->update(0.5f);
    EXPECT_TRUE(truth("deadBlocks.b == nil"));
    world->update(0.6f);
    EXPECT_TRUE(truth("deadBlocks.b == objects.world.b"));
    EXPECT_EQ(num("objects.world.b.strength"), 0);
}

TEST_F(GameLuaJointsTest, BadDescriptionsAreRefused) {
    const char* cases[] = {
        "createJoint({name='j', type=2, end1='a', end2='nobody'})",
        "createJoint({name='j', type=2, end1='a', end2='a'})",
        "createJoint({name='j', type=7, end1='a', end2='b'})",
        "createJoint('not a table')",
        "createJoint({name='j', type=4, end1='a', end2='b', lowerLimit=2, upperLimit=1})",
        "createJoint({name='j', type=3, end1='a', end2='b', lowerLimit=0/0})",
    };
    for (const char* code : cases) {
        errorOf(code);
    }
    EXPECT_TRUE(world->physicalJoints().empty());
    EXPECT_EQ(world->physicsWorld().GetJointCount(), 0);
}

TEST_F(GameLuaJointsTest, AnchorsArePublishedEveryFrame) {
    run("createJoint({name='h', type=3, end1='a', end2='b', x1=3, y1=0})");
    run("createJoint({name='k', type=1, end1='a', end2='b', coordType=2, x1=7, y1=7, x2=0, y2=0})");
    run("setPhysicsEnabled(true) setPosition('b', 3, 2)");
    world->update(0.1f);
    b2Vec2 anchorB = joint()->GetAnchorB();
    EXPECT_EQ(num("objects.joints.h.x2"), anchorB.x);
    EXPECT_EQ(num("objects.joints.h.y2"), anchorB.y);
    // Body-local anchors stay as given.
    EXPECT_EQ(num("objects.joints.k.x1"), 7);
}
