#pragma once

#include <cstdint>
#include <string>

#include "gr/RenderState.h"
#include "lang/Object.h"

namespace gr {
class Context;
}

namespace game {

class SpriteSheet;

/// A named rectangle of a sprite sheet's texture with a pivot. Its texture
/// coordinates are fixed when it is created; a sprite made while its sheet has
/// no texture keeps zero coordinates.
class Sprite : public lang::Object {
public:
    /// A rotated sprite is stored a quarter turn around: it covers height x width
    /// pixels of the texture.
    Sprite(SpriteSheet* sheet, const std::string& name, int x, int y, int width, int height,
           int pivotX, int pivotY, bool rotated);

    /// Draws at (x, y) placed by the anchors (game/Anchor.h). Nothing is drawn
    /// while the sheet has no texture.
    void draw(gr::Context* context, float x, float y, int verticalAnchor,
              int horizontalAnchor) const;
    /// The same, stretched to width x height; the anchors still use the sprite's
    /// own size.
    void draw(gr::Context* context, float x, float y, float width, float height, int verticalAnchor,
              int horizontalAnchor) const;
    /// Draws at each of the points as the first draw does, in one call to the
    /// context.
    void drawRun(gr::Context* context, const gr::Point* points, int count, int verticalAnchor,
                 int horizontalAnchor) const;

    SpriteSheet* getSheet() const { return sheet_; }
    const std::string& getName() const { return name_; }
    int getX() const { return x_; }
    int getY() const { return y_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    int getPivotX() const { return pivotX_; }
    int getPivotY() const { return pivotY_; }
    bool isRotated() const { return rotated_; }
    /// Texture coordinates of the drawn corners: top-left, top-right,
    /// bottom-left, bottom-right.
    const gr::Quad& getTexCoords() const { return uv_; }

private:
    void computeTexCoords(int textureWidth, int textureHeight);

    SpriteSheet* sheet_;
    std::string name_;
    int16_t x_, y_;
    uint16_t width_, height_;
    int16_t pivotX_, pivotY_;
    bool rotated_;
    gr::Quad uv_;
};

/// The top-left corner of a width x height drawing with the given pivot, placed
/// at (x, y) by the anchors.
void anchorOffset(int width, int height, int pivotX, int pivotY, int verticalAnchor,
                  int horizontalAnchor, float& x, float& y);

}  // namespace game
