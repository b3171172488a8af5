#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

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

    /// One published native as the listing shows it.
    struct Native {
        std::string name;
        std::string signature;  // "(s, n) -> b"; raw ones "raw" and what they read
        std::string topic;      // the group it was registered under
    };

    /// Publishes a raw native: it reads its own arguments from the state, pushes
    /// its results and returns how many it pushed. usage ("(s, [n]) -> t") is
    /// only for the listing, since nothing else can tell what it reads.
    template <class T, class C>
    void addMethod(const char* name, T* object, int (C::*method)(LuaState*),
                   const char* usage = nullptr) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        storeMethod(name, &detail::trampoline<&detail::rawBody<C>>,
                    static_cast<void*>(static_cast<C*>(object)), &method, sizeof method);
        listNative(name, usage ? std::string("raw ") + usage : std::string("raw"));
    }

    /// Publishes a typed native: arguments are read strictly by parameter type
    /// (std::string, float, bool, LuaTable) and one result is pushed unless void.
    template <class T, class C, class R, class... A>
    void bindMethod(const char* name, T* object, R (C::*method)(A...)) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        using Method = R (C::*)(A...);
        storeMethod(name, &detail::trampoline<&detail::typedBody<Method>>,
                    static_cast<void*>(static_cast<C*>(object)), &method, sizeof method);
        listNative(name, detail::typedSignature<Method>());
    }
    template <class T, class C, class R, class... A>
    void bindMethod(const char* name, T* object, R (C::*method)(A...) const) {
        static_assert(std::is_base_of<C, T>::value, "method of another class");
        using Method = R (C::*)(A...) const;
        storeMethod(name, &detail::trampoline<&detail::typedBody<Method>>,
                    const_cast<void*>(static_cast<const void*>(static_cast<const C*>(object))),
                    &method, sizeof method);
        listNative(name, detail::typedSignature<Method>());
    }

    /// Natives published from now on are listed under topic.
    void setNativeTopic(const char* topic) { topic_ = topic; }
    /// Every native published on this object, in the order first published; a
    /// name published again keeps its place and takes the new signature.
    const std::vector<Native>& nativeList() const { return natives_; }

private:
    void listNative(const char* name, std::string signature);
    void storeMethod(const char* name, lua_CFunction trampoline, void* object, const void* method,
                     size_t size);

    std::vector<Native> natives_;
    std::string topic_;
    bool* alive_ = nullptr;  // the flag every closure of this object points to
    int aliveRef_ = -1;      // registry reference that keeps the flag while this lives
};

}  // namespace lua
