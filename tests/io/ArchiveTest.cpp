#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <random>
#include <thread>

#include "io/ArchiveMaker.h"
#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/IOException.h"
#include "io/MemoryAliasInputStream.h"
#include "io/TempDir.h"
#include "io/ZipFileInputStream.h"

using archive_maker::Format;
using io::ZipFileInputStream;

namespace {

bool isZip(Format f) {
    return f == Format::ZIP_DEFLATE || f == Format::ZIP_STORE;
}

std::string text(io::InputStream& s) {
    return io::readAllAsString(s);
}

std::string failure(const std::function<void()>& f) {
    try {
        f();
    } catch (const io::IOException& e) {
        return e.what();
    }
    return "(no exception)";
}

std::string repeated(size_t size) {
    std::string s;
    for (size_t i = 0; s.size() < size; ++i) {
        s += "line " + std::to_string(i % 97) + " of the level data\n";
    }
    s.resize(size);
    return s;
}

// Opens the archive and decodes every entry, in order; any failure must be an
// io::IOException. Returns the entries' names and contents, or nothing when it
// failed.
std::vector<std::string> decodeAll(const std::vector<uint8_t>& bytes, bool zip) {
    std::vector<std::string> out;
    try {
        ZipFileInputStream archive(bytes, zip);
        for (int i = 0; i < archive.getEntryCount(); ++i) {
            out.push_back(archive.getEntryNames()[i] + "=" + text(*archive.entry(i)));
        }
        return out;
    } catch (const io::IOException&) {
        return {};
    }
}

// The contents part of what decodeAll returns.
std::vector<std::string> contents(std::vector<std::string> entries) {
    for (std::string& e : entries) {
        e.erase(0, e.find('=') + 1);
    }
    return entries;
}

class ArchiveTest : public testing::TestWithParam<Format> {
protected:
    std::vector<uint8_t> make(const std::vector<archive_maker::Entry>& entries) {
        return archive_maker::make(GetParam(), entries);
    }
    bool zip() const { return isZip(GetParam()); }
};

}  // namespace

TEST_P(ArchiveTest, ListsFilesButNotFolders) {
    std::string big = repeated(200000);
    std::string longName = std::string(150, 'd') + "/" + std::string(150, 'f') + ".lua";
    auto bytes = make({archive_maker::folder("a"), archive_maker::file("a/b", "bytes of a/b"),
                       archive_maker::file("big.txt", big),
                       archive_maker::file("\xC3\xBC/\xC3\xB1.lua", "utf8"),
                       archive_maker::file(longName, "long")});
    ZipFileInputStream archive(bytes, zip());
    ASSERT_EQ(4, archive.getEntryCount());
    EXPECT_EQ((std::vector<std::string>{"a/b", "big.txt", "\xC3\xBC/\xC3\xB1.lua", longName}),
              archive.getEntryNames());
    EXPECT_EQ(longName, archive.entry(3)->getName());

    lang::Ptr<io::ZipEntryInputStream> first = archive.entry(0);
    EXPECT_EQ("a/b", first->getName());
    EXPECT_EQ("bytes of a/b", text(*first));
    EXPECT_EQ(big, text(*archive.entry(1)));
    EXPECT_EQ("utf8", text(*archive.entry(2)));
}

TEST_P(ArchiveTest, EntriesDecodeIndependently) {
    auto bytes = make({archive_maker::file("one", repeated(5000)),
                       archive_maker::file("two", "second"), archive_maker::file("empty", "")});
    ZipFileInputStream archive(bytes, zip());
    ASSERT_EQ(3, archive.getEntryCount());
    int empty = archive.getEntryNames()[2] == "empty" ? 2 : 0;
    EXPECT_EQ("second", text(*archive.entry(1)));
    EXPECT_EQ(repeated(5000), text(*archive.entry(0)));
    EXPECT_EQ("", text(*archive.entry(empty)));
    EXPECT_EQ("second", text(*archive.entry(1)));
    // Each entry stream is its own copy.
    lang::Ptr<io::ZipEntryInputStream> a = archive.entry(1);
    lang::Ptr<io::ZipEntryInputStream> b = archive.entry(1);
    a->skip(3);
    EXPECT_EQ("second", text(*b));
}

