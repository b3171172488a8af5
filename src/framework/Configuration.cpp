#include "framework/Configuration.h"

#include "framework/Renderer.h"
#include "io/BundleInputStream.h"
#include "lang/Exception.h"
#include "lang/Format.h"
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

// What a configuration value is, for the message that says it is wrong.
const char* kindOf(const lua::LuaTable& t, const char* key) {
    if (t.isNumber(key)) {
        return "a number";
    }
    if (t.isString(key)) {
        return "a string";
    }
    if (t.isBoolean(key)) {
        return "a boolean";
    }
    return t.isTable(key) ? "a table" : "a function or other value";
}

// A key that is absent leaves its field; one of another type is a mistake
// that would otherwise pass silently.
bool present(const lua::LuaTable& t, const char* key, bool rightType, const char* wanted) {
    if (t.isNil(key)) {
        return false;
    }
    if (!rightType) {
        throw lang::Exception(
            lang::Format("{0} must be {1}, not {2}", key, wanted, kindOf(t, key)));
    }
    return true;
}

void readInt(const lua::LuaTable& t, const char* key, int& field) {
    if (present(t, key, t.isNumber(key), "a number")) {
        field = lang::truncateToInt(t.getNumber(key));
    }
}

void readInt(const lua::LuaTable& t, const char* key, int& field, int low, int high) {
    if (!present(t, key, t.isNumber(key), "a number")) {
        return;
    }
    const float value = t.getNumber(key);
    // Fractions are cut off, so 16384.5 is 16384; NaN fails both tests.
    if (!(value >= static_cast<float>(low) && value < static_cast<float>(high) + 1)) {
        throw lang::Exception(
            lang::Format("{0} is {1}, but must be from {2} to {3}", key, value, low, high));
    }
    field = lang::truncateToInt(value);
}

void readBool(const lua::LuaTable& t, const char* key, bool& field) {
    if (present(t, key, t.isBoolean(key), "true or false")) {
        field = t.getBoolean(key);
    }
}

void readString(const lua::LuaTable& t, const char* key, std::string& field) {
    if (present(t, key, t.isString(key), "a string")) {
        field = t.getString(key);
    }
}

void readOrientations(const lua::LuaTable& t, std::vector<int>& out) {
    if (!present(t, "autoOrientations", t.isTable("autoOrientations"), "a list of angles")) {
        return;
    }
    const lua::LuaTable list = t.getTable("autoOrientations");
    for (int i = 1; list.isNumber(i); ++i) {
        out.push_back(orientationFromDegrees(list.getNumber(i)));
    }
}

void readRenderers(const lua::LuaTable& t, std::vector<int>& out) {
    if (!present(t, "renderer", t.isTable("renderer"), "a list of renderer names")) {
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
    // Sizes beyond any screen are typing mistakes, as are sizes below one pixel.
    readInt(t, "width", s.width, 1, 16384);
    readInt(t, "height", s.height, 1, 16384);
    readInt(t, "bits", s.bits);
    readBool(t, "fullscreen", s.fullscreen);
    readBool(t, "showCursor", s.showCursor);
    readBool(t, "depthbuffer", s.depthbuffer);
    readBool(t, "stencilbuffer", s.stencilbuffer);
    readBool(t, "captureMouse", s.captureMouse);
    readInt(t, "iconResourceID", s.iconResourceID);
    readBool(t, "debugMemoryAllocs", s.debugMemoryAllocs);
    if (present(t, "orientation", t.isNumber("orientation"), "an angle")) {
        s.orientation = orientationFromDegrees(t.getNumber("orientation"));
    }
    readOrientations(t, s.autoOrientations);
    // 0 runs frames without a cap.
    readInt(t, "framerate", s.framerate, 0, 1000);
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
    try {
        applyWindowKeys(globals, settings);
        if (gameKeys) {
            gameKeys(globals);
        }
    } catch (const lang::Exception& e) {
        throw lang::Exception(lang::Format("{0}: {1}", stream.getName(), e.getMessage()));
    }
}

}  // namespace framework
