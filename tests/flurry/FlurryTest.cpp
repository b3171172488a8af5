#include "flurry/Flurry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "flurry/FlurryLuaInterface.h"
#include "lua/LuaException.h"
#include "lua/LuaState.h"
#include "util/JSON.h"

namespace {

using flurry::Flurry;
using flurry::Parameters;

struct Logged {
    std::string name;
    Parameters parameters;
};

class RecordingBackend : public Flurry::Impl {
public:
    void startSession(const std::string& apiKey) override { sessions.push_back(apiKey); }
    void logEvent(const std::string& name, const Parameters& parameters) override {
        events.push_back({name, parameters});
    }
    std::vector<std::string> sessions;
    std::vector<Logged> events;
};

class FlurryTest : public ::testing::Test {
protected:
    FlurryTest() : backend(new RecordingBackend), flurry(new Flurry(backend)) {}

    lang::Ptr<RecordingBackend> backend;
    lang::Ptr<Flurry> flurry;
};

TEST_F(FlurryTest, FanOutReachesTheWrapperOnlyDuringASession) {
    lang::analytics::dispatch("before", {});
    EXPECT_TRUE(backend->events.empty());
    flurry->startSession("key");
    flurry->startSession("key");
    EXPECT_EQ((std::vector<std::string>{"key", "key"}), backend->sessions);
    lang::analytics::dispatch("during", {{"a", "1"}});
    ASSERT_EQ(1u, backend->events.size()) << "registered twice";
    EXPECT_EQ("during", backend->events[0].name);
    flurry->endSession();
    lang::analytics::dispatch("after", {});
    EXPECT_EQ(1u, backend->events.size());
    flurry->startSession("again");
    lang::analytics::dispatch("resumed", {});
    EXPECT_EQ(2u, backend->events.size());
}

TEST_F(FlurryTest, DefaultsApplyToFanOutEventsOnly) {
    flurry->setParameters({0, "", {{"a", "x"}, {"b", "y"}}});
    flurry->startSession("key");
    lang::analytics::dispatch("e1", {{"a", "override"}});
    lang::analytics::dispatch("e2", {});
    flurry->logEvent("direct", "c", "z");
    ASSERT_EQ(3u, backend->events.size());
    EXPECT_EQ((Parameters{{"a", "override"}, {"b", "y"}}), backend->events[0].parameters);
    EXPECT_EQ((Parameters{{"a", "x"}, {"b", "y"}}), backend->events[1].parameters);
    EXPECT_EQ((Parameters{{"c", "z"}}), backend->events[2].parameters);
    flurry->endSession();
}

TEST_F(FlurryTest, DestroyedWrapperLeavesTheFanOut) {
    flurry->startSession("key");
    flurry.reset();
    lang::analytics::dispatch("late", {});
    EXPECT_TRUE(backend->events.empty());
}

class FlurryScriptTest : public FlurryTest {
protected:
    FlurryScriptTest()
        : state(new lua::LuaState), script(new flurry::FlurryLuaInterface(*state, flurry.get())) {}
    ~FlurryScriptTest() override { script.reset(); }

    void run(const std::string& code) {
        state->runBuffer(code.data(), code.size(), "test", nullptr);
    }

    lang::Ptr<lua::LuaState> state;
    lang::Ptr<flurry::FlurryLuaInterface> script;
};

TEST_F(FlurryScriptTest, LogEventForms) {
    struct Case {
        const char* code;
        Parameters expected;
    } cases[] = {
        {"Flurry.logEvent('e', {a = '1', b = 2, [3] = 'x', c = true, d = {}})", {{"a", "1"}}},
        {"Flurry.logEvent('e', 'k')", {{"k", ""}}},
        {"Flurry.logEvent('e')", {}},
        {"Flurry.logEvent('e', 5)", {}},
        {"Flurry.logEvent('e', 'k', 'v')", {{"k", "v"}}},
        {"Flurry.logEvent('e', 'k', 'v', 'w')", {}},
        {"Flurry.logEvent('e', {})", {}},
    };
    for (const Case& c : cases) {
        backend->events.clear();
        run(c.code);
        ASSERT_EQ(1u, backend->events.size()) << c.code;
        EXPECT_EQ("e", backend->events[0].name);
        EXPECT_EQ(c.expected, backend->events[0].parameters) << c.code;
    }
}

TEST_F(FlurryScriptTest, NonStringTextsRaiseScriptErrors) {
    for (const char* code : {"Flurry.logEvent(1)", "Flurry.logEvent('e', 'k', 3)",
                             "Flurry.logEvent('e', {}, 'v')", "Flurry.logEvent()"}) {
        EXPECT_THROW(run(code), lua::LuaException) << code;
    }
    EXPECT_TRUE(backend->events.empty());
}

TEST_F(FlurryScriptTest, SessionsFromScripts) {
    run("Flurry.startSession('abc')");
    EXPECT_EQ(std::vector<std::string>{"abc"}, backend->sessions);
    lang::analytics::dispatch("fan", {});
    run("Flurry.endSession()");
    lang::analytics::dispatch("fan", {});
    EXPECT_EQ(1u, backend->events.size());
}

TEST(FlurryBackendTest, WritesJsonLinesToTheGivenFile) {
    auto path = std::filesystem::temp_directory_path() / "qf_flurry_events.jsonl";
    std::filesystem::remove(path);
    {
        lang::Ptr<Flurry> flurry = new Flurry(path.string());
        flurry->startSession("key");
        flurry->logEvent("level \"done\"", {{"stars", "3"}, {"name", "caf\xc3\xa9"}});
        flurry->endSession();
    }
    std::ifstream in(path);
    std::vector<util::JSON> lines;
    for (std::string line; std::getline(in, line);) {
        lines.emplace_back();
        lines.back().parse(line);
    }
    std::filesystem::remove(path);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("start", lines[0].getString("session"));
    EXPECT_EQ("level \"done\"", lines[1].getString("event"));
    EXPECT_EQ("3", lines[1].getObject("parameters").at("stars").asString());
    EXPECT_EQ("caf\xc3\xa9", lines[1].getObject("parameters").at("name").asString());
}

}  // namespace