TEST_P(ArchiveTest, ArchivesOpenOnSeveralThreadsAtOnce) {
    auto bytes = make({archive_maker::file("f", repeated(3000))});
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i) {
                try {
                    ZipFileInputStream archive(bytes, zip());
                    good += text(*archive.entry(0)) == repeated(3000);
                } catch (const io::IOException&) {
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(20, good.load());
}

TEST_P(ArchiveTest, EntryIndexOutOfRangeNamesIndexAndCount) {
    ZipFileInputStream archive(make({archive_maker::file("x", "1"), archive_maker::file("y", "2")}),
                               zip());
    EXPECT_EQ("Entry index out of bounds! (index: -1, size: 2)",
              failure([&] { archive.entry(-1); }));
    EXPECT_EQ("Entry index out of bounds! (index: 2, size: 2)", failure([&] { archive.entry(2); }));
}

TEST_P(ArchiveTest, ReadsFromFilesAndSharedStreams) {
    TempDir dir;
    auto bytes = make({archive_maker::file("level.lua", "return {}")});
    dir.write("sealed.bin", std::string(bytes.begin(), bytes.end()));
    lang::Ptr<ZipFileInputStream> archive =
        new ZipFileInputStream(new io::FileInputStream(dir / "sealed.bin"), zip());
    EXPECT_EQ("return {}", text(*archive->entry(0)));

    io::MemoryAliasInputStream alias(bytes.data(), static_cast<int>(bytes.size()));
    ZipFileInputStream fromAlias(alias, zip());
    EXPECT_EQ("return {}", text(*fromAlias.entry(0)));
}

TEST_P(ArchiveTest, DamagedArchivesFailCleanly) {
    // Every prefix, and every byte damaged in turn: the archive fails with an
    // io::IOException or, where the damage hits bytes the reader does not
    // need, gives exactly the original entries. Never a crash, an
    // out-of-bounds read, or wrong content.
    auto bytes = make({archive_maker::file("a.lua", repeated(300)), archive_maker::file("b", "b")});
    const std::vector<std::string> original = decodeAll(bytes, zip());
    ASSERT_EQ(2u, original.size());
    auto check = [&](const std::vector<uint8_t>& damaged, const std::string& what) {
        std::vector<std::string> got = decodeAll(damaged, zip());
        if (!got.empty()) {
            EXPECT_EQ(original, got) << what;
        }
    };
    for (size_t n = 0; n < bytes.size(); ++n) {
        check(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n),
              "first " + std::to_string(n) + " bytes");
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = bytes;
            bad[i] ^= mask;
            std::vector<std::string> got = decodeAll(bad, zip());
            if (got.empty()) {
                continue;
            }
            if (!zip()) {
                EXPECT_EQ(original, got) << "byte " << i << " ^ " << int(mask);
                continue;
            }
            // Zip names and counts are not checksummed: an entry may be renamed
            // or dropped, but whatever content arrives is the real one.
            for (const std::string& content : contents(got)) {
                std::vector<std::string> all = contents(original);
                EXPECT_NE(all.end(), std::find(all.begin(), all.end(), content))
                    << "byte " << i << " ^ " << int(mask);
            }
        }
    }
}

TEST_P(ArchiveTest, GarbageFailsToOpen) {
    std::mt19937 random(7);
    for (int n = 0; n < 200; ++n) {
        std::vector<uint8_t> garbage(random() % 600);
        for (uint8_t& b : garbage) {
            b = static_cast<uint8_t>(random());
        }
        EXPECT_TRUE(decodeAll(garbage, zip()).empty());
    }
}

std::string formatName(const testing::TestParamInfo<Format>& info) {
    static const char* const NAMES[] = {"SevenZipLzma", "SevenZipLzma2", "SevenZipCopy",
                                        "ZipDeflate", "ZipStore"};
    return NAMES[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Formats, ArchiveTest,
                         testing::Values(Format::SEVEN_ZIP_LZMA, Format::SEVEN_ZIP_LZMA2,
                                         Format::SEVEN_ZIP_COPY, Format::ZIP_DEFLATE,
                                         Format::ZIP_STORE),
                         formatName);

TEST(Archive, EmptyOrForeignDataFailsWithTheDecoderCode) {
    EXPECT_EQ("Error opening 7zip file. Error 17",
              failure([] { ZipFileInputStream z(std::vector<uint8_t>(), false); }));
    EXPECT_EQ("Error opening 7zip file. Error 1",
              failure([] { ZipFileInputStream z(std::vector<uint8_t>(), true); }));
    // Each backend refuses the other's format.
    auto zip = archive_maker::make(Format::ZIP_DEFLATE, {archive_maker::file("f", "x")});
    auto sevenZip = archive_maker::make(Format::SEVEN_ZIP_LZMA, {archive_maker::file("f", "x")});
    EXPECT_EQ("Error opening 7zip file. Error 17",
              failure([&] { ZipFileInputStream z(zip, false); }));
    EXPECT_EQ("Error opening 7zip file. Error 1",
              failure([&] { ZipFileInputStream z(sevenZip, true); }));
}

namespace {

void putLE(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A 7z number: one byte below 0x80, otherwise 0xFF and eight bytes.
void putNumber(std::vector<uint8_t>& out, uint64_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<uint8_t>(value));
    } else {
        out.push_back(0xFF);
        putLE(out, value, 8);
    }
}

uint32_t crc(const std::vector<uint8_t>& bytes, size_t from = 0, size_t count = SIZE_MAX) {
    count = std::min(count, bytes.size() - from);
    return static_cast<uint32_t>(crc32(0, bytes.data() + from, static_cast<uInt>(count)));
}

// A 7z archive by hand: one stored ("copy") block of `packed` bytes whose
// header claims `unpackSize` bytes and `files` files named "a". The headers
// carry valid checksums, so only the claims are wrong.
std::vector<uint8_t> craftedSevenZip(const std::string& packed, uint64_t unpackSize,
                                     uint64_t files = 1) {
    std::vector<uint8_t> header = {0x01, 0x04, 0x06, 0x00, 0x01, 0x09};
    putNumber(header, packed.size());
    header.insert(header.end(), {0x00, 0x07, 0x0B, 0x01, 0x00, 0x01, 0x01, 0x00, 0x0C});
    putNumber(header, unpackSize);
    header.insert(header.end(), {0x00, 0x00, 0x05});
    putNumber(header, files);
    header.push_back(0x11);
    putNumber(header, 1 + 4 * files);
    header.push_back(0x00);
    for (uint64_t i = 0; i < files && i < 4; ++i) {
        header.insert(header.end(), {'a', 0, 0, 0});
    }
    header.insert(header.end(), {0x00, 0x00});

    std::vector<uint8_t> out = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0x00, 0x04};
    std::vector<uint8_t> start;
    putLE(start, packed.size(), 8);
    putLE(start, header.size(), 8);
    putLE(start, crc(header), 4);
    putLE(out, crc(start), 4);
    out.insert(out.end(), start.begin(), start.end());
    out.insert(out.end(), packed.begin(), packed.end());
    out.insert(out.end(), header.begin(), header.end());
    return out;
}

}  // namespace

