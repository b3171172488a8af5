#include "common/world/PolygonCheck.h"

#include <algorithm>
#include <cmath>

#include "box2d/box2d.h"

namespace {

using Point = std::pair<float, float>;

double cross(const Point& o, const Point& a, const Point& b) {
    return (static_cast<double>(a.first) - o.first) * (static_cast<double>(b.second) - o.second) -
           (static_cast<double>(a.second) - o.second) * (static_cast<double>(b.first) - o.first);
}

// The points the library keeps: it drops one closer than half the slop to an earlier one.
std::vector<Point> welded(const std::vector<Point>& points) {
    const float limit = (0.5f * b2_linearSlop) * (0.5f * b2_linearSlop);
    std::vector<Point> kept;
    for (const Point& p : points) {
        bool unique = std::none_of(kept.begin(), kept.end(), [&](const Point& q) {
            float dx = p.first - q.first, dy = p.second - q.second;
            return dx * dx + dy * dy < limit;
        });
        if (unique) {
            kept.push_back(p);
        }
    }
    return kept;
}

// Twice the area of the convex hull (monotone chain).
double hullArea2(std::vector<Point> points) {
    std::sort(points.begin(), points.end());
    std::vector<Point> hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], points[i - 1]) <= 0)
            --k;
        hull[k++] = points[i - 1];
    }
    double area = 0;
    for (size_t i = 1; i + 1 < k; ++i) {
        area += cross(hull[0], hull[i], hull[i + 1]);
    }
    return area;
}

}  // namespace

bool isUsablePolygon(const std::vector<Point>& points) {
    if (points.size() < 3 || points.size() > static_cast<size_t>(b2_maxPolygonVertices)) {
        return false;
    }
    for (const Point& p : points) {
        if (!std::isfinite(p.first) || !std::isfinite(p.second)) {
            return false;
        }
    }
    std::vector<Point> kept = welded(points);
    // The library's centroid needs an area well above its epsilon.
    return kept.size() >= 3 && hullArea2(kept) > 8.0 * b2_epsilon;
}
