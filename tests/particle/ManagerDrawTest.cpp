#include <cmath>

#include "ParticleFixture.h"

namespace particletest {
namespace {

using particle::LAYER_SCREEN;
using particle::LAYER_WORLD;

class ManagerDraw : public ParticleFixture {
protected:
    // One particle at (x, y) whose scale is `scale` and start angle `angle`.
    void put(const std::string& name, int layer, float x, float y, float scale, float angle,
             const std::string& sprite = "a") {
        define(name, "sprites = {'" + sprite +
                         "'}, lifeTime = 1, randomizeBirthPosition = false,"
                         "emitter_box = {}, minScaleBegin = " +
                         std::to_string(scale) + ", maxScaleBegin = " + std::to_string(scale));
        manager->emit(layer, name, 1, x, y, 0, 0, 0, true, angle);
    }
    gametest::FakeContext context;
};

TEST_F(ManagerDraw, SpriteIsTurnedAndScaledAboutItsPivotAtThePosition) {
    put("spark", LAYER_WORLD, 30, -40, 2, 0.5f);
    manager->draw(context, LAYER_WORLD, -10, 5, 1.5f);

    ASSERT_EQ(context.draws.size(), 1u);
    const gametest::FakeContext::Draw& d = context.draws[0];
    EXPECT_FLOAT_EQ(d.state.scaleX, 3);
    EXPECT_FLOAT_EQ(d.state.scaleY, 3);
    EXPECT_FLOAT_EQ(d.state.angle, 0.5f);
    EXPECT_FLOAT_EQ(d.state.rotation[1], std::sin(0.5f));
    EXPECT_FLOAT_EQ(d.state.pivotX, 2);
    EXPECT_FLOAT_EQ(d.state.pivotY, 3);
    // The sprite's top-left sits a pivot away from the position divided by the scale.
    gr::Point origin = d.corners.p[0];
    EXPECT_FLOAT_EQ(origin.x, 15 - 2);
    EXPECT_FLOAT_EQ(origin.y, -20 - 3);
    EXPECT_FLOAT_EQ(d.corners.p[3].x - origin.x, 8);
    // On screen the pivot lands on (position + offset) times the drawing scale.
    gr::Point pivot = d.state.apply(origin.x, origin.y, origin.x + 2, origin.y + 3);
    EXPECT_NEAR(pivot.x, (30 - 10) * 1.5f, 1e-3);
    EXPECT_NEAR(pivot.y, (-40 + 5) * 1.5f, 1e-3);

    // The caller's render state comes back.
    EXPECT_FLOAT_EQ(context.renderState().scaleX, 1);
    EXPECT_FLOAT_EQ(context.renderState().angle, 0);
    EXPECT_FLOAT_EQ(context.renderState().pivotX, 0);
}

TEST_F(ManagerDraw, OnlyTheLayerAskedForAndDrawableParticlesAreDrawn) {
    put("screen", LAYER_SCREEN, 1, 1, 1, 0);
    put("world", LAYER_WORLD, 2, -2, 1, 0);
    put("flat", LAYER_WORLD, 3, -3, 0, 0);  // no size: nothing to draw
    put("gone", LAYER_WORLD, 4, -4, 1, 0, "d");
    put("kept", LAYER_WORLD, 5, -5, 1, 0, "b");
    // The sheet is replaced by one without the sprite "d" after its particle was born.
    lang::Ptr<game::SpriteSheet> reloaded = new game::SpriteSheet();
    reloaded->setTexture(sprites.sheet->getTexture());
    for (const char* name : {"a", "b"}) {
        reloaded->addSprite(name, 0, 0, 8, 6, 2, 3, false);
    }
    sprites.sheet = reloaded;

    manager->draw(context, LAYER_WORLD, 0, 0, 1);
    ASSERT_EQ(context.draws.size(), 2u);  // definitions in name order
    EXPECT_FLOAT_EQ(context.draws[0].corners.p[0].x, 5 - 2);
    EXPECT_FLOAT_EQ(context.draws[1].corners.p[0].x, 2 - 2);

    context.draws.clear();
    manager->draw(context, LAYER_SCREEN, 0, 0, 1);
    EXPECT_EQ(context.draws.size(), 1u);
}

}  // namespace
}  // namespace particletest
