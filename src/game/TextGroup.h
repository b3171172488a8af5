#pragma once

#include <map>
#include <string>

#include "lang/Object.h"

namespace game {

/// The texts of one language, by string id.
class TextGroup : public lang::Object {
public:
    using StringMap = std::map<std::string, std::string>;

    TextGroup() = default;
    explicit TextGroup(StringMap strings) : strings_(std::move(strings)) {}

    /// The text of `id`. An id the group lacks is added with itself as its text,
    /// so a missing text shows its id.
    std::string getString(const std::string& id);
    bool hasString(const std::string& id) const { return strings_.count(id) != 0; }
    void setString(const std::string& id, const std::string& text) { strings_[id] = text; }
    const StringMap& getStrings() const { return strings_; }

private:
    StringMap strings_;
};

}  // namespace game
