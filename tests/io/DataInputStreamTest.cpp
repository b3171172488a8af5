#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "io/ByteArrayInputStream.h"
#include "io/DataInputStream.h"
#include "io/IOException.h"

using io::DataInputStream;

namespace {

// A DataInputStream over the given bytes, with a name for the messages.
struct Reader {
    explicit Reader(std::vector<uint8_t> bytes) : source(std::move(bytes)), in(source) {}

    struct Named : io::ByteArrayInputStream {
        explicit Named(std::vector<uint8_t> b) : ByteArrayInputStream(std::move(b)) {
            setName("sheet.dat");
        }
    } source;
    DataInputStream in;
};

template <class F>
std::string failure(F f) {
    try {
        f();
    } catch (const io::IOException& e) {
        return e.what();
    }
    return "(no exception)";
}

}  // namespace

TEST(DataInputStream, ReadsBigEndianNumbers) {
    Reader r({0xFF, 0xFE, 0x00, 0x00, 0x01, 0x00, 0x80, 0x01, 0x3F, 0x80, 0x00, 0x00,
              0xC0, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18, 0x02, 0x00, 0xFF});
    EXPECT_EQ(-2, r.in.readShort());
    EXPECT_EQ(256, r.in.readInt());
    EXPECT_EQ(-128, r.in.readByte());
    EXPECT_EQ(1, r.in.readUnsignedByte());
    EXPECT_EQ(1.0f, r.in.readFloat());
    EXPECT_DOUBLE_EQ(-3.141592653589793, r.in.readDouble());
    EXPECT_TRUE(r.in.readBoolean());
    EXPECT_FALSE(r.in.readBoolean());
    EXPECT_EQ(255, r.in.readUnsignedByte());
    EXPECT_EQ("sheet.dat", r.in.getName());
}

TEST(DataInputStream, ReadsLengthPrefixedStrings) {
    Reader r({0x00, 0x05, 'H', 'e', 'l', 'l', 'o', 0x00, 0x00, 0x00, 0x02, 'o', 'k', 'x', 'y'});
    EXPECT_EQ("Hello", r.in.readUTF());
    EXPECT_EQ("", r.in.readUTF());
    char buf[3];
    EXPECT_EQ(2, r.in.readUTF(buf, 3));
    EXPECT_STREQ("ok", buf);
    EXPECT_EQ("", r.in.readString(0));
    EXPECT_EQ("", r.in.readString(-4));
    EXPECT_EQ("xy", r.in.readString(2));
}

TEST(DataInputStream, MalformedDataFailsWithTheStreamName) {
    struct Case {
        std::vector<uint8_t> bytes;
        std::function<void(DataInputStream&)> read;
        const char* message;
    };
    char buf[5];
    const Case cases[] = {
        {{0xFF, 0xFF},
         [](DataInputStream& in) { in.readUTF(); },
         "Invalid UTF-8 data in sheet.dat."},
        {{0x80, 0x00},
         [&](DataInputStream& in) { in.readUTF(buf, 5); },
         "Invalid UTF-8 data in sheet.dat."},
        {{0x00, 0x05, 'H', 'e', 'l', 'l', 'o'},
         [&](DataInputStream& in) { in.readUTF(buf, 5); },
         "Too small buffer (5) for UTF-8 data in sheet.dat."},
        {{0x00, 0x06, 'a'},
         [](DataInputStream& in) { in.readUTF(); },
         "Unexpected end of file in sheet.dat."},
        {{0x01, 0x02, 0x03},
         [](DataInputStream& in) { in.readInt(); },
         "Unexpected end of file in sheet.dat."},
        {{0x01},
         [](DataInputStream& in) { in.readShort(); },
         "Unexpected end of file in sheet.dat."},
        {{}, [](DataInputStream& in) { in.readBoolean(); }, "Unexpected end of file in sheet.dat."},
        {{1, 2, 3, 4, 5, 6, 7},
         [](DataInputStream& in) { in.readDouble(); },
         "Unexpected end of file in sheet.dat."},
        // A length claimed by the data is not trusted with an allocation.
        {{'a', 'b'},
         [](DataInputStream& in) { in.readString(0x7FFFFFFF); },
         "Unexpected end of file in sheet.dat."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Reader r(c.bytes);
        EXPECT_EQ(c.message, failure([&] { c.read(r.in); }));
    }
}

TEST(DataInputStream, ForwardsStreamOperations) {
    Reader r({1, 2, 3, 4, 5});
    r.in.skip(2);
    EXPECT_EQ(3, r.in.available());
    EXPECT_TRUE(r.in.seek(-1, 2));
    EXPECT_EQ(5, r.in.readUnsignedByte());
    uint8_t b[4];
    EXPECT_EQ(0, r.in.read(b, 4));
}
