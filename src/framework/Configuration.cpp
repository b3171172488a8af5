#include "framework/Configuration.h"

#include "framework/Renderer.h"
#include "io/BundleInputStream.h"
#include "lang/Numbers.h"
#include "lang/Ptr.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"

namespace framework {

std::string configurationFolder(const std::string& argument) {
    const size_t slash = argument.find_last_of("/\\");
    if (slash == std::string::npos) {
        return std::string();
    }
    // A script in the root folder keeps the root rather than an empty path.
    return slash == 0 ? argument.substr(0, 1) : argument.substr(0, slash);
}

std::string configurationFile(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        return "config.lua";
    }
    const std::string& argument = arguments[1];
    const size_t slash = argument.find_last_of("/\\");
    return slash == std::string::npos ? argument : argument.substr(slash + 1);
}

int orientationFromDegrees(float degrees) {
    if (degrees == 90) {
        return 1;
    }
    if (degrees == 180) {
        return 2;
    }
    return degrees == 270 ? 3 : 0;
}

namespace {

void readInt(const lua::LuaTable& t, const char* key, int& field) {
    if (t.isNumber(key)) {
        field = lang::truncateToInt(t.getNumber(key));
    }
}

void readBool(const lua::LuaTable& t, const char* key, bool& field) {
    if (t.isBoolean(key)) {
        field = t.getBoolean(key);
    }
}

void readString(const lua::LuaTable& t, const char* key, std::string& field) {
    if (t.isString(key)) {
        field = t.getString(key);
    }
}

void readOrientations(const lua::LuaTable& t, std::vector<int>& out) {
    if (!t.isTable("autoOrientations")) {
        return;
    }
    const lua::LuaTable list = t.getTable("autoOrientations");
    for (int i = 1; list.isNumber(i); ++i) {
        out.push_back(orientationFromDegrees(list.getNumber(i)));
    }
}

void readRenderers(const lua::LuaTable& t, std::vector<int>& out) {
    if (!t.isTable("renderer")) {
        return;
    }
    const lua::LuaTable list = t.getTable("renderer");
    for (int i = 1; list.isString(i); ++i) {
        const int platform = findRendererPlatform(list.getString(i));
        if (platform >= 0) {
            out.push_back(platform);
        }
    }
}

}  // namespace

void applyWindowKeys(const lua::LuaTable& t, WindowSettings& s) {
    s.fullscreen = false;
    s.autoOrientations.push_back(1);
    s.autoOrientations.push_back(3);
    readString(t, "name", s.name);
    readInt(t, "width", s.width);
    readInt(t, "height", s.height);
    readInt(t, "bits", s.bits);
    readBool(t, "fullscreen", s.fullscreen);
    readBool(t, "showCursor", s.showCursor);
    readBool(t, "depthbuffer", s.depthbuffer);
    readBool(t, "stencilbuffer", s.stencilbuffer);
    readBool(t, "captureMouse", s.captureMouse);
    readInt(t, "iconResourceID", s.iconResourceID);
    readBool(t, "debugMemoryAllocs", s.debugMemoryAllocs);
    if (t.isNumber("orientation")) {
        s.orientation = orientationFromDegrees(t.getNumber("orientation"));
    }
    readOrientations(t, s.autoOrientations);
    readInt(t, "framerate", s.framerate);
    readString(t, "publisher", s.publisher);
    readString(t, "product", s.product);
    readString(t, "dllPath", s.dllPath);
    readRenderers(t, s.renderer);
    readBool(t, "singleton", s.singleton);
}

void readConfiguration(const std::string& path, WindowSettings& settings,
                       const GameKeysReader& gameKeys) {
    lang::Ptr<lua::LuaState> state = new lua::LuaState();
    io::BundleInputStream stream(path);
    state->runStream(stream, stream.getName(), nullptr);
    const lua::LuaTable& globals = state->getGlobals();
    applyWindowKeys(globals, settings);
    if (gameKeys) {
        gameKeys(globals);
    }
}

}  // namespace framework
