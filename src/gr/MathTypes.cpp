#include "gr/MathTypes.h"

namespace math {

float4x4::float4x4() {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r][c] = r == c ? 1.f : 0.f;
        }
    }
}

float4x4::float4x4(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                   float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                   float m32, float m33)
    : m{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}, {m30, m31, m32, m33}} {}

float4x4 float4x4::translation(float x, float y, float z) {
    float4x4 t;
    t.m[0][3] = x;
    t.m[1][3] = y;
    t.m[2][3] = z;
    return t;
}

float4x4 float4x4::scaling(float x, float y, float z) {
    float4x4 s;
    s.m[0][0] = x;
    s.m[1][1] = y;
    s.m[2][2] = z;
    return s;
}

float4x4 float4x4::operator*(const float4x4& o) const {
    float4x4 p;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += m[r][k] * o.m[k][c];
            }
            p.m[r][c] = sum;
        }
    }
    return p;
}

float4 float4x4::operator*(const float4& v) const {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int r = 0; r < 4; ++r) {
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2] + m[r][3] * in[3];
    }
    return float4(out[0], out[1], out[2], out[3]);
}

bool float4x4::operator==(const float4x4& o) const {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (m[r][c] != o.m[r][c]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace math
