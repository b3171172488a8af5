#include "game/TextGroup.h"

namespace game {

std::string TextGroup::getString(const std::string& id) {
    return strings_.emplace(id, id).first->second;
}

}  // namespace game
