#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

/// Reading the big-endian chunk files of the resource layer: a 4-byte magic, a
/// 32-bit payload size, then chunks of a 32-bit id, a 32-bit size and the data.
namespace game {
namespace chunkfile {

/// A four-character code as a big-endian 32-bit number: fourCC("PLXB").
constexpr int32_t fourCC(const char (&text)[5]) {
    return static_cast<int32_t>((uint32_t(uint8_t(text[0])) << 24) |
                                (uint32_t(uint8_t(text[1])) << 16) |
                                (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3])));
}

constexpr int32_t MAGIC_PLXB = fourCC("PLXB");

struct Chunk {
    int32_t id;
    const uint8_t* data;
    int size;
};

/// The first 32-bit word; false when there are fewer than 4 bytes.
bool readMagic(const uint8_t* data, size_t size, int32_t& magic);

/// The chunks of a whole file (magic and payload size first). Throws
/// io::IOException when the data ends early or a size is negative or larger than
/// what follows it.
std::vector<Chunk> readFileChunks(const uint8_t* data, size_t size);

/// Consecutive chunks filling exactly `size` bytes (a chunk's sub-chunks).
/// Throws io::IOException like readFileChunks.
std::vector<Chunk> readChunks(const uint8_t* data, size_t size);

}  // namespace chunkfile
}  // namespace game
