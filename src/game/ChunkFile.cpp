#include "game/ChunkFile.h"

#include "io/IOException.h"

namespace game {
namespace chunkfile {

namespace {

int32_t readWord(const uint8_t* p) {
    return static_cast<int32_t>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) |
                                (uint32_t(p[2]) << 8) | uint32_t(p[3]));
}

[[noreturn]] void fail(const char* what) {
    throw io::IOException(lang::Format("Bad chunk data: {0}", what));
}

}  // namespace

bool readMagic(const uint8_t* data, size_t size, int32_t& magic) {
    if (size < 4) {
        return false;
    }
    magic = readWord(data);
    return true;
}

std::vector<Chunk> readFileChunks(const uint8_t* data, size_t size) {
    if (size < 8) {
        fail("no payload size");
    }
    int32_t payload = readWord(data + 4);
    if (payload < 0 || static_cast<size_t>(payload) > size - 8) {
        fail("payload size larger than the file");
    }
    return readChunks(data + 8, static_cast<size_t>(payload));
}

std::vector<Chunk> readChunks(const uint8_t* data, size_t size) {
    std::vector<Chunk> chunks;
    size_t pos = 0;
    while (pos < size) {
        if (size - pos < 8) {
            fail("truncated chunk header");
        }
        int32_t id = readWord(data + pos);
        int32_t length = readWord(data + pos + 4);
        pos += 8;
        if (length < 0 || static_cast<size_t>(length) > size - pos) {
            fail("chunk size larger than its container");
        }
        chunks.push_back(Chunk{id, data + pos, length});
        pos += static_cast<size_t>(length);
    }
    return chunks;
}

}  // namespace chunkfile
}  // namespace game
