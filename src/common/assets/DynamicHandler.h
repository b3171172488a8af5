#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lua/LuaObject.h"

namespace game {
class Resources;
}
namespace gr {
class Context;
}

/// Where the handler's files are loaded and released, and the renderer's
/// texture-memory counter it measures them with.
class AssetStore {
public:
    enum Type { SPRITE_SHEET = 0, COMPO_SPRITE_SET = 1 };
    virtual ~AssetStore() = default;
    /// Keeps what is loaded already.
    virtual void load(const std::string& path, int type) = 0;
    /// Nothing happens for a file that is not loaded.
    virtual void release(const std::string& path, int type) = 0;
    virtual int64_t textureMemory() const = 0;
};

/// The store over a resource registry and its context; either may be null,
/// which loads nothing and measures 0.
std::unique_ptr<AssetStore> makeResourceAssetStore(game::Resources* resources,
                                                   gr::Context* context);

/// Loads and frees sprite sheets and composite-sprite sets by purpose. The
/// scripts declare requirements (lists of load groups) and say which are in
/// use; each file is counted by the requirements in use that name it, loaded
/// when its count leaves 0 and released when nothing needs it any more. The
/// texture memory each file takes is measured around its load.
class DynamicHandler : public lua::LuaObject {
public:
    struct AssetInfo {
        int refCount = 0;
        int type = 0;
        int memory = 0;
        bool loaded = false;
    };

    /// world is the scripts' environment: it has imagePath, loadLoadList and
    /// loadlist, and becomes the field "gamelua".
    DynamicHandler(lua::LuaState& state, const lua::LuaTable& world,
                   std::unique_ptr<AssetStore> store);
    ~DynamicHandler() override;

    const std::map<std::string, AssetInfo>& assets() const { return assets_; }
    const std::set<std::string>& current() const { return current_; }
    const std::vector<std::string>& loadQueue() const { return loadQueue_; }
    int totalMemory() const { return totalMemory_; }
    int maxMemory() const { return maxMemory_; }
    const std::string& imagePath() const { return imagePath_; }

private:
    struct File {
        std::string path;
        int type;
    };

    // Script methods; the handler is the receiver.
    int addRequirements(lua::LuaState* state);
    int loadRequirements(lua::LuaState* state);
    int queueRequirements(lua::LuaState* state);
    int releaseRequirements(lua::LuaState* state);
    int delayReleaseRequirements(lua::LuaState* state);
    int clearAll(lua::LuaState* state);
    int delayClearAll(lua::LuaState* state);
    int reloadAll(lua::LuaState* state);
    int printLoaded(lua::LuaState* state);
    int getTotalMemory(lua::LuaState* state);
    int getMaxMemory(lua::LuaState* state);

    /// The stack slot of the first argument after the receiver.
    int firstArgument(lua::LuaState& state) const;
    std::vector<std::string> ids(lua::LuaState& state) const;
    void declareRequirement(const std::string& id, const lua::LuaTable& groups);
    std::vector<File> resolve(const std::string& group);
    std::string profileFor(const std::string& group);
    lua::LuaTable loadGroup(const std::string& profile, const std::string& group);
    void addToCurrent(const std::string& id);
    void removeFromCurrent(const std::string& id, bool delayed);
    void releaseFile(const std::string& path, AssetInfo& info);
    void releaseUnreferenced();
    void loadFile(const std::string& path, AssetInfo& info);
    void loadQueued();

    lua::LuaTable world_;
    std::unique_ptr<AssetStore> store_;
    std::string imagePath_;
    std::map<std::string, std::vector<std::string>> requirements_;
    std::map<std::string, AssetInfo> assets_;
    int totalMemory_ = 0;
    int maxMemory_ = 0;
    std::set<std::string> current_;
    std::vector<std::string> loadQueue_;
};
