#include "common/world/GameLua.h"

#include "common/assets/GameDynamicAssets.h"
#include "common/draw/GameDrawing.h"
#include "common/level/GameLevels.h"
#include "common/level/GameThemes.h"
#include "common/natives/GameNatives.h"
#include "common/save/GameSaves.h"
#include "common/ui/GameOverlays.h"
#include "common/ui/GameTexts.h"
#include "common/world/GameHost.h"
#include "common/world/WorldParticles.h"
#include "common/world/special/GamePortals.h"
#include "gr/Context.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"

namespace {

// Scripts loaded into the world reach the standard libraries through _G.
void inheritGlobals(lua::LuaState& state, const lua::LuaTable& self) {
    lua_State* L = state.getLua();
    lua::StackGuard guard(L);
    self.push();
    lua_newtable(L);
    state.getGlobals().push();
    lua_setfield(L, -2, "__index");
    lua_setmetatable(L, -2);
}

}  // namespace

GameLua::GameLua(lua::LuaState& state, const Services& services)
    : lua::LuaObject(state), services_(services), objectsTable_(state) {
    inheritGlobals(state, *this);
    b2_maxTranslation = 2.0f;
    makePhysicsWorld(b2Vec2(0, 20));
    setUpCollisionRules();
    set("objects", &objectsTable_);
    // The topics group the natives in --list-natives and the scripting guide.
    setNativeTopic("Objects");
    registerObjectNatives();
    setNativeTopic("Bodies and forces");
    registerBodyNatives();
    setNativeTopic("Physics");
    registerPhysicsNatives();
    setNativeTopic("Joints");
    registerJointNatives();
    setNativeTopic("Special objects");
    registerSpecialNatives();
    setNativeTopic("Game shell");
    registerShellNatives();
    clearTrajectories();
    setNativeTopic("Levels");
    levels_ = std::make_unique<GameLevels>(*this);
    setNativeTopic("Themes");
    themes_ = std::make_unique<GameThemes>(*this);
    setNativeTopic("Drawing");
    drawing_ = std::make_unique<GameDrawing>(*this);
    setNativeTopic("Saved data");
    saves_ = std::make_unique<GameSaves>(*this);
    setNativeTopic("Interface texts and boxes");
    texts_ = std::make_unique<GameTexts>(*this);
    natives_ = std::make_unique<GameNatives>(*this);
    setNativeTopic("Portals");
    portals_ = std::make_unique<GamePortals>(*this);
    setNativeTopic("Text fields and spotlight");
    overlays_ = std::make_unique<GameOverlays>(*this);
    setNativeTopic("Assets and debug console");
    dynamicAssets_ = std::make_unique<GameDynamicAssets>(*this);
    setNativeTopic("");
    saves_->loadSavedTables();
}

GameLua::~GameLua() {
    // Bodies first: their user data points into the object index.
    world_.reset();
}

std::string GameLua::resolvePath(const std::string& relative) const {
    return services_.host ? services_.host->resolvePath(relative) : relative;
}

GameObject* GameLua::findObject(const std::string& name) const {
    auto it = objects_.find(name);
    return it == objects_.end() ? nullptr : it->second.get();
}

void GameLua::bindLevelTables() {
    worldTable_ = lua::tableOrEmpty(objectsTable_, "world");
    deadList_ = lua::tableOrEmpty(*this, "deadBlocks");
}

void GameLua::beginLevelLoad(const char* native) {
    // Bodies cannot go while the physics step runs (a contact hook).
    if (world_->IsLocked()) {
        throw lang::Exception(lang::Format("{0} cannot be called during a physics step", native));
    }
    tracked_.clear();
    accumulator_ = 0;
    gameTime_ = 0;
    levelLoading_ = true;
}

void GameLua::reindexLevelTables() {
    if (!objectsTable_.isTable("world") || !isTable("deadBlocks") || !isTable("blockTable")) {
        throw lang::Exception(
            lang::Format("objects.world, deadBlocks and blockTable must be tables"));
    }
    worldTable_ = objectsTable_.getTable("world");
    deadList_ = getTable("deadBlocks");
}

void GameLua::makePhysicsWorld(const b2Vec2& gravity) {
    world_ = std::make_unique<b2World>(gravity);
    world_->SetAllowSleeping(true);
    world_->SetContactFilter(this);
    world_->SetContactListener(this);
}

void GameLua::renewEmptyWorld() {
    // The broad-phase tree keeps the shape of every body it ever held, and its
    // proxy order decides the order of contacts: a level played after another
    // would come out differently from the same level played first.
    if (world_->GetBodyCount() == 0 && !world_->IsLocked()) {
        makePhysicsWorld(world_->GetGravity());
    }
}

void GameLua::resetWorld() {
    b2_maxTranslation = 2.0f;
    destroyAllObjects();
    renewEmptyWorld();
    if (services_.particles) {
        services_.particles->reset();
    }
    clearTrajectories();
}

void GameLua::destroyAllObjects() {
    for (auto& entry : objects_) {
        if (entry.second->body) {
            world_->DestroyBody(entry.second->body);
        }
    }
    objects_.clear();
    ++removals_;
    joints_.clear();
    destroyLinks_.clear();
    drawOrder_.clear();
    tracked_.clear();
    // Pairs waiting to be welded named bodies that are gone now.
    glueQueue_.clear();
    portals_->clear();
}

bool GameLua::isLiveContact(const GameObject& a, const GameObject& b) const {
    return !levelLoading_ && !editing_ && hasTableIn(worldTable_, a.name) &&
           hasTableIn(worldTable_, b.name);
}

void GameLua::removeAllObjects() {
    while (!objects_.empty()) {
        removeObject(objects_.begin()->first);
    }
}

void GameLua::markDead(GameObject& object, const lua::LuaTable& table) {
    if (!deadList_.isEmpty()) {
        deadList_.set(object.name, &table);
    }
}

bool GameLua::hasTableIn(const lua::LuaTable& table, const std::string& name) const {
    return !table.isEmpty() && table.isTable(name);
}

void GameLua::checkUnlocked(const char* native) const {
    // Bodies and joints cannot change while the physics step runs (contact hooks).
    if (world_->IsLocked()) {
        throw lua::LuaException(lang::Format("{0} cannot be called during a physics step{1}",
                                             native, getState()->getCallStack()));
    }
}
