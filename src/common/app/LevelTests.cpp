#include "common/app/LevelTests.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/app/GameApp.h"
#include "common/world/GameLua.h"
#include "framework/Input.h"
#include "framework/KeyCodes.h"
#include "lang/Exception.h"
#include "lua/LuaObject.h"
#include "lua/LuaState.h"
#include "lua/StackGuard.h"

namespace {

const float FRAME = 1.0f / 60.0f;

// What every test script starts with. __wanted picks the one test() that runs
// in this game (0: none, only the names are collected).
const char* const PRELUDE = R"(
__tests = {}
__failures = {}
function expect(ok, message)
    if not ok then
        __failures[#__failures + 1] = message or "expectation failed"
    end
    return ok
end
function test(name, body)
    __tests[#__tests + 1] = name
    if #__tests == __wanted then
        local ok, err = pcall(body)
        if not ok then
            __failures[#__failures + 1] = tostring(err)
        end
    end
end
-- Steps frames until done() holds or limit frames have passed; done()'s answer.
function stepUntil(done, limit)
    for _ = 1, limit do
        if done() then
            return true
        end
        step(1)
    end
    return done()
end
function drag(x0, y0, x1, y1, frames)
    frames = frames or 20
    press(x0, y0)
    step(1)
    for i = 1, frames do
        moveTo(x0 + (x1 - x0) * i / frames, y0 + (y1 - y0) * i / frames)
        step(1)
    end
    release()
    step(1)
end
)";

// The natives of the test scripts, over the game being tested.
class TestApi : public lua::LuaObject {
public:
    TestApi(lua::LuaState& state, const LevelTestDriver& driver)
        : lua::LuaObject(state), driver_(driver) {
        bindMethod("step", this, &TestApi::step);
        bindMethod("press", this, &TestApi::press);
        bindMethod("moveTo", this, &TestApi::moveTo);
        bindMethod("release", this, &TestApi::release);
        bindMethod("key", this, &TestApi::key);
    }

    void step(float frames) {
        for (int i = 0; i < static_cast<int>(frames); ++i) {
            driver_.frame(FRAME);
        }
    }
    void press(float x, float y) {
        moveTo(x, y);
        framework::dispatchKey(framework::KEY_LBUTTON, true);
    }
    void moveTo(float x, float y) {
        framework::dispatchMouseMove(static_cast<int>(x), static_cast<int>(y));
    }
    void release() { framework::dispatchKey(framework::KEY_LBUTTON, false); }
    // A key pressed and released over two frames.
    void key(std::string name) {
        int code = 0;
        while (code < framework::KEY_COUNT && name != framework::keyName(code)) {
            ++code;
        }
        if (code == framework::KEY_COUNT) {
            throw lang::Exception(lang::Format("No key is named \"{0}\"", name));
        }
        framework::dispatchKey(code, true);
        driver_.frame(FRAME);
        framework::dispatchKey(code, false);
        driver_.frame(FRAME);
    }

private:
    const LevelTestDriver& driver_;
};

// Copies the API's functions into the world, where the test script runs.
void publish(lua::LuaState& state, const TestApi& api, GameLua& world) {
    lua_State* L = state.getLua();
    lua::StackGuard guard(L);
    world.push();
    for (const lua::LuaObject::Native& native : api.nativeList()) {
        api.pushField(native.name);
        lua_setfield(L, -2, native.name.c_str());
    }
}

struct Outcome {
    std::vector<std::string> names;
    std::vector<std::string> failures;
};

// Starts a game, runs the script in it with test number wanted, ends the game.
Outcome runScript(const std::string& path, const std::string& code, int wanted,
                  const LevelTestDriver& driver) {
    Outcome outcome;
    GameApp* app = driver.start();
    try {
        GameLua& world = app->world();
        lua::LuaState& state = *world.getState();
        lang::Ptr<TestApi> api = new TestApi(state, driver);
        publish(state, *api, world);
        world.set("__wanted", static_cast<float>(wanted));
        state.runBuffer(PRELUDE, std::char_traits<char>::length(PRELUDE), "prelude", &world);
        state.runBuffer(code.data(), code.size(), path, &world);
        lua::LuaTable names = world.getTable("__tests");
        for (int i = 1; names.isString(i); ++i) {
            outcome.names.push_back(names.getString(i));
        }
        lua::LuaTable failures = world.getTable("__failures");
        for (int i = 1; failures.isString(i); ++i) {
            outcome.failures.push_back(failures.getString(i));
        }
    } catch (const lang::Throwable& e) {
        outcome.failures.push_back(e.getMessage());
    }
    driver.stop();
    return outcome;
}

}  // namespace

int runLevelTests(const std::string& folder, const LevelTestDriver& driver, std::ostream& out) {
    std::vector<std::filesystem::path> scripts;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && it->path().extension() == ".lua") {
            scripts.push_back(it->path());
        }
    }
    std::sort(scripts.begin(), scripts.end());
    int passed = 0, failed = 0;
    if (error || scripts.empty()) {
        out << "No test scripts (*.lua) in " << folder << "\n";
        ++failed;
    }
    for (const std::filesystem::path& script : scripts) {
        std::ifstream in(script, std::ios::binary);
        const std::string code((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        const std::string file = script.filename().string();
        const Outcome listing = runScript(script.string(), code, 0, driver);
        if (!listing.failures.empty() || listing.names.empty()) {
            out << "FAIL " << file << ": "
                << (listing.failures.empty() ? "no test() in it" : listing.failures.front())
                << "\n";
            ++failed;
            continue;
        }
        for (size_t i = 0; i < listing.names.size(); ++i) {
            const Outcome run = runScript(script.string(), code, static_cast<int>(i) + 1, driver);
            const std::string name = file + ": " + listing.names[i];
            if (run.failures.empty()) {
                out << "ok   " << name << "\n";
                ++passed;
            } else {
                out << "FAIL " << name << ": " << run.failures.front() << "\n";
                for (size_t f = 1; f < run.failures.size(); ++f) {
                    out << "     " << run.failures[f] << "\n";
                }
                ++failed;
            }
        }
    }
    out << passed << " passed, " << failed << " failed\n";
    out.flush();
    return failed;
}
