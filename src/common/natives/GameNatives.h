#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "lua/LuaTable.h"
#include "pf/LocalNotifications.h"

class GameLua;
namespace lua {
class LuaState;
}

/// The scripts' natives for the system around the game: files and folders,
/// time, notifications, the window, the clipboard, URL fetches, the updater
/// and the services that do nothing on this platform.
class GameNatives : public pf::LocalNotificationsListener {
public:
    explicit GameNatives(GameLua& world);
    ~GameNatives();

    /// World update step: finished URL requests and fired notifications.
    void deliverRequests();
    /// World update step: the updater's answer, once.
    void deliverUpdaterResult();
    /// The updater's time limit; tests shorten it.
    void setUpdaterTimeout(int milliseconds) { updaterTimeoutMillis_ = milliseconds; }
    /// The program asked about updates ("updater" beside the executable).
    void setUpdaterPath(const std::string& path) { updaterPath_ = path; }

    void localNotificationReceived(const std::string& name) override;

private:
    struct UpdateCheck;

    void registerFileNatives();
    void registerTimeNatives();
    void registerSystemNatives();
    void registerIdleNatives();

    // Files, folders, tables (GameNatives.cpp).
    void saveParticleFile(std::string name);
    void setParticleEditorActive(bool) {}
    void createDirectory(std::string path);
    bool checkDirectory(std::string path);
    lua::LuaTable getDirectoryFileList(std::string pattern);
    void removeParticleFile(std::string name);
    std::string sumIntegerTable(lua::LuaTable table);
    void setOffsetedViewport(float x, float y);
    void getCurrentLocale();
    void setChannelCountLimit(float channel, float count);
    void printGlobals();
    std::string exportLuaTableAsJSON(std::string name);
    void importJSONToLuaTable(std::string text, std::string name);
    void reloadIngameSprites();

    // Time (GameNativesTime.cpp).
    lua::LuaTable getCurrentTime();
    int getTimeDifference(lua::LuaState* state);
    int getTimeDifferenceInSeconds(lua::LuaState* state);
    int toNewTimeFormat(lua::LuaState* state);

    // Notifications, programs, the device and the window (GameNativesSystem.cpp).
    void setNotificationsEnabled(bool enabled);
    bool addNotificationAfter(std::string name, float seconds, std::string text);
    bool removeNotification(std::string name);
    void removeAllNotifications();
    void setNotificationCallback(std::string name) { notificationCallback_ = name; }
    bool openProgram(std::string path);
    bool canOpenProgram(std::string path);
    std::string getOSName();
    std::string getOSVersion();
    std::string getModel();
    void captureMouse(bool captured);
    bool isMouseCaptured();
    void setFullScreenMode(bool fullscreen);
    void setResolution(float width, float height);
    bool isInFullScreenMode();
    bool setMousePosition(float x, float y);
    std::string getClipboardText();
    void checkForUpdates();
    void callVersionUpdater();
    void startURLThread(std::string url);

    GameLua& world_;
    lang::Ptr<pf::LocalNotifications> notifications_;
    std::string notificationCallback_;
    std::string updaterPath_;
    int updaterTimeoutMillis_ = 10000;
    std::shared_ptr<UpdateCheck> updateCheck_;
    // URL answers by URL, handed over from the request threads.
    std::shared_ptr<std::mutex> urlLock_;
    std::shared_ptr<std::map<std::string, std::string>> urlResults_;
};
