#include "util/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "support/testserver/TempAppData.h"
#include "util/AES.h"
#include "util/RegistryAccessor.h"
#include "util/RegistryKey.h"

namespace {

using util::JSON;
using util::RegistryAccessor;

const char* const kFile = "tessel.registry";
const char* const kCorrupted = "Registry load failed because the file seems to be corrupted";

std::string encrypt(const std::string& plain, int padMode) {
    util::AES aes(util::detail::registryKey(), util::AES::KEY_LENGTH_256, padMode);
    std::vector<uint8_t> out;
    aes.encrypt(reinterpret_cast<const uint8_t*>(plain.data()), plain.size(), out);
    return std::string(out.begin(), out.end());
}

class RegistryTest : public ::testing::Test {
protected:
    // The store file decrypted with the store key and parsed.
    JSON fileDocument() {
        std::string bytes = appData.read(kFile);
        util::AES aes(util::detail::registryKey(), util::AES::KEY_LENGTH_256,
                      util::AES::PAD_MODE_RANDOM);
        std::vector<uint8_t> plain;
        EXPECT_TRUE(
            aes.decrypt(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), plain));
        JSON doc;
        doc.parse(reinterpret_cast<const char*>(plain.data()), plain.size());
        return doc;
    }

    qftest::TempAppData appData;
    qftest::LogCapture logs;
};

TEST_F(RegistryTest, FirstInstallationIdCreatesTheFile) {
    int made = 0;
    auto newId = [&made] {
        ++made;
        return std::string("0f0e0d0c-0000-4000-8000-000000000001");
    };
    std::string id = util::registryInstallationID(newId);
    EXPECT_EQ("0f0e0d0c-0000-4000-8000-000000000001", id);
    ASSERT_TRUE(appData.exists(kFile));
    EXPECT_EQ(id, fileDocument().getObject("tessel").at("installationID").asString());
    EXPECT_EQ(id, util::registryInstallationID(newId));
    EXPECT_EQ(1, made);
    EXPECT_TRUE(logs.records().empty());
}

TEST_F(RegistryTest, CloudValuesRoundTrip) {
    util::setCloudValue("a", "1");
    std::string value;
    EXPECT_TRUE(util::getCloudValue("a", value));
    EXPECT_EQ("1", value);
    EXPECT_FALSE(util::getCloudValue("b", value));
    EXPECT_EQ("1", fileDocument().getObject("cloud").at("a").asString());
}

TEST_F(RegistryTest, FileWrittenBetweenAccessorsIsReloaded) {
    util::setCloudValue("a", "1");
    appData.write(kFile, encrypt("{\"cloud\":{\"a\":\"2\"}}", util::AES::PAD_MODE_RANDOM));
    std::string value;
    EXPECT_TRUE(util::getCloudValue("a", value));
    EXPECT_EQ("2", value);
}

TEST_F(RegistryTest, NestedAccessorsLoadOnceAndSaveEachTime) {
    util::setCloudValue("a", "outer");
    {
        RegistryAccessor outer;
        // A file written now is not read by the nested accessor.
        appData.write(kFile, encrypt("{\"cloud\":{\"a\":\"other\"}}", util::AES::PAD_MODE_RANDOM));
        {
            RegistryAccessor inner;
            EXPECT_EQ("outer", inner.registry().getObject("cloud").at("a").asString());
            inner.registry().member("cloud").member("b") = "inner";
            std::filesystem::remove(appData.path(kFile));
        }
        ASSERT_TRUE(appData.exists(kFile)) << "the nested accessor did not save";
        EXPECT_EQ("inner", fileDocument().getObject("cloud").at("b").asString());
        std::filesystem::remove(appData.path(kFile));
        outer.registry().member("cloud").member("c") = "outer";
    }
    ASSERT_TRUE(appData.exists(kFile)) << "the outer accessor did not save";
    EXPECT_EQ("outer", fileDocument().getObject("cloud").at("c").asString());
}

struct CorruptCase {
    const char* name;
    std::string bytes;
    const char* logged;  // null: nothing logged; otherwise the start of the message
};

TEST_F(RegistryTest, DamagedFilesGiveAnEmptyStore) {
    std::string badCount(16, 'x');
    badCount[15] = 0x20;  // count byte above 16
    const CorruptCase cases[] = {
        {"truncated", encrypt("{\"cloud\":{\"a\":\"1\"}}", 1).substr(0, 17), kCorrupted},
        {"bad count byte", encrypt(badCount, util::AES::PAD_MODE_NOPAD), kCorrupted},
        {"empty file", "", nullptr},
        {"not JSON", encrypt("not json at all", util::AES::PAD_MODE_PKCS7),
         "Registry load failed because the file seems to be corrupted: Parsing JSON failed!"},
        {"array root", encrypt("[1,2]", util::AES::PAD_MODE_RANDOM), kCorrupted},
        {"string sections", encrypt("{\"cloud\":\"x\",\"tessel\":[1]}", 1), nullptr},
    };
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        appData.write(kFile, c.bytes);
        logs.clear();
        std::string value;
        EXPECT_FALSE(util::getCloudValue("a", value));
        std::vector<std::string> errors = logs.messages(lang::log::ERROR);
        if (c.logged == nullptr) {
            EXPECT_TRUE(errors.empty()) << errors.front();
        } else {
            ASSERT_EQ(1u, errors.size());
            EXPECT_EQ(0u, errors[0].rfind(c.logged, 0)) << errors[0];
            if (c.logged == kCorrupted) {
                EXPECT_EQ(kCorrupted, errors[0]);
            }
            // Set aside, not overwritten by the next save.
            EXPECT_EQ(c.bytes, appData.read(std::string(kFile) + ".bad"));
        }
        // The store stays usable.
        appData.write(kFile, c.bytes);
        util::setCloudValue("a", "1");
        EXPECT_TRUE(util::getCloudValue("a", value));
        appData.write(kFile, c.bytes);
        EXPECT_EQ("id", util::registryInstallationID([] { return std::string("id"); }));
    }
}

TEST_F(RegistryTest, FailedSaveIsLoggedNotThrown) {
    std::filesystem::create_directory(appData.path(kFile));
    EXPECT_NO_THROW(util::setCloudValue("a", "1"));
    std::vector<std::string> errors = logs.messages(lang::log::ERROR);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(0u, errors.back().rfind("Registry flush failed: ", 0)) << errors.back();
    EXPECT_NE(std::string::npos, errors.back().find(appData.path(kFile).string())) << errors.back();
}

TEST_F(RegistryTest, AccessorsOnSeveralThreadsRunOneAfterAnother) {
    const int perThread = 20;
    auto writer = [](char tag) {
        for (int i = 0; i < perThread; ++i) {
            RegistryAccessor accessor;
            JSON& cloud = accessor.registry().member("cloud");
            std::string key(1, tag);
            int count = cloud.has(key) ? std::stoi(cloud.getString(key)) : 0;
            cloud.member(key) = std::to_string(count + 1);
        }
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    writer('c');
    a.join();
    b.join();
    for (const char* key : {"a", "b", "c"}) {
        std::string value;
        ASSERT_TRUE(util::getCloudValue(key, value));
        EXPECT_EQ(std::to_string(perThread), value) << key;
    }
}

}  // namespace
