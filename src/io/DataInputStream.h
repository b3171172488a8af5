#pragma once

#include "io/DataInput.h"
#include "io/InputStream.h"

namespace io {

/// Big-endian reader over another stream, which it does not own: the wrapped
/// stream must outlive it. Stream operations, the name included, are the
/// wrapped stream's.
class DataInputStream : public InputStream, public DataInput {
public:
    explicit DataInputStream(InputStream* stream);
    explicit DataInputStream(InputStream& stream) : DataInputStream(&stream) {}

    void skip(int count) override;
    int read(void* buffer, int count) override;
    void readFully(void* buffer, int count) override;
    bool readBoolean() override;
    int8_t readByte() override;
    uint8_t readUnsignedByte() override;
    std::string readString(int length) override;
    double readDouble() override;
    float readFloat() override;
    int32_t readInt() override;
    int16_t readShort() override;
    int readUTF(char* buffer, int bufferSize) override;
    std::string readUTF() override;

private:
    uint16_t readU16();
    uint32_t readU32();
    uint64_t readU64();
};

}  // namespace io
