#include "game/SheetLoaderDAT.h"

#include "game/ChunkFile.h"
#include "game/CompoSpriteSet.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"

namespace game {

namespace {

const int32_t CHUNK_SPRT = chunkfile::fourCC("SPRT");

// Reads one "SPRT" chunk of version 1 into a page; other versions add nothing.
void readSpriteChunk(const chunkfile::Chunk& chunk, const std::string& name, bool withTextures,
                     SheetDescription& description) {
    io::MemoryAliasInputStream bytes(chunk.data, chunk.size, name);
    io::DataInputStream in(bytes);
    if (in.readShort() != 1) {
        return;
    }
    SheetDescription::Page page;
    std::string texture = in.readUTF();
    if (withTextures) {
        page.texture = texture;
    }
    int count = in.readShort();
    for (int i = 0; i < count; ++i) {
        SheetDescription::SpriteRecord s;
        s.name = in.readUTF();
        s.x = in.readShort();
        s.y = in.readShort();
        s.width = in.readShort();
        s.height = in.readShort();
        s.pivotX = in.readShort();
        s.pivotY = in.readShort();
        s.rotated = false;
        page.sprites.push_back(s);
    }
    description.pages.push_back(page);
}

}  // namespace

SheetDescription SheetLoaderDAT::parseSheet(const uint8_t* data, size_t size,
                                            const std::string& name, bool withTextures) const {
    int32_t magic = 0;
    if (chunkfile::readMagic(data, size, magic) && magic != chunkfile::MAGIC_PLXB) {
        return SheetDescription();
    }
    SheetDescription description;
    try {
        for (const chunkfile::Chunk& chunk : chunkfile::readFileChunks(data, size)) {
            if (chunk.id == CHUNK_SPRT) {
                readSpriteChunk(chunk, name, withTextures, description);
            }
        }
    } catch (const io::IOException&) {
        throw io::IOException(lang::Format("Malformed PLXB file: {0}", name));
    }
    return description;
}

lang::Ptr<CompoSpriteSet> SheetLoaderDAT::loadCompoSpriteSet(const std::string& path,
                                                             const SheetTable& sheets) {
    std::string name;
    std::vector<uint8_t> bytes = readBundleFile(path, name);
    return parseCompoSpriteSet(bytes.data(), bytes.size(), name, sheets);
}

lang::Ptr<util::JSON> SheetLoaderDAT::loadCompoDescription(const std::string& /*path*/) {
    return nullptr;
}

}  // namespace game
