#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/app/LuaManager.h"
#include "framework/App.h"
#include "io/IOException.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "qfseal/Sealer.h"
#include "support/LogCapture.h"

namespace {

// A bundle in a fresh folder, with helpers that write sealed scripts into it.
class LuaManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedRoot_ = io::bundleRoot();
        io::setBundleRoot(bundle_.str() + "/");
        script("common/commands.lua", "commandsRan = (commandsRan or 0) + 1");
    }
    void TearDown() override { io::setBundleRoot(savedRoot_); }

    void script(const std::string& path, const std::string& code) {
        std::vector<uint8_t> sealed = qfseal::seal(code, path);
        bundle_.write(path, std::string(sealed.begin(), sealed.end()));
    }
    void plainFile(const std::string& path, const std::string& text) { bundle_.write(path, text); }

    std::unique_ptr<LuaManager> makeManager() {
        return std::make_unique<LuaManager>(state_, std::vector<std::string>{"scripts", "common"});
    }

    void run(const std::string& code) {
        state_.runBuffer(code.data(), code.size(), "test", nullptr);
    }
    std::string globalString(const char* name) { return state_.getGlobals().getString(name); }

    // The message of the exception that constructing a manager throws.
    template <class E>
    std::string constructionError() {
        try {
            makeManager();
        } catch (const E& e) {
            return e.what();
        }
        ADD_FAILURE() << "construction succeeded";
        return std::string();
    }

    TempDir bundle_;
    lua::LuaState state_;

private:
    std::string savedRoot_;
};

TEST_F(LuaManagerTest, ConstructionPublishesNativeAndRunsCommands) {
    auto manager = makeManager();
    EXPECT_EQ(state_.getGlobals().getNumber("commandsRan"), 1.0f);
    run("kinds = type(native.loadLuaScript) .. type(native.logError) .. type(native.logWarning)"
        " .. type(native.logInfo) .. type(native.logVerbose) .. type(native.logDebug)");
    EXPECT_EQ(globalString("kinds"), "functionfunctionfunctionfunctionfunctionfunction");
    run("same = rawequal(native, native.this)");
    EXPECT_TRUE(state_.getGlobals().getBoolean("same"));
}

TEST_F(LuaManagerTest, FoldersAreSearchedInOrder) {
    script("scripts/both.lua", "from = 'scripts'");
    script("common/both.lua", "from = 'common'");
    script("common/only.lua", "only = 'common'");
    auto manager = makeManager();
    EXPECT_EQ(manager->findScript("both.lua"), "scripts/both.lua");
    EXPECT_EQ(manager->findScript("only.lua"), "common/only.lua");
    manager->loadScript("both.lua");
    manager->loadScript("only.lua");
    EXPECT_EQ(globalString("from"), "scripts");
    EXPECT_EQ(globalString("only"), "common");
}

TEST_F(LuaManagerTest, FoldersAreResolvedAgainstTheDataPath) {
    class TestApp : public framework::App {
    public:
        TestApp() : framework::App(nullptr) {}
        void update(float, gr::Context*, int) override {}
    } app;
    app.setDataPath("data");
    script("data/common/commands.lua", "inData = true");
    auto manager = makeManager();
    EXPECT_TRUE(state_.getGlobals().getBoolean("inData"));
    EXPECT_TRUE(state_.getGlobals().isNil("commandsRan"));
    EXPECT_EQ(manager->findScript("commands.lua"), "data/common/commands.lua");
}

