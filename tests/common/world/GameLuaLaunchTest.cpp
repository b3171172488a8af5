// What an unattended run needs from the world: the command line as the table
// `launch`, lines on standard output, and an exit code.

#include <string>

#include "common/world/GameLuaFixture.h"
#include "lua/LuaTable.h"

using worldtest::GameLuaFixture;
using worldtest::RecordingHost;

class GameLuaLaunchTest : public GameLuaFixture {
protected:
    void SetUp() override {
        world.reset();
        GameLua::Services services;
        services.context = context;
        services.host = &host;
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
    }
    RecordingHost host;
};

TEST_F(GameLuaLaunchTest, LaunchTableMirrorsTheOptions) {
    struct Case {
        bool demo, headless;
        const char* shots;
        bool editor;
        const char* expected;  // demo, headless, shots, editor as the scripts see them
    };
    const Case cases[] = {
        {false, false, "", false, "false false nil false"},
        {true, true, "/tmp/shots", true, "true true /tmp/shots true"},
        // An empty folder is no folder: the scripts test `launch.shots` alone.
        {true, false, "", false, "true false nil false"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        world->publishLaunch(c.demo, c.headless, c.shots, c.editor);
        EXPECT_EQ(c.expected, str("tostring(launch.demo) .. ' ' .. tostring(launch.headless) .. "
                                  "' ' .. tostring(launch.shots) .. ' ' .. "
                                  "tostring(launch.editor)"));
    }
}

TEST_F(GameLuaLaunchTest, RequestExitPassesItsCode) {
    struct Case {
        const char* call;
        int code;
    };
    const Case cases[] = {
        {"requestExit()", 0},
        {"requestExit(1)", 1},
        {"requestExit(3.7)", 3},
        {"requestExit(nil)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        host.exitCode = -1;
        run(c.call);
        EXPECT_EQ(c.code, host.exitCode);
    }
    // A code that is no number is refused, and the game goes on.
    host.exitCode = -1;
    EXPECT_NE(errorOf("requestExit({})").find("Excepted type"), std::string::npos);
    EXPECT_EQ(-1, host.exitCode);
}

TEST_F(GameLuaLaunchTest, WriteLineGoesToStandardOutputInOrder) {
    ::testing::internal::CaptureStdout();
    run("writeLine('m01 won 31500 3'); writeLine(''); writeLine('m02 lost 800 0')");
    EXPECT_EQ("m01 won 31500 3\n\nm02 lost 800 0\n", ::testing::internal::GetCapturedStdout());
}
