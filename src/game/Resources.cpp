#include "game/Resources.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "game/CompoSpriteSet.h"
#include "game/IFont.h"
#include "game/SheetLoaderDAT.h"
#include "game/SheetLoaderJSON.h"
#include "gr/Context.h"
#include "lang/Exception.h"

namespace game {

namespace {

lang::Ptr<SheetLoader> loaderFor(const std::string& path) {
    const std::string extension = io::PathName(path).getExtension();
    if (extension == ".dat") {
        return new SheetLoaderDAT();
    }
    if (extension == ".json") {
        return new SheetLoaderJSON();
    }
    throw lang::Exception(lang::Format("No loader for sprite file {0}", path));
}

}  // namespace

void Resources::setPath(const std::string& path) {
    path_ = io::PathName(path);
}

std::string Resources::fullPath(const std::string& path) const {
    return io::PathName(path_.toString(), io::PathName(path).toString()).toString();
}

std::string Resources::keyOf(const std::string& path) {
    return io::PathName(path).getBaseName();
}

void Resources::createSpriteSheet(const std::string& path, bool reload) {
    std::string key = keyOf(path);
    if (!reload && sheets_.count(key)) {
        return;
    }
    std::string full = fullPath(path);
    registerSheet(key, loaderFor(full)->loadSheet(context_.get(), full));
}

void Resources::registerSheet(const std::string& key, const lang::Ptr<SpriteSheet>& sheet) {
    auto old = sheets_.find(key);
    if (old != sheets_.end()) {
        unindexSheet(*old->second);
    }
    for (const auto& sprite : sheet->getSprites()) {
        index_[sprite.first] = IndexEntry{KIND_SPRITE, key, sprite.second.get(), nullptr};
    }
    sheets_[key] = sheet;
}

void Resources::unindexSheet(const SpriteSheet& sheet) {
    for (const auto& sprite : sheet.getSprites()) {
        auto it = index_.find(sprite.first);
        if (it != index_.end() && it->second.kind == KIND_SPRITE) {
            lastEntry_ = nullptr;
            index_.erase(it);
        }
    }
}

void Resources::releaseSpriteSheet(const std::string& path, bool texturesOnly) {
    auto it = sheets_.find(keyOf(path));
    if (it == sheets_.end()) {
        return;
    }
    unindexSheet(*it->second);
    if (texturesOnly) {
        it->second->releaseTexture();
    } else {
        sheets_.erase(it);
    }
}

void Resources::captureSprite(const std::string& name) {
    auto it = sheets_.find(name);
    lang::Ptr<SpriteSheet> sheet = it == sheets_.end() ? new SpriteSheet(name) : it->second;
    gr::Texture* old = sheet->getTexture();
    lang::Ptr<gr::Texture> texture = context_->captureFrame(old);
    if (!texture || (it != sheets_.end() && texture == old)) {
        return;
    }
    // A new texture (first capture or a resized screen) gets a sprite of its size.
    sheet->setTexture(texture);
    sheet->addSprite(name, 0, 0, texture->width(), texture->height(), 0, 0, false);
    registerSheet(name, sheet);
}

void Resources::createCompoSpriteSet(const std::string& path, bool reload) {
    std::string key = keyOf(path);
    if (!reload && compos_.count(key)) {
        return;
    }
    std::string full = fullPath(path);
    lang::Ptr<CompoSpriteSet> set = loaderFor(full)->loadCompoSpriteSet(full, sheets_);
    if (!set || set->empty()) {
        return;
    }
    auto old = compos_.find(key);
    if (old != compos_.end()) {
        unindexCompoSet(*old->second);
    }
    for (const auto& compo : set->getCompoSprites()) {
        index_[compo.first] = IndexEntry{KIND_COMPOSITE, key, nullptr, compo.second.get()};
    }
    compos_[key] = set;
}

void Resources::unindexCompoSet(const CompoSpriteSet& set) {
    for (const auto& compo : set.getCompoSprites()) {
        auto it = index_.find(compo.first);
        if (it != index_.end() && it->second.kind == KIND_COMPOSITE) {
            lastEntry_ = nullptr;
            index_.erase(it);
        }
    }
}

void Resources::releaseCompoSpriteSet(const std::string& path) {
    auto it = compos_.find(keyOf(path));
    if (it != compos_.end()) {
        unindexCompoSet(*it->second);
        compos_.erase(it);
    }
}

void Resources::drawSprite(const std::string& name, float x, float y, int verticalAnchor,
                           int horizontalAnchor) {
    const IndexEntry* entry = findDrawable(name);
    if (!entry) {
        return;
    }
    if (entry->kind == KIND_SPRITE) {
        entry->sprite->draw(context_.get(), x, y, verticalAnchor, horizontalAnchor);
    } else {
        entry->compo->draw(context_.get(), x, y, verticalAnchor, horizontalAnchor);
    }
}

void Resources::drawSprite(const std::string& name, float x, float y, int verticalAnchor,
                           int horizontalAnchor, float width, float height) {
    const IndexEntry* entry = findDrawable(name);
    if (entry && entry->kind == KIND_SPRITE) {
        entry->sprite->draw(context_.get(), x, y, width, height, verticalAnchor, horizontalAnchor);
    } else {
        drawSprite(name, x, y, verticalAnchor, horizontalAnchor);
    }
}

void Resources::drawSprites(const std::string& name, const gr::Point* points, int count,
                            int verticalAnchor, int horizontalAnchor) {
    const IndexEntry* entry = findDrawable(name);
    if (!entry) {
        return;
    }
    if (entry->kind == KIND_SPRITE) {
        entry->sprite->drawRun(context_.get(), points, count, verticalAnchor, horizontalAnchor);
        return;
    }
    for (int i = 0; i < count; ++i) {
        entry->compo->draw(context_.get(), points[i].x, points[i].y, verticalAnchor,
                           horizontalAnchor);
    }
}

namespace {

// Scripts may hand any size: the sum or difference of two ints is taken in 64
// bits and held at the ends of the int range.
int saturated(int64_t value) {
    return int(std::min<int64_t>(std::max<int64_t>(value, INT_MIN), INT_MAX));
}

}  // namespace

void Resources::setClipRect(int x, int y, int width, int height) {
    clip_ = gr::Rect(x, y, saturated(int64_t(x) + width), saturated(int64_t(y) + height));
    context_->renderState().clip = clip_;
}

void Resources::getClipRect(int& x, int& y, int& width, int& height) const {
    x = clip_.x0;
    y = clip_.y0;
    width = saturated(int64_t(clip_.x1) - clip_.x0);
    height = saturated(int64_t(clip_.y1) - clip_.y0);
}

const Resources::IndexEntry* Resources::findDrawable(const std::string& name) const {
    if (lastEntry_ && name == lastName_) {
        return lastEntry_;
    }
    auto it = index_.find(name);
    if (it == index_.end()) {
        return nullptr;
    }
    lastName_ = name;
    lastEntry_ = &it->second;
    return lastEntry_;
}

Sprite* Resources::getSprite(const std::string& name) const {
    const IndexEntry* entry = findDrawable(name);
    return entry && entry->kind == KIND_SPRITE ? entry->sprite : nullptr;
}

CompoSprite* Resources::getCompoSprite(const std::string& name) const {
    const IndexEntry* entry = findDrawable(name);
    return entry && entry->kind == KIND_COMPOSITE ? entry->compo : nullptr;
}

bool Resources::getSpriteBounds(const std::string& name, int& width, int& height) const {
    Sprite* sprite = getSprite(name);
    width = sprite ? sprite->getWidth() : 0;
    height = sprite ? sprite->getHeight() : 0;
    return sprite != nullptr;
}

bool Resources::getSpritePivot(const std::string& name, int& x, int& y) const {
    Sprite* sprite = getSprite(name);
    x = sprite ? sprite->getPivotX() : 0;
    y = sprite ? sprite->getPivotY() : 0;
    return sprite != nullptr;
}

SpriteSheet* Resources::getSheet(const std::string& key) const {
    auto it = sheets_.find(key);
    return it == sheets_.end() ? nullptr : it->second.get();
}

CompoSpriteSet* Resources::getCompoSpriteSet(const std::string& key) const {
    auto it = compos_.find(key);
    return it == compos_.end() ? nullptr : it->second.get();
}

}  // namespace game
