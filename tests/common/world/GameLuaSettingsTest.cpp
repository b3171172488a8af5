// World settings and what the world exchanges with its application each frame.

#include "common/world/GameLuaFixture.h"
#include "lua/LuaTable.h"

using worldtest::GameLuaFixture;

using worldtest::RecordingHost;

class GameLuaSettingsTest : public GameLuaFixture {
protected:
    void SetUp() override {
        world.reset();
        GameLua::Services services;
        services.context = context;
        services.host = &host;
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
    }
    RecordingHost host;
};

TEST_F(GameLuaSettingsTest, FrameGlobalsGoBothWays) {
    run("g_safeToQuit = true g_touchesOffsetY = -20 zoomLevel = 1");
    host.zoom = 1.4f;
    world->update(0.01f);
    EXPECT_TRUE(host.safe);
    EXPECT_EQ(host.offsetX, 0);
    EXPECT_EQ(host.offsetY, -20);
    EXPECT_TRUE(truth("zooming"));
    EXPECT_EQ(num("touchcount"), 0);
    EXPECT_EQ(num("g_updatedScreenWidth"), 480);
    EXPECT_EQ(num("g_updatedScreenHeight"), 320);
    EXPECT_NEAR(num("zoomLevel"), 1.2f, 1e-6);
    // Applied again each frame until setWorldScale levels the zoom.
    world->update(0.01f);
    EXPECT_NEAR(num("zoomLevel"), 1.4f, 1e-6);
    run("minWorldScale = 0.5 setWorldScale(2)");
    world->update(0.01f);
    EXPECT_NEAR(num("zoomLevel"), 1.4f, 1e-6);
    EXPECT_EQ(host.zoom, 2);
    EXPECT_EQ(world->getWorldScale(), 2);
    EXPECT_EQ(world->getMinWorldScale(), 0.5f);
    run("g_safeToQuit = 1");
    world->update(0.01f);
    EXPECT_FALSE(host.safe);
}

TEST_F(GameLuaSettingsTest, Flags) {
    EXPECT_FALSE(truth("isPhysicsEnabled()"));
    EXPECT_FALSE(truth("isEditing()"));
    run("setPhysicsEnabled(true) setEditing(true) setUpdating(false)");
    EXPECT_TRUE(truth("isPhysicsEnabled()"));
    EXPECT_TRUE(truth("isEditing()"));
    EXPECT_FALSE(world->isUpdating());
    run("setPhysicsSimulationScale(0.5) setLevelLimits(-3.7, 0, 40.9, 0)");
    EXPECT_EQ(world->getSimulationScale(), 0.5f);
    run("setWorldGravity(1, 2)");
    EXPECT_EQ(world->physicsWorld().GetGravity().x, 1);
    EXPECT_EQ(world->physicsWorld().GetGravity().y, 2);
}

TEST_F(GameLuaSettingsTest, MaxTranslationLimitsEachStep) {
    run("createCircle('c', '', 0, 0, 0.5, 1, 0, 0, false, 0) setWorldGravity(0, 0)");
    run("setPhysicsEnabled(true) setMaxTranslation(0.5) setVelocity('c', 100, 0)");
    EXPECT_EQ(b2_maxTranslationSquared, 0.25f);
    world->update(GameLua::STEP);
    EXPECT_NEAR(object("c").body->GetPosition().x, 0.5f, 1e-5);
    run("setVelocity('c', 100, 0) path = getTrajectory('c')");
    EXPECT_NEAR(num("path[1].x - path[0].x"), 0.5f, 1e-5);
    // A new world starts from the default again.
    world.reset();
    GameLua::Services services;
    world = new GameLua(state, services);
    EXPECT_EQ(b2_maxTranslation, 2.0f);
}

// Activation resumes the game only while no cloud service is busy, and only
// once the game logic is there to hear it.
TEST_F(GameLuaSettingsTest, ActivationPausesWhileACloudServiceIsBusy) {
    run("heard = {} function gamePaused() heard[#heard + 1] = 'paused' end "
        "function gameResumed() heard[#heard + 1] = 'resumed' end");
    world->setActive(true, false);
    EXPECT_EQ(num("#heard"), 0);
    world->setGameLogicLoaded();
    world->setActive(true, true);
    world->setActive(true, false);
    world->setActive(false, false);
    world->setActive(false, true);
    EXPECT_EQ(str("table.concat(heard, ',')"), "paused,resumed,paused,paused");
}
