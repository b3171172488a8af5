#include "framework/App.h"

#include <algorithm>

#include "framework/OSInterface.h"
#include "io/PathName.h"

namespace framework {

App* App::current = nullptr;

App::App(OSInterface* os) : os_(os), keys_(), quitRequested_(false), exitCode_(0) {
    current = this;
}

App::~App() {
    if (current == this) {
        current = nullptr;
    }
}

void App::sensorChanged(float x, float y, float z, float w) {
    (void)x;
    (void)y;
    (void)z;
    (void)w;
}

bool App::handleSystemKey(int code) {
    (void)code;
    return true;
}

void App::touchBegan(const Touch& touch) {
    touches_.push_back(touch);
}

void App::touchMoved(const Touch& touch) {
    for (Touch& known : touches_) {
        if (known.id == touch.id) {
            known.x = touch.x;
            known.y = touch.y;
            return;
        }
    }
}

void App::touchEnded(const Touch& touch) {
    touches_.erase(std::remove_if(touches_.begin(), touches_.end(),
                                  [&](const Touch& known) { return known.id == touch.id; }),
                   touches_.end());
}

void App::clearTouches() {
    touches_.clear();
}

void App::setActive(bool active) {
    (void)active;
    std::fill(std::begin(keys_), std::end(keys_), false);
    clearTouches();
}

void App::focusChanged(bool focused) {
    (void)focused;
}

bool App::setAudioActive(bool active) {
    (void)active;
    return true;
}

void App::openedWith(int request) {
    (void)request;
}

bool App::isKeyDown(int code) const {
    return code >= 0 && code < KEY_COUNT && keys_[code];
}

void App::setKeyState(int code, bool down) {
    if (code >= 0 && code < KEY_COUNT) {
        keys_[code] = down;
    }
}

void App::requestExit(int code) {
    quitRequested_ = true;
    exitCode_ = code;
}

void App::setDataPath(const std::string& path) {
    dataPath_ = io::PathName(path).toString();
}

std::string App::resolvePath(const std::string& relative) const {
    io::PathName base(os_ ? os_->getBasePath() : std::string(), dataPath_);
    return io::PathName(base.toString(), relative).toString();
}

}  // namespace framework
