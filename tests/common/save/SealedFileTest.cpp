#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/save/SealedFile.h"
#include "io/ArchiveMaker.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "qfseal/Sealer.h"
#include "util/AES.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes randomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

Bytes encrypt(const Bytes& plain, const Bytes& key = contentKey()) {
    Bytes out;
    util::AES(key, 0, 0).encrypt(plain, out);
    return out;
}

// The message of the lang::Exception that opening bytes throws.
std::string openError(const Bytes& sealed, const Bytes& key = contentKey()) {
    try {
        openSealed(sealed.data(), sealed.size(), key);
    } catch (const lang::Exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "sealed bytes opened";
    return std::string();
}

bool isDecryptOrArchiveError(const std::string& message) {
    return message == "Failed to decrypt input data" ||
           message.rfind("Error opening 7zip file. Error ", 0) == 0 ||
           message.rfind("Error extracting ", 0) == 0 ||
           message.rfind("Entry index out of bounds!", 0) == 0;
}

TEST(ContentKeyTest, IsOne32ByteKeyForEveryThread) {
    const Bytes* seen[4] = {};
    std::vector<std::thread> threads;
    for (auto& slot : seen) {
        threads.emplace_back([&slot] { slot = &contentKey(); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (const Bytes* key : seen) {
        EXPECT_EQ(key, &contentKey());
    }
    EXPECT_EQ(contentKey().size(), 32u);
}

TEST(SealedFileTest, ContentsRoundTrip) {
    const Bytes contents[] = {
        Bytes(),        bytesOf("print('hello')\n"), randomBytes(256, 1), Bytes(15, 'x'),
        Bytes(16, 'y'), randomBytes(200000, 2),
    };
    for (const Bytes& content : contents) {
        Bytes sealed = qfseal::seal(content, "a.lua");
        EXPECT_EQ(sealed.size() % 16, 0u);
        EXPECT_EQ(qfseal::unseal(sealed), content) << content.size() << " bytes";
    }
}

TEST(SealedFileTest, SealingIsReproducible) {
    EXPECT_EQ(qfseal::seal("x = 1", "x.lua"), qfseal::seal("x = 1", "x.lua"));
}

TEST(SealedFileTest, ReadsFromTheBundle) {
    TempDir bundle;
    std::string savedRoot = io::bundleRoot();
    io::setBundleRoot(bundle.str() + "/");
    Bytes sealed = qfseal::seal("return 42", "deep.lua");
    bundle.write("scripts/deep.lua", std::string(sealed.begin(), sealed.end()));
    EXPECT_EQ(readSealedFile("scripts/deep.lua"), bytesOf("return 42"));
    EXPECT_EQ(readSealedFile("/scripts/deep.lua"), bytesOf("return 42"));
    EXPECT_THROW(readSealedFile("scripts/missing.lua"), io::IOException);
    EXPECT_THROW(readSealedFile("scripts/"), io::IOException);
    io::setBundleRoot(savedRoot);
}

TEST(SealedFileTest, BadFilesInTheBundleAreNamed) {
    TempDir bundle;
    std::string savedRoot = io::bundleRoot();
    io::setBundleRoot(bundle.str() + "/");
    Bytes sealed = qfseal::seal("return 42", "deep.lua");
    struct Case {
        const char* what;
        Bytes bytes;
        const char* problem;
    };
    const Case cases[] = {
        {"cut short", Bytes(sealed.begin(), sealed.end() - 7), "Failed to decrypt input data"},
        {"no archive inside", encrypt(bytesOf("x = 1")), "Error opening 7zip file"},
        {"not sealed", bytesOf("x = 1"), "Failed to decrypt input data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bundle.write("scripts/bad.lua", std::string(c.bytes.begin(), c.bytes.end()));
        try {
            readSealedFile("scripts/bad.lua");
            ADD_FAILURE() << "opened";
        } catch (const lang::Exception& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(bundle / "scripts/bad.lua: ", 0), 0u) << message;
            EXPECT_NE(message.find(c.problem), std::string::npos) << message;
        }
    }
    io::setBundleRoot(savedRoot);
}

TEST(SealedFileTest, OtherKeysOpenWhatTheySealed) {
    Bytes key16(16, 7);
    Bytes sealed = qfseal::seal("level", "l.lua", key16);
    EXPECT_EQ(qfseal::unseal(sealed, key16), bytesOf("level"));
    EXPECT_TRUE(isDecryptOrArchiveError(openError(sealed)));
}

TEST(SealedFileTest, WrongKeysNeverOpen) {
    Bytes sealed = qfseal::seal(randomBytes(500, 3), "a.lua");
    for (int i = 0; i < 32; ++i) {
        Bytes key = contentKey();
        key[i] ^= 0x01;
        EXPECT_TRUE(isDecryptOrArchiveError(openError(sealed, key))) << "byte " << i;
    }
}

TEST(SealedFileTest, BadLengthsDoNotDecrypt) {
    Bytes sealed = qfseal::seal("content", "a.lua");
    for (size_t cut : {size_t(1), size_t(15), size_t(17)}) {
        Bytes shorter(sealed.begin(), sealed.end() - cut);
        EXPECT_EQ(openError(shorter), "Failed to decrypt input data") << cut;
    }
    Bytes longer = sealed;
    longer.push_back(0);
    EXPECT_EQ(openError(longer), "Failed to decrypt input data");
}

// Damage either fails with the reader's errors or, where it touches only the
// padding, leaves the content intact; it never yields other content.
TEST(SealedFileTest, TruncatedAndCorruptedFilesNeverYieldOtherContent) {
    Bytes content = randomBytes(300, 4);
    Bytes sealed = qfseal::seal(content, "a.lua");
    auto check = [&](const Bytes& damaged) {
        try {
            return openSealed(damaged.data(), damaged.size()) == content;
        } catch (const lang::Exception& e) {
            return isDecryptOrArchiveError(e.what());
        }
    };
    for (size_t size = 0; size < sealed.size(); size += 16) {
        EXPECT_TRUE(check(Bytes(sealed.begin(), sealed.begin() + size))) << size << " bytes";
    }
    for (size_t i = 0; i < sealed.size(); i += 3) {
        Bytes damaged = sealed;
        damaged[i] ^= 0x40;
        EXPECT_TRUE(check(damaged)) << "byte " << i;
    }
}

TEST(SealedFileTest, DecryptedBytesMustBeAnArchiveWithAnEntry) {
    EXPECT_EQ(openError(Bytes()).rfind("Error opening 7zip file. Error ", 0), 0u);
    EXPECT_EQ(openError(encrypt(bytesOf("print('not an archive')")))
                  .rfind("Error opening 7zip file. Error ", 0),
              0u);
    for (unsigned seed = 0; seed < 20; ++seed) {
        EXPECT_TRUE(isDecryptOrArchiveError(openError(encrypt(randomBytes(64 + seed * 31, seed)))));
    }
    Bytes foldersOnly = archive_maker::make(archive_maker::Format::SEVEN_ZIP_LZMA,
                                            {archive_maker::folder("scripts")});
    EXPECT_EQ(openError(encrypt(foldersOnly)), "Entry index out of bounds! (index: 0, size: 0)");
}

TEST(SealedFileTest, EntryZeroIsTheFirstFile) {
    Bytes archive = archive_maker::make(
        archive_maker::Format::SEVEN_ZIP_LZMA2,
        {archive_maker::folder("d"), archive_maker::file("d/first.lua", "first"),
         archive_maker::file("second.lua", "second")});
    Bytes sealed = encrypt(archive);
    EXPECT_EQ(openSealed(sealed.data(), sealed.size()), bytesOf("first"));
}

}  // namespace
