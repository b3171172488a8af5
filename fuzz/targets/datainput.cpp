// DataInputStream: a script of reads (chosen by the first bytes) over the
// rest of the input. Every read either returns the big-endian value found at
// the current position and moves on by its size, or throws IOException; a
// position model checks both.
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "io/ByteArrayInputStream.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"
#include "lang/Ptr.h"

namespace {

struct Model {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool has(size_t n) const { return size - pos >= n; }
    uint64_t be(size_t n) const {
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) {
            v = v << 8 | data[pos + i];
        }
        return v;
    }
};

// memcmp, which must not see the null pointer of empty data.
bool same(const void* a, const void* b, size_t n) {
    return n == 0 || std::memcmp(a, b, n) == 0;
}

std::string where(const Model& m, int op) {
    return "op " + std::to_string(op) + " at " + std::to_string(m.pos) + " of " +
           std::to_string(m.size);
}

// One operation; the model says whether it may throw and what it yields.
void step(io::DataInputStream& in, Model& m, int op, int arg) {
    const std::string at = where(m, op);
    switch (op) {
        case 0: {
            const bool ok = m.has(1);
            try {
                int8_t v = in.readByte();
                QF_FUZZ_CHECK(ok && v == int8_t(m.data[m.pos]), at);
                m.pos += 1;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 1: {
            const bool ok = m.has(1);
            try {
                bool v = in.readBoolean();
                QF_FUZZ_CHECK(ok && v == (m.data[m.pos] != 0), at);
                m.pos += 1;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 2: {
            const bool ok = m.has(2);
            try {
                int16_t v = in.readShort();
                QF_FUZZ_CHECK(ok && uint16_t(v) == m.be(2), at);
                m.pos += 2;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 3: {
            const bool ok = m.has(4);
            try {
                int32_t v = in.readInt();
                QF_FUZZ_CHECK(ok && uint32_t(v) == m.be(4), at);
                m.pos += 4;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 4: {
            const bool ok = m.has(4);
            try {
                float v = in.readFloat();
                uint32_t bits;
                std::memcpy(&bits, &v, 4);
                QF_FUZZ_CHECK(ok && bits == m.be(4), at);
                m.pos += 4;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 5: {
            const bool ok = m.has(8);
            try {
                double v = in.readDouble();
                uint64_t bits;
                std::memcpy(&bits, &v, 8);
                QF_FUZZ_CHECK(ok && bits == m.be(8), at);
                m.pos += 8;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 6: {
            // A length that may be negative or beyond the data.
            const int length = int16_t(arg);
            const bool ok = length <= 0 || m.has(size_t(length));
            try {
                std::string v = in.readString(length);
                QF_FUZZ_CHECK(ok, at);
                const size_t n = length > 0 ? size_t(length) : 0;
                QF_FUZZ_CHECK(v.size() == n && same(v.data(), m.data + m.pos, n), at);
                m.pos += n;
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.size;
            }
            break;
        }
        case 7: {
            const int n = m.has(2) ? int16_t(m.be(2)) : -1;
            const bool ok = m.has(2) && n >= 0 && m.has(2 + size_t(n));
            try {
                std::string v = in.readUTF();
                QF_FUZZ_CHECK(
                    ok && v.size() == size_t(n) && same(v.data(), m.data + m.pos + 2, v.size()),
                    at);
                m.pos += 2 + size_t(n);
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                // A refused length has been read; a short text reads all there is.
                m.pos = m.has(2) && n < 0 ? m.pos + 2 : m.size;
            }
            break;
        }
        case 8: {
            // Exactly bufferSize bytes, so that AddressSanitizer sees any write
            // past the caller's buffer.
            const int bufferSize = arg % 300;
            std::unique_ptr<char[]> buffer(new char[size_t(bufferSize) + (bufferSize == 0)]);
            const int n = m.has(2) ? int16_t(m.be(2)) : -1;
            const bool ok = m.has(2) && n >= 0 && n < bufferSize && m.has(2 + size_t(n));
            try {
                int got = in.readUTF(buffer.get(), bufferSize);
                QF_FUZZ_CHECK(ok && got == n && buffer[size_t(n)] == 0 &&
                                  same(buffer.get(), m.data + m.pos + 2, size_t(n)),
                              at);
                m.pos += 2 + size_t(n);
            } catch (const io::IOException&) {
                QF_FUZZ_CHECK(!ok, at);
                m.pos = m.has(2) && (n < 0 || n >= bufferSize) ? m.pos + 2 : m.size;
            }
            break;
        }
        case 9: {
            const int count = arg % 64;
            in.skip(count);
            m.pos += std::min(size_t(count), m.size - m.pos);
            break;
        }
        default: {
            uint8_t buffer[32];
            const int count = arg % 33;
            const int got = in.read(buffer, count);
            const size_t expected = std::min(size_t(count), m.size - m.pos);
            QF_FUZZ_CHECK(got == int(expected) && same(buffer, m.data + m.pos, expected), at);
            m.pos += expected;
            break;
        }
    }
    QF_FUZZ_CHECK(in.available() == int(m.size - m.pos), where(m, op) + " available");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool copy = in.flag();
    const size_t steps = in.byte() % 32;
    std::vector<std::pair<int, int>> script;
    for (size_t i = 0; i < steps; ++i) {
        const int op = in.byte() % 11;
        script.emplace_back(op, in.u16());
    }
    const std::vector<uint8_t> bytes = in.rest();
    lang::Ptr<io::InputStream> source;
    if (copy) {
        source = new io::ByteArrayInputStream(bytes.data(), int(bytes.size()));
    } else {
        source = new io::MemoryAliasInputStream(bytes.data(), int(bytes.size()), "fuzz");
    }
    io::DataInputStream reader(source.get());
    Model model{bytes.data(), bytes.size()};
    for (const auto& s : script) {
        step(reader, model, s.first, s.second);
    }
    return 0;
}
