#pragma once

// Trampolines that publish member functions to scripts (see LuaObject).
// Each closure carries two upvalues: its Binding (userdata) and the owner's
// alive flag (userdata), which the Binding points into and the LuaObject
// clears when it goes. A call reads only the Binding.

#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "lua.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"

namespace lua {
namespace detail {

/// The first upvalue of a native's closure: the object, the owner's alive
/// flag, and the member-function pointer's bytes right after them.
struct Binding {
    void* object;
    const bool* alive;

    template <class Method>
    Method method() const {
        Method method;
        std::memcpy(&method, this + 1, sizeof method);
        return method;
    }
};

/// Throws LuaException: the LuaObject behind the running closure is gone.
[[noreturn]] void ownerReleased(lua_State* L);

/// The running closure's Binding, once its owner is known to be alive.
inline const Binding& liveBinding(lua_State* L) {
    const auto* binding = static_cast<const Binding*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (!*binding->alive) {
        ownerReleased(L);
    }
    return *binding;
}

template <class T>
struct Arg {
    static_assert(sizeof(T) == 0, "native parameters are std::string, float, bool or LuaTable");
};
template <>
struct Arg<std::string> {
    static std::string read(LuaState& state, int index) {
        const char* text = state.toString(index);
        return std::string(text, lua_objlen(state.getLua(), index));
    }
};
// Numbers and flags are read inline when the type matches; the strict reader
// is only called to raise its error.
template <>
struct Arg<float> {
    static float read(LuaState& state, int index) {
        lua_State* L = state.getLua();
        return lua_type(L, index) == LUA_TNUMBER ? static_cast<float>(lua_tonumber(L, index))
                                                 : state.toNumber(index);
    }
};
template <>
struct Arg<bool> {
    static bool read(LuaState& state, int index) {
        lua_State* L = state.getLua();
        return lua_type(L, index) == LUA_TBOOLEAN ? lua_toboolean(L, index) != 0
                                                  : state.toBoolean(index);
    }
};
template <>
struct Arg<LuaTable> {
    static LuaTable read(LuaState& state, int index) { return state.toTable(index); }
};

/// The letter a native's listing shows for a parameter or result type.
template <class T>
struct TypeLetter;
template <>
struct TypeLetter<std::string> {
    static constexpr const char* value = "s";
};
template <>
struct TypeLetter<float> {
    static constexpr const char* value = "n";
};
template <>
struct TypeLetter<bool> {
    static constexpr const char* value = "b";
};
template <>
struct TypeLetter<LuaTable> {
    static constexpr const char* value = "t";
};

inline int pushResult(LuaState& state, bool value) {
    state.pushBoolean(value);
    return 1;
}
inline int pushResult(LuaState& state, float value) {
    state.pushNumber(value);
    return 1;
}
inline int pushResult(LuaState& state, const std::string& value) {
    state.pushString(value);
    return 1;
}
inline int pushResult(LuaState& state, const LuaTable& value) {
    state.pushTable(&value);
    return 1;
}

template <class Method>
struct MethodTraits;
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...)> {
    using Class = C;
    using Return = R;
    using Args = std::tuple<std::decay_t<A>...>;
};
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...) const> {
    using Class = const C;
    using Return = R;
    using Args = std::tuple<std::decay_t<A>...>;
};

template <class Args, size_t... I>
std::string parameterLetters(std::index_sequence<I...>) {
    std::string text;
    for (const char* letter : {"", TypeLetter<std::tuple_element_t<I, Args>>::value...}) {
        if (*letter) {
            text += (text.empty() ? "" : ", ");
            text += letter;
        }
    }
    return text;
}

/// "(s, n) -> b": the parameter types in order and the result, if any.
template <class Method>
std::string typedSignature() {
    using Traits = MethodTraits<Method>;
    using Args = typename Traits::Args;
    std::string text =
        "(" + parameterLetters<Args>(std::make_index_sequence<std::tuple_size_v<Args>>{}) + ")";
    if constexpr (!std::is_void_v<typename Traits::Return>) {
        text += " -> ";
        text += TypeLetter<std::decay_t<typename Traits::Return>>::value;
    }
    return text;
}

template <class Method, size_t... I>
int invokeTyped(LuaState& state, lua_State* L, std::index_sequence<I...>) {
    using Traits = MethodTraits<Method>;
    using Args = typename Traits::Args;
    const Binding& binding = liveBinding(L);
    auto* object = static_cast<typename Traits::Class*>(binding.object);
    Method method = binding.method<Method>();
    // Braced initialisation reads the arguments left to right.
    Args args{Arg<std::tuple_element_t<I, Args>>::read(state, static_cast<int>(I) + 1)...};
    (void)args;
    if constexpr (std::is_void_v<typename Traits::Return>) {
        (object->*method)(std::get<I>(std::move(args))...);
        return 0;
    } else {
        return pushResult(state, (object->*method)(std::get<I>(std::move(args))...));
    }
}

template <class Method>
int typedBody(LuaState& state, lua_State* L) {
    constexpr size_t count = std::tuple_size_v<typename MethodTraits<Method>::Args>;
    return invokeTyped<Method>(state, L, std::make_index_sequence<count>{});
}

template <class C>
int rawBody(LuaState& state, lua_State* L) {
    const Binding& binding = liveBinding(L);
    auto* object = static_cast<C*>(binding.object);
    auto method = binding.method<int (C::*)(LuaState*)>();
    return (object->*method)(&state);
}

/// The Lua error is raised here, outside every C++ scope of the native call.
template <int (*Body)(LuaState&, lua_State*)>
int trampoline(lua_State* L) {
    int results = LuaState::runNative(L, Body);
    if (results < 0) {
        return lua_error(L);
    }
    return results;
}

}  // namespace detail
}  // namespace lua
