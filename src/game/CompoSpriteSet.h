#pragma once

#include <map>
#include <string>

#include "game/CompoSprite.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {

/// The composite sprites of one file, by name.
class CompoSpriteSet : public lang::Object {
public:
    using CompoMap = std::map<std::string, lang::Ptr<CompoSprite>>;

    /// Stores `compo` under `name`, replacing an earlier one.
    void add(const std::string& name, const lang::Ptr<CompoSprite>& compo) {
        compos_[name] = compo;
    }
    /// Null when there is none.
    CompoSprite* get(const std::string& name) const {
        auto it = compos_.find(name);
        return it == compos_.end() ? nullptr : it->second.get();
    }
    bool empty() const { return compos_.empty(); }
    /// In name order.
    const CompoMap& getCompoSprites() const { return compos_; }

private:
    CompoMap compos_;
};

}  // namespace game
