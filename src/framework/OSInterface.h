#pragma once

#include <string>
#include <vector>

#include "framework/LaunchOptions.h"

namespace framework {

/// What the application may ask of the operating system and its window.
class OSInterface {
public:
    explicit OSInterface(const std::vector<std::string>& arguments);
    virtual ~OSInterface();
    OSInterface(const OSInterface&) = delete;
    OSInterface& operator=(const OSInterface&) = delete;

    /// Argument 0 is the executable's path.
    const std::vector<std::string>& getArguments() const { return arguments_; }
    /// The arguments as C strings, parallel to getArguments().
    const std::vector<const char*>& getArgumentPointers() const { return argumentPointers_; }
    /// The command line's options, as the entry point parsed them.
    const LaunchOptions& getLaunchOptions() const { return launchOptions_; }
    void setLaunchOptions(const LaunchOptions& options) { launchOptions_ = options; }

    virtual void notify(int kind, int value);
    virtual std::string getBasePath() const { return basePath_; }
    virtual void setWindowSize(int width, int height) = 0;
    virtual void setOrientation(int orientation) = 0;
    virtual void vibrate(int milliseconds);
    virtual bool isAudioSuppressed() const { return false; }
    virtual void activate() = 0;
    virtual void deactivate() = 0;
    virtual void setFullscreen(bool fullscreen) = 0;
    virtual bool isFullscreen() const = 0;
    virtual bool setMouseCaptured(bool captured) = 0;
    virtual bool isMouseCaptured() const = 0;
    virtual bool setMousePosition(int x, int y) = 0;
    /// Throws lang::Exception when a cursor image cannot be loaded.
    virtual void setCursor(const std::string& name) = 0;
    /// The clipboard's text byte for byte; empty when there is none.
    virtual std::string getClipboardText() const { return std::string(); }

protected:
    void setBasePath(const std::string& path) { basePath_ = path; }

private:
    std::vector<std::string> arguments_;
    std::vector<const char*> argumentPointers_;
    std::string basePath_;
    LaunchOptions launchOptions_;
};

}  // namespace framework
