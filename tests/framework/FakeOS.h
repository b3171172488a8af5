#pragma once

#include <string>

#include "framework/OSInterface.h"

namespace fake {

/// An operating-system interface without a window: every request is accepted
/// and nothing happens.
class FakeOS : public framework::OSInterface {
public:
    FakeOS() : OSInterface({"quillfire", "config.lua"}) {}
    void setWindowSize(int, int) override {}
    void setOrientation(int) override {}
    void activate() override {}
    void deactivate() override {}
    void setFullscreen(bool) override {}
    bool isFullscreen() const override { return false; }
    bool setMouseCaptured(bool) override { return true; }
    bool isMouseCaptured() const override { return false; }
    bool setMousePosition(int, int) override { return false; }
    void setCursor(const std::string&) override {}
};

}  // namespace fake
