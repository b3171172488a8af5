#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace chunk {

// Builds the big-endian chunk files of the resource layer in memory: a magic,
// a payload size and chunks of id, size and data. Sizes are filled in when a
// file or chunk is ended, so chunks may nest.
//
//   ChunkWriter w;
//   w.beginFile("PLXB");
//   w.beginChunk("SPRT");
//   w.int16(1).string("sheet.png");
//   w.endChunk();
//   w.endFile();
class ChunkWriter {
public:
    // Writes the magic and a payload size to be filled in by endFile().
    ChunkWriter& beginFile(const char* magic);
    ChunkWriter& endFile();
    // Writes the id and a size to be filled in by endChunk().
    ChunkWriter& beginChunk(const char* id);
    ChunkWriter& endChunk();

    ChunkWriter& int8(int value);
    ChunkWriter& int16(int value);
    ChunkWriter& int32(int32_t value);
    ChunkWriter& float32(float value);
    ChunkWriter& boolean(bool value);
    // A 16-bit length and the bytes.
    ChunkWriter& string(const std::string& text);
    // Four bytes of an id or magic, as they are.
    ChunkWriter& fourCC(const char* id);
    ChunkWriter& bytes(const void* data, size_t size);

    const std::vector<uint8_t>& data() const { return data_; }
    size_t size() const { return data_.size(); }
    // Writes the data to a file; false when it cannot be written.
    bool save(const std::string& path) const;

private:
    void patch(size_t at, uint32_t value);

    std::vector<uint8_t> data_;
    std::vector<size_t> open_;  // offsets of the size fields still to fill in
};

}  // namespace chunk
