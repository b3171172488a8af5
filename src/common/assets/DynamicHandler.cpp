#include "common/assets/DynamicHandler.h"

#include <algorithm>

#include "game/Resources.h"
#include "gr/Context.h"
#include "io/PathName.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"
#include "lua/StackGuard.h"

namespace {

const char* const CATEGORY = "DynamicHandler";

class ResourceAssetStore : public AssetStore {
public:
    ResourceAssetStore(game::Resources* resources, gr::Context* context)
        : resources_(resources), context_(context) {}

    void load(const std::string& path, int type) override {
        if (!resources_) {
            return;
        }
        if (type == COMPO_SPRITE_SET) {
            resources_->createCompoSpriteSet(path, false);
        } else {
            resources_->createSpriteSheet(path, false);
        }
    }
    void release(const std::string& path, int type) override {
        if (!resources_) {
            return;
        }
        if (type == COMPO_SPRITE_SET) {
            resources_->releaseCompoSpriteSet(path);
        } else {
            resources_->releaseSpriteSheet(path, false);
        }
    }
    int64_t textureMemory() const override { return context_ ? context_->textureMemory() : 0; }

private:
    game::Resources* resources_;
    gr::Context* context_;
};

}  // namespace

std::unique_ptr<AssetStore> makeResourceAssetStore(game::Resources* resources,
                                                   gr::Context* context) {
    return std::make_unique<ResourceAssetStore>(resources, context);
}

DynamicHandler::DynamicHandler(lua::LuaState& state, const lua::LuaTable& world,
                               std::unique_ptr<AssetStore> store)
    : lua::LuaObject(state),
      world_(world),
      store_(std::move(store)),
      imagePath_(world.isString("imagePath") ? world.getString("imagePath") : std::string()) {
    set("gamelua", &world_);
    addMethod("addreq", this, &DynamicHandler::addRequirements);
    addMethod("load", this, &DynamicHandler::loadRequirements);
    addMethod("queueload", this, &DynamicHandler::queueRequirements);
    addMethod("release", this, &DynamicHandler::releaseRequirements);
    addMethod("delayrelease", this, &DynamicHandler::delayReleaseRequirements);
    addMethod("clear", this, &DynamicHandler::clearAll);
    addMethod("delayclear", this, &DynamicHandler::delayClearAll);
    addMethod("reload", this, &DynamicHandler::reloadAll);
    addMethod("printloaded", this, &DynamicHandler::printLoaded);
    addMethod("totalmemory", this, &DynamicHandler::getTotalMemory);
    addMethod("maxmemory", this, &DynamicHandler::getMaxMemory);
}

DynamicHandler::~DynamicHandler() = default;

int DynamicHandler::firstArgument(lua::LuaState& state) const {
    lua_State* L = state.getLua();
    if (lua_gettop(L) < 1) {
        return 1;
    }
    push();
    bool receiver = lua_rawequal(L, 1, -1) != 0;
    lua_pop(L, 1);
    return receiver ? 2 : 1;
}

std::vector<std::string> DynamicHandler::ids(lua::LuaState& state) const {
    std::vector<std::string> result;
    for (int i = firstArgument(state); i <= state.getTop(); ++i) {
        result.push_back(state.toString(i));
    }
    return result;
}

int DynamicHandler::addRequirements(lua::LuaState* state) {
    lua::LuaTable table = state->toTable(firstArgument(*state));
    lua_State* L = state->getLua();
    lua::StackGuard guard(L);
    table.push();
    const int at = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, at)) {
        if (lua_type(L, -2) == LUA_TSTRING) {
            std::string id(lua_tostring(L, -2), lua_objlen(L, -2));
            declareRequirement(id, lua_istable(L, -1) ? state->toTable(-1) : lua::LuaTable());
        } else {
            lang::log::write(CATEGORY, __FILE__, "DynamicHandler::addRequirements", __LINE__,
                             lang::log::WARNING,
                             "Invalid requirement id in dynamic asset profile, should be a string");
        }
        lua_pop(L, 1);
    }
    return 0;
}

void DynamicHandler::declareRequirement(const std::string& id, const lua::LuaTable& groups) {
    std::vector<std::string>& list = requirements_[id];
    if (!groups.isEmpty()) {
        for (const std::string& group : lua::stringsOf(groups)) {
            list.push_back(group);
        }
    }
}

int DynamicHandler::loadRequirements(lua::LuaState* state) {
    for (const std::string& id : ids(*state)) {
        addToCurrent(id);
    }
    releaseUnreferenced();
    loadQueued();
    return 0;
}

int DynamicHandler::queueRequirements(lua::LuaState* state) {
    for (const std::string& id : ids(*state)) {
        addToCurrent(id);
    }
    releaseUnreferenced();
    return 0;
}

int DynamicHandler::releaseRequirements(lua::LuaState* state) {
    for (const std::string& id : ids(*state)) {
        removeFromCurrent(id, false);
    }
    return 0;
}

int DynamicHandler::delayReleaseRequirements(lua::LuaState* state) {
    for (const std::string& id : ids(*state)) {
        removeFromCurrent(id, true);
    }
    return 0;
}

int DynamicHandler::clearAll(lua::LuaState*) {
    for (auto& entry : assets_) {
        entry.second.refCount = 0;
        releaseFile(entry.first, entry.second);
    }
    current_.clear();
    return 0;
}

int DynamicHandler::delayClearAll(lua::LuaState*) {
    for (auto& entry : assets_) {
        entry.second.refCount = 0;
    }
    current_.clear();
    return 0;
}

