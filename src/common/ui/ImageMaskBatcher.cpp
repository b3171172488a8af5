#include "common/ui/ImageMaskBatcher.h"

#include <algorithm>

#include "common/ui/OverlayShading.h"
#include "game/Sprite.h"
#include "game/SpriteSheet.h"
#include "gr/Context.h"
#include "lang/Exception.h"
#include "lang/Format.h"

namespace internal {
namespace {

const char* maskShaderName(int platform) {
    switch (platform) {
        case gr::PLATFORM_GLES1:
        case gr::PLATFORM_GL1:
            return "sprite-straightalpha";
        case gr::PLATFORM_GLES2:
        case gr::PLATFORM_GL2:
        case gr::PLATFORM_DX11:
            return "2d-sprite-alpha-masked";
        default:
            return nullptr;
    }
}

// The two triangles of a quad given by its corners top-left, top-right,
// bottom-left, bottom-right.
const int TRIANGLES[6] = {0, 1, 2, 2, 1, 3};

struct Corners {
    math::float4 clip[4];
    math::float4 fill[4];
};

// Corners of the sprite drawn at (x, y) under the render state, in clip space
// and in fill-texture coordinates (one texel per drawing unit).
Corners placeCorners(gr::Context& context, const gr::Texture& fill, float x, float y,
                     const game::Sprite& sprite) {
    const gr::RenderState& s = context.renderState();
    const float w = static_cast<float>(sprite.getWidth());
    const float h = static_cast<float>(sprite.getHeight());
    const float cornerX[4] = {0, w, 0, w};
    const float cornerY[4] = {0, 0, h, h};
    const float bx = x - static_cast<float>(sprite.getPivotX()) + s.pivotX + s.translateX;
    const float by = y - static_cast<float>(sprite.getPivotY()) + s.pivotY + s.translateY;
    const float toClipX = 2 * s.scaleX / static_cast<float>(context.width());
    const float toClipY = -2 * s.scaleY / static_cast<float>(context.height());
    const float fillW = static_cast<float>(fill.width());
    const float fillH = static_cast<float>(fill.height());
    Corners c;
    for (int i = 0; i < 4; ++i) {
        const float dx = cornerX[i] - s.pivotX;
        const float dy = cornerY[i] - s.pivotY;
        const float kx = s.rotation[0] * dx + s.rotation[2] * dy;
        const float ky = s.rotation[1] * dx + s.rotation[3] * dy;
        c.clip[i] = math::float4((kx + bx) * toClipX - 1, (ky + by) * toClipY + 1, 0.001f, 1);
        c.fill[i] = math::float4((kx + x) / fillW, (ky + y) / fillH, 0, 0);
    }
    return c;
}

bool offScreen(const math::float4 (&clip)[4]) {
    float minX = clip[0].x, maxX = clip[0].x, minY = clip[0].y, maxY = clip[0].y;
    for (const math::float4& p : clip) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return maxX < -1 || maxY < -1 || minX >= 1 || minY >= 1;
}

// The sprite's area on its sheet, as if unrotated.
void maskCorners(const game::Sprite& sprite, const gr::Texture& sheet, math::float4 (&out)[4]) {
    const float tw = static_cast<float>(sheet.width());
    const float th = static_cast<float>(sheet.height());
    const float u0 = static_cast<float>(sprite.getX()) / tw;
    const float v0 = static_cast<float>(sprite.getY()) / th;
    const float u1 = static_cast<float>(sprite.getX() + sprite.getWidth()) / tw;
    const float v1 = static_cast<float>(sprite.getY() + sprite.getHeight()) / th;
    out[0] = math::float4(u0, v0, 0, 0);
    out[1] = math::float4(u1, v0, 0, 0);
    out[2] = math::float4(u0, v1, 0, 0);
    out[3] = math::float4(u1, v1, 0, 0);
}

}  // namespace

void ImageMask::clear() {
    sheetTexture = nullptr;
    positions.clear();
    fillCoords.clear();
    maskCoords.clear();
}

ImageMaskBatcher::ImageMaskBatcher(gr::Context* context) : context_(context) {
    const char* name = context_ ? maskShaderName(context_->platform()) : nullptr;
    if (name) {
        shader_ = overlay::loadShader(*context_, name, "ImageMaskBatcher::ImageMaskBatcher");
    }
}

ImageMaskBatcher::~ImageMaskBatcher() = default;

void ImageMaskBatcher::add(gr::Texture* fillTexture, float x, float y, const game::Sprite& sprite) {
    gr::Texture* sheet = sprite.getSheet() ? sprite.getSheet()->getTexture() : nullptr;
    // Without a sheet texture there is no shape to fill; a batch holding such
    // a piece would also look free and could be handed out twice.
    if (!context_ || !fillTexture || !sheet || context_->width() <= 0 || context_->height() <= 0) {
        return;
    }
    const Corners corners = placeCorners(*context_, *fillTexture, x, y, sprite);
    if (offScreen(corners.clip)) {
        return;
    }
    ImageMask& mask = batchFor(fillTexture);
    if (mask.sheetTexture && mask.sheetTexture != sheet) {
        throw lang::Exception(lang::Format("Unsupported: Mask sprites from multiple sheets used!"));
    }
    mask.sheetTexture = sheet;
    math::float4 maskUV[4];
    maskCorners(sprite, *sheet, maskUV);
    for (int i : TRIANGLES) {
        mask.positions.push_back(corners.clip[i]);
        mask.fillCoords.push_back(corners.fill[i]);
        mask.maskCoords.push_back(maskUV[i]);
    }
}

ImageMask& ImageMaskBatcher::batchFor(gr::Texture* fillTexture) {
    lang::Ptr<ImageMask>& slot = batches_[fillTexture];
    if (!slot) {
        if (!pool_.empty() && pool_.front()->isFree()) {
            slot = pool_.front();
            pool_.pop_front();
            pool_.push_back(slot);
        } else {
            slot = new ImageMask();
            pool_.push_back(slot);
        }
    }
    return *slot;
}

void ImageMaskBatcher::flush() {
    if (batches_.empty()) {
        return;
    }
    context_->flushDrawing();
    if (!shader_) {
        return;
    }
    overlay::setMatrices(*context_, *shader_);
    shader_->setFloat("ALPHA_FACTOR", context_->renderState().alpha);
    for (const auto& batch : batches_) {
        if (!batch.second->isFree()) {
            drawBatch(batch.first, *batch.second);
        }
    }
}

void ImageMaskBatcher::drawBatch(gr::Texture* fillTexture, const ImageMask& mask) {
    shader_->bindTexture("BASEMAP", fillTexture);
    shader_->bindTexture("BASEMAP1", mask.sheetTexture);
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT4).addTexCoord(gr::DF_FLOAT2).addTexCoord(gr::DF_FLOAT2);
    const int count = static_cast<int>(mask.positions.size());
    lang::Ptr<gr::Primitive> primitive =
        context_->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, count, 0);
    if (!primitive) {
        return;
    }
    primitive->lock(gr::LOCK_WRITE);
    primitive->setPositions(0, mask.positions.data(), count);
    primitive->setTexCoords(0, 0, mask.fillCoords.data(), count);
    primitive->setTexCoords(0, 1, mask.maskCoords.data(), count);
    primitive->setFirstVertex(0);
    primitive->setVertexCount(count);
    primitive->unlock();
    primitive->setShader(shader_.get());
    overlay::ShaderDraw draw(*shader_);
    draw.render(*primitive);
}

void ImageMaskBatcher::reset() {
    batches_.clear();
    for (const lang::Ptr<ImageMask>& mask : pool_) {
        mask->clear();
    }
}

}  // namespace internal
