#pragma once

#include <functional>
#include <string>

#include "framework/Configuration.h"

namespace gr {
class Context;
}

namespace framework {

class App;
class OSInterface;

/// How --test drives the application: make a fresh one, run one frame of it
/// (dt seconds), and end it.
struct TestHarness {
    std::function<App*()> start;
    std::function<void(float dt)> frame;
    std::function<void()> stop;
};

/// What a program built on the frame supplies to the entry point.
struct Application {
    /// What --version prints, such as "quillfire 0.1".
    std::string version;
    /// Reads the program's own keys of the configuration script; may be empty.
    GameKeysReader readConfiguration;
    /// Makes the application once the window and the context exist.
    std::function<App*(OSInterface* os, gr::Context* ctx)> create;
    /// What --list-natives prints; may be empty.
    std::function<std::string()> listNatives;
    /// Runs the test scripts of --test DIR; returns the exit code. May be empty.
    std::function<int(const std::string& folder, const TestHarness& harness)> runTests;
};

/// Defined by the program that links the entry point.
Application mainApplication();

}  // namespace framework
