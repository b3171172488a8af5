// The bundle's particle definitions, unsealed as the game reads them and run
// through the engine's particle manager with the bundle's own sprites.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "game/FakeContext.h"
#include "game/SheetLoaderDAT.h"
#include "game/SpriteProvider.h"
#include "io/VFS.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"
#include "particle/Manager.h"
#include "tools/ToolRun.h"

namespace {

// The sprites of the bundle's sheet "quill".
class BundleSprites : public game::SpriteProvider {
public:
    BundleSprites() {
        const std::string saved = io::bundleRoot();
        io::setBundleRoot(toolstest::builtBundle() + "/");
        sheet = game::SheetLoaderDAT().loadSheet(&context, "gfx/quill.dat");
        io::setBundleRoot(saved);
    }
    game::Sprite* getSprite(const std::string& name) const override {
        return sheet->getSprite(name);
    }
    gametest::FakeContext context;
    lang::Ptr<game::SpriteSheet> sheet;
};

// The content of a sealed file of the built bundle.
std::string unsealed(const std::string& relative) {
    const std::string out = ::testing::TempDir() + "qf_particle_unsealed.lua";
    const toolstest::ToolResult result = toolstest::runTool(
        "qfseal", "unseal " + toolstest::builtBundle() + "/" + relative + " " + out);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::ifstream in(out, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ParticleBundleTest, EveryDefinitionLoadsAndEmitsWithTheBundleSprites) {
    const char* const names[] = {"dust",   "splinters_wood", "splinters_stone", "splinters_ice",
                                 "splash", "feathers",       "gremlin_pop"};
    lua::LuaState state;
    lua::LuaTable world(state);
    BundleSprites sprites;
    lang::Ptr<particle::Manager> manager = new particle::Manager(state, world, &sprites, 640, 480);
    const std::string setup = "particleTable = { particles = {} }";
    state.runBuffer(setup.data(), setup.size(), "setup", &world);
    lua::LuaTable all = world.getTable("particleTable").getTable("particles");
    for (const char* name : names) {
        SCOPED_TRACE(name);
        // As loadLuaFile(path, name) runs it: statements in a fresh table.
        const std::string source = unsealed(std::string("scripts/particles/") + name + ".lua");
        ASSERT_FALSE(source.empty());
        lua::LuaTable definition(state);
        state.runBuffer(source.data(), source.size(), name, &definition);
        all.set(name, &definition);

        manager->emit(1, name, 20, 100, -200, 10, 10, 0, true);
        const particle::ParticleDefinition* d = manager->findDefinition(name);
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(d->sprites.empty());
        EXPECT_GT(d->lifeTime, 0.2f);
        EXPECT_LT(d->lifeTime, 3.0f);
        // Every particle found its sprite, so each was emitted.
        ASSERT_EQ(d->particles[1].size(), 20u);
        const particle::Particle before = d->particles[1][0];
        manager->update(1, 0.1f);
        const particle::Particle& after = d->particles[1][0];
        EXPECT_TRUE(after.x != before.x || after.y != before.y);  // they fly
        manager->update(1, d->lifeTime);
        EXPECT_TRUE(d->particles[1].empty());  // and are gone after their life
    }
    EXPECT_TRUE(particle::Manager::missingSprites().empty());
}

}  // namespace
