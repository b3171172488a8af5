// The dynamic asset handler: counted files shared by requirements, delayed
// releases, memory figures, script errors and the registry behind it.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/assets/DynamicHandler.h"
#include "common/assets/GameDynamicAssets.h"
#include "common/world/GameLuaFixture.h"
#include "game/Resources.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lang/Log.h"

using worldtest::GameLuaFixture;

namespace {

// Loads once per path; each loaded file takes its size of texture memory.
class FakeStore : public AssetStore {
public:
    explicit FakeStore(std::map<std::string, int> sizes) : sizes_(std::move(sizes)) {}
    void load(const std::string& path, int type) override {
        if (loaded.insert(path).second) {
            memory += sizes_.count(path) != 0 ? sizes_.at(path) : 1;
            loads.push_back(path + (type == COMPO_SPRITE_SET ? " compo" : ""));
        }
    }
    void release(const std::string& path, int) override {
        if (loaded.erase(path) != 0) {
            memory -= sizes_.count(path) != 0 ? sizes_.at(path) : 1;
            unloads.push_back(path);
        }
    }
    int64_t textureMemory() const override { return memory; }

    std::set<std::string> loaded;
    std::vector<std::string> loads;
    std::vector<std::string> unloads;
    int64_t memory = 0;

private:
    std::map<std::string, int> sizes_;
};

class WarningLog : public lang::log::Listener {
public:
    WarningLog() { lang::log::addListener(this); }
    ~WarningLog() override { lang::log::removeListener(this); }
    void log(const lang::log::Record& record) override {
        lines.push_back(record.category + ": " + record.message);
    }
    std::vector<std::string> lines;
};

// The message of the engine exception that f raises.
template <class F>
std::string failureOf(F&& f) {
    try {
        f();
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "no exception";
}

const char* const MENU = "images/low/menu.json";
const char* const SHARED = "images/low/shared.json";
const char* const LEVEL = "images/low/level.json";
const char* const HOUSES = "images/low/houses.json";

const char* const SCRIPTS = R"(
imagePath = 'images'
_G.platform = {Profiles = {selectAssetProfile = function(group) return 'low' end}}
profilesLoaded = {}
function loadLoadList(profile)
    profilesLoaded[#profilesLoaded + 1] = profile
    loadlist = {low = {
        menu = {{'menu.json', 0}, {'shared.json', 0}},
        level = {{'level.json', 0}, {'shared.json', 0}, {'houses.json', 1}},
        bad = {{'x.json', 2}},
        hollow = 'nothing',
    }}
end
)";

}  // namespace

class DynamicHandlerTest : public GameLuaFixture {
protected:
    DynamicHandlerTest() {
        run(SCRIPTS);
        store = new FakeStore({{MENU, 100}, {SHARED, 40}, {LEVEL, 500}, {HOUSES, 7}});
        handler = new DynamicHandler(state, *world, std::unique_ptr<AssetStore>(store));
        world->set("DynamicHandler", handler.get());
        run("DynamicHandler:addreq({menu = {'menu'}, level = {'level'}, "
            "broken = {'menu', 'bad'}, empty = {'hollow'}})");
    }

    int count(const char* path) {
        auto it = handler->assets().find(path);
        return it == handler->assets().end() ? -1 : it->second.refCount;
    }
    bool loaded(const char* path) { return store->loaded.count(path) != 0; }
    float total() { return num("DynamicHandler:totalmemory()"); }
    float peak() { return num("DynamicHandler:maxmemory()"); }

