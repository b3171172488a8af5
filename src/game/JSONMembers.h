#pragma once

#include <string>

#include "util/JSON.h"

namespace game {

/// The object member `key` of `value`, with util::JSON's exceptions when it is
/// missing or not an object.
inline const util::JSON& objectMember(const util::JSON& value, const std::string& key) {
    value.getObject(key);
    return value.asObject().find(key)->second;
}

}  // namespace game
