#include "game/TextGroupFile.h"

#include "game/ChunkFile.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"

namespace game {
namespace textfile {

namespace {

const int32_t CHUNK_TEXT = chunkfile::fourCC("TEXT");
const int32_t SUB_LDAT = chunkfile::fourCC("LDAT");
const int32_t SUB_LIDS = chunkfile::fourCC("LIDS");
const int32_t SUB_TXGP = chunkfile::fourCC("TXGP");

[[noreturn]] void malformed(const std::string& name) {
    throw io::IOException(lang::Format("Malformed PLXB file: {0}", name));
}

// Reads `count` strings; the count alone reserves nothing.
std::vector<std::string> readStrings(io::DataInputStream& in, int count) {
    std::vector<std::string> strings;
    for (int i = 0; i < count; ++i) {
        strings.push_back(in.readUTF());
    }
    return strings;
}

// The strings of a sub-chunk: a 16-bit count first unless `count` is given.
std::vector<std::string> readSubChunkStrings(const chunkfile::Chunk& chunk, const std::string& name,
                                             int count = -1) {
    try {
        io::MemoryAliasInputStream bytes(chunk.data, chunk.size, name);
        io::DataInputStream in(bytes);
        return readStrings(in, count < 0 ? in.readShort() : count);
    } catch (const io::IOException&) {
        malformed(name);
    }
}

// The sub-chunks of every "TEXT" chunk of version 1, in file order.
std::vector<chunkfile::Chunk> textSubChunks(const uint8_t* data, size_t size,
                                            const std::string& name) {
    std::vector<chunkfile::Chunk> subChunks;
    try {
        for (const chunkfile::Chunk& chunk : chunkfile::readFileChunks(data, size)) {
            if (chunk.id != CHUNK_TEXT) {
                continue;
            }
            if (chunk.size < 2) {
                malformed(name);
            }
            if (((chunk.data[0] << 8) | chunk.data[1]) != 1) {
                continue;
            }
            for (const chunkfile::Chunk& sub :
                 chunkfile::readChunks(chunk.data + 2, chunk.size - 2)) {
                subChunks.push_back(sub);
            }
        }
    } catch (const io::IOException&) {
        malformed(name);
    }
    return subChunks;
}

std::vector<std::string> chunkLanguages(const uint8_t* data, size_t size, const std::string& name) {
    std::vector<std::string> languages;
    for (const chunkfile::Chunk& sub : textSubChunks(data, size, name)) {
        if (sub.id == SUB_LDAT) {
            for (std::string& language : readSubChunkStrings(sub, name)) {
                languages.push_back(std::move(language));
            }
        }
    }
    return languages;
}

bool chunkTexts(const uint8_t* data, size_t size, const std::string& name, int index,
                std::map<std::string, std::string>& texts) {
    std::vector<std::string> ids;
    bool haveIds = false;
    int group = 0;
    for (const chunkfile::Chunk& sub : textSubChunks(data, size, name)) {
        if (sub.id == SUB_LIDS) {
            ids = readSubChunkStrings(sub, name);
            haveIds = true;
        } else if (sub.id == SUB_TXGP) {
            if (!haveIds) {
                throw io::IOException(
                    lang::Format("Missing LIDS chunk before TXGP chunk in file {0}", name));
            }
            if (group++ == index) {
                std::vector<std::string> strings =
                    readSubChunkStrings(sub, name, static_cast<int>(ids.size()));
                for (size_t i = 0; i < ids.size(); ++i) {
                    texts[ids[i]] = std::move(strings[i]);
                }
                return true;
            }
        }
    }
    return false;
}

// The plain layout through a stream that refuses to skip outside the data.
class PlainReader {
public:
    PlainReader(const uint8_t* data, size_t size, const std::string& name)
        : bytes_(data, static_cast<int>(size), name), in_(bytes_), name_(name) {}

    io::DataInputStream& in() { return in_; }
    void skip(int64_t count) {
        if (count < 0 || count > bytes_.available()) {
            throw io::IOException(lang::Format("Unexpected end of file in {0}.", name_));
        }
        in_.skip(static_cast<int>(count));
    }

private:
    io::MemoryAliasInputStream bytes_;
    io::DataInputStream in_;
    std::string name_;
};

}  // namespace

std::vector<std::string> readLanguages(const uint8_t* data, size_t size, const std::string& name) {
    int32_t magic = 0;
    if (chunkfile::readMagic(data, size, magic) && magic == chunkfile::MAGIC_PLXB) {
        return chunkLanguages(data, size, name);
    }
    PlainReader plain(data, size, name);
    plain.in().readByte();
    plain.in().readInt();
    return readStrings(plain.in(), plain.in().readByte());
}

bool readTexts(const uint8_t* data, size_t size, const std::string& name, int index,
               std::map<std::string, std::string>& texts) {
    texts.clear();
    int32_t magic = 0;
    if (chunkfile::readMagic(data, size, magic) && magic == chunkfile::MAGIC_PLXB) {
        return chunkTexts(data, size, name, index, texts);
    }
    PlainReader plain(data, size, name);
    plain.in().readByte();
    plain.skip(plain.in().readInt());
    const std::vector<std::string> ids = readStrings(plain.in(), plain.in().readShort());
    plain.skip(int64_t(4) * index);
    plain.skip(plain.in().readInt());
    std::vector<std::string> strings = readStrings(plain.in(), static_cast<int>(ids.size()));
    for (size_t i = 0; i < ids.size(); ++i) {
        texts[ids[i]] = std::move(strings[i]);
    }
    return true;
}

}  // namespace textfile
}  // namespace game
