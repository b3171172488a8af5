#include "common/app/GameZoom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

float clampZoom(float zoom) {
    return std::min(std::max(zoom, GameZoom::MIN), GameZoom::MAX);
}

float distance(const framework::Touch& a, const framework::Touch& b) {
    float dx = static_cast<float>(a.x - b.x), dy = static_cast<float>(a.y - b.y);
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void GameZoom::update(float dt, const std::vector<framework::Touch>& touches) {
    if (touches.size() == 2) {
        pinch(touches);
    } else {
        zooming = false;
    }
    if (zoomTime > -1) {
        animate(dt);
    }
}

void GameZoom::pinch(const std::vector<framework::Touch>& touches) {
    if (!zooming) {
        zooming = true;
        pinchDistance_ = distance(touches[0], touches[1]);
        pinchZoom_ = zoom;
    }
    if (pinchDistance_ > 0 && std::isnormal(pinchDistance_)) {
        zoom = distance(touches[0], touches[1]) / pinchDistance_ * pinchZoom_;
    }
}

void GameZoom::animate(float dt) {
    zooming = true;
    zoomTime += dt;
    float u = zoomTime / zoomDuration - 1;
    zoom = zoomStart + (u * u * u + 1) * (zoomTarget - zoomStart);
    if (zoomTime > zoomDuration) {
        zoomTime = -1;
        zooming = false;
        zoom = zoomTarget;
    }
    zoom = clampZoom(zoom);
}

void GameZoom::wheel(int notches, bool shift) {
    previousZoom = zoom;
    float step = zoom < 1 ? 0.1f : 0.2f;
    if (shift) {
        step *= 0.05f;
    }
    if (zoomTime > -1 && zoom > 0.6f && zoom < zoomAnimationLimit) {
        step *= 0.5f;
        zoomTarget = clampZoom(zoomTarget + step * notches);
        zoomStart = zoom;
        zoomDuration = 1 - zoomTime;
        zoomTime = 0;
    } else {
        zoomTarget = clampZoom(zoom + step * notches);
        zoomStart = zoom;
        zoomTime = 0;
        zoomDuration = 0.5f;
    }
}

int GameZoom::toggleSteps(float min, float max, int steps) {
    float step = (max - min) / static_cast<float>(steps - 1);
    float index = std::floor((zoom - min) / step + 0.5f);
    // A 16-bit index: out-of-range values wrap; a degenerate range counts as 0.
    int16_t i = 0;
    if (std::isfinite(index) && std::fabs(index) < 2147483648.0f) {
        i = static_cast<int16_t>(static_cast<int32_t>(index));
    }
    zoomStart = zoom;
    zoomTime = 0;
    zoomDuration = 1;
    if (i < steps - 1) {
        zoomTarget = clampZoom(min + step * static_cast<float>(i + 1));
        return i + 1;
    }
    zoomTarget = clampZoom(min);
    return i;
}

void GameZoom::setScale(float scale) {
    zoom = scale;
    previousZoom = scale;
}
