#include "chunk/ChunkWriter.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace chunk {

ChunkWriter& ChunkWriter::beginFile(const char* magic) {
    return beginChunk(magic);
}

ChunkWriter& ChunkWriter::endFile() {
    return endChunk();
}

ChunkWriter& ChunkWriter::beginChunk(const char* id) {
    fourCC(id);
    open_.push_back(data_.size());
    return int32(0);
}

ChunkWriter& ChunkWriter::endChunk() {
    if (open_.empty()) {
        throw std::logic_error("ChunkWriter: no chunk to end");
    }
    size_t at = open_.back();
    open_.pop_back();
    patch(at, static_cast<uint32_t>(data_.size() - at - 4));
    return *this;
}

void ChunkWriter::patch(size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        data_[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

ChunkWriter& ChunkWriter::int8(int value) {
    data_.push_back(static_cast<uint8_t>(value));
    return *this;
}

ChunkWriter& ChunkWriter::int16(int value) {
    uint16_t v = static_cast<uint16_t>(value);
    return int8(v >> 8).int8(v & 0xFF);
}

ChunkWriter& ChunkWriter::int32(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    return int16(static_cast<int>(v >> 16)).int16(static_cast<int>(v & 0xFFFF));
}

ChunkWriter& ChunkWriter::float32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return int32(static_cast<int32_t>(bits));
}

ChunkWriter& ChunkWriter::boolean(bool value) {
    return int8(value ? 1 : 0);
}

ChunkWriter& ChunkWriter::string(const std::string& text) {
    if (text.size() > 32767) {
        throw std::length_error("ChunkWriter: string longer than 32767 bytes");
    }
    int16(static_cast<int>(text.size()));
    return bytes(text.data(), text.size());
}

ChunkWriter& ChunkWriter::fourCC(const char* id) {
    if (std::strlen(id) != 4) {
        throw std::invalid_argument("ChunkWriter: ids are four characters");
    }
    return bytes(id, 4);
}

ChunkWriter& ChunkWriter::bytes(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    data_.insert(data_.end(), p, p + size);
    return *this;
}

bool ChunkWriter::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data_.data()),
              static_cast<std::streamsize>(data_.size()));
    return static_cast<bool>(out);
}

}  // namespace chunk
