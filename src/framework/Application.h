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
};

/// Defined by the program that links the entry point.
Application mainApplication();

}  // namespace framework
