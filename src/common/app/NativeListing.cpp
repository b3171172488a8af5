#include "common/app/NativeListing.h"

#include "common/app/LevelSources.h"

#include "common/world/GameLua.h"
#include "common/world/WorldParticleManager.h"
#include "flurry/Flurry.h"
#include "flurry/FlurryLuaInterface.h"
#include "game/LuaResources.h"
#include "gr/Context.h"
#include "lang/Ptr.h"
#include "lua/LuaObject.h"
#include "lua/LuaState.h"
#include "net/GetTimeStamp.h"

namespace {

// Wide enough for the longest name, so the signatures line up.
const size_t NAME_COLUMN = 36;

}  // namespace

void appendNatives(std::string& out, const lua::LuaObject& object, const std::string& prefix,
                   const std::string& fallbackTopic) {
    std::string topic;
    bool first = true;
    for (const lua::LuaObject::Native& native : object.nativeList()) {
        const std::string& wanted = native.topic.empty() ? fallbackTopic : native.topic;
        if (first || wanted != topic) {
            out += "== " + wanted + "\n";
            topic = wanted;
            first = false;
        }
        const std::string name = prefix + native.name;
        out += name;
        out.append(name.size() < NAME_COLUMN ? NAME_COLUMN - name.size() : 1, ' ');
        out += native.signature + "\n";
    }
}

std::string nativeListing() {
    lang::Ptr<lua::LuaState> state = new lua::LuaState();
    std::string out;
    {
        lang::Ptr<GameLua> world = new GameLua(*state, GameLua::Services());
        LevelSources levelSources(*world, DevSources());  // the application adds these
        appendNatives(out, *world, "", "World");
        WorldParticleManager particles(*state, *world, nullptr, 0, 0);
        appendNatives(out, particles.manager(), "particles.", "Particles (the particles table)");
        world = nullptr;
    }
    lang::Ptr<game::LuaResources> resources = new game::LuaResources(*state, nullptr);
    appendNatives(out, *resources, "res.", "Resources (the res table)");
    lang::Ptr<GetTimeStamp> timeStamp = new GetTimeStamp(*state);
    appendNatives(out, *timeStamp, "GetTimeStamp.", "Server time (the GetTimeStamp table)");
    lang::Ptr<flurry::Flurry> analytics = new flurry::Flurry();
    lang::Ptr<flurry::FlurryLuaInterface> analyticsScript =
        new flurry::FlurryLuaInterface(*state, analytics.get());
    appendNatives(out, *analyticsScript, "Flurry.", "Analytics (the Flurry table)");
    return out;
}
