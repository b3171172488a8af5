#include "gr/gl2/Screen.h"

#include <algorithm>

namespace gr {
namespace gl2 {
namespace {

// Oriented screen point to physical pixels, as a matrix: rows (a, b, tx), (c, d, ty).
math::float4x4 orient(int orientation, float pw, float ph) {
    switch (orientation) {
        case 1:  // (x, y) -> (pw - y, x)
            return math::float4x4(0, -1, 0, pw, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
        case 2:  // (x, y) -> (pw - x, ph - y)
            return math::float4x4(-1, 0, 0, pw, 0, -1, 0, ph, 0, 0, 1, 0, 0, 0, 0, 1);
        case 3:  // (x, y) -> (y, ph - x)
            return math::float4x4(0, 1, 0, 0, -1, 0, 0, ph, 0, 0, 1, 0, 0, 0, 0, 1);
        default:
            return math::float4x4();
    }
}

}  // namespace

math::float4x4 Screen::view() const {
    return orient(orientation, static_cast<float>(physicalWidth),
                  static_cast<float>(physicalHeight)) *
           math::float4x4::translation(static_cast<float>(viewport.x0),
                                       static_cast<float>(viewport.y0), 0);
}

math::float4x4 Screen::projection() const {
    const float pw = physicalWidth > 0 ? static_cast<float>(physicalWidth) : 1.f;
    const float ph = physicalHeight > 0 ? static_cast<float>(physicalHeight) : 1.f;
    return math::float4x4(2 / pw, 0, 0, -1, 0, -2 / ph, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1);
}

Rect Screen::scissor(const Rect& clip) const {
    // Clamp before offsetting so that extreme clip values cannot overflow.
    const int w = viewport.width();
    const int h = viewport.height();
    const int x0 = viewport.x0 + std::clamp(clip.x0, 0, std::max(w, 0));
    const int y0 = viewport.y0 + std::clamp(clip.y0, 0, std::max(h, 0));
    const int x1 = viewport.x0 + std::clamp(clip.x1, 0, std::max(w, 0));
    const int y1 = viewport.y0 + std::clamp(clip.y1, 0, std::max(h, 0));
    const Rect r(std::max(x0, 0), std::max(y0, 0), std::min(x1, width()), std::min(y1, height()));
    if (r.x1 <= r.x0 || r.y1 <= r.y0) {
        return Rect();
    }
    const math::float4x4 o =
        orient(orientation, static_cast<float>(physicalWidth), static_cast<float>(physicalHeight));
    const math::float4 a =
        o * math::float4(static_cast<float>(r.x0), static_cast<float>(r.y0), 0, 1);
    const math::float4 b =
        o * math::float4(static_cast<float>(r.x1), static_cast<float>(r.y1), 0, 1);
    const int px0 = static_cast<int>(std::min(a.x, b.x));
    const int px1 = static_cast<int>(std::max(a.x, b.x));
    const int py0 = static_cast<int>(std::min(a.y, b.y));
    const int py1 = static_cast<int>(std::max(a.y, b.y));
    // To a bottom-left origin.
    return Rect(px0, physicalHeight - py1, px1, physicalHeight - py0);
}

}  // namespace gl2
}  // namespace gr
