#pragma once

#include <cstddef>
#include <type_traits>

#include "lua/LuaNative.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"

namespace lua {

/// A native object that is also a Lua table carrying its natives. The table holds
/// index 0 = light userdata of this object, "_G" = the globals, "this" = itself,
/// so a script run with it as environment reaches both. Destroy it before the
/// object whose methods it publishes; methods called afterwards raise a script
/// error instead of reaching the object.
class LuaObject : public LuaTable {
public:
    explicit LuaObject(LuaState& state);
    ~LuaObject() override;
    LuaObject(const LuaObject&) = delete;
    LuaObject& operator=(const LuaObject&) = delete;

    /// Publishes a raw native: it reads its own arguments from the state, pushes
    /// its results and returns how many it pushed.
    template <class T, class C>
    void addMethod(const char* name, T* object, int (C::*method)(LuaState*)) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        storeMethod(name, &detail::trampoline<&detail::rawBody<C>>,
                    static_cast<void*>(static_cast<C*>(object)), &method, sizeof method);
    }

    /// Publishes a typed native: arguments are read strictly by parameter type
    /// (std::string, float, bool, LuaTable) and one result is pushed unless void.
    template <class T, class C, class R, class... A>
    void bindMethod(const char* name, T* object, R (C::*method)(A...)) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        using Method = R (C::*)(A...);
        storeMethod(name, &detail::trampoline<&detail::typedBody<Method>>,
                    static_cast<void*>(static_cast<C*>(object)), &method, sizeof method);
    }
    template <class T, class C, class R, class... A>
    void bindMethod(const char* name, T* object, R (C::*method)(A...) const) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        using Method = R (C::*)(A...) const;
        storeMethod(name, &detail::trampoline<&detail::typedBody<Method>>,
                    const_cast<void*>(static_cast<const void*>(static_cast<const C*>(object))),
                    &method, sizeof method);
    }

private:
    void storeMethod(const char* name, lua_CFunction trampoline, void* object, const void* method,
                     size_t size);
};

}  // namespace lua
