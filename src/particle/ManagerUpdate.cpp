#include <algorithm>
#include <cmath>

#include "lang/Numbers.h"
#include "particle/Manager.h"

namespace particle {
namespace {

// Where a coordinate lands when the range [low, low + size) repeats endlessly.
float wrap(float value, float low, float size) {
    if (!(size > 0)) {
        return value;
    }
    float offset = value - low;
    float wrapped = low + offset - size * std::floor(offset / size);
    // Rounding can leave a value just below low on the far edge itself.
    return wrapped < low + size ? wrapped : low;
}

bool inside(const Particle& p, const ViewRect& r) {
    return p.x >= r.x0 && p.x < r.x1 && p.y >= r.y0 && p.y < r.y1;
}

// The parts of `next` that `old` does not cover: left and right strips over the
// whole height, then top and bottom strips over the width they leave.
std::vector<ViewRect> uncoveredParts(const ViewRect& old, const ViewRect& next) {
    std::vector<ViewRect> parts;
    if (next.x0 < old.x0) {
        parts.push_back({next.x0, next.y0, std::min(old.x0, next.x1), next.y1});
    }
    if (next.x1 > old.x1) {
        parts.push_back({std::max(old.x1, next.x0), next.y0, next.x1, next.y1});
    }
    float x0 = std::max(next.x0, old.x0);
    float x1 = std::min(next.x1, old.x1);
    if (x0 < x1) {
        if (next.y0 < old.y0) {
            parts.push_back({x0, next.y0, x1, std::min(old.y0, next.y1)});
        }
        if (next.y1 > old.y1) {
            parts.push_back({x0, std::max(old.y1, next.y0), x1, next.y1});
        }
    }
    return parts;
}

}  // namespace

void Manager::update(int layer, float dt) {
    if (layer < 0 || layer >= LAYER_COUNT) {
        return;
    }
    for (auto& entry : definitions_) {
        updateList(entry.second, layer, dt);
    }
}

void Manager::updateList(ParticleDefinition& d, int layer, float dt) {
    std::vector<Particle>& list = d.particles[layer];
    size_t i = 0;
    while (i < list.size()) {
        Particle& p = list[i];
        if (!d.looping) {
            p.age += dt;
            if (p.age >= p.life || (layer == LAYER_WORLD && p.y > 0)) {
                // The last particle takes this place and is processed next.
                p = list.back();
                list.pop_back();
                continue;
            }
        }
        move(d, p, dt);
        ++i;
    }
}

void Manager::move(const ParticleDefinition& d, Particle& p, float dt) const {
    p.vx += d.gravityX * dt;
    p.vy += d.gravityY * dt;
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    p.angle += p.angularVelocity * dt;
    p.scale =
        p.life > 0 ? p.scaleBegin + p.age / p.life * (p.scaleEnd - p.scaleBegin) : p.scaleBegin;
    if (d.animatedByLife && d.animationLength > 0 && !d.sprites.empty()) {
        int count = static_cast<int>(d.sprites.size());
        float phase = std::fmod(p.age, d.animationLength) / d.animationLength;
        p.spriteIndex = std::max(0, std::min(count - 1, static_cast<int>(phase * count)));
    }
    if (d.looping) {
        wrapIntoView(p);
    }
}

void Manager::wrapIntoView(Particle& p) const {
    p.x = wrap(p.x, view_.x0, view_.width());
    p.y = wrap(p.y, view_.y0, view_.height());
}

void Manager::viewChanged(float x0, float y0, float x1, float y1) {
    float marginX = (x1 - x0) * 0.04f;
    float marginY = (y1 - y0) * 0.04f;
    ViewRect next{x0 - marginX, y0 - marginY, x1 + marginX, y1 + marginY};
    for (auto& entry : definitions_) {
        ParticleDefinition& d = entry.second;
        if (d.looping && !d.particles[LAYER_WORLD].empty()) {
            fitToView(d, next);
        }
    }
    view_ = next;
}

// Brings the number of particles of a looping definition near what its density
// asks for in the new view.
void Manager::fitToView(ParticleDefinition& d, const ViewRect& next) {
    std::vector<Particle>& list = d.particles[LAYER_WORLD];
    int target = lang::truncateToInt(d.density * next.area());
    int tolerance = lang::truncateToInt(static_cast<float>(target) * 0.01f);
    int surplus = static_cast<int>(list.size()) - target;
    if (surplus > tolerance) {
        // Drops the first particles outside the view, keeping the others' order.
        size_t kept = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (surplus > 0 && !inside(list[i], next)) {
                --surplus;
            } else {
                list[kept++] = list[i];
            }
        }
        list.resize(kept);
    } else if (surplus < -tolerance) {
        fillUncovered(d.name, next, -surplus);
    }
}

void Manager::fillUncovered(const std::string& name, const ViewRect& next, int missing) {
    std::vector<ViewRect> parts = uncoveredParts(view_, next);
    double total = 0;
    for (const ViewRect& part : parts) {
        total += part.area();
    }
    if (total < 0.001 * next.area()) {
        return;
    }
    for (const ViewRect& part : parts) {
        int count = lang::truncateToInt(static_cast<float>(part.area() / total * missing));
        emit(LAYER_WORLD, name, count, (part.x0 + part.x1) / 2, (part.y0 + part.y1) / 2,
             part.width(), part.height(), 0, true);
    }
}

}  // namespace particle
