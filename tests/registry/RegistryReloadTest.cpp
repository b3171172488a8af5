#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "support/testserver/TempAppData.h"
#include "util/AES.h"
#include "util/Registry.h"
#include "util/RegistryAccessor.h"
#include "util/RegistryKey.h"

// Whatever the store accepts when it loads, it must load again after saving it.
namespace {

std::vector<uint8_t> seal(const std::string& plain) {
    util::AES aes(util::detail::registryKey(), util::AES::KEY_LENGTH_256,
                  util::AES::PAD_MODE_RANDOM);
    std::vector<uint8_t> out;
    aes.encrypt(reinterpret_cast<const uint8_t*>(plain.data()), plain.size(), out);
    return out;
}

TEST(RegistryReloadTest, AcceptedDocumentsLoadAgainOnceSaved) {
    const char* const texts[] = {
        "",  // found by the fuzzer: an empty text was kept as Null and saved as "null"
        "{}",
        "{\"cloud\":{\"a\":\"1\"}}",
        "{\"tessel\":{\"installationID\":\"x\"},\"n\":[1,2.5,true,null]}",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        util::JSON document;
        const std::vector<uint8_t> file = seal(text);
        ASSERT_TRUE(util::decodeRegistry(file.data(), file.size(), document));
        EXPECT_EQ(util::JSON::TYPE_OBJECT, document.getType());
        const std::vector<uint8_t> saved = seal(document.toString(false));
        util::JSON again;
        ASSERT_TRUE(util::decodeRegistry(saved.data(), saved.size(), again));
        EXPECT_EQ(document.toString(false), again.toString(false));
    }
}

TEST(RegistryReloadTest, EmptyStoreFileStaysQuietAfterBeingRewritten) {
    qftest::TempAppData appData;
    qftest::LogCapture logs;
    appData.write("tessel.registry", "");
    std::string value;
    for (int reload = 0; reload < 3; ++reload) {
        EXPECT_FALSE(util::getCloudValue("a", value));
    }
    const std::vector<std::string> errors = logs.messages(lang::log::ERROR);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
