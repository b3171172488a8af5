#pragma once

#include <cstdint>

#include "gr/MathTypes.h"

namespace gr {

/// An integer rectangle by its corners: x0 <= x < x1, y0 <= y < y1.
struct Rect {
    int x0, y0, x1, y1;

    Rect() : x0(0), y0(0), x1(0), y1(0) {}
    Rect(int x0_, int y0_, int x1_, int y1_) : x0(x0_), y0(y0_), x1(x1_), y1(y1_) {}
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool operator==(const Rect& o) const {
        return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

/// A colour with straight (not premultiplied) alpha, components 0 to 1.
struct Color {
    float r, g, b, a;

    Color() : r(1), g(1), b(1), a(1) {}
    Color(float r_, float g_, float b_, float a_ = 1) : r(r_), g(g_), b(b_), a(a_) {}
    /// From components 0 to 255.
    static Color fromBytes(int r, int g, int b, int a = 255) {
        return Color(r / 255.f, g / 255.f, b / 255.f, a / 255.f);
    }
    /// From alpha << 24 | red << 16 | green << 8 | blue.
    static Color fromARGB(uint32_t argb) {
        return fromBytes((argb >> 16) & 255, (argb >> 8) & 255, argb & 255, argb >> 24);
    }
};

/// A point in drawing coordinates.
struct Point {
    float x, y;
};

/// Four corners in the order top-left, top-right, bottom-left, bottom-right:
/// quad corners in drawing coordinates, or their texture coordinates (u, v).
struct Quad {
    Point p[4];

    /// The corners of the axis-aligned rectangle (x0, y0)-(x1, y1).
    static Quad rect(float x0, float y0, float x1, float y1) {
        return Quad{{{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}};
    }
};

/// The state every draw call of the context goes through. Callers write it
/// directly; the context reads it at each draw.
///
/// A point q of a draw whose own origin is o (the top-left of a texture draw, the
/// first end of a line, the first corner of a rectangle) lands on screen at
///   scale * (rotation * (q - o - pivot) + o + pivot + translation)
/// so the pivot is measured from the drawn item's origin. `rotation` holds a 2x2
/// matrix by columns: (r0, r1) is the image of the x axis, (r2, r3) that of the y
/// axis; an angle a is (cos a, sin a, -sin a, cos a). `angle` is kept beside it for
/// callers that need the angle itself; the context rotates by the matrix only.
struct RenderState {
    Rect clip;  // in screen pixels, not transformed
    float rotation[4];
    float translateX, translateY;
    float scaleX, scaleY;
    float pivotX, pivotY;
    float alpha;
    float angle;

    RenderState() { reset(); }

    /// The defaults: clip -32000, -32000, 32000, 32000; identity rotation;
    /// translation 0, 0; scale 1, 1; pivot 0, 0; alpha 1; angle 0.
    void reset();
    /// Sets angle and the matching rotation matrix.
    void setAngle(float radians);
    /// The transform of a point of a draw whose origin is (ox, oy).
    Point apply(float ox, float oy, float x, float y) const;
    /// The same transform for a draw at the origin, as a 4x4 matrix (identity for
    /// the default state); shader users take it as their world matrix.
    math::float4x4 transform() const;
};

}  // namespace gr
