#include "common/assets/GameDynamicAssets.h"

#include "common/world/GameLua.h"
#include "lang/Exception.h"
#include "lang/Format.h"

GameDynamicAssets::GameDynamicAssets(GameLua& world)
    : world_(world), console_(std::make_unique<DebugConsole>(world)) {
    world_.bindMethod("createDynamicHandler", this, &GameDynamicAssets::createDynamicHandler);
    world_.bindMethod("activateDebugConsole", this, &GameDynamicAssets::activateDebugConsole);
    world_.bindMethod("deactivateDebugConsole", this, &GameDynamicAssets::deactivateDebugConsole);
}

GameDynamicAssets::~GameDynamicAssets() = default;

void GameDynamicAssets::createDynamicHandler(std::string name) {
    if (handler_) {
        throw lang::Exception(lang::Format("Dynamic asset handler already initialized"));
    }
    const GameLua::Services& services = world_.services();
    handler_ =
        new DynamicHandler(*world_.getState(), world_,
                           makeResourceAssetStore(services.resources, services.context.get()));
    world_.set(name, handler_.get());
}

void GameDynamicAssets::activateDebugConsole(std::string text) {
    console_->activate(text);
}

void GameDynamicAssets::deactivateDebugConsole() {
    console_->deactivate();
}
