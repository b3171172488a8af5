// The debug console: the typed line as the scripts see it.

#include <string>
#include <vector>

#include "common/assets/GameDynamicAssets.h"
#include "common/world/GameLuaFixture.h"
#include "pf/TextInput.h"

using worldtest::GameLuaFixture;

class DebugConsoleTest : public GameLuaFixture {
protected:
    DebugConsoleTest() { run("DebugConsole = {}"); }

    std::string text() { return str("tostring(DebugConsole.g_debugconsole_text)"); }

    GameDynamicAssets assets{*world};
};

TEST_F(DebugConsoleTest, ActivationPublishesTheStartingTextAtOnce) {
    for (const char* start : {"", "x", "say h\xc3\xa9llo"}) {
        run("DebugConsole.g_debugconsole_text = nil");
        run(std::string("activateDebugConsole('") + start + "')");
        EXPECT_EQ(text(), start);
        EXPECT_EQ(pf::TextInput::current(), &assets.console().input());
    }
}

TEST_F(DebugConsoleTest, EveryKeyUpdatesTheWholeText) {
    struct Step {
        uint32_t key;
        const char* text;
    } steps[] = {
        {'a', "xa"}, {'b', "xab"}, {8, "xa"}, {0xe9, "xa\xc3\xa9"},
        {8, "xa"},   {8, "x"},     {8, ""},   {8, ""},
    };
    run("activateDebugConsole('x')");
    for (const Step& step : steps) {
        pf::TextInput::deliver(step.key);
        EXPECT_EQ(text(), step.text) << "after key " << step.key;
    }
}

TEST_F(DebugConsoleTest, EndingKeysAndDeactivationStopTheUpdates) {
    const char* enders[] = {"13", "10", "27", "deactivateDebugConsole()"};
    for (const char* ender : enders) {
        SCOPED_TRACE(ender);
        run("activateDebugConsole('go')");
        pf::TextInput::deliver('!');
        if (std::string(ender).find('(') != std::string::npos) {
            run(ender);
        } else {
            pf::TextInput::deliver(static_cast<uint32_t>(std::stoi(ender)));
        }
        EXPECT_EQ(text(), "go!");
        EXPECT_EQ(pf::TextInput::current(), nullptr);
        pf::TextInput::deliver('z');
        EXPECT_EQ(text(), "go!");
    }
    // The next activation starts afresh.
    run("activateDebugConsole('')");
    pf::TextInput::deliver('z');
    EXPECT_EQ(text(), "z");
}

TEST_F(DebugConsoleTest, AnotherInputTakesTheKeyboardAndLeavesTheTextAlone) {
    run("activateDebugConsole('cmd')");
    lang::Ptr<pf::TextInput> field = new pf::TextInput();
    field->activate("name", nullptr);
    pf::TextInput::deliver('s');
    EXPECT_EQ(field->getText(), "names");
    EXPECT_EQ(text(), "cmd");
}

TEST_F(DebugConsoleTest, WithoutTheScriptsTableTheTextCannotBePublished) {
    run("DebugConsole = nil");
    errorOf("activateDebugConsole('x')");
    // The console object itself is not required: the scripts' table is.
    EXPECT_TRUE(truth("DebugConsole == nil"));
    run("DebugConsole = 5");
    errorOf("activateDebugConsole('x')");
}
