// The composite-sprite side of the chunk loader.

#include "game/ChunkFile.h"
#include "game/CompoSpriteSet.h"
#include "game/SheetLoaderDAT.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"

namespace game {

namespace {

const int32_t MAGIC_ZWQA = chunkfile::fourCC("ZWQA");
const int32_t CHUNK_COMP = chunkfile::fourCC("COMP");
const float DEGREES_TO_RADIANS = 0.017453292f;

// What every part record needs besides its own fields.
struct CompoReader {
    io::DataInputStream& in;
    const std::string& name;
    const SheetTable& sheets;

    Sprite* sprite(const std::string& spriteName) const {
        Sprite* s = findSprite(sheets, spriteName);
        if (!s) {
            throw lang::Exception(
                lang::Format("Sprite \"{0}\" not loaded while loading {1}", spriteName, name));
        }
        return s;
    }
};

// Layout "PLXB": parts are a sprite name and a position.
void readPlainCompo(const CompoReader& r, int version, CompoSprite& compo) {
    int parts = r.in.readShort();
    for (int i = 0; i < parts; ++i) {
        std::string spriteName = r.in.readUTF();
        float x = r.in.readShort();
        float y = r.in.readShort();
        compo.addPart(spriteName, x, y, r.sprite(spriteName));
    }
    if (version == 2) {
        int extra = r.in.readShort();
        for (int i = 0; i < extra; ++i) {
            r.in.readUTF();
            r.in.readShort();
            r.in.readShort();
        }
    }
}

// Layout "ZWQA": parts carry an id, scale, angle and flips.
void readFullCompo(const CompoReader& r, CompoSprite& compo) {
    int parts = r.in.readShort();
    for (int i = 0; i < parts; ++i) {
        std::string spriteName = r.in.readUTF();
        std::string id = r.in.readUTF();
        gr::Point position;
        position.x = r.in.readShort();
        position.y = r.in.readShort();
        gr::Point scale;
        scale.x = r.in.readFloat();
        scale.y = r.in.readFloat();
        float angle = r.in.readFloat() * DEGREES_TO_RADIANS;
        gr::Point flip;
        flip.x = r.in.readBoolean() ? -1.f : 1.f;
        flip.y = r.in.readBoolean() ? -1.f : 1.f;
        compo.addPart(spriteName, id, r.sprite(spriteName), position, scale, flip, angle);
    }
}

void readCompChunk(const chunkfile::Chunk& chunk, bool full, const std::string& name,
                   const SheetTable& sheets, CompoSpriteSet& set) {
    io::MemoryAliasInputStream bytes(chunk.data, chunk.size, name);
    io::DataInputStream in(bytes);
    int version = in.readShort();
    if (full ? version <= 0 : (version != 1 && version != 2)) {
        return;  // a layout this reader does not know
    }
    CompoReader reader{in, name, sheets};
    int count = in.readShort();
    for (int i = 0; i < count; ++i) {
        std::string compoName = in.readUTF();
        lang::Ptr<CompoSprite> compo = new CompoSprite();
        if (full) {
            readFullCompo(reader, *compo);
        } else {
            readPlainCompo(reader, version, *compo);
        }
        set.add(compoName, compo);
    }
}

}  // namespace

lang::Ptr<CompoSpriteSet> SheetLoaderDAT::parseCompoSpriteSet(const uint8_t* data, size_t size,
                                                              const std::string& name,
                                                              const SheetTable& sheets) {
    int32_t magic = 0;
    bool known = chunkfile::readMagic(data, size, magic) &&
                 (magic == chunkfile::MAGIC_PLXB || magic == MAGIC_ZWQA);
    if (!known) {
        throw io::IOException(lang::Format("Malformed Composite Sprite file: {0}", name));
    }
    bool full = magic == MAGIC_ZWQA;
    lang::Ptr<CompoSpriteSet> set = new CompoSpriteSet();
    try {
        for (const chunkfile::Chunk& chunk : chunkfile::readFileChunks(data, size)) {
            if (chunk.id == CHUNK_COMP) {
                readCompChunk(chunk, full, name, sheets, *set);
            }
        }
    } catch (const io::IOException&) {
        throw io::IOException(lang::Format(
            full ? "Malformed Composprite file: {0}" : "Malformed PLXB file: {0}", name));
    }
    return set;
}

}  // namespace game
