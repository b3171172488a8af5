#include "game/CompoSprite.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "game/Anchor.h"
#include "gr/Context.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lang/Numbers.h"

namespace game {

namespace {

// p -> (a * p.x + c * p.y + tx, b * p.x + d * p.y + ty): columns (a, b), (c, d).
struct Affine {
    float a, b, c, d, tx, ty;

    gr::Point apply(float x, float y) const {
        return gr::Point{a * x + c * y + tx, b * x + d * y + ty};
    }
    Affine operator*(const Affine& o) const {
        gr::Point t = apply(o.tx, o.ty);
        return Affine{
            a * o.a + c * o.b, b * o.a + d * o.b, a * o.c + c * o.d, b * o.c + d * o.d, t.x, t.y};
    }
};

// translate(x, y) * rotate(angle) * scale(scale * flip) * translate(-pivot).
Affine partTransform(const CompoSprite::Entry& e, const Sprite& sprite) {
    float cs = std::cos(e.angle);
    float sn = std::sin(e.angle);
    float sx = e.scaleX * e.flipX;
    float sy = e.scaleY * e.flipY;
    Affine linear{cs * sx, sn * sx, -sn * sy, cs * sy, 0, 0};
    gr::Point t = linear.apply(-static_cast<float>(sprite.getPivotX()),
                               -static_cast<float>(sprite.getPivotY()));
    linear.tx = e.x + t.x;
    linear.ty = e.y + t.y;
    return linear;
}

gr::Quad corners(const Affine& m, const Sprite& sprite) {
    float w = static_cast<float>(sprite.getWidth());
    float h = static_cast<float>(sprite.getHeight());
    return gr::Quad{{m.apply(0, 0), m.apply(w, 0), m.apply(0, h), m.apply(w, h)}};
}

int clampInt(int64_t v) {
    return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}

bool drawable(const CompoSprite::Entry& e) {
    return e.visible && e.getSprite();
}

// Restores the context's render state when drawing ends, also on failure.
class RenderStateSaver {
public:
    explicit RenderStateSaver(gr::RenderState& state) : state_(state), saved_(state) {}
    ~RenderStateSaver() { state_ = saved_; }
    const gr::RenderState& saved() const { return saved_; }

private:
    gr::RenderState& state_;
    gr::RenderState saved_;
};

}  // namespace

CompoSprite::Entry::Entry(const std::string& name_, Sprite* sprite, float x_, float y_)
    : name(name_), x(x_), y(y_) {
    setSprite(sprite);
}

void CompoSprite::Entry::setSprite(Sprite* sprite) {
    sprite_ = sprite;
    sheet_ = sprite ? sprite->getSheet() : nullptr;
}

CompoSprite::CompoSprite() {
    updateBounds();
}

void CompoSprite::add(const lang::Ptr<Entry>& entry) {
    entries_.push_back(entry);
    byName_[entry->name] = entry;
    updateBounds();
}

void CompoSprite::addPart(const std::string& spriteName, float x, float y, Sprite* sprite) {
    add(new Entry(spriteName, sprite, x, y));
}

void CompoSprite::addPart(const std::string& spriteName, const std::string& id, Sprite* sprite,
                          const gr::Point& position, const gr::Point& scale, const gr::Point& flip,
                          float angle) {
    std::string name = id.empty() ? spriteName : lang::format("{0}#{1}", spriteName, id);
    lang::Ptr<Entry> entry = new Entry(name, sprite, position.x, position.y);
    entry->scaleX = scale.x;
    entry->scaleY = scale.y;
    entry->flipX = flip.x;
    entry->flipY = flip.y;
    entry->angle = angle;
    add(entry);
}

void CompoSprite::renameEntry(const std::string& oldName, const std::string& newName,
                              Sprite* sprite) {
    auto it = byName_.find(oldName);
    if (it == byName_.end()) {
        return;
    }
    lang::Ptr<Entry> entry = it->second;
    byName_.erase(it);
    byName_[newName] = entry;
    entry->name = newName;
    entry->setSprite(sprite);
    updateBounds();
}

CompoSprite::Entry* CompoSprite::getSpriteEntry(const std::string& name) const {
    auto it = byName_.find(name);
    if (it == byName_.end()) {
        lang::log::write("game/CompoSprite", __FILE__, "game::CompoSprite::getSpriteEntry",
                         __LINE__, lang::log::ERROR, "Composite part(%s) not found!", name.c_str());
        return nullptr;
    }
    return it->second.get();
}

CompoSprite::Entry* CompoSprite::getSpriteEntry(int index) const {
    if (index < 0 || index >= getEntryCount()) {
        return nullptr;
    }
    return entries_[static_cast<size_t>(index)].get();
}

void CompoSprite::updateBounds() {
    int64_t minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    bool any = false;
    for (const lang::Ptr<Entry>& e : entries_) {
        if (!drawable(*e)) {
            continue;
        }
        any = true;
        gr::Quad q = corners(partTransform(*e, *e->getSprite()), *e->getSprite());
        for (const gr::Point& p : q.p) {
            int64_t px = lang::truncateToInt(p.x), py = lang::truncateToInt(p.y);
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
    }
    if (!any) {
        // What the differences of the untouched extremes give in 32-bit wrap-around.
        width_ = height_ = 1;
        pivotX_ = pivotY_ = -INT_MAX;
        return;
    }
    width_ = clampInt(maxX - minX);
    height_ = clampInt(maxY - minY);
    pivotX_ = clampInt(-minX);
    pivotY_ = clampInt(-minY);
}

void CompoSprite::draw(gr::Context* context, float x, float y, int verticalAnchor,
                       int horizontalAnchor) const {
    switch (verticalAnchor) {
        case ANCHOR_TOP:
            y += static_cast<float>(pivotY_);
            break;
        case ANCHOR_VCENTER:
            y += static_cast<float>(pivotY_ - height_ / 2);
            break;
        case ANCHOR_BOTTOM:
            y += static_cast<float>(pivotY_ - height_);
            break;
        default:
            break;
    }
    switch (horizontalAnchor) {
        case ANCHOR_LEFT:
            x += static_cast<float>(pivotX_);
            break;
        case ANCHOR_HCENTER:
            x += static_cast<float>(pivotX_ - width_ / 2);
            break;
        case ANCHOR_RIGHT:
            x += static_cast<float>(pivotX_ - width_);
            break;
        default:
            break;
    }
    gr::RenderState& state = context->renderState();
    RenderStateSaver saver(state);
    const gr::RenderState& s = saver.saved();
    // The context's own transform is folded into the part corners, so it is
    // switched off for the draws themselves.
    Affine m{s.rotation[0] * s.scaleX,
             s.rotation[1] * s.scaleX,
             s.rotation[2] * s.scaleY,
             s.rotation[3] * s.scaleY,
             0,
             0};
    m.tx = std::hypot(m.a, m.b) * (x + s.translateX);
    m.ty = std::hypot(m.c, m.d) * (y + s.translateY);
    state.translateX = state.translateY = 0;
    state.scaleX = state.scaleY = 1;
    state.setAngle(0);
    for (const lang::Ptr<Entry>& e : entries_) {
        Sprite* sprite = e->getSprite();
        gr::Texture* texture =
            sprite && sprite->getSheet() ? sprite->getSheet()->getTexture() : nullptr;
        if (!e->visible || !texture) {
            continue;
        }
        gr::Quad q = corners(m * partTransform(*e, *sprite), *sprite);
        context->drawTextureQuad(texture, q, sprite->getTexCoords());
    }
}

}  // namespace game
