#pragma once

#include "game/SheetLoader.h"

namespace game {

/// Sheets and composite-sprite sets in the big-endian chunk format (".dat").
/// Stateless.
class SheetLoaderDAT : public SheetLoader {
public:
    lang::Ptr<CompoSpriteSet> loadCompoSpriteSet(const std::string& path,
                                                 const SheetTable& sheets) override;
    /// Always null: the chunk format has no description.
    lang::Ptr<util::JSON> loadCompoDescription(const std::string& path) override;

    /// A file without the "PLXB" magic describes nothing. Malformed or truncated
    /// data throws io::IOException "Malformed PLXB file: {0}".
    SheetDescription parseSheet(const uint8_t* data, size_t size, const std::string& name,
                                bool withTextures) const override;

    /// The composite sprites of a chunk file held in memory ("PLXB" or "ZWQA"
    /// layout). Throws io::IOException "Malformed PLXB file: {0}",
    /// "Malformed Composprite file: {0}" or "Malformed Composite Sprite file: {0}"
    /// for bad data, and lang::Exception when a part's sprite is not in `sheets`.
    static lang::Ptr<CompoSpriteSet> parseCompoSpriteSet(const uint8_t* data, size_t size,
                                                         const std::string& name,
                                                         const SheetTable& sheets);
};

}  // namespace game
