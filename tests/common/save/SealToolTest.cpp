#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/app/LuaManager.h"
#include "common/save/SealedFile.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lua/LuaState.h"
#include "qfseal/Sealer.h"

namespace {

// Runs qfseal with arguments, keeping what it writes.
class SealToolTest : public ::testing::Test {
protected:
    struct Result {
        bool ok;
        std::string out;
        std::string err;
    };

    Result qfseal(const std::string& arguments) {
        std::string command = "\"" QF_QFSEAL_PATH "\" " + arguments + " >\"" + dir_ / "stdout" +
                              "\" 2>\"" + dir_ / "stderr" + "\"";
        int status = std::system(command.c_str());
        return Result{status == 0, dir_.read("stdout"), dir_.read("stderr")};
    }
    std::string path(const std::string& name) const { return dir_ / name; }
    std::string quoted(const std::string& name) const { return "\"" + dir_ / name + "\""; }
    bool exists(const std::string& name) const { return std::ifstream(dir_ / name).good(); }

    TempDir dir_;
};

TEST_F(SealToolTest, SealAndUnsealRoundTrip) {
    std::string content("local s = 'bytes \0\xff'\n", 21);
    dir_.write("in.lua", content);
    ASSERT_TRUE(qfseal("seal " + quoted("in.lua") + " " + quoted("sealed.lua")).ok);
    std::string sealed = dir_.read("sealed.lua");
    EXPECT_EQ(sealed.find("local"), std::string::npos);
    std::vector<uint8_t> bytes(sealed.begin(), sealed.end());
    std::vector<uint8_t> opened = openSealed(bytes.data(), bytes.size());
    EXPECT_EQ(std::string(opened.begin(), opened.end()), content);

    Result r = qfseal("unseal " + quoted("sealed.lua") + " " + quoted("out.lua"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(dir_.read("out.lua"), content);
    EXPECT_FALSE(exists("out.lua.tmp"));
}

TEST_F(SealToolTest, EmptyFilesSealToo) {
    dir_.write("empty", "");
    ASSERT_TRUE(qfseal("seal " + quoted("empty") + " " + quoted("sealed")).ok);
    ASSERT_TRUE(qfseal("unseal " + quoted("sealed") + " " + quoted("out")).ok);
    EXPECT_TRUE(exists("out"));
    EXPECT_EQ(dir_.read("out"), "");
}

TEST_F(SealToolTest, HelpDocumentsBothCommands) {
    Result r = qfseal("--help");
    EXPECT_TRUE(r.ok);
    EXPECT_NE(r.out.find("qfseal seal IN OUT"), std::string::npos);
    EXPECT_NE(r.out.find("qfseal unseal IN OUT"), std::string::npos);
}

TEST_F(SealToolTest, WrongCommandLinesPrintUsage) {
    for (const char* arguments : {"", "seal", "seal a", "seal a b c", "open a b", "--bogus"}) {
        Result r = qfseal(arguments);
        EXPECT_FALSE(r.ok) << arguments;
        EXPECT_NE(r.err.find("Usage: qfseal"), std::string::npos) << arguments;
    }
}

TEST_F(SealToolTest, FailuresNameTheFileAndLeaveNoOutput) {
    dir_.write("plain.lua", "print('plain text, 29 bytes')");
    dir_.write("blocks.bin", std::string(32, 'z'));
    dir_.mkdir("folder");
    std::vector<uint8_t> foreign = qfseal::seal("x", "x", std::vector<uint8_t>(16, 1));
    dir_.write("foreign", std::string(foreign.begin(), foreign.end()));
    struct Case {
        std::string arguments;
        std::string named;    // the file the message names
        std::string message;  // part of the message; empty for any
    };
    const Case cases[] = {
        {"seal " + quoted("missing.lua") + " " + quoted("out"), path("missing.lua"), "cannot open"},
        {"seal " + quoted("folder") + " " + quoted("out"), path("folder"), "is a directory"},
        {"unseal " + quoted("missing.lua") + " " + quoted("out"), path("missing.lua"), ""},
        {"unseal " + quoted("plain.lua") + " " + quoted("out"), path("plain.lua"),
         "Failed to decrypt input data"},
        {"unseal " + quoted("blocks.bin") + " " + quoted("out"), path("blocks.bin"), ""},
        {"unseal " + quoted("foreign") + " " + quoted("out"), path("foreign"), ""},
        {"seal " + quoted("plain.lua") + " " + quoted("no/such/dir/out"), path("no/such/dir/out"),
         "cannot create"},
    };
    for (const Case& c : cases) {
        Result r = qfseal(c.arguments);
        EXPECT_FALSE(r.ok) << c.arguments;
        EXPECT_EQ(r.err.rfind("qfseal: " + c.named + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(exists("out")) << c.arguments;
        EXPECT_FALSE(exists("out.tmp")) << c.arguments;
    }
}

TEST_F(SealToolTest, FailedUnsealKeepsAnExistingOutput) {
    dir_.write("plain.lua", "not sealed");
    dir_.write("out", "previous");
    EXPECT_FALSE(qfseal("unseal " + quoted("plain.lua") + " " + quoted("out")).ok);
    EXPECT_EQ(dir_.read("out"), "previous");
}

// The fixtures were sealed at build time by qf_seal_files.
TEST(SealedAtBuildTimeTest, ScriptManagerLoadsThem) {
    std::string saved = io::bundleRoot();
    io::setBundleRoot(QF_SEALED_DIR "/");
    lua::LuaState state;
    {
        LuaManager manager(state, {"scripts"});
        EXPECT_TRUE(state.getGlobals().getBoolean("commandsLoaded"));
        EXPECT_EQ(state.getGlobals().getString("greeting"), "hello from a sealed script");
    }
    io::setBundleRoot(saved);
}

}  // namespace
