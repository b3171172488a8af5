#include "game/Anchor.h"

#include "lang/Exception.h"

namespace game {

namespace {

struct AnchorName {
    const char* name;
    bool vertical;
    int value;
};

const AnchorName ANCHOR_NAMES[] = {
    {"TOP", true, ANCHOR_TOP},          {"VCENTER", true, ANCHOR_VCENTER},
    {"BOTTOM", true, ANCHOR_BOTTOM},    {"BASELINE", true, ANCHOR_BASELINE},
    {"VPIVOT", true, ANCHOR_VPIVOT},    {"LEFT", false, ANCHOR_LEFT},
    {"HCENTER", false, ANCHOR_HCENTER}, {"RIGHT", false, ANCHOR_RIGHT},
    {"HPIVOT", false, ANCHOR_HPIVOT},
};

}  // namespace

void applyAnchor(const std::string& name, int& vertical, int& horizontal) {
    if (name.empty()) {
        return;
    }
    for (const AnchorName& a : ANCHOR_NAMES) {
        if (name == a.name) {
            (a.vertical ? vertical : horizontal) = a.value;
            return;
        }
    }
    throw lang::Exception(lang::Format("Invalid anchor: {0}", name));
}

}  // namespace game
