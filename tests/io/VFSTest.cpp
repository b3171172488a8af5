#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "io/ByteArrayInputStream.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"

using io::Uri;

namespace {

std::string failure(const std::function<void()>& f) {
    try {
        f();
    } catch (const io::IOException& e) {
        return e.what();
    }
    return "(no exception)";
}

// Roots in a temporary folder: bundle/ and appdata/. The mount table is
// process-wide, so each test mounts prefixes of its own.
class VFSTest : public testing::Test {
protected:
    void SetUp() override {
        savedBundle_ = io::bundleRoot();
        savedAppData_ = io::appDataRoot();
        dir.mkdir("bundle");
        dir.mkdir("appdata");
        io::setBundleRoot(dir / "bundle");
        io::setAppDataRoot(dir / "appdata");
    }
    void TearDown() override {
        io::setBundleRoot(savedBundle_);
        io::setAppDataRoot(savedAppData_);
    }

    std::string open(const std::string& uri) {
        return io::readAllAsString(*io::openInputStream(uri));
    }

    TempDir dir;

private:
    std::string savedBundle_;
    std::string savedAppData_;
};

}  // namespace

TEST_F(VFSTest, RootsEndInASlash) {
    EXPECT_EQ(dir / "bundle/", io::bundleRoot());
    io::setAppDataRoot("/x/y/");
    EXPECT_EQ("/x/y/", io::appDataRoot());
}

TEST_F(VFSTest, OpensTheDefaultSchemes) {
    dir.write("bundle/scripts/a.lua", "bundled");
    dir.write("bundle/x", "x in bundle");
    dir.write("appdata/settings.lua", "saved");
    EXPECT_EQ("bundled", open("bundle:///scripts/a.lua"));
    EXPECT_EQ("x in bundle", open("bundle://host/x"));
    EXPECT_EQ("saved", open("appdata:settings.lua"));
    EXPECT_EQ("saved", open("appdata:///settings.lua"));
    EXPECT_EQ("bundled", open("file://" + (dir / "bundle/scripts/a.lua")));
    EXPECT_EQ(dir / "bundle/scripts/a.lua", io::openInputStream("bundle:scripts/a.lua")->getName());
}

TEST_F(VFSTest, ResolvesMountedPrefixesLongestFirst) {
    io::mount(Uri("bundle:///data/levels/"), "/vfs_levels/");
    io::mount(Uri("bundle:///data/special/"), "/vfs_levels/ep9/");
    const char* cases[][2] = {
        {"/vfs_levels/ep1/l1.lua", "bundle:///data/levels/ep1/l1.lua"},
        {"vfs:///vfs_levels/ep1/l1.lua", "bundle:///data/levels/ep1/l1.lua"},
        {"/vfs_levels/ep1/l1.lua?x#y", "bundle:///data/levels/ep1/l1.lua"},
        {"/vfs_levels/", "bundle:///data/levels/"},
        {"/vfs_levels/ep9/a", "bundle:///data/special/a"},
        {"appdata:keep", "appdata:keep"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c[1], io::resolve(Uri(c[0])).text) << c[0];
    }
    dir.write("bundle/data/levels/ep1/l1.lua", "level");
    EXPECT_EQ("level", open("/vfs_levels/ep1/l1.lua"));
}

TEST_F(VFSTest, MountsChainThroughOtherMounts) {
    io::mount(Uri("bundle:///chained/"), "/vfs_inner/");
    io::mount(Uri("/vfs_inner/deeper/"), "/vfs_outer/");
    EXPECT_EQ("bundle:///chained/deeper/f", io::resolve(Uri("/vfs_outer/f")).text);
}

TEST_F(VFSTest, UnresolvableAndUnsupportedUrisFail) {
    EXPECT_EQ("Unable to resolve vfs path \"/vfs_other/x\"",
              failure([] { io::resolve(Uri("/vfs_other/x")); }));
    EXPECT_EQ("Unable to resolve vfs path \"vfs:\"", failure([] { io::openInputStream("vfs:"); }));
    EXPECT_EQ("Unsupported read scheme: \"C\" while trying to open: \"C:/x\"",
              failure([] { io::openInputStream("C:/x"); }));
    // A mount cycle is a fault of the caller; it must fail rather than recurse.
    io::mount(Uri("/vfs_loop_b/"), "/vfs_loop_a/");
    io::mount(Uri("/vfs_loop_a/"), "/vfs_loop_b/");
    EXPECT_EQ("Unable to resolve vfs path \"/vfs_loop_a/f\"",
              failure([] { io::resolve(Uri("/vfs_loop_a/f")); }));
}

TEST_F(VFSTest, ReadersAreRegisteredInLowerCase) {
    io::registerReader("MEM", [](const Uri& u) {
        return new io::ByteArrayInputStream(u.schemeSpecificPart.data(),
                                            static_cast<int>(u.schemeSpecificPart.size()));
    });
    EXPECT_EQ("payload", open("mem:payload"));
    EXPECT_EQ("Unsupported read scheme: \"MEM\" while trying to open: \"MEM:payload\"",
              failure([] { io::openInputStream("MEM:payload"); }));
}

TEST_F(VFSTest, OpensFromSeveralThreads) {
    dir.write("bundle/shared.txt", "same");
    io::mount(Uri("bundle:///"), "/vfs_threads/");
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                try {
                    lang::Ptr<io::InputStream> s = io::openInputStream("/vfs_threads/shared.txt");
                    good += io::readAllAsString(*s) == "same";
                } catch (const io::IOException&) {
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(200, good.load());
}
