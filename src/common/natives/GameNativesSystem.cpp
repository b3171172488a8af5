// Natives that reach the system: notifications, programs, the device, the
// window, the clipboard, URL fetches and the updater.

#include <thread>

#include "common/natives/GameNatives.h"
#include "common/world/GameHost.h"
#include "common/world/GameLua.h"
#include "framework/OSInterface.h"
#include "io/BasicFileSystem.h"
#include "io/InputStream.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"
#include "net/HttpFileInputStream.h"
#include "pf/DeviceInfo.h"
#include "pf/Launcher.h"
#include "pf/Process.h"

// The update check's answer, shared with the thread that waits for the updater.
struct GameNatives::UpdateCheck {
    std::mutex lock;
    bool delivered = false;
    bool available = false;
};

namespace {

framework::OSInterface* osOf(GameLua& world) {
    GameHost* host = world.services().host;
    return host ? host->osInterface() : nullptr;
}

}  // namespace

void GameNatives::registerSystemNatives() {
    world_.bindMethod("setNotificationsEnabled", this, &GameNatives::setNotificationsEnabled);
    world_.bindMethod("addNotificationAfter", this, &GameNatives::addNotificationAfter);
    world_.bindMethod("removeNotification", this, &GameNatives::removeNotification);
    world_.bindMethod("removeAllNotifications", this, &GameNatives::removeAllNotifications);
    world_.bindMethod("setNotificationCallback", this, &GameNatives::setNotificationCallback);
    world_.bindMethod("openProgram", this, &GameNatives::openProgram);
    world_.bindMethod("canOpenProgram", this, &GameNatives::canOpenProgram);
    world_.bindMethod("getOSName", this, &GameNatives::getOSName);
    world_.bindMethod("getOSVersion", this, &GameNatives::getOSVersion);
    world_.bindMethod("getModel", this, &GameNatives::getModel);
    world_.bindMethod("getManufacturer", this, &GameNatives::getModel);
    world_.bindMethod("captureMouse", this, &GameNatives::captureMouse);
    world_.bindMethod("isMouseCaptured", this, &GameNatives::isMouseCaptured);
    world_.bindMethod("setFullScreenMode", this, &GameNatives::setFullScreenMode);
    world_.bindMethod("setResolution", this, &GameNatives::setResolution);
    world_.bindMethod("isInFullScreenMode", this, &GameNatives::isInFullScreenMode);
    world_.bindMethod("setMousePosition", this, &GameNatives::setMousePosition);
    world_.bindMethod("getClipboardText", this, &GameNatives::getClipboardText);
    world_.bindMethod("checkForUpdates", this, &GameNatives::checkForUpdates);
    world_.bindMethod("callVersionUpdater", this, &GameNatives::callVersionUpdater);
    world_.bindMethod("native_startURLThread", this, &GameNatives::startURLThread);
}

void GameNatives::setNotificationsEnabled(bool enabled) {
    if (!enabled) {
        notifications_->cancelAll();
    }
    if (GameHost* host = world_.services().host) {
        host->setRemoteNotificationsEnabled(enabled);
    }
}

bool GameNatives::addNotificationAfter(std::string name, float seconds, std::string text) {
    lua::LuaTable settings = world_.getTable("settings");
    if (settings.isBoolean("notificationsEnabled") &&
        !settings.getBoolean("notificationsEnabled")) {
        return false;
    }
    return notifications_->schedule(name, seconds, text);
}

bool GameNatives::removeNotification(std::string name) {
    return notifications_->cancel(name);
}

void GameNatives::removeAllNotifications() {
    notifications_->cancelAll();
}

void GameNatives::localNotificationReceived(const std::string& name) {
    if (!world_.isActive()) {
        lua::LuaTable event(*world_.getState());
        event.set("type", name);
        event.set("textString", "");
        world_.callHook("notifyEventManager", "EID_ANALYTICS_PUSH_NOTIFICATION_WORKED", event);
    }
    if (!notificationCallback_.empty()) {
        world_.callHook(notificationCallback_.c_str(), name);
    }
}

