#include "ParticleFixture.h"
#include "lua/LuaException.h"

namespace particletest {
namespace {

using particle::LAYER_SCREEN;
using particle::LAYER_WORLD;

class ManagerScript : public ParticleFixture {
protected:
    ManagerScript() { define("dust", "sprites = {'a'}, lifeTime = 1, emitter_box = {}"); }
};

TEST_F(ManagerScript, MethodsEmitAdvanceAndClearTheLayers) {
    struct Case {
        const char* lua;
        size_t screen, world;
    } cases[] = {
        {"particles:add(particles.WORLD, 'dust', 3, 10, -20, 4, 4, 0, true)", 0, 3},
        {"particles:add(particles.SCREEN, 'dust', 2, 10, 20)", 2, 3},
        {"particles:addParticles('dust', 4, 0, -5, 1, 1, 0, false, true)", 6, 3},
        {"particles:addParticles('dust', 1, 0, -5)", 6, 4},
        {"particles:update(particles.SCREEN, 5)", 0, 4},
        {"particles:add(0, 'dust', 2, 10, 20) particles:clear(particles.WORLD)", 2, 0},
        {"particles:add(1, 'dust', 2, 10, -20) particles:clear()", 0, 0},
        {"particles:add(7, 'dust', 2, 10, -20) particles:update(-1, 1) particles:clear(3)", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lua);
        run(c.lua);
        EXPECT_EQ(count("dust", LAYER_SCREEN), c.screen);
        EXPECT_EQ(count("dust", LAYER_WORLD), c.world);
    }
}

TEST_F(ManagerScript, LimitsAreSetFromScriptsAndResetByTheWorld) {
    run("particles:setSoftLimit(5, 0.2) particles:setHardLimit(7)");
    EXPECT_EQ(manager->softLimit(), 5);
    EXPECT_FLOAT_EQ(manager->softLimitFactor(), 0.2f);
    EXPECT_EQ(manager->hardLimit(), 7);
    run("particles:add(1, 'dust', 10, 0, -5, 0, 0, 0, false)");
    EXPECT_EQ(count("dust", LAYER_WORLD), 2u);

    manager->clear();
    EXPECT_EQ(manager->hardLimit(), 7);
    run("particles:add(1, 'dust', 3, 0, -5, 0, 0, 0, true)");
    manager->reset();
    EXPECT_EQ(count("dust", LAYER_WORLD), 0u);
    EXPECT_EQ(manager->softLimit(), 40);
    EXPECT_FLOAT_EQ(manager->softLimitFactor(), 0.5f);
    EXPECT_EQ(manager->hardLimit(), 125);
}

TEST_F(ManagerScript, WrongArgumentTypesRaiseScriptErrors) {
    const char* calls[] = {
        "particles:add(1, {}, 1, 0, 0)",
        "particles:add('one', 'dust', 1, 0, 0)",
        "particles:addParticles('dust', 1, 'x', 0)",
        "particles:setHardLimit(true)",
    };
    for (const char* lua : calls) {
        SCOPED_TRACE(lua);
        EXPECT_THROW(run(lua), lua::LuaException);
    }
    EXPECT_EQ(count("dust", LAYER_WORLD), 0u);
    EXPECT_EQ(manager->hardLimit(), 125);
}

}  // namespace
}  // namespace particletest