    FakeStore* store;
    lang::Ptr<DynamicHandler> handler;
};

TEST_F(DynamicHandlerTest, RequirementsSharingAFileLoadItOnceAndFreeItWithTheLast) {
    run("DynamicHandler:load('menu')");
    EXPECT_EQ(store->loads, (std::vector<std::string>{MENU, SHARED}));
    EXPECT_EQ(str("table.concat(profilesLoaded, ',')"), "low");
    run("DynamicHandler:load('level')");
    EXPECT_EQ(store->loads,
              (std::vector<std::string>{MENU, SHARED, LEVEL, std::string(HOUSES) + " compo"}));
    EXPECT_EQ(count(SHARED), 2);
    EXPECT_EQ(total(), 647);

    run("DynamicHandler:release('menu')");
    EXPECT_FALSE(loaded(MENU));
    EXPECT_TRUE(loaded(SHARED));
    EXPECT_EQ(total(), 547);
    run("DynamicHandler:release('level')");
    EXPECT_TRUE(store->loaded.empty());
    EXPECT_EQ(total(), 0);
    EXPECT_EQ(peak(), 647);
    EXPECT_TRUE(handler->current().empty());
}

TEST_F(DynamicHandlerTest, LoadingACurrentRequirementOnlyLoadsWhatOthersQueued) {
    run("DynamicHandler:load('menu')");
    run("DynamicHandler:queueload('level')");
    EXPECT_FALSE(loaded(LEVEL));
    EXPECT_EQ(handler->loadQueue().size(), 2u);
    run("DynamicHandler:load('menu')");
    EXPECT_EQ(count(MENU), 1);
    EXPECT_EQ(count(SHARED), 2);
    EXPECT_TRUE(loaded(LEVEL));
    EXPECT_TRUE(loaded(HOUSES));
    EXPECT_TRUE(handler->loadQueue().empty());
}

TEST_F(DynamicHandlerTest, DelayedReleaseKeepsFilesUntilTheNextLoad) {
    run("DynamicHandler:load('menu')");
    run("DynamicHandler:delayrelease('menu')");
    EXPECT_EQ(count(SHARED), 0);
    EXPECT_TRUE(loaded(MENU));
    EXPECT_EQ(total(), 140);

    // The shared file goes 1, 0, 1 and is never unloaded; the menu's own goes.
    run("DynamicHandler:load('level')");
    EXPECT_EQ(count(SHARED), 1);
    EXPECT_EQ(store->unloads, std::vector<std::string>{MENU});
    EXPECT_EQ(total(), 547);
    EXPECT_EQ(peak(), 547);
}

TEST_F(DynamicHandlerTest, ClearingReleasesEverythingAtOnceOrAtTheNextLoad) {
    run("DynamicHandler:load('menu', 'level')");
    run("DynamicHandler:delayclear()");
    EXPECT_EQ(store->loaded.size(), 4u);
    EXPECT_EQ(count(SHARED), 0);
    EXPECT_TRUE(handler->current().empty());
    run("DynamicHandler:queueload('menu')");
    EXPECT_EQ(store->loaded, (std::set<std::string>{MENU, SHARED}));

    run("DynamicHandler:clear()");
    EXPECT_TRUE(store->loaded.empty());
    EXPECT_EQ(count(MENU), 0);
    EXPECT_EQ(total(), 0);
    // Clearing keeps the queue: the next load still loads what was queued.
    run("DynamicHandler:load()");
    EXPECT_EQ(store->loaded, (std::set<std::string>{MENU, SHARED}));
}

TEST_F(DynamicHandlerTest, ReloadLoadsEveryKnownFileAgainAndRemeasures) {
    run("DynamicHandler:load('menu')");
    run("DynamicHandler:queueload('level')");
    store->loads.clear();
    run("DynamicHandler:reload()");
    EXPECT_EQ(store->loaded.size(), 4u);
    EXPECT_EQ(store->loads.size(), 4u);
    EXPECT_EQ(total(), 647);
    for (const auto& entry : handler->assets()) {
        EXPECT_TRUE(entry.second.loaded) << entry.first;
    }
}

TEST_F(DynamicHandlerTest, ARequirementDeclaredTwiceCountsItsFilesTwice) {
    run("DynamicHandler:addreq({menu = {'menu', 7, 'level'}})");
    run("DynamicHandler:load('menu')");
    EXPECT_EQ(count(MENU), 2);
    EXPECT_EQ(count(SHARED), 2);
    EXPECT_EQ(count(LEVEL), -1);
    run("DynamicHandler:release('menu')");
    EXPECT_EQ(count(MENU), 0);
    EXPECT_TRUE(store->loaded.empty());
}

TEST_F(DynamicHandlerTest, MistakesInRequirementsAndLoadListsAreWarnings) {
    WarningLog log;
    run("DynamicHandler:addreq({[1] = {'menu'}})");
    run("DynamicHandler:load('nope')");
    run("DynamicHandler:release('nope')");
    run("DynamicHandler:load('empty')");
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{
                  "DynamicHandler: Invalid requirement id in dynamic asset profile, should be a "
                  "string",
                  "DynamicHandler: Asset requirements missing for nope",
                  "DynamicHandler: Asset requirements missing for nope",
                  "DynamicHandler: Load group hollow is empty for profile low"}));
    EXPECT_EQ(handler->current(), std::set<std::string>{"empty"});
    EXPECT_TRUE(store->loaded.empty());
}

TEST_F(DynamicHandlerTest, AnUnknownFileTypeFailsWithoutChangingAnyCount) {
    EXPECT_NE(failureOf([&] {
                  run("DynamicHandler:load('broken')");
              }).find("Unrecognized file type in load group bad in low loadlist: [ x.json, 2 ]"),
              std::string::npos);
    EXPECT_EQ(count(MENU), -1);
    EXPECT_TRUE(handler->current().empty());
    EXPECT_TRUE(store->loaded.empty());
}

// The native creates the handler over the world's registry.
class DynamicHandlerNativeTest : public GameLuaFixture {
protected:
    DynamicHandlerNativeTest() : resources(new game::Resources(context)) {
        savedRoot_ = io::bundleRoot();
        io::setBundleRoot(bundle.str() + "/");
        bundle.write("art/hd/sky.png", "image");
        bundle.write("art/hd/sky.json",
                     R"({"meta": {"app": "Adobe Animate", "image": "sky.png"},
                         "frames": [{"filename": "cloud",
                                     "frame": {"x": 0, "y": 0, "w": 4, "h": 2}}]})");
        GameLua::Services services;
        services.context = context;
        services.resources = resources.get();
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        run(R"(imagePath = 'art'
            _G.platform = {Profiles = {selectAssetProfile = function() return 'hd' end}}
            function loadLoadList() loadlist = {hd = {sky = {{'sky.json', 0}}}} end)");
    }
    ~DynamicHandlerNativeTest() override {
        world.reset();
        io::setBundleRoot(savedRoot_);
    }

    TempDir bundle;
    lang::Ptr<game::Resources> resources;

private:
    std::string savedRoot_;
};

TEST_F(DynamicHandlerNativeTest, PublishedOnceAndLoadsThroughTheRegistry) {
    GameDynamicAssets assets(*world);
    run("createDynamicHandler('Assets')");
    EXPECT_NE(failureOf([&] {
                  run("createDynamicHandler('Other')");
              }).find("Dynamic asset handler already initialized"),
              std::string::npos);
    EXPECT_TRUE(truth("Other == nil and Assets.gamelua == this"));
    ASSERT_NE(assets.handler(), nullptr);
    EXPECT_EQ(assets.handler()->imagePath(), "art");

    run("Assets:addreq({sky = {'sky'}}); Assets:load('sky')");
    EXPECT_NE(resources->getSprite("cloud"), nullptr);
    run("Assets:release('sky')");
    EXPECT_EQ(resources->getSprite("cloud"), nullptr);
}
