#include "gr/RenderState.h"

#include <cmath>

namespace gr {

void RenderState::reset() {
    clip = Rect(-32000, -32000, 32000, 32000);
    rotation[0] = 1;
    rotation[1] = 0;
    rotation[2] = 0;
    rotation[3] = 1;
    translateX = translateY = 0;
    scaleX = scaleY = 1;
    pivotX = pivotY = 0;
    alpha = 1;
    angle = 0;
}

void RenderState::setAngle(float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    angle = radians;
    rotation[0] = c;
    rotation[1] = s;
    rotation[2] = -s;
    rotation[3] = c;
}

Point RenderState::apply(float ox, float oy, float x, float y) const {
    const float dx = x - ox - pivotX;
    const float dy = y - oy - pivotY;
    const float kx = rotation[0] * dx + rotation[2] * dy;
    const float ky = rotation[1] * dx + rotation[3] * dy;
    return Point{scaleX * (kx + ox + pivotX + translateX),
                 scaleY * (ky + oy + pivotY + translateY)};
}

math::float4x4 RenderState::transform() const {
    // scale * translate(pivot + translation) * rotation * translate(-pivot)
    math::float4x4 rot;
    rot.m[0][0] = rotation[0];
    rot.m[1][0] = rotation[1];
    rot.m[0][1] = rotation[2];
    rot.m[1][1] = rotation[3];
    return math::float4x4::scaling(scaleX, scaleY, 1) *
           math::float4x4::translation(pivotX + translateX, pivotY + translateY, 0) * rot *
           math::float4x4::translation(-pivotX, -pivotY, 0);
}

}  // namespace gr
