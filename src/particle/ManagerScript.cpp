#include "lang/Numbers.h"
#include "lua/LuaState.h"
#include "lua/ScriptValues.h"
#include "particle/Manager.h"

namespace particle {
namespace {

using lua::isAbsent;

// Arguments after the receiver (particles:add(...)); also accepts particles.add(...).
struct Args {
    lua::LuaState* state;
    int first;

    explicit Args(lua::LuaState* s) : state(s), first(1 + lua::selfOffset(s)) {}
    int slot(int k) const { return first + k; }
    bool has(int k) const { return !isAbsent(state, slot(k)); }
    // An absent number is 0; any other value must be a number.
    float number(int k) const { return has(k) ? state->toNumber(slot(k)) : 0.0f; }
    int integer(int k) const { return lang::truncateToInt(number(k)); }
    std::string text(int k) const { return state->toString(slot(k)); }
    // Counts only when it is the boolean true.
    bool flag(int k) const { return lua::isTrue(state, slot(k)); }
};

}  // namespace

void Manager::registerNatives() {
    addMethod("add", this, &Manager::scriptAdd);
    addMethod("addParticles", this, &Manager::scriptAddParticles);
    addMethod("update", this, &Manager::scriptUpdate);
    addMethod("clear", this, &Manager::scriptClear);
    addMethod("setSoftLimit", this, &Manager::scriptSetSoftLimit);
    addMethod("setHardLimit", this, &Manager::scriptSetHardLimit);
}

// add(layer, name, count, x, y, width, height, angle, ignoreLimits)
int Manager::scriptAdd(lua::LuaState* state) {
    Args a(state);
    emit(a.integer(0), a.text(1), a.integer(2), a.number(3), a.number(4), a.number(5), a.number(6),
         a.number(7), a.flag(8));
    return 0;
}

// addParticles(name, count, x, y, width, height, angle, ignoreLimits, screen)
int Manager::scriptAddParticles(lua::LuaState* state) {
    Args a(state);
    int layer = a.flag(8) ? LAYER_SCREEN : LAYER_WORLD;
    emit(layer, a.text(0), a.integer(1), a.number(2), a.number(3), a.number(4), a.number(5),
         a.number(6), a.flag(7));
    return 0;
}

// update(layer, dt)
int Manager::scriptUpdate(lua::LuaState* state) {
    Args a(state);
    update(a.integer(0), a.number(1));
    return 0;
}

// clear([layer])
int Manager::scriptClear(lua::LuaState* state) {
    Args a(state);
    if (a.has(0)) {
        clear(a.integer(0));
    } else {
        clear();
    }
    return 0;
}

// setSoftLimit(count, factor)
int Manager::scriptSetSoftLimit(lua::LuaState* state) {
    Args a(state);
    setSoftLimit(a.integer(0), a.number(1));
    return 0;
}

// setHardLimit(count)
int Manager::scriptSetHardLimit(lua::LuaState* state) {
    Args a(state);
    setHardLimit(a.integer(0));
    return 0;
}

}  // namespace particle