bool GameNatives::openProgram(std::string path) {
    lang::Ptr<pf::Launcher>(new pf::Launcher())->openURL(path);
    return true;
}

bool GameNatives::canOpenProgram(std::string path) {
    return io::exists(path) && !io::isDirectory(path);
}

std::string GameNatives::getOSName() {
    return lang::Ptr<pf::DeviceInfo>(new pf::DeviceInfo())->getPlatformName();
}

std::string GameNatives::getOSVersion() {
    return lang::Ptr<pf::DeviceInfo>(new pf::DeviceInfo())->getOSVersion();
}

std::string GameNatives::getModel() {
    return lang::Ptr<pf::DeviceInfo>(new pf::DeviceInfo())->getDeviceModel();
}

void GameNatives::captureMouse(bool captured) {
    if (framework::OSInterface* os = osOf(world_)) {
        os->setMouseCaptured(captured);
    }
}

bool GameNatives::isMouseCaptured() {
    framework::OSInterface* os = osOf(world_);
    return os && os->isMouseCaptured();
}

void GameNatives::setFullScreenMode(bool fullscreen) {
    if (framework::OSInterface* os = osOf(world_)) {
        os->setFullscreen(fullscreen);
    }
}

void GameNatives::setResolution(float width, float height) {
    if (framework::OSInterface* os = osOf(world_)) {
        os->setWindowSize(lang::truncateToInt(width), lang::truncateToInt(height));
    }
}

bool GameNatives::isInFullScreenMode() {
    framework::OSInterface* os = osOf(world_);
    return os && os->isFullscreen();
}

bool GameNatives::setMousePosition(float x, float y) {
    framework::OSInterface* os = osOf(world_);
    return os && os->setMousePosition(lang::truncateToInt(x), lang::truncateToInt(y));
}

std::string GameNatives::getClipboardText() {
    framework::OSInterface* os = osOf(world_);
    return os ? os->getClipboardText() : std::string();
}

void GameNatives::checkForUpdates() {
    auto check = std::make_shared<UpdateCheck>();
    updateCheck_ = check;
    std::string path = updaterPath_.empty() ? pf::executableFolder() + "/updater" : updaterPath_;
    int timeout = updaterTimeoutMillis_;
    std::thread([check, path, timeout] {
        int code = -1;
        if (pf::runProgram(path, {"/justcheck"}, timeout, code) == pf::ProgramEnd::EXITED) {
            std::lock_guard<std::mutex> hold(check->lock);
            check->available = code == 0;
            check->delivered = true;
        }
    }).detach();
}

void GameNatives::callVersionUpdater() {
    std::string path = updaterPath_.empty() ? pf::executableFolder() + "/updater" : updaterPath_;
    if (!pf::startProgram(path, {"/checknow"})) {
        updateCheck_.reset();
    }
}

void GameNatives::deliverUpdaterResult() {
    std::shared_ptr<UpdateCheck> check = updateCheck_;
    if (!check) {
        return;
    }
    bool available;
    {
        std::lock_guard<std::mutex> hold(check->lock);
        if (!check->delivered) {
            return;
        }
        available = check->available;
    }
    updateCheck_.reset();
    world_.callHook("updateAvailable", available);
}

void GameNatives::startURLThread(std::string url) {
    std::shared_ptr<std::mutex> lock = urlLock_;
    std::shared_ptr<std::map<std::string, std::string>> results = urlResults_;
    std::thread([lock, results, url] {
        try {
            lang::Ptr<net::HttpFileInputStream> stream = new net::HttpFileInputStream(url);
            std::string body = io::readAllAsString(*stream);
            std::lock_guard<std::mutex> hold(*lock);
            (*results)[url] = body;
        } catch (const std::exception&) {
            // A failed request delivers nothing.
        }
    }).detach();
}

void GameNatives::deliverRequests() {
    std::map<std::string, std::string> finished;
    {
        std::lock_guard<std::mutex> hold(*urlLock_);
        finished.swap(*urlResults_);
    }
    for (const auto& entry : finished) {
        world_.callHook("nativecallback_urlResponse", entry.first, entry.second);
    }
    notifications_->update();
}
