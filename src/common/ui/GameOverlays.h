#pragma once

#include <memory>

#include "common/ui/ImageMaskBatcher.h"
#include "common/ui/Spotlight.h"
#include "common/ui/TextInputFields.h"
#include "lang/Ptr.h"

class GameLua;

/// The world's overlays: the wandering spotlight, the image masks that fill
/// static pieces with a tiled texture, and the named text input fields.
class GameOverlays {
public:
    /// Registers the spotlight and text field natives and makes the batcher.
    explicit GameOverlays(GameLua& world);
    ~GameOverlays();
    GameOverlays(const GameOverlays&) = delete;
    GameOverlays& operator=(const GameOverlays&) = delete;

    /// The last step of the world update: moves the spotlight, if any.
    void update(float dt);
    /// The last step of drawing the background: the spotlight, if any.
    void drawSpotlight();
    /// A static piece drawn at (x, y) in the current render state, filled
    /// with fillTexture in the shape of its sprite.
    void addMask(gr::Texture* fillTexture, float x, float y, const game::Sprite& sprite);
    /// After the objects of a draw key: draws the collected masks and starts
    /// over (also when drawing fails).
    void flushMasks();

    /// Null when disabled.
    Spotlight* spotlight() const { return spotlight_.get(); }
    internal::ImageMaskBatcher& masks() { return masks_; }
    TextInputFields& textFields() { return fields_; }

private:
    void enableSpotlight(float x, float y);
    void disableSpotlight();

    GameLua& world_;
    lang::Ptr<Spotlight> spotlight_;
    internal::ImageMaskBatcher masks_;
    TextInputFields fields_;
};
