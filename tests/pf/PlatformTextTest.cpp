#include "pf/PlatformText.h"

#include <gtest/gtest.h>

#include "util/SHA1.h"

namespace {

using namespace pf::text;

TEST(PlatformTextTest, OsVersionFromKernelRelease) {
    const std::pair<const char*, const char*> cases[] = {
        {"6.1.0-13-amd64", "6.1.0"},
        {"5.15.133.1-microsoft-standard-WSL2", "5.15.133"},
        {"6.8", "6.8.0"},
        {"4", "4.0.0"},
        {"", "0.0.0"},
        {"rc-kernel", "0.0.0"},
        {"99999999999999999.1.2", "999999999.1.2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, osVersionFromRelease(c.first)) << c.first;
    }
}

TEST(PlatformTextTest, LanguageFromLocaleVariables) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "en_GB.UTF-8", "en_GB"},
        {nullptr, "de_AT.UTF-8@euro", "en_GB.UTF-8", "de_AT"},
        {"fr_CA", "de_AT", "en_GB", "fr_CA"},
        {"", "", "pt_BR", "pt_BR"},
        {"es_419.UTF-8", nullptr, nullptr, "es_419"},
        {"ast_ES", nullptr, nullptr, "ast_ES"},
        {nullptr, nullptr, nullptr, "en_US"},
        {"C", nullptr, "en_GB.UTF-8", "en_US"},
        {"POSIX", nullptr, nullptr, "en_US"},
        {"C.UTF-8", nullptr, nullptr, "en_US"},
        {"de", nullptr, nullptr, "en_US"},
        {"de_", nullptr, nullptr, "en_US"},
        {"EN_gb", nullptr, nullptr, "en_US"},
        {"en_GB_x", nullptr, nullptr, "en_US"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, languageFromLocale(c.lcAll, c.lcMessages, c.lang))
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

TEST(PlatformTextTest, DeviceIdChain) {
    EXPECT_EQ(util::sha1Hex(std::string("unavailable")), deviceIdFromMachineId("", false));
    EXPECT_EQ(util::sha1Hex(std::string("unavailable")), deviceIdFromMachineId("  \n", true));
    std::string expected = util::sha1Hex(util::sha1Hex(std::string("abc123")));
    EXPECT_EQ(expected, deviceIdFromMachineId("abc123", true));
    EXPECT_EQ(expected, deviceIdFromMachineId("abc123\n", true));
}

TEST(PlatformTextTest, RandomUuidTextSetsVersionAndVariant) {
    uint8_t zeros[16] = {};
    EXPECT_EQ("00000000-0000-4000-8000-000000000000", formatRandomUUID(zeros));
    uint8_t ones[16];
    for (uint8_t& b : ones) {
        b = 0xff;
    }
    EXPECT_EQ("ffffffff-ffff-4fff-bfff-ffffffffffff", formatRandomUUID(ones));
}

}  // namespace
