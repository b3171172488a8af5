#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/app/DevSources.h"
#include "common/app/ReloadErrorView.h"

class GameLua;
namespace gr {
class Context;
}
namespace pf {
class FolderWatcher;
}

/// Hot reload of a development game: on the reload key or when a file below
/// the sources' scripts/, levels/ or particles/ changes, the changed sources
/// are sealed into the running game's data folder and the game scripts run
/// again, between two hooks of the scripts (scriptsReloading before, which
/// hands over what to keep, and scriptsReloaded after, which restarts what the
/// game wants restarted). A set of scripts that does not compile is not
/// written; one that fails while it runs is taken back whole, and the last
/// good one goes on. The error stays on screen until a reload succeeds.
class HotReload {
public:
    /// How long the sources must be quiet before a change reloads.
    static constexpr int64_t QUIET_MILLIS = 250;

    /// world: the game's script world; dataFolder: its bundle. watch: follow
    /// the source folders (throws lang::Exception when the system refuses).
    HotReload(const DevSources& sources, GameLua& world, const std::string& dataFolder, bool watch);
    ~HotReload();
    HotReload(const HotReload&) = delete;
    HotReload& operator=(const HotReload&) = delete;

    /// The reload key: the next poll reloads.
    void request() { requested_ = true; }
    /// Once a frame, before the world's update: reloads when asked to or when
    /// a source changed and has been quiet since. Never blocks on the watcher.
    void poll(int64_t nowMillis);
    /// Reloads now; false when it failed (the error is then shown).
    bool reload() { return reload(Trigger::KEY); }

    /// The error of the last reload; empty when it succeeded.
    const std::string& error() const { return errorView_.text(); }
    /// The files the last reload sealed, below the sources folder.
    const std::vector<std::string>& lastResealed() const { return resealed_; }
    void draw(gr::Context& context) const { errorView_.draw(context); }

private:
    /// A saved source whose sealed copy already holds it (the level editor
    /// seals what it saves) is no reason to reload; the key always is.
    enum class Trigger { KEY, CHANGE };
    enum class Outcome { RELOADED, FAILED, NOTHING_CHANGED };

    bool reload(Trigger trigger);
    Outcome resealAndRun(Trigger trigger);
    bool isSource(const std::string& path) const;

    DevSources sources_;
    GameLua& world_;
    std::string dataFolder_;
    std::unique_ptr<pf::FolderWatcher> watcher_;
    bool requested_ = false;  // by the key
    bool changed_ = false;    // by the watcher
    std::vector<std::string> resealed_;
    ReloadErrorView errorView_;
};
