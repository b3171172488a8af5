#pragma once

#include <string>

namespace framework {
class OSInterface;
}
namespace lua {
class LuaTable;
}

/// What the game world needs from the application that owns it: the zoom, the
/// quit permission, audio resumption and the pointer input.
class GameHost {
public:
    virtual ~GameHost() = default;

    /// Audio output may be started again (the application is active).
    virtual bool mayResumeAudio() const = 0;
    virtual void setSafeToQuit(bool safe) = 0;
    virtual bool isZooming() const = 0;
    virtual float getZoom() const = 0;
    virtual float getPreviousZoom() const = 0;
    /// The current, target and previous zoom all become scale.
    virtual void setWorldZoom(float scale) = 0;
    /// Writes `touches` and `touchcount` into the world's table, each position
    /// moved by the offsets.
    virtual void publishTouches(const lua::LuaTable& world, float offsetX, float offsetY) = 0;
    /// The normalised join of the base path, the data path and relative.
    virtual std::string resolvePath(const std::string& relative) const = 0;
    /// Animates the zoom to the next of `steps` zooms; the step index reached.
    virtual int toggleZoomSteps(float min, float max, int steps) = 0;
    /// Ends the main loop after the current frame.
    virtual void requestExit(int code) = 0;
    /// Whether a cloud service is busy (the game stays paused meanwhile).
    virtual bool isCloudBusy() const = 0;
    /// Switches the cloud's remote notifications service, when there is one.
    virtual void setRemoteNotificationsEnabled(bool enabled) = 0;
    /// The window and desktop; null without one.
    virtual framework::OSInterface* osInterface() const = 0;
};
