#include <gtest/gtest.h>

#include <cstring>

#include "io/ByteArrayInputStream.h"
#include "io/ByteArrayOutputStream.h"
#include "io/MemoryAliasInputStream.h"

using io::ByteArrayInputStream;
using io::InputStream;
using io::MemoryAliasInputStream;

namespace {

const char TEN[] = "0123456789";

struct SeekCase {
    int start;
    int64_t offset;
    int origin;
    int expected;  // position afterwards
};

// Position of a memory stream, told by what is left.
int position(InputStream& s) {
    return 10 - s.available();
}

// A stream that does not know its length and hands out at most 700 bytes a read.
class UnsizedStream : public InputStream {
public:
    explicit UnsizedStream(size_t size) : InputStream(lang::Ptr<InputStream>()), size_(size) {}
    int read(void* buffer, int count) override {
        size_t n = std::min<size_t>({static_cast<size_t>(count), 700, size_ - pos_});
        std::memset(buffer, 'u', n);
        pos_ += n;
        return static_cast<int>(n);
    }
    void skip(int) override {}
    bool seek(int64_t, int) override { return false; }
    int available() override { return -1; }
    std::string getName() const override { return "unsized"; }

private:
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

TEST(MemoryStream, SeekClampsToTheData) {
    const SeekCase cases[] = {
        {0, -5, 0, 0}, {0, 4, 0, 4},  {0, 15, 0, 10},       {6, -2, 1, 4},
        {6, 9, 1, 10}, {6, -9, 1, 0}, {0, -3, 2, 7},        {0, 2, 2, 10},
        {3, 0, 2, 10}, {5, 4, 7, 5},  {2, INT64_MIN, 1, 0}, {2, INT64_MAX, 1, 10},
    };
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "start " << c.start << " offset " << c.offset << " origin " << c.origin);
        for (int kind = 0; kind < 2; ++kind) {
            ByteArrayInputStream owned(TEN, 10);
            MemoryAliasInputStream alias(TEN, 10);
            InputStream& s = kind ? static_cast<InputStream&>(alias) : owned;
            s.skip(c.start);
            EXPECT_TRUE(s.seek(c.offset, c.origin));
            EXPECT_EQ(c.expected, position(s));
        }
    }
}

TEST(MemoryStream, ReadsAndSkipsStopAtTheEnd) {
    MemoryAliasInputStream s(TEN, 10, "ten");
    char buf[16] = {};
    EXPECT_EQ(4, s.read(buf, 4));
    EXPECT_EQ(std::string("0123"), std::string(buf, 4));
    s.skip(3);
    EXPECT_EQ(3, s.read(buf, 16));
    EXPECT_EQ(std::string("789"), std::string(buf, 3));
    EXPECT_EQ(0, s.read(buf, 16));
    s.skip(5);
    EXPECT_EQ(0, s.available());
    EXPECT_EQ("ten", s.getName());
}

TEST(MemoryStream, NamesDefaultToTheClass) {
    EXPECT_EQ("ByteArrayInputStream", ByteArrayInputStream().getName());
    EXPECT_EQ("MemoryAliasInputStream", MemoryAliasInputStream(TEN, 10).getName());
}

TEST(ByteArrayInputStream, SetDataReplacesAndRewinds) {
    ByteArrayInputStream s;
    EXPECT_EQ(nullptr, s.data());
    EXPECT_EQ(0, s.available());
    s.setData(TEN, 10);
    s.skip(8);
    s.setData("abc", 3);
    ASSERT_NE(nullptr, s.data());
    EXPECT_EQ('a', s.data()[0]);
    EXPECT_EQ("abc", io::readAllAsString(s));
}

TEST(ByteArrayInputStream, CopiesWhatAnotherStreamHasLeft) {
    MemoryAliasInputStream source(TEN, 10, "source");
    source.skip(7);
    ByteArrayInputStream copy(source);
    EXPECT_EQ("789", io::readAllAsString(copy));
    EXPECT_EQ("source", copy.getName());
    EXPECT_EQ(0, source.available());
}

TEST(ReadAll, ReadsStreamsOfUnknownLengthToTheEnd) {
    // Reads come back short (700 bytes) long before the end; all of it must arrive.
    UnsizedStream exact(2048);
    EXPECT_EQ(2048u, io::readAll(exact).size());
    UnsizedStream empty(0);
    EXPECT_TRUE(io::readAll(empty).empty());
}

TEST(InputStream, ForwardsToItsTargetOrWrappedStream) {
    lang::Ptr<InputStream> inner = new ByteArrayInputStream(TEN, 10);
    InputStream wrapper(inner);
    InputStream alias(inner.get());
    char c;
    EXPECT_EQ(1, wrapper.read(&c, 1));
    EXPECT_EQ('0', c);
    alias.skip(2);
    EXPECT_EQ(7, wrapper.available());
    EXPECT_TRUE(alias.seek(-1, 2));
    EXPECT_EQ(1, wrapper.read(&c, 1));
    EXPECT_EQ('9', c);
    EXPECT_EQ("ByteArrayInputStream", alias.getName());

    InputStream nothing(lang::Ptr<InputStream>{});
    EXPECT_EQ(0, nothing.read(&c, 1));
    EXPECT_FALSE(nothing.seek(0, 0));
}

TEST(ByteArrayOutputStream, AppendsToItsOwnOrTheCallersVector) {
    io::ByteArrayOutputStream own(4);
    EXPECT_EQ(3, own.write("abc", 3));
    EXPECT_EQ(2, own.write("de", 2));
    EXPECT_EQ(0, own.write("x", 0));
    EXPECT_EQ("abcde", own.toString());
    EXPECT_EQ("ByteArrayOutputStream", own.getName());

    std::vector<uint8_t> target{'>'};
    {
        io::ByteArrayOutputStream out(target);
        out.write("hi", 2);
    }
    EXPECT_EQ((std::vector<uint8_t>{'>', 'h', 'i'}), target);
}
