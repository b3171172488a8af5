// The whole native table: every native reads its arguments strictly.

#include <set>

#include "common/world/GameLuaFixture.h"
#include "lua/StackGuard.h"

using worldtest::GameLuaFixture;

namespace {

// Natives that start outside programs or end the game whatever they are given.
const std::set<std::string> SIDE_EFFECTS = {"checkForUpdates", "callVersionUpdater", "requestExit"};

}  // namespace

class GameNativeTableTest : public GameLuaFixture {
protected:
    // The names of the world's C functions.
    std::vector<std::string> natives() {
        std::vector<std::string> names;
        lua_State* L = state.getLua();
        lua::StackGuard guard(L);
        world->push();
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            if (lua_type(L, -2) == LUA_TSTRING && lua_iscfunction(L, -1)) {
                names.push_back(lua_tostring(L, -2));
            }
            lua_pop(L, 1);
        }
        return names;
    }
};

// A function value is no string, number, boolean or table, so a native that
// takes any argument must refuse it with the strict reader's message; one that
// takes none ignores it.
TEST_F(GameNativeTableTest, EveryNativeRefusesArgumentsOfTheWrongType) {
    std::vector<std::string> names = natives();
    ASSERT_GT(names.size(), 150u);
    for (const std::string& name : names) {
        if (SIDE_EFFECTS.count(name)) {
            continue;
        }
        std::string message;
        try {
            run("local f = function() end " + name + "(f, f, f, f, f, f, f, f, f)");
        } catch (const lua::LuaException& e) {
            message = e.what();
        }
        if (!message.empty()) {
            EXPECT_NE(message.find("Excepted type"), std::string::npos) << name << ": " << message;
            EXPECT_NE(message.find("but found FUNCTION"), std::string::npos)
                << name << ": " << message;
        }
    }
}

TEST_F(GameNativeTableTest, NativesThatTakeArgumentsDoNotAcceptAnything) {
    // A sample across the topics: each must refuse the function it was given
    // (createJoint reads its table from the top of the stack).
    for (const char* name :
         {"createBox", "loadLevel", "setTheme", "drawRect", "saveLuaFile", "clipText",
          "createJoint", "setBGColor", "getTimeDifference", "addNotificationAfter",
          "inheritTeleportation", "enableSpotlight", "createTextInputField", "createDynamicHandler",
          "drawBoxNative", "drawUITextNative", "getTrajectory"}) {
        EXPECT_NE(errorOf(std::string("local f = function() end ") + name + "(f, f, f, f, f)")
                      .find("but found FUNCTION"),
                  std::string::npos)
            << name;
    }
}
