#include "game/SpriteSheet.h"

#include "gr/Context.h"
#include "io/BundleInputStream.h"

namespace game {

SpriteSheet::SpriteSheet(const std::string& name) : name_(name) {}

void SpriteSheet::setTexture(gr::Context* context, const std::string& path) {
    io::BundleInputStream stream(path);
    texture_ = context->createTexture(stream, stream.getName());
}

Sprite* SpriteSheet::addSprite(const std::string& name, int x, int y, int width, int height,
                               int pivotX, int pivotY, bool rotated) {
    lang::Ptr<Sprite> sprite = new Sprite(this, name, x, y, width, height, pivotX, pivotY, rotated);
    sprites_[name] = sprite;
    return sprite.get();
}

Sprite* SpriteSheet::getSprite(const std::string& name) const {
    auto it = sprites_.find(name);
    return it == sprites_.end() ? nullptr : it->second.get();
}

}  // namespace game