TEST(Archive, SevenZipClaimsBeyondTheDataAreRefused) {
    const std::string packed = "0123456789abcdef";
    ZipFileInputStream honest(craftedSevenZip(packed, packed.size()), false);
    ASSERT_EQ(1, honest.getEntryCount());
    EXPECT_EQ(packed, text(*honest.entry(0)));

    // Sizes no data of this length can hold are not allocated (error 2), and a
    // block that claims more than it has fails to decode.
    const uint64_t claims[] = {uint64_t(1) << 40, uint64_t(512) << 20, 17};
    for (uint64_t claim : claims) {
        SCOPED_TRACE(claim);
        ZipFileInputStream archive(craftedSevenZip(packed, claim), false);
        ASSERT_EQ(1, archive.getEntryCount());
        EXPECT_EQ(0u,
                  failure([&] { archive.entry(0); }).find("Error extracting \"a\" from archive"));
    }
    EXPECT_EQ("Error extracting \"a\" from archive. Error 2", failure([&] {
                  ZipFileInputStream(craftedSevenZip(packed, uint64_t(1) << 40), false).entry(0);
              }));
    // A file count far beyond the header's size.
    EXPECT_EQ(0u, failure([&] {
                      ZipFileInputStream z(craftedSevenZip(packed, 16, 0x7FFFFFF0), false);
                  }).find("Error opening 7zip file. Error "));
}

TEST(Archive, ZipClaimsBeyondTheDataAreNotTrusted) {
    auto bytes = archive_maker::make(Format::ZIP_STORE, {archive_maker::file("f.lua", "stored")});
    // The central directory's uncompressed size (offset 24 of its record).
    size_t central = 0;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (bytes[i] == 'P' && bytes[i + 1] == 'K' && bytes[i + 2] == 1 && bytes[i + 3] == 2) {
            central = i;
        }
    }
    ASSERT_NE(0u, central);
    for (int k = 0; k < 4; ++k) {
        bytes[central + 24 + k] = k == 3 ? 0x7F : 0xFF;
    }
    // The entry holds fewer bytes than it claims: damaged, and said so.
    ZipFileInputStream archive(bytes, true);
    ASSERT_EQ(1, archive.getEntryCount());
    EXPECT_EQ("Error extracting \"f.lua\" from archive. Error -103",
              failure([&] { archive.entry(0); }));
}

namespace {

// Serves `bytes` until `budget` bytes have been read, then fails like a disk.
class FailingStream : public io::ByteArrayInputStream {
public:
    FailingStream(const std::vector<uint8_t>& bytes, int budget)
        : ByteArrayInputStream(bytes), budget_(budget) {}
    int read(void* buffer, int count) override {
        if (count > budget_) {
            throw io::IOException(lang::Format("Failed to read {0} bytes from {1}", count, "disk"));
        }
        budget_ -= count;
        return ByteArrayInputStream::read(buffer, count);
    }

private:
    int budget_;
};

}  // namespace

TEST(Archive, StreamFailuresAreReported) {
    auto sevenZip = archive_maker::make(Format::SEVEN_ZIP_LZMA, {archive_maker::file("f", "x")});
    FailingStream failing7z(sevenZip, 0);
    EXPECT_EQ("Error opening 7zip file. Error 8",
              failure([&] { ZipFileInputStream z(failing7z, false); }));

    auto zip = archive_maker::make(Format::ZIP_DEFLATE, {archive_maker::file("f", "x")});
    FailingStream failingZip(zip, 0);
    std::string message = failure([&] { ZipFileInputStream z(failingZip, true); });
    EXPECT_EQ(0u, message.find("Failed to read ")) << message;
    EXPECT_NE(std::string::npos, message.find(" bytes from disk")) << message;
}
