#pragma once

// Small vector and matrix values shared by the renderer and its callers.

namespace math {

/// Four floats: a vertex position, a texture coordinate or a shader vector.
struct float4 {
    float x, y, z, w;

    float4() : x(0), y(0), z(0), w(0) {}
    float4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    bool operator==(const float4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const float4& o) const { return !(*this == o); }
};

/// A 4x4 matrix stored by rows: m[row][column]. Vectors are columns, so a
/// transform applies as M * v and P * V * R applies R first.
struct float4x4 {
    float m[4][4];

    /// The identity.
    float4x4();
    float4x4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
             float m20, float m21, float m22, float m23, float m30, float m31, float m32,
             float m33);

    static float4x4 identity() { return float4x4(); }
    static float4x4 translation(float x, float y, float z);
    static float4x4 scaling(float x, float y, float z);

    float4x4 operator*(const float4x4& o) const;
    float4 operator*(const float4& v) const;
    bool operator==(const float4x4& o) const;
    bool operator!=(const float4x4& o) const { return !(*this == o); }
};

}  // namespace math
