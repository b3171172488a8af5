#pragma once

#include <cstdint>
#include <string>

namespace io {

/// Typed big-endian reading. Every reader throws io::IOException when the data
/// ends early or is malformed.
class DataInput {
public:
    virtual void skip(int count) = 0;
    virtual int read(void* buffer, int count) = 0;
    /// Exactly `count` bytes.
    virtual void readFully(void* buffer, int count) = 0;
    virtual bool readBoolean() = 0;
    virtual int8_t readByte() = 0;
    virtual uint8_t readUnsignedByte() = 0;
    /// `length` bytes as they are; empty for 0 or less.
    virtual std::string readString(int length) = 0;
    virtual double readDouble() = 0;
    virtual float readFloat() = 0;
    virtual int32_t readInt() = 0;
    virtual int16_t readShort() = 0;
    /// A 16-bit length n, then n bytes into `buffer` followed by a 0; returns n.
    virtual int readUTF(char* buffer, int bufferSize) = 0;
    /// A 16-bit length n, then n bytes.
    virtual std::string readUTF() = 0;

protected:
    ~DataInput() = default;
};

}  // namespace io