int DynamicHandler::reloadAll(lua::LuaState*) {
    for (auto& entry : assets_) {
        releaseFile(entry.first, entry.second);
    }
    for (auto& entry : assets_) {
        loadFile(entry.first, entry.second);
    }
    return 0;
}

int DynamicHandler::printLoaded(lua::LuaState*) {
    return 0;
}

int DynamicHandler::getTotalMemory(lua::LuaState* state) {
    state->pushNumber(static_cast<float>(totalMemory_));
    return 1;
}

int DynamicHandler::getMaxMemory(lua::LuaState* state) {
    state->pushNumber(static_cast<float>(maxMemory_));
    return 1;
}

std::string DynamicHandler::profileFor(const std::string& group) {
    lua::LuaState& state = *getState();
    lua::StackGuard guard(state.getLua());
    lua::LuaTable profiles = state.getGlobals().getTable("platform").getTable("Profiles");
    profiles.pushField("selectAssetProfile");
    state.pushString(group);
    state.call(1, 1);
    return state.toString(-1);
}

lua::LuaTable DynamicHandler::loadGroup(const std::string& profile, const std::string& group) {
    lua::callHook(world_, "loadLoadList", profile);
    if (world_.isTable("loadlist")) {
        lua::LuaTable lists = world_.getTable("loadlist");
        if (lists.isTable(profile) && lists.getTable(profile).isTable(group)) {
            return lists.getTable(profile).getTable(group);
        }
    }
    lang::log::write(CATEGORY, __FILE__, "DynamicHandler::loadGroup", __LINE__, lang::log::WARNING,
                     "Load group %s is empty for profile %s", group.c_str(), profile.c_str());
    return lua::LuaTable();
}

std::vector<DynamicHandler::File> DynamicHandler::resolve(const std::string& group) {
    const std::string profile = profileFor(group);
    const lua::LuaTable list = loadGroup(profile, group);
    std::vector<File> files;
    for (int i = 1; !list.isEmpty() && list.isTable(i); ++i) {
        const lua::LuaTable entry = list.getTable(i);
        const std::string file = entry.getString(1);
        const int type = lang::truncateToInt(entry.getNumber(2));
        if (type != AssetStore::SPRITE_SHEET && type != AssetStore::COMPO_SPRITE_SET) {
            throw lang::Exception(lang::Format(
                "Unrecognized file type in load group {0} in {1} loadlist: [ {2}, {3} ]", group,
                profile, file, type));
        }
        const std::string dir = io::PathName(imagePath_, profile).toString();
        files.push_back(File{io::PathName(dir, file).toString(), type});
    }
    return files;
}

void DynamicHandler::addToCurrent(const std::string& id) {
    auto requirement = requirements_.find(id);
    if (requirement == requirements_.end()) {
        lang::log::write(CATEGORY, __FILE__, "DynamicHandler::addToCurrent", __LINE__,
                         lang::log::WARNING, "Asset requirements missing for %s", id.c_str());
        return;
    }
    if (current_.count(id) != 0) {
        return;
    }
    // Every group is resolved before any count changes, so that a bad load
    // list leaves the counts as they were.
    const std::vector<std::string> groups = requirement->second;
    std::vector<File> files;
    for (const std::string& group : groups) {
        std::vector<File> more = resolve(group);
        files.insert(files.end(), more.begin(), more.end());
    }
    for (const File& file : files) {
        AssetInfo& info = assets_[file.path];
        info.type = file.type;
        if (info.refCount++ == 0) {
            loadQueue_.push_back(file.path);
        }
    }
    current_.insert(id);
}

void DynamicHandler::removeFromCurrent(const std::string& id, bool delayed) {
    auto requirement = requirements_.find(id);
    if (requirement == requirements_.end()) {
        lang::log::write(CATEGORY, __FILE__, "DynamicHandler::removeFromCurrent", __LINE__,
                         lang::log::WARNING, "Asset requirements missing for %s", id.c_str());
        return;
    }
    if (current_.count(id) == 0) {
        return;
    }
    const std::vector<std::string> groups = requirement->second;
    std::vector<File> files;
    for (const std::string& group : groups) {
        std::vector<File> more = resolve(group);
        files.insert(files.end(), more.begin(), more.end());
    }
    for (const File& file : files) {
        AssetInfo& info = assets_[file.path];
        // A load list changed since the add must not drive a count below 0.
        if (info.refCount > 0 && --info.refCount == 0 && !delayed) {
            releaseFile(file.path, info);
        }
    }
    current_.erase(id);
}

void DynamicHandler::releaseFile(const std::string& path, AssetInfo& info) {
    store_->release(path, info.type);
    if (info.loaded) {
        totalMemory_ -= info.memory;
        info.loaded = false;
    }
}

void DynamicHandler::releaseUnreferenced() {
    for (auto& entry : assets_) {
        if (entry.second.refCount == 0) {
            releaseFile(entry.first, entry.second);
        }
    }
}

void DynamicHandler::loadFile(const std::string& path, AssetInfo& info) {
    const int64_t before = store_->textureMemory();
    store_->load(path, info.type);
    if (!info.loaded) {
        info.memory = static_cast<int>(store_->textureMemory() - before);
        info.loaded = true;
        totalMemory_ += info.memory;
        maxMemory_ = std::max(maxMemory_, totalMemory_);
    }
}

void DynamicHandler::loadQueued() {
    // One at a time: a file that fails to load leaves the rest queued.
    while (!loadQueue_.empty()) {
        const std::string path = loadQueue_.front();
        loadQueue_.erase(loadQueue_.begin());
        loadFile(path, assets_[path]);
    }
}
