// Kills a process at random moments while it saves, again and again, and
// checks that every file it writes is always whole and loads.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "common/save/GameSaves.h"
#include "common/save/PersistenceKey.h"
#include "common/world/GameLua.h"
#include "common/world/GameLuaFixture.h"
#include "io/AtomicFile.h"
#include "io/TempDir.h"
#include "io/VFS.h"
#include "lua/LuaState.h"
#include "util/JSON.h"
#include "util/RegistryAccessor.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Each save holds a generation and a payload whose length follows from it, so
// that a file made of two saves, or cut short, cannot pass.
const char* const kSaveRound = R"(
    settings = {generation = g, payload = string.rep("s", g % 3000)}
    saveLuaFile("settings.lua", "settings", true)
    highscores = {generation = g, best = {g, g + 1, g + 2}}
    saveLuaFile("highscores.lua", "highscores", true)
    level = {generation = g, payload = string.rep("p", g % 2000)}
    saveLuaFile("level.lua", "level", false)
)";

Bytes readBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    Bytes bytes;
    if (!f) {
        return bytes;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(f);
    return bytes;
}

class SaveKillTest : public ::testing::Test {
protected:
    SaveKillTest() : oldAppData_(io::appDataRoot()) {
        io::setAppDataRoot(dir.str() + "/");
        host.basePath = dir.str();
        GameLua::Services services;
        services.host = &host;
        world = new GameLua(state, services);
    }
    ~SaveKillTest() override {
        world.reset();
        io::setAppDataRoot(oldAppData_);
    }

    void saveRound(long g) {
        world->set("g", static_cast<float>(g));
        state.runBuffer(kSaveRound, std::strlen(kSaveRound), "round", world.get());
        util::RegistryAccessor store;
        store.registry().member("cloud").member("generation") = std::to_string(g);
    }

    // Saves every file, round after round, from generation `first` on, until
    // it is killed; after kRoundsPerProcess rounds it only waits, so that the
    // generations of the next process are higher.
    [[noreturn]] void saveUntilKilled(long first) {
        for (long g = first; g < first + kRoundsPerProcess; ++g) {
            saveRound(g);
        }
        sleep(30);
        _exit(0);
    }

    // Generations stay below 2^24, where Lua's float numbers are exact.
    static const long kRoundsPerProcess = 10000;

    // The generation a file holds; -1 when it is missing or not whole.
    long generationOf(const std::string& file) {
        const std::string path = dir / file;
        if (!std::filesystem::exists(path)) {
            return 0;
        }
        Bytes bytes = readBytes(path);
        if (file == "tessel.registry") {
            util::JSON document;
            if (!util::decodeRegistry(bytes.data(), bytes.size(), document) ||
                !document.member("cloud").hasString("generation")) {
                return -1;
            }
            return std::stol(document.member("cloud").getString("generation"));
        }
        lua::LuaState checker;
        lua::LuaTable table(checker);
        if (file == "level.lua") {
            checker.runBuffer(bytes.data(), bytes.size(), file, &table);
        } else if (openSavedTable(checker, bytes.data(), bytes.size(), persistenceKey(), table,
                                  file) != SavedTableResult::READ) {
            return -1;
        }
        const long g = static_cast<long>(table.getNumber("generation"));
        if (file == "highscores.lua") {
            lua::LuaTable best = table.getTable("best");
            return best.getNumber(3) == g + 2 ? g : -1;
        }
        const std::string payload = table.getString("payload");
        const size_t expected = static_cast<size_t>(g % (file == "level.lua" ? 2000 : 3000));
        return payload == std::string(expected, file == "level.lua" ? 'p' : 's') ? g : -1;
    }

    TempDir dir;
    worldtest::RecordingHost host;
    lua::LuaState state;
    lang::Ptr<GameLua> world;

private:
    std::string oldAppData_;
};

TEST_F(SaveKillTest, EveryFileIsOldOrNewAfterEachKill) {
    const char* const files[] = {"settings.lua", "highscores.lua", "level.lua", "tessel.registry"};
    std::map<std::string, long> last;
    std::mt19937 random(20261211);
    const int kills = 200;
    int checked = 0, leftTemporaries = 0;
    for (int round = 0; round < kills; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveUntilKilled(kRoundsPerProcess * round + 1);
        }
        // Mostly within the first saves, sometimes after many.
        const int micros = random() % 4 == 0 ? 2000 + random() % 30000 : random() % 4000;
        usleep(static_cast<useconds_t>(micros));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself";
        for (const char* file : files) {
            const long g = generationOf(file);
            ASSERT_GE(g, 0) << file << " is not whole after kill " << round;
            // Never older than what an earlier round left.
            ASSERT_GE(g, last[file]) << file << " went back after kill " << round;
            last[file] = g;
            ++checked;
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir.str())) {
            const std::string name = entry.path().filename().string();
            for (const char* file : files) {
                leftTemporaries += io::isTemporaryOf(name, file);
            }
        }
    }
    // The kills did land between the saves' start and their end.
    EXPECT_GT(last["settings.lua"], 0);
    // The next save clears what the killed writers left.
    saveRound(1);
    int remaining = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.str())) {
        remaining += entry.path().filename().string().find(".tmp") != std::string::npos;
    }
    EXPECT_EQ(remaining, 0);
    std::printf("[ kill test ] %d kills, %d files checked, %d temporary files left by kills\n",
                kills, checked, leftTemporaries);
}

}  // namespace
