#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/SheetDescription.h"
#include "game/SpriteSheet.h"
#include "lang/Object.h"
#include "lang/Ptr.h"
#include "util/JSON.h"

namespace gr {
class Context;
}
namespace io {
class InputStream;
}

namespace game {

class CompoSpriteSet;

/// Loaded sheets by key, as the registry keeps them.
using SheetTable = std::map<std::string, lang::Ptr<SpriteSheet>>;

/// The sprite `name` of the first sheet (in key order) that has one, or null.
Sprite* findSprite(const SheetTable& sheets, const std::string& name);

/// The whole bundle file `path`; `name` receives the stream's name for messages.
std::vector<uint8_t> readBundleFile(const std::string& path, std::string& name);

/// Reads sprite sheets and composite-sprite sets from one file format. A load
/// either returns a complete object or throws; nothing is left half-built.
class SheetLoader : public lang::Object {
public:
    /// A sheet whose texture comes from `texture` (named by the stream's name) and
    /// whose sprites come from `description`; a texture named inside the
    /// description is not loaded.
    virtual lang::Ptr<SpriteSheet> loadSheet(gr::Context* context, io::InputStream& description,
                                             io::InputStream& texture);
    /// The sheet in the bundle file `path`; its texture is loaded from the folder
    /// of `path`.
    virtual lang::Ptr<SpriteSheet> loadSheet(gr::Context* context, const std::string& path);
    /// Adds the sprites described by `path` to `sheet`, leaving its texture alone.
    virtual void loadSprites(const std::string& path, SpriteSheet* sheet);
    /// The composite sprites of `path`, their parts found in `sheets`; null when
    /// the file holds none.
    virtual lang::Ptr<CompoSpriteSet> loadCompoSpriteSet(const std::string& path,
                                                         const SheetTable& sheets) = 0;
    /// A JSON summary of the composite sprites of `path`, or null.
    virtual lang::Ptr<util::JSON> loadCompoDescription(const std::string& path) = 0;

    /// Parses a sheet file held in memory; `name` names it in messages. With
    /// `withTextures` the texture names are read as well.
    virtual SheetDescription parseSheet(const uint8_t* data, size_t size, const std::string& name,
                                        bool withTextures) const = 0;
};

/// The sheet built from a description. The textures of its pages are loaded
/// from `folder` unless `texture` is given, which then serves all pages.
lang::Ptr<SpriteSheet> buildSheet(gr::Context* context, const SheetDescription& description,
                                  const std::string& folder, io::InputStream* texture);

}  // namespace game
