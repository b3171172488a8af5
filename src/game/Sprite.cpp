#include "game/Sprite.h"

#include "game/Anchor.h"
#include "game/SpriteSheet.h"
#include "gr/Context.h"

namespace game {

Sprite::Sprite(SpriteSheet* sheet, const std::string& name, int x, int y, int width, int height,
               int pivotX, int pivotY, bool rotated)
    : sheet_(sheet),
      name_(name),
      x_(static_cast<int16_t>(x)),
      y_(static_cast<int16_t>(y)),
      width_(static_cast<uint16_t>(width)),
      height_(static_cast<uint16_t>(height)),
      pivotX_(static_cast<int16_t>(pivotX)),
      pivotY_(static_cast<int16_t>(pivotY)),
      rotated_(rotated),
      uv_(gr::Quad::rect(0, 0, 0, 0)) {
    gr::Texture* texture = sheet ? sheet->getTexture() : nullptr;
    if (texture && texture->width() > 0 && texture->height() > 0) {
        computeTexCoords(texture->width(), texture->height());
    }
}

void Sprite::computeTexCoords(int textureWidth, int textureHeight) {
    float w = static_cast<float>(textureWidth);
    float h = static_cast<float>(textureHeight);
    float left = x_ / w;
    float top = y_ / h;
    if (!rotated_) {
        uv_ = gr::Quad::rect(left, top, (x_ + width_) / w, (y_ + height_) / h);
        return;
    }
    // Stored a quarter turn around: the drawn top edge runs down the right side.
    float right = (x_ + height_) / w;
    float bottom = (y_ + width_) / h;
    uv_ = gr::Quad{{{right, top}, {right, bottom}, {left, top}, {left, bottom}}};
}

void anchorOffset(int width, int height, int pivotX, int pivotY, int verticalAnchor,
                  int horizontalAnchor, float& x, float& y) {
    switch (verticalAnchor) {
        case ANCHOR_VCENTER:
            y -= static_cast<float>(height / 2);
            break;
        case ANCHOR_BOTTOM:
            y -= static_cast<float>(height);
            break;
        case ANCHOR_BASELINE:
        case ANCHOR_VPIVOT:
            y -= static_cast<float>(pivotY);
            break;
        default:
            break;
    }
    switch (horizontalAnchor) {
        case ANCHOR_HCENTER:
            x -= static_cast<float>(width / 2);
            break;
        case ANCHOR_RIGHT:
            x -= static_cast<float>(width);
            break;
        case ANCHOR_HPIVOT:
            x -= static_cast<float>(pivotX);
            break;
        default:
            break;
    }
}

void Sprite::draw(gr::Context* context, float x, float y, int verticalAnchor,
                  int horizontalAnchor) const {
    draw(context, x, y, width_, height_, verticalAnchor, horizontalAnchor);
}

void Sprite::draw(gr::Context* context, float x, float y, float width, float height,
                  int verticalAnchor, int horizontalAnchor) const {
    gr::Texture* texture = sheet_ ? sheet_->getTexture() : nullptr;
    if (!texture || !context) {
        return;
    }
    anchorOffset(width_, height_, pivotX_, pivotY_, verticalAnchor, horizontalAnchor, x, y);
    context->drawTexture(texture, x, y, width, height, uv_);
}

void Sprite::drawRun(gr::Context* context, const gr::Point* points, int count, int verticalAnchor,
                     int horizontalAnchor) const {
    gr::Texture* texture = sheet_ ? sheet_->getTexture() : nullptr;
    if (!texture || !context || count <= 0) {
        return;
    }
    // x - offset and x + (0 - offset) are the same number, as one draw has it.
    float dx = 0, dy = 0;
    anchorOffset(width_, height_, pivotX_, pivotY_, verticalAnchor, horizontalAnchor, dx, dy);
    context->drawTextureRun(texture, points, count, dx, dy, width_, height_, uv_);
}

}  // namespace game