TEST_F(LuaManagerTest, ConstructionFailuresPropagate) {
    struct Case {
        const char* code;  // commands.lua; null for none
        bool sealed;
        const char* start;  // the message starts with this, after the file's path if any
    };
    const Case cases[] = {
        {nullptr, true, "Cannot find script commands.lua in script paths."},
        {"x = = 1", true, "Error while compiling Lua: "},
        {"error('boom')", true, "boom\nCall stack:\ncommon/commands.lua(1)\n(end)\n"},
        {"x = 1", false, "common/commands.lua: Failed to decrypt input data"},
    };
    for (const Case& c : cases) {
        TempDir other;
        io::setBundleRoot(other.str() + "/");
        if (c.code) {
            std::vector<uint8_t> sealed = qfseal::seal(c.code, "commands.lua");
            other.write("common/commands.lua", c.sealed ? std::string(sealed.begin(), sealed.end())
                                                        : std::string("x = 1 -- plain text!!"));
        }
        std::string message = constructionError<lang::Exception>();
        if (message.rfind(other.str(), 0) == 0) {
            message = message.substr(other.str().size() + 1);
        }
        EXPECT_EQ(message.rfind(c.start, 0), 0u) << message;
    }
}

TEST_F(LuaManagerTest, LoadLuaScriptReturnsErrorsAsText) {
    script("scripts/fails.lua", "local x = nil\nerror('broken ' .. 'script')");
    script("scripts/bad.lua", "this is not lua");
    script("scripts/nested.lua", "nested = native.loadLuaScript('fails.lua')");
    plainFile("scripts/plain.lua", "print('not sealed')");
    auto manager = makeManager();
    run("missing = native.loadLuaScript('missing.lua')\n"
        "failed = native.loadLuaScript('fails.lua')\n"
        "bad = native.loadLuaScript('bad.lua')\n"
        "plain = native.loadLuaScript('plain.lua')\n"
        "native.loadLuaScript('nested.lua')\n"
        "count = select('#', native.loadLuaScript('commands.lua'))\n"
        "continued = true");
    EXPECT_EQ(globalString("missing"), "Cannot find script missing.lua in script paths.");
    std::string failed = globalString("failed");
    EXPECT_EQ(failed.rfind("broken script\nCall stack:\nscripts/fails.lua(2)\n", 0), 0u) << failed;
    EXPECT_NE(failed.find("\ntest(2)\n"), std::string::npos) << failed;
    EXPECT_EQ(globalString("bad").rfind("Error while compiling Lua: ", 0), 0u);
    EXPECT_FALSE(globalString("plain").empty());
    EXPECT_EQ(globalString("nested").rfind("broken script\nCall stack:\n", 0), 0u);
    EXPECT_EQ(state_.getGlobals().getNumber("count"), 0.0f);
    EXPECT_EQ(state_.getGlobals().getNumber("commandsRan"), 2.0f);
    EXPECT_TRUE(state_.getGlobals().getBoolean("continued"));
}

TEST_F(LuaManagerTest, LoadLuaScriptNeedsAStringName) {
    auto manager = makeManager();
    EXPECT_THROW(run("native.loadLuaScript(5)"), lua::LuaException);
    EXPECT_THROW(run("native.loadLuaScript()"), lua::LuaException);
}

TEST_F(LuaManagerTest, LoggingFunctions) {
    auto manager = makeManager();
    qftest::LogCapture capture;
    run("native.logError('100% broken')\n"
        "native.logWarning('careful')\n"
        "native.logInfo('info') native.logVerbose('verbose') native.logDebug('debug')");
    ASSERT_EQ(capture.records().size(), 2u);
    EXPECT_EQ(capture.records()[0].message, "100% broken");
    EXPECT_EQ(capture.records()[0].level, lang::log::ERROR);
    EXPECT_EQ(capture.records()[0].category, "Lua");
    EXPECT_STREQ(capture.records()[0].function, "LuaManager::lua_logError");
    EXPECT_EQ(capture.records()[1].message, "careful");
    EXPECT_EQ(capture.records()[1].level, lang::log::WARNING);
    EXPECT_STREQ(capture.records()[1].function, "LuaManager::lua_logWarning");
    EXPECT_THROW(run("native.logError(7)"), lua::LuaException);
}

TEST_F(LuaManagerTest, NativeOutlivingTheManagerFailsSafely) {
    makeManager();
    EXPECT_THROW(run("native.loadLuaScript('commands.lua')"), lua::LuaException);
}

}  // namespace
