#pragma once

#include "lua/LuaObject.h"

namespace flurry {

class Flurry;

/// The script global "Flurry": startSession, endSession and logEvent, called
/// with a dot. Destroy it before the wrapper it forwards to.
class FlurryLuaInterface : public lua::LuaObject {
public:
    FlurryLuaInterface(lua::LuaState& state, Flurry* flurry);
    ~FlurryLuaInterface() override;

private:
    int startSession(lua::LuaState* state);
    int endSession(lua::LuaState* state);
    /// logEvent(name), logEvent(name, key), logEvent(name, table),
    /// logEvent(name, key, value).
    int logEvent(lua::LuaState* state);

    Flurry* flurry_;
};

}  // namespace flurry
