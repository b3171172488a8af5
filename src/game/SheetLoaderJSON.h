#pragma once

#include "game/SheetLoader.h"

namespace game {

/// Sheets and composite-sprite sets described in JSON (".json"): sheets in
/// TexturePacker's array format or from the Adobe exporter, composite sprites
/// from the Adobe exporter. Stateless.
class SheetLoaderJSON : public SheetLoader {
public:
    /// The "app" value that selects TexturePacker's dialect.
    static const char* const TEXTUREPACKER_APP;

    lang::Ptr<CompoSpriteSet> loadCompoSpriteSet(const std::string& path,
                                                 const SheetTable& sheets) override;
    lang::Ptr<util::JSON> loadCompoDescription(const std::string& path) override;

    /// Throws util::JSON's exceptions for bad JSON or missing members and
    /// lang::Exception for a dialect it does not know.
    SheetDescription parseSheet(const uint8_t* data, size_t size, const std::string& name,
                                bool withTextures) const override;

    /// The composite sprites of a JSON text held in memory, or null when it has
    /// none. A part whose sprite is not in `sheets` throws lang::Exception.
    static lang::Ptr<CompoSpriteSet> parseCompoSpriteSet(const uint8_t* data, size_t size,
                                                         const std::string& name,
                                                         const SheetTable& sheets);
    /// The summary that loadCompoDescription returns, from a text in memory.
    static lang::Ptr<util::JSON> parseCompoDescription(const uint8_t* data, size_t size);
};

}  // namespace game
