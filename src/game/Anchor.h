#pragma once

#include <string>

namespace game {

/// Where a drawing sits relative to the point it is drawn at.
enum VerticalAnchor {
    ANCHOR_TOP = 0,
    ANCHOR_VCENTER = 1,
    ANCHOR_BOTTOM = 2,
    ANCHOR_BASELINE = 3,
    ANCHOR_VPIVOT = 4,
};

enum HorizontalAnchor {
    ANCHOR_LEFT = 0,
    ANCHOR_HCENTER = 1,
    ANCHOR_RIGHT = 2,
    ANCHOR_HPIVOT = 3,
};

/// Applies one anchor name ("TOP", "HCENTER", ...): a vertical name sets
/// `vertical`, a horizontal one `horizontal`. An empty name changes nothing;
/// any other name throws lang::Exception "Invalid anchor: {0}".
void applyAnchor(const std::string& name, int& vertical, int& horizontal);

}  // namespace game
