#include "common/ui/GameOverlays.h"

#include "common/world/GameLua.h"
#include "gr/Context.h"
#include "lang/Numbers.h"

GameOverlays::GameOverlays(GameLua& world)
    : world_(world), masks_(world.services().context.get()), fields_(world) {
    world_.bindMethod("createTextInputField", &fields_, &TextInputFields::create);
    world_.bindMethod("removeTextInputField", &fields_, &TextInputFields::remove);
    world_.bindMethod("activateTextInputField", &fields_, &TextInputFields::activate);
    world_.bindMethod("deactivateTextInputField", &fields_, &TextInputFields::deactivate);
    world_.bindMethod("enableSpotlight", this, &GameOverlays::enableSpotlight);
    world_.bindMethod("disableSpotlight", this, &GameOverlays::disableSpotlight);
}

GameOverlays::~GameOverlays() = default;

void GameOverlays::update(float dt) {
    if (spotlight_) {
        spotlight_->update(dt);
    }
}

void GameOverlays::drawSpotlight() {
    if (spotlight_) {
        spotlight_->draw();
    }
}

void GameOverlays::addMask(gr::Texture* fillTexture, float x, float y, const game::Sprite& sprite) {
    masks_.add(fillTexture, x, y, sprite);
}

void GameOverlays::flushMasks() {
    // Batches left over from a failed flush would hold textures the scripts
    // may release before the next frame.
    try {
        masks_.flush();
    } catch (...) {
        masks_.reset();
        throw;
    }
    masks_.reset();
}

void GameOverlays::enableSpotlight(float x, float y) {
    spotlight_ = new Spotlight(world_.services().context.get());
    spotlight_->setPosition(lang::truncateToInt(x), lang::truncateToInt(y));
}

void GameOverlays::disableSpotlight() {
    spotlight_.reset();
}
