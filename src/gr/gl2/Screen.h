#pragma once

#include "gr/MathTypes.h"
#include "gr/RenderState.h"

namespace gr {
namespace gl2 {

/// The geometry of the target: its physical size, the orientation and the
/// viewport, and the transforms between drawing coordinates, the oriented
/// screen and physical pixels (top-left origin).
struct Screen {
    int physicalWidth = 0;
    int physicalHeight = 0;
    int orientation = 0;
    Rect viewport;  // oriented screen pixels

    int width() const { return orientation & 1 ? physicalHeight : physicalWidth; }
    int height() const { return orientation & 1 ? physicalWidth : physicalHeight; }
    void resetViewport() { viewport = Rect(0, 0, width(), height()); }

    /// Drawing coordinates to physical pixels.
    math::float4x4 view() const;
    /// Physical pixels to clip space.
    math::float4x4 projection() const;
    /// The clip rectangle (drawing coordinates) within the viewport, in physical
    /// pixels with a bottom-left origin as glScissor takes it; may be empty.
    Rect scissor(const Rect& clip) const;
};

}  // namespace gl2
}  // namespace gr
