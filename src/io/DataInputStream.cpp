#include "io/DataInputStream.h"

#include <cstring>

#include "io/IOException.h"

namespace io {

namespace {

// Long strings are read piece by piece, so a huge length in bad data costs
// only the bytes that are really there.
const int STRING_CHUNK = 64 * 1024;

}  // namespace

DataInputStream::DataInputStream(InputStream* stream) : InputStream(stream) {}

void DataInputStream::skip(int count) {
    InputStream::skip(count);
}

int DataInputStream::read(void* buffer, int count) {
    return InputStream::read(buffer, count);
}

void DataInputStream::readFully(void* buffer, int count) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    int done = 0;
    while (done < count) {
        int got = read(out + done, count - done);
        if (got <= 0) {
            throw IOException(lang::Format("Unexpected end of file in {0}.", getName()));
        }
        done += got;
    }
}

bool DataInputStream::readBoolean() {
    return readUnsignedByte() != 0;
}

int8_t DataInputStream::readByte() {
    return static_cast<int8_t>(readUnsignedByte());
}

uint8_t DataInputStream::readUnsignedByte() {
    uint8_t b;
    readFully(&b, 1);
    return b;
}

std::string DataInputStream::readString(int length) {
    std::string text;
    while (length > 0) {
        int chunk = length < STRING_CHUNK ? length : STRING_CHUNK;
        size_t at = text.size();
        text.resize(at + static_cast<size_t>(chunk));
        readFully(&text[at], chunk);
        length -= chunk;
    }
    return text;
}

uint16_t DataInputStream::readU16() {
    uint8_t b[2];
    readFully(b, 2);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t DataInputStream::readU32() {
    uint8_t b[4];
    readFully(b, 4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

uint64_t DataInputStream::readU64() {
    uint64_t high = readU32();
    return (high << 32) | readU32();
}

double DataInputStream::readDouble() {
    uint64_t bits = readU64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float DataInputStream::readFloat() {
    uint32_t bits = readU32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t DataInputStream::readInt() {
    return static_cast<int32_t>(readU32());
}

int16_t DataInputStream::readShort() {
    return static_cast<int16_t>(readU16());
}

int DataInputStream::readUTF(char* buffer, int bufferSize) {
    int n = readShort();
    if (n < 0) {
        throw IOException(lang::Format("Invalid UTF-8 data in {0}.", getName()));
    }
    if (n >= bufferSize) {
        throw IOException(
            lang::Format("Too small buffer ({0}) for UTF-8 data in {1}.", bufferSize, getName()));
    }
    readFully(buffer, n);
    buffer[n] = 0;
    return n;
}

std::string DataInputStream::readUTF() {
    int n = readShort();
    if (n < 0) {
        throw IOException(lang::Format("Invalid UTF-8 data in {0}.", getName()));
    }
    return readString(n);
}

}  // namespace io
