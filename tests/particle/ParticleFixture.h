#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/FakeContext.h"
#include "game/SpriteProvider.h"
#include "game/SpriteSheet.h"
#include "lua/LuaState.h"
#include "math/RandomGenerator.h"
#include "particle/Manager.h"

namespace particletest {

/// Sprites a to d on one 64 x 64 texture: 8 x 6 pixels with the pivot at (2, 3).
class FakeSprites : public game::SpriteProvider {
public:
    FakeSprites() : sheet(new game::SpriteSheet()) {
        sheet->setTexture(new gametest::FakeTexture(64, 64, "sheet"));
        for (const char* name : {"a", "b", "c", "d"}) {
            sheet->addSprite(name, 0, 0, 8, 6, 2, 3, false);
        }
    }
    game::Sprite* getSprite(const std::string& name) const override {
        return sheet->getSprite(name);
    }
    lang::Ptr<game::SpriteSheet> sheet;
};

/// A manager over a plain world table and an 800 x 600 screen. Its random
/// numbers come from a fresh copy of the engine's generator and are recorded.
class ParticleFixture : public ::testing::Test {
protected:
    ParticleFixture() : world(state) {
        manager = new particle::Manager(state, world, &sprites, 800, 600);
        world.set("particles", manager.get());
        manager->setRandomSource([this] {
            double r = math::detail::RandomGenerator::toUnit(generator.next());
            draws.push_back(static_cast<float>(r));
            return r;
        });
        run("particleTable = { particles = {} }");
    }

    void run(const std::string& code) {
        state.runBuffer(code.data(), code.size(), "test.lua", &world);
    }
    /// Defines particleTable.particles[name] from the fields of a table constructor.
    void define(const std::string& name, const std::string& fields) {
        run("particleTable.particles['" + name + "'] = {" + fields + "}");
    }
    const std::vector<particle::Particle>& layer(const std::string& name, int layer) {
        static const std::vector<particle::Particle> none;
        const particle::ParticleDefinition* d = manager->findDefinition(name);
        return d ? d->particles[layer] : none;
    }
    size_t count(const std::string& name, int l) { return layer(name, l).size(); }

    lua::LuaState state;
    lua::LuaTable world;
    FakeSprites sprites;
    lang::Ptr<particle::Manager> manager;
    math::detail::RandomGenerator generator;
    std::vector<float> draws;
};

}  // namespace particletest
