#include "pf/InstallationID.h"

#include <gtest/gtest.h>

#include "support/testserver/TempAppData.h"

namespace {

TEST(InstallationIDTest, IsAUuidThatStaysTheSame) {
    qftest::TempAppData appData;
    std::string id = pf::getInstallationID();
    ASSERT_EQ(36u, id.size());
    EXPECT_EQ('4', id[14]);
    EXPECT_EQ(id, pf::getInstallationID());
    EXPECT_TRUE(appData.exists("tessel.registry"));
}

TEST(InstallationIDTest, EachInstallationHasItsOwn) {
    std::string first;
    {
        qftest::TempAppData appData;
        first = pf::getInstallationID();
    }
    qftest::TempAppData other;
    EXPECT_NE(first, pf::getInstallationID());
}

}  // namespace
