#pragma once

#include <map>
#include <string>
#include <vector>

#include "game/Sprite.h"
#include "game/SpriteSheet.h"
#include "gr/RenderState.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace game {

/// A figure made of sprites, its parts, each placed, scaled, mirrored and
/// turned relative to the figure's origin and drawn in order.
class CompoSprite : public lang::Object {
public:
    /// One part. It keeps its sprite and the sprite's sheet alive, so a part
    /// never outlives the image it draws even when the sheet is released.
    class Entry : public lang::Object {
    public:
        Entry(const std::string& name, Sprite* sprite, float x, float y);

        /// Null when the part's sprite could not be found; such a part is
        /// neither drawn nor measured.
        Sprite* getSprite() const { return sprite_.get(); }
        void setSprite(Sprite* sprite);

        std::string name;
        float x, y;
        float scaleX = 1, scaleY = 1;
        float flipX = 1, flipY = 1;  // 1 or -1
        float angle = 0;             // radians
        bool visible = true;

    private:
        lang::Ptr<Sprite> sprite_;
        lang::Ptr<SpriteSheet> sheet_;
    };

    CompoSprite();

    /// A part at (x, y) with the default scale, flip and angle.
    void addPart(const std::string& spriteName, float x, float y, Sprite* sprite);
    /// A part named spriteName, or "spriteName#id" when id is not empty.
    void addPart(const std::string& spriteName, const std::string& id, Sprite* sprite,
                 const gr::Point& position, const gr::Point& scale, const gr::Point& flip,
                 float angle);
    /// Moves the part `oldName` to `newName` (replacing what that name held) and
    /// gives it `sprite`.
    void renameEntry(const std::string& oldName, const std::string& newName, Sprite* sprite);

    /// The part, or null after logging an error.
    Entry* getSpriteEntry(const std::string& name) const;
    /// The part at a 0-based position in drawing order, or null.
    Entry* getSpriteEntry(int index) const;
    int getEntryCount() const { return static_cast<int>(entries_.size()); }

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    /// Where the origin lies, measured from the top-left of the bounding box.
    int getPivotX() const { return pivotX_; }
    int getPivotY() const { return pivotY_; }
    /// Recomputes the bounding box of the visible parts.
    void updateBounds();

    /// Draws the visible parts with the origin placed at (x, y) by the anchors
    /// (game/Anchor.h), through the context's render state.
    void draw(gr::Context* context, float x, float y, int verticalAnchor,
              int horizontalAnchor) const;

private:
    void add(const lang::Ptr<Entry>& entry);

    std::vector<lang::Ptr<Entry>> entries_;
    std::map<std::string, lang::Ptr<Entry>> byName_;
    int width_, height_, pivotX_, pivotY_;
};

}  // namespace game
