#include "game/LabelPool.h"

#include <algorithm>

namespace game {

LabelPool::Label::Label(const lang::Ptr<gr::Texture>& texture, const std::string& identity)
    : texture_(texture),
      width_(texture ? texture->width() : 0),
      height_(texture ? texture->height() : 0),
      identity_(identity) {}

void LabelPool::Label::draw(float x, float y) const {
    if (!texture_) {
        return;
    }
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    texture_->draw(0, 0, w, h, x - static_cast<float>(offsetX_), y - static_cast<float>(offsetY_),
                   w, h);
}

LabelPool& LabelPool::shared() {
    static LabelPool pool;
    return pool;
}

LabelPool::Label* LabelPool::find(uint32_t key, const std::string& identity) const {
    auto it = labels_.find(key);
    if (it == labels_.end() || it->second->getIdentity() != identity) {
        return nullptr;
    }
    return it->second.get();
}

void LabelPool::remove(uint32_t key) {
    auto it = labels_.find(key);
    if (it == labels_.end()) {
        return;
    }
    totalBytes_ -= it->second->getBytes();
    labels_.erase(it);
    keys_.erase(std::find(keys_.begin(), keys_.end(), key));
}

void LabelPool::add(uint32_t key, const lang::Ptr<Label>& label) {
    remove(key);
    const int64_t bytes = label->getBytes();
    while (!keys_.empty() && totalBytes_ + bytes > BUDGET_BYTES) {
        remove(keys_.back());
    }
    labels_[key] = label;
    keys_.insert(keys_.begin(), key);
    totalBytes_ += bytes;
}

void LabelPool::clear() {
    labels_.clear();
    keys_.clear();
    totalBytes_ = 0;
}

void LabelPool::fontDestroyed() {
    if (--liveFonts_ <= 0) {
        liveFonts_ = 0;
        clear();
    }
}

}  // namespace game
