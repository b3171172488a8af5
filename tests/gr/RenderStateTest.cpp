#include <gtest/gtest.h>

#include <cmath>

#include "gr/RenderState.h"
#include "gr/Shader.h"

namespace {

TEST(RenderState, DefaultsAddNothing) {
    const gr::RenderState rs;
    EXPECT_EQ(rs.clip, gr::Rect(-32000, -32000, 32000, 32000));
    EXPECT_EQ(rs.alpha, 1);
    EXPECT_EQ(rs.angle, 0);
    const gr::Point p = rs.apply(10, 20, 13, 27);
    EXPECT_FLOAT_EQ(p.x, 13);
    EXPECT_FLOAT_EQ(p.y, 27);
    EXPECT_EQ(rs.transform(), math::float4x4());
}

// The pivot is measured from the draw's origin; translation is scaled with it.
TEST(RenderState, RotatesAboutThePivotAndScalesLast) {
    gr::RenderState rs;
    rs.setAngle(static_cast<float>(M_PI / 2));
    rs.pivotX = 5;
    rs.pivotY = 5;
    rs.translateX = 1;
    rs.scaleX = rs.scaleY = 2;
    // The corner (10, 10) of a draw at (10, 10): (-5, -5) from the pivot turns to
    // (5, -5); back at the pivot (15, 15) that is (20, 10); translated and scaled.
    const gr::Point p = rs.apply(10, 10, 10, 10);
    EXPECT_NEAR(p.x, 2 * (20 + 1), 1e-4);
    EXPECT_NEAR(p.y, 2 * 10, 1e-4);
    // transform() is the same mapping for a draw at the origin.
    const math::float4 q = rs.transform() * math::float4(3, 4, 0, 1);
    const gr::Point r = rs.apply(0, 0, 3, 4);
    EXPECT_NEAR(q.x, r.x, 1e-4);
    EXPECT_NEAR(q.y, r.y, 1e-4);
    rs.reset();
    EXPECT_EQ(rs.rotation[0], 1);
    EXPECT_EQ(rs.scaleX, 1);
}

TEST(RenderState, MatrixParametersHaveNames) {
    EXPECT_STREQ(gr::matrixParameterName(gr::MATRIX_WORLDVIEWPROJECT), "WORLDVIEWPROJ_MATRIX");
    EXPECT_STREQ(gr::matrixParameterName(gr::MATRIX_PROJECTION), "PROJECTION_MATRIX");
    EXPECT_EQ(gr::matrixParameterName(-1), nullptr);
    EXPECT_EQ(gr::matrixParameterName(8), nullptr);
}

TEST(MathTypes, MatrixProductAppliesTheRightFactorFirst) {
    const math::float4x4 t = math::float4x4::translation(10, 0, 0);
    const math::float4x4 s = math::float4x4::scaling(2, 3, 1);
    const math::float4 v = (t * s) * math::float4(1, 1, 0, 1);
    EXPECT_EQ(v, math::float4(12, 3, 0, 1));
}

}  // namespace
