// The system natives: files and folders, time tables, notifications, JSON,
// URL fetches and the updater.

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "common/natives/GameNatives.h"
#include "common/world/GameLuaFixture.h"
#include "support/testserver/TestServer.h"

using worldtest::GameLuaFixture;

namespace {

std::filesystem::path makeTempFolder(const char* prefix) {
    std::random_device rd;
    std::filesystem::path dir;
    do {
        dir = std::filesystem::temp_directory_path() / (prefix + std::to_string(rd()));
    } while (!std::filesystem::create_directory(dir));
    return dir;
}

}  // namespace

class GameNativesTest : public GameLuaFixture {
protected:
    void SetUp() override {
        dir = makeTempFolder("qf_natives_");
        host.basePath = dir.string();
        world.reset();
        GameLua::Services services;
        services.context = context;
        services.host = &host;
        world = new GameLua(state, services);
        run(worldtest::DEFAULT_HOOKS);
        run("updates = {} function updateAvailable(a) updates[#updates + 1] = a end");
    }
    void TearDown() override {
        world.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    // Delivers the updater's answer until it comes or two seconds pass.
    void waitForUpdater() {
        for (int i = 0; i < 200 && num("#updates") == 0; ++i) {
            world->natives().deliverUpdaterResult();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::string writeUpdater(const std::string& body) {
        std::string path = (dir / "updater").string();
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        world->natives().setUpdaterPath(path);
        return path;
    }

    worldtest::RecordingHost host;
    std::filesystem::path dir;
};

TEST_F(GameNativesTest, UpdaterExitCodeTellsWhetherAnUpdateExists) {
    struct Case {
        const char* body;
        int delivered;  // how many answers
        bool available;
    } cases[] = {{"exit 0", 1, true},
                 {"exit 1", 1, false},
                 {"exit 7", 1, false},
                 {"kill -9 $$", 0, false},
                 {"sleep 5", 0, false}};
    for (const Case& c : cases) {
        run("updates = {}");
        writeUpdater(c.body);
        world->natives().setUpdaterTimeout(300);
        run("checkForUpdates()");
        waitForUpdater();
        ASSERT_EQ(num("#updates"), c.delivered) << c.body;
        if (c.delivered) {
            EXPECT_EQ(truth("updates[1]"), c.available) << c.body;
            // Delivered once only.
            world->natives().deliverUpdaterResult();
            EXPECT_EQ(num("#updates"), 1) << c.body;
        }
    }
}

TEST_F(GameNativesTest, UpdaterArgumentsAndAMissingProgram) {
    std::string log = (dir / "args").string();
    writeUpdater("echo \"$@\" >> '" + log + "'\nexit 0");
    run("checkForUpdates()");
    waitForUpdater();
    run("callVersionUpdater()");
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(log);
        std::string all((std::istreambuf_iterator<char>(in)), {});
        if (all == "/justcheck\n/checknow\n") {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(log);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(all, "/justcheck\n/checknow\n");

    run("updates = {}");
    world->natives().setUpdaterPath((dir / "no-such-updater").string());
    run("checkForUpdates()");
    waitForUpdater();
    EXPECT_EQ(num("#updates"), 0);
}

TEST_F(GameNativesTest, TimeTablesAndDifferences) {
    run(R"(
        a = {year = 2026, month = 1, day = 1, hour = 0, minutes = 0, seconds = 0}
        b = {year = 2026, month = 1, day = 2, hour = 1, minutes = 1, seconds = 1}
        d = getTimeDifference(a, b)
        n = toNewTimeFormat({year = 2026, month = 1, d = 32, h = 25, m = 0, s = 0})
        now = getCurrentTime())");
    EXPECT_EQ(num("getTimeDifferenceInSeconds(a, b)"), 90061);
    EXPECT_EQ(num("getTimeDifferenceInSeconds(b, a)"), -90061);
    EXPECT_EQ(num("d.days"), 1);
    EXPECT_EQ(num("d.hours"), 1);
    EXPECT_EQ(num("d.minutes"), 1);
    EXPECT_EQ(num("d.seconds"), 1);
    // Overflowing fields carry over: day 32 of January at hour 25.
    EXPECT_EQ(num("n.month"), 2);
    EXPECT_EQ(num("n.day"), 2);
    EXPECT_EQ(num("n.hour"), 1);
    EXPECT_GE(num("now.year"), 2026);
    EXPECT_NE(errorOf("getTimeDifference(a, 5)").find("Excepted type TABLE at stack position 2"),
              std::string::npos);
}

TEST_F(GameNativesTest, FoldersAndFileLists) {
    run(R"(createDirectory("levels"))");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "levels"));
    EXPECT_TRUE(truth(R"(checkDirectory("levels"))"));
    EXPECT_FALSE(truth(R"(checkDirectory("nothing"))"));
    std::ofstream(dir / "levels" / "a.lua") << "x";
    std::ofstream(dir / "levels" / "b.lua") << "x";
    std::ofstream(dir / "levels" / "c.txt") << "x";
    run(R"(files = getDirectoryFileList("levels/*.lua") table.sort(files))");
    EXPECT_EQ(num("#files"), 2);
    EXPECT_EQ(str("files[1]"), "a.lua");
    EXPECT_EQ(str("files[2]"), "b.lua");
    EXPECT_EQ(num(R"(#getDirectoryFileList("levels/*.png"))"), 0);
    EXPECT_TRUE(truth(R"(canOpenProgram(")" + (dir / "levels" / "a.lua").string() + "\")"));
    EXPECT_FALSE(truth(R"(canOpenProgram(")" + (dir / "levels").string() + "\")"));
}

// The list is what the folder holds, as the system reads it: dot-files, the
// folder's own "." and "..", and subfolders too.
TEST_F(GameNativesTest, FileListsHideNothingAndKeepTheSystemOrder) {
    std::filesystem::create_directories(dir / "set" / "sub");
    for (const char* name : {"b.lua", "a.lua", ".hidden.lua", "c.txt"}) {
        std::ofstream(dir / "set" / name) << "x";
    }
    std::vector<std::string> found;
    if (DIR* d = opendir((dir / "set").c_str())) {
        while (const dirent* e = readdir(d)) {
            found.push_back(e->d_name);
        }
        closedir(d);
    }
    const auto list = [&](const std::string& pattern) {
        run("files = getDirectoryFileList('set/" + pattern + "')");
        std::vector<std::string> names;
        for (int i = 1; i <= int(num("#files")); ++i) {
            names.push_back(str("files[" + std::to_string(i) + "]"));
        }
        return names;
    };
    EXPECT_EQ(list("*"), found);
    std::vector<std::string> lua;
    std::copy_if(found.begin(), found.end(), std::back_inserter(lua), [](const std::string& n) {
        return n.size() > 4 && n.compare(n.size() - 4, 4, ".lua") == 0;
    });
    ASSERT_EQ(lua.size(), 3u);
    EXPECT_EQ(list("*.lua"), lua);
}

TEST_F(GameNativesTest, ParticleFilesStayInTheirFolder) {
    run(R"(particleTable = {particles = {dust = {lifeTime = 2, sprites = {"A", "B"}}}})");
    // Without a script path the file goes to "/particles/" under the base.
    std::filesystem::create_directories(dir / "particles");
    run(R"(saveParticleFile("dust"))");
    std::ifstream in(dir / "particles" / "dust.lua");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("lifeTime"), std::string::npos) << text;
    for (const char* bad : {"../dust", "a/b", "a\\b"}) {
        EXPECT_NE(errorOf(std::string("saveParticleFile(\"") + bad + "\")").find("particle"),
                  std::string::npos)
            << bad;
    }
    EXPECT_NE(errorOf(R"(saveParticleFile("smoke"))").find("smoke"), std::string::npos);
}

// Either value reaches the remote notifications, not only the local ones.
TEST_F(GameNativesTest, NotificationSwitchReachesTheRemoteService) {
    run("setNotificationsEnabled(true) setNotificationsEnabled(false)");
    EXPECT_EQ(host.remoteNotifications, (std::vector<bool>{true, false}));
}

TEST_F(GameNativesTest, IntegerSumsUseSixtyFourBits) {
    struct Case {
        const char* table;
        const char* sum;
    } cases[] = {{"{}", "0"},
                 {"{1.5, 2.7, -3.2}", "-1"},
                 {"{1e10, 1e10}", "20000000000"},
                 {"{1, 2, 'x', 4}", "3"},
                 // Beyond 64 bits each value saturates, and so does the sum.
                 {"{1e30, -5}", "9223372036854775802"},
                 {"{-math.huge, 5}", "-9223372036854775803"},
                 {"{1e30, 1e30}", "9223372036854775807"},
                 {"{-1e30, -1}", "-9223372036854775808"},
                 {"{0/0, 3}", "3"}};
    for (const Case& c : cases) {
        EXPECT_EQ(str(std::string("native_sumLuaIntegerTableToString(") + c.table + ")"), c.sum)
            << c.table;
    }
}

TEST_F(GameNativesTest, JsonInAndOutOfNamedTables) {
    run(R"(saved = {} importJSONToLuaTable('{"coins": 12, "name": "Quill"}', "saved"))");
    EXPECT_EQ(num("saved.coins"), 12);
    EXPECT_EQ(str("saved.name"), "Quill");
    // A broken text is logged, not raised, and keeps what was there.
    run(R"(importJSONToLuaTable('{"coins": ', "saved"))");
    EXPECT_EQ(num("saved.coins"), 12);
    EXPECT_EQ(str(R"(exportLuaTableAsJSON("nothing"))"), "");
    EXPECT_NE(str(R"(exportLuaTableAsJSON("saved"))").find("\"coins\""), std::string::npos);
}

TEST_F(GameNativesTest, NotificationsFollowTheSettings) {
    run("settings = {}");
    EXPECT_TRUE(truth(R"(addNotificationAfter("lives", 60, "Your birds are rested"))"));
    EXPECT_TRUE(truth(R"(removeNotification("lives"))"));
    EXPECT_FALSE(truth(R"(removeNotification("lives"))"));
    run("settings = {notificationsEnabled = false}");
    EXPECT_FALSE(truth(R"(addNotificationAfter("lives", 60, "x"))"));
}

TEST_F(GameNativesTest, FiredNotificationsReachTheScripts) {
    run(R"(
        settings = {} events = {} got = {}
        function notifyEventManager(id, t) events[#events + 1] = id .. ":" .. t.type end
        function onNote(name) got[#got + 1] = name end
        setNotificationCallback("onNote")
        addNotificationAfter("lives", 0, "rested"))");
    world->setActive(false, false);
    for (int i = 0; i < 100 && num("#got") == 0; ++i) {
        world->natives().deliverRequests();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(str("events[1]"), "EID_ANALYTICS_PUSH_NOTIFICATION_WORKED:lives");
    EXPECT_EQ(str("got[1]"), "lives");
    // While the game is in front only the callback hears of it.
    world->setActive(true, false);
    run(R"(addNotificationAfter("coins", 0, "ready"))");
    for (int i = 0; i < 100 && num("#got") == 1; ++i) {
        world->natives().deliverRequests();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(str("got[2]"), "coins");
    EXPECT_EQ(num("#events"), 1);
}

TEST_F(GameNativesTest, WrongArgumentTypesGiveTheStrictReadersMessage) {
    struct Case {
        const char* call;
        const char* expected;
    } cases[] = {
        {R"(addNotificationAfter("a", "soon", "t"))", "Excepted type NUMBER at stack position 2"},
        {R"(setNotificationsEnabled(1))", "Excepted type BOOLEAN at stack position 1"},
        {R"(native_sumLuaIntegerTableToString(3))", "Excepted type TABLE at stack position 1"},
        {R"(setOffsetedViewport(1))", "Excepted type NUMBER at stack position 2"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(errorOf(c.call).find(c.expected), std::string::npos) << c.call;
    }
}

class GameNativesUrlTest : public qftest::ServerTest {};

TEST_F(GameNativesUrlTest, AnswersArriveAtTheNextUpdateInUrlOrder) {
    lang::Ptr<lua::LuaState> state = new lua::LuaState();
    GameLua::Services services;
    lang::Ptr<GameLua> world = new GameLua(*state, services);
    const std::string hooks = R"(
        answers = {}
        function nativecallback_urlResponse(url, text) answers[#answers + 1] = {url, text} end)";
    state->runBuffer(hooks.data(), hooks.size(), "t", world.get());
    server().script("/b", 200, "second");
    server().script("/a", 200, "first");
    server().script("/broken", 500, "no");
    const std::string start = "native_startURLThread('" + url("/b") + "') native_startURLThread('" +
                              url("/a") + "') native_startURLThread('" + url("/broken") + "')";
    state->runBuffer(start.data(), start.size(), "t", world.get());
    lua::LuaTable answers = world->getTable("answers");
    for (int i = 0; i < 300 && answers.count() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        world->natives().deliverRequests();
        answers = world->getTable("answers");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    world->natives().deliverRequests();
    answers = world->getTable("answers");
    ASSERT_EQ(answers.count(), 2);
    std::vector<std::string> texts = {answers.getTable(1).getString(2),
                                      answers.getTable(2).getString(2)};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts[0], "first");
    EXPECT_EQ(texts[1], "second");
    world.reset();
}

// The screen particles are drawn once a frame: where the scripts ask, or after
// their update when they did not.
TEST_F(GameLuaFixture, ScreenParticlesAreDrawnOncePerFrame) {
    world->update(0.01f);
    EXPECT_EQ(std::count(particles.calls.begin(), particles.calls.end(), "draw 0"), 1);
    particles.calls.clear();
    run("function update() drewFirst = drawScreenParticles() drewAgain = drawScreenParticles() "
        "end");
    world->update(0.01f);
    EXPECT_TRUE(truth("drewFirst"));
    EXPECT_FALSE(truth("drewAgain"));
    EXPECT_EQ(std::count(particles.calls.begin(), particles.calls.end(), "draw 0"), 1);
    EXPECT_EQ(std::count(particles.calls.begin(), particles.calls.end(), "update 0"), 1);
}
