#pragma once

#include <memory>
#include <string>

#include "common/assets/DebugConsole.h"
#include "common/assets/DynamicHandler.h"
#include "lang/Ptr.h"

class GameLua;

/// The world's dynamic asset handler and debug console, with their natives
/// createDynamicHandler, activateDebugConsole and deactivateDebugConsole.
class GameDynamicAssets {
public:
    explicit GameDynamicAssets(GameLua& world);
    ~GameDynamicAssets();

    /// Null until createDynamicHandler.
    DynamicHandler* handler() const { return handler_.get(); }
    DebugConsole& console() { return *console_; }

private:
    void createDynamicHandler(std::string name);
    void activateDebugConsole(std::string text);
    void deactivateDebugConsole();

    GameLua& world_;
    lang::Ptr<DynamicHandler> handler_;
    std::unique_ptr<DebugConsole> console_;
};
