#pragma once

#include <deque>
#include <map>
#include <vector>

#include "gr/MathTypes.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {
class Sprite;
}
namespace gr {
class Context;
class Shader;
class Texture;
}  // namespace gr

namespace internal {

/// The masked pieces of one fill texture: two triangles per piece, in clip
/// space, with coordinates into the fill texture and into the mask sprites'
/// sheet. The three vectors always have the same length.
class ImageMask : public lang::Object {
public:
    /// The sheet every mask sprite of the batch comes from; null while the
    /// mask is free.
    gr::Texture* sheetTexture = nullptr;
    std::vector<math::float4> positions;
    std::vector<math::float4> fillCoords;
    std::vector<math::float4> maskCoords;

    bool isFree() const { return sheetTexture == nullptr; }
    /// Frees the mask, keeping the vectors' storage for reuse.
    void clear();
};

/// Fills sprite shapes with a tiled texture: static level pieces are
/// collected per fill texture and each batch is drawn as one primitive with a
/// two-texture shader. Masks are pooled and reused from frame to frame.
class ImageMaskBatcher {
public:
    /// Loads the mask shader of the context's platform. The context is not
    /// owned and may be null (nothing is then collected).
    explicit ImageMaskBatcher(gr::Context* context);
    ~ImageMaskBatcher();
    ImageMaskBatcher(const ImageMaskBatcher&) = delete;
    ImageMaskBatcher& operator=(const ImageMaskBatcher&) = delete;

    /// Adds the sprite as the world would draw it at (x, y) under the current
    /// render state, filled with fillTexture. Pieces wholly off screen, and
    /// sprites whose sheet has no texture, add nothing. A sprite from another
    /// sheet than the batch's throws lang::Exception and is not added.
    void add(gr::Texture* fillTexture, float x, float y, const game::Sprite& sprite);
    /// Draws every batch; everything drawn before lies beneath.
    void flush();
    /// Empties the batches and frees every mask of the pool.
    void reset();

    const std::map<gr::Texture*, lang::Ptr<ImageMask>>& batches() const { return batches_; }
    size_t poolSize() const { return pool_.size(); }
    gr::Shader* shader() const { return shader_.get(); }

private:
    ImageMask& batchFor(gr::Texture* fillTexture);
    void drawBatch(gr::Texture* fillTexture, const ImageMask& mask);

    gr::Context* context_;
    lang::Ptr<gr::Shader> shader_;
    std::map<gr::Texture*, lang::Ptr<ImageMask>> batches_;
    std::deque<lang::Ptr<ImageMask>> pool_;
};

}  // namespace internal
