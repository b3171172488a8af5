#pragma once

#include <utility>
#include <vector>

/// Whether the physics library can make a polygon of these points: 3 to its
/// vertex limit, finite, at least 3 distinct after welding near points, and a
/// convex hull with an area (its checks abort the process otherwise).
bool isUsablePolygon(const std::vector<std::pair<float, float>>& points);
