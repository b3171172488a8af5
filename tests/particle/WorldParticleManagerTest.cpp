#include "ParticleFixture.h"
#include "common/world/WorldParticleManager.h"

namespace particletest {
namespace {

class WorldParticleManagerTest : public ParticleFixture {};

TEST_F(WorldParticleManagerTest, WorldEmitsIntoTheWorldLayerWithinLimits) {
    WorldParticleManager adapter(state, world, &sprites, 800, 600);
    define("splash",
           "sprites = {'a'}, lifeTime = 1, randomizeBirthPosition = false,"
           "emitter_bat = { targetX = 1, targetY = 0 }");
    adapter.screenResized(400, 300);
    adapter.manager().setHardLimit(2);
    adapter.emit("splash", 100, -10, 10, 10, 3);

    const particle::ParticleDefinition* d = adapter.manager().findDefinition("splash");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->particles[particle::LAYER_WORLD].size(), 2u);
    EXPECT_EQ(d->batTargetX, 400);  // read with the new screen size

    adapter.viewChanged(0, 0, 100, 100);
    EXPECT_FLOAT_EQ(adapter.manager().view().x1, 104);
    adapter.update(particle::LAYER_WORLD, 2);
    EXPECT_TRUE(d->particles[particle::LAYER_WORLD].empty());
    adapter.reset();
    EXPECT_EQ(adapter.manager().hardLimit(), 125);
}

}  // namespace
}  // namespace particletest
