// Which bundle sources the editor and hot reload may write: the named folder,
// the repository's for this build's own bundle, and none for any other.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/app/DevSources.h"
#include "io/TempDir.h"
#include "lang/Exception.h"

namespace {

TEST(DevSources, TheOptionNamesAFolderOfSources) {
    TempDir dir;
    dir.mkdir("scripts");
    const DevSources found = findDevSources("/nowhere", dir.str());
    EXPECT_EQ(dir.str(), found.sources);
    EXPECT_TRUE(found.build.empty());
    EXPECT_TRUE(found.available());
}

TEST(DevSources, AnOptionWithoutScriptsIsRefusedByName) {
    TempDir dir;
    try {
        findDevSources("/nowhere", dir.str());
        FAIL() << "no error";
    } catch (const lang::Exception& e) {
        EXPECT_NE(std::string::npos, e.getMessage().find(dir.str())) << e.getMessage();
    }
}

TEST(DevSources, OnlyThisBuildsOwnBundleHasTheRepositorysSources) {
    TempDir other;
    EXPECT_FALSE(findDevSources(other.str(), "").available());
    EXPECT_FALSE(findDevSources("", "").available());
    const DevSources own = findDevSources(QF_TEST_BUILD_FOLDER "/bundle", "");
    ASSERT_TRUE(own.available());
    EXPECT_TRUE(std::filesystem::is_directory(own.sources + "/levels")) << own.sources;
    EXPECT_EQ(QF_TEST_BUILD_FOLDER, own.build);
}

}  // namespace
