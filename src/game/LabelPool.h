#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gr/Texture.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {

/// Rendered texts kept as textures (labels) under a byte budget, so each
/// distinct text is rendered once. Labels leave in the order they were added,
/// however often they are drawn. One pool serves the process; it is emptied
/// when the last system font goes. Main thread only.
class LabelPool {
public:
    enum { BUDGET_BYTES = 5 * 1048576 };

    class Label : public lang::Object {
    public:
        /// `identity` is everything the label was rendered from; labels whose keys
        /// collide are told apart by it.
        Label(const lang::Ptr<gr::Texture>& texture, const std::string& identity);

        /// Draws the whole texture with its top-left at (x - offsetX, y - offsetY).
        void draw(float x, float y) const;
        int getWidth() const { return width_; }
        int getHeight() const { return height_; }
        /// Pixel bytes: width x height x 4.
        int64_t getBytes() const { return int64_t(width_) * height_ * 4; }
        gr::Texture* getTexture() const { return texture_.get(); }
        const std::string& getIdentity() const { return identity_; }

    private:
        lang::Ptr<gr::Texture> texture_;
        int width_, height_;
        int offsetX_ = 0, offsetY_ = 0;
        std::string identity_;
    };

    LabelPool() = default;
    LabelPool(const LabelPool&) = delete;
    LabelPool& operator=(const LabelPool&) = delete;

    /// The process-wide pool.
    static LabelPool& shared();

    /// The label under `key` if it was rendered from `identity`, else null.
    Label* find(uint32_t key, const std::string& identity) const;
    /// Stores the label under `key`, replacing one there, after removing the
    /// oldest labels until it fits the budget. A label larger than the whole
    /// budget empties the pool and is kept alone.
    void add(uint32_t key, const lang::Ptr<Label>& label);
    void clear();

    int64_t getTotalBytes() const { return totalBytes_; }
    size_t size() const { return labels_.size(); }

    /// The count of live system fonts; when it falls to 0 the pool is emptied.
    void fontCreated() { ++liveFonts_; }
    void fontDestroyed();
    int getLiveFonts() const { return liveFonts_; }

private:
    void remove(uint32_t key);

    int64_t totalBytes_ = 0;
    std::map<uint32_t, lang::Ptr<Label>> labels_;
    std::vector<uint32_t> keys_;  // most recently added first
    int liveFonts_ = 0;
};

}  // namespace game
