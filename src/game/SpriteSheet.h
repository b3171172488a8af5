#pragma once

#include <map>
#include <string>

#include "game/Sprite.h"
#include "gr/Texture.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace game {

/// One texture and the named sprites on it.
class SpriteSheet : public lang::Object {
public:
    using SpriteMap = std::map<std::string, lang::Ptr<Sprite>>;

    explicit SpriteSheet(const std::string& name = std::string());

    /// Loads the bundle file `path` as the texture, replacing the old one.
    void setTexture(gr::Context* context, const std::string& path);
    void setTexture(const lang::Ptr<gr::Texture>& texture) { texture_ = texture; }
    gr::Texture* getTexture() const { return texture_.get(); }
    /// Drops the texture; the sprites stay and draw nothing until it is set again.
    void releaseTexture() { texture_.reset(); }

    /// Creates a sprite, replacing one of the same name.
    Sprite* addSprite(const std::string& name, int x, int y, int width, int height, int pivotX,
                      int pivotY, bool rotated);
    /// Null when there is none.
    Sprite* getSprite(const std::string& name) const;
    const SpriteMap& getSprites() const { return sprites_; }

    const std::string& getName() const { return name_; }

private:
    std::string name_;
    lang::Ptr<gr::Texture> texture_;
    SpriteMap sprites_;
};

}  // namespace game
