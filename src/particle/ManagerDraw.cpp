#include <cmath>

#include "game/Anchor.h"
#include "game/Sprite.h"
#include "game/SpriteProvider.h"
#include "gr/Context.h"
#include "particle/Manager.h"

namespace particle {

void Manager::draw(gr::Context& context, int layer, float offsetX, float offsetY, float scale) {
    if (layer < 0 || layer >= LAYER_COUNT || !sprites_) {
        return;
    }
    gr::RenderState saved = context.renderState();
    gr::RenderState& state = context.renderState();
    for (const auto& entry : definitions_) {
        const ParticleDefinition& d = entry.second;
        for (const Particle& p : d.particles[layer]) {
            // A particle of no size shows nothing, and its position would
            // divide by zero.
            if (p.scale == 0 || !std::isfinite(p.scale) ||
                p.spriteIndex >= static_cast<int>(d.sprites.size())) {
                continue;
            }
            game::Sprite* sprite =
                sprites_->getSprite(d.sprites[static_cast<size_t>(p.spriteIndex)]);
            if (!sprite) {
                continue;
            }
            state.translateX = offsetX / p.scale;
            state.translateY = offsetY / p.scale;
            state.scaleX = state.scaleY = p.scale * scale;
            state.setAngle(p.angle);
            state.pivotX = static_cast<float>(sprite->getPivotX());
            state.pivotY = static_cast<float>(sprite->getPivotY());
            sprite->draw(&context, p.x / p.scale, p.y / p.scale, game::ANCHOR_VPIVOT,
                         game::ANCHOR_HPIVOT);
        }
    }
    state = saved;
}

}  // namespace particle
