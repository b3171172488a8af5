#include "game/FontFile.h"

#include "game/ChunkFile.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"

namespace game {

namespace {

const int32_t CHUNK_FONT = chunkfile::fourCC("FONT");

FontGlyph readGlyph(io::DataInputStream& in, int version) {
    FontGlyph g;
    g.codePoint = version == 1 ? static_cast<uint16_t>(in.readShort()) : in.readInt();
    g.x = in.readShort();
    g.y = in.readShort();
    g.width = in.readShort();
    g.height = in.readShort();
    g.baseline = in.readShort();
    if (g.width < 0 || g.height < 0) {
        throw io::IOException(lang::Format("Negative glyph size"));
    }
    return g;
}

// Reads one "FONT" chunk; false for a version this reader does not know.
bool readFontChunk(const chunkfile::Chunk& chunk, const std::string& name,
                   FontDescription::Page& page) {
    io::MemoryAliasInputStream bytes(chunk.data, chunk.size, name);
    io::DataInputStream in(bytes);
    const int version = in.readShort();
    if (version != 1 && version != 2) {
        return false;
    }
    page.texture = in.readUTF();
    page.leading = in.readShort();
    page.tracking = in.readShort();
    const int count = in.readShort();
    // Grown glyph by glyph: the count alone reserves nothing.
    for (int i = 0; i < count; ++i) {
        page.glyphs.push_back(readGlyph(in, version));
    }
    return true;
}

}  // namespace

FontDescription parseFontFile(const uint8_t* data, size_t size, const std::string& name) {
    int32_t magic = 0;
    if (chunkfile::readMagic(data, size, magic) && magic != chunkfile::MAGIC_PLXB) {
        return FontDescription();
    }
    FontDescription font;
    try {
        for (const chunkfile::Chunk& chunk : chunkfile::readFileChunks(data, size)) {
            FontDescription::Page page;
            if (chunk.id == CHUNK_FONT && readFontChunk(chunk, name, page)) {
                font.pages.push_back(std::move(page));
            }
        }
    } catch (const io::IOException&) {
        throw io::IOException(lang::Format("Malformed PLXB file: {0}", name));
    }
    return font;
}

}  // namespace game
