#pragma once

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Events.h"
#include "lang/Event.h"

namespace fake {

/// An application that writes every call it receives, and every framework
/// event announced after it, into one log.
class RecordingApp : public framework::App {
public:
    explicit RecordingApp(framework::OSInterface* os = nullptr) : App(os) { listen(); }

    void update(float dt, gr::Context*, int phase) override {
        log.push_back("update " + std::to_string(dt) + " " + std::to_string(phase));
        if (exitDuringUpdate) {
            requestExit(exitCode);
        }
    }
    void keyDown(int code) override { log.push_back("keyDown " + std::to_string(code)); }
    void keyUp(int code) override { log.push_back("keyUp " + std::to_string(code)); }
    void screenResized() override { log.push_back("screenResized"); }
    void orientationChanged() override { log.push_back("orientationChanged"); }
    void mouseMoved(int x, int y) override {
        log.push_back("mouseMoved " + std::to_string(x) + " " + std::to_string(y));
    }
    void mouseWheel(int notches) override {
        log.push_back("mouseWheel " + std::to_string(notches));
    }
    void setActive(bool active) override {
        App::setActive(active);
        log.push_back(std::string("setActive ") + (active ? "1" : "0"));
    }
    bool setAudioActive(bool active) override {
        log.push_back(std::string("setAudioActive ") + (active ? "1" : "0"));
        return true;
    }

    std::vector<std::string> log;
    bool exitDuringUpdate = false;
    int exitCode = 0;

private:
    void listen() {
        using lang::event::connect;
        auto code = [this](const char* what) {
            return
                [this, what](int c) { log.push_back(std::string(what) + " " + std::to_string(c)); };
        };
        links_.push_back(
            connect(framework::onKeyDown, std::function<void(int)>(code("onKeyDown"))));
        links_.push_back(connect(framework::onKeyUp, std::function<void(int)>(code("onKeyUp"))));
        links_.push_back(
            connect(framework::onMouseWheel, std::function<void(int)>(code("onMouseWheel"))));
        links_.push_back(
            connect(framework::onMouseMove, std::function<void(int, int)>([this](int x, int y) {
                        log.push_back("onMouseMove " + std::to_string(x) + " " + std::to_string(y));
                    })));
        links_.push_back(
            connect(framework::onFrame,
                    std::function<void(float, gr::Context*)>([this](float dt, gr::Context*) {
                        log.push_back("onFrame " + std::to_string(dt));
                    })));
        links_.push_back(
            connect(framework::onActiveChanged, std::function<void(bool)>([this](bool a) {
                        log.push_back(std::string("onActiveChanged ") + (a ? "1" : "0"));
                    })));
        links_.push_back(
            connect(framework::onAudioActiveChanged, std::function<void(bool)>([this](bool a) {
                        log.push_back(std::string("onAudioActiveChanged ") + (a ? "1" : "0"));
                    })));
        links_.push_back(connect(framework::onResized,
                                 std::function<void()>([this] { log.push_back("onResized"); })));
    }

    std::vector<lang::Ptr<lang::event::Link>> links_;
};

}  // namespace fake
