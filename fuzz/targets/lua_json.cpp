// The cJSON parser behind importJSON: any text either fills a Lua table or
// throws lang::Exception, and the walk it makes opens and closes containers
// in pairs.
#include "FuzzSupport.h"
#include "lang/Exception.h"
#include "lua/LuaJSON.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"
#include "util/JSONVisitor.h"

namespace {

class Balance : public util::JSONVisitor {
public:
    void visitNull(const char*) override { ++items; }
    void visitBool(const char*, bool) override { ++items; }
    void visitNumber(const char*, double) override { ++items; }
    void visitString(const char*, const char* value) override {
        QF_FUZZ_CHECK(value != nullptr, "null string");
        ++items;
    }
    void beginObject(const char*) override { open.push_back('{'); }
    void endObject() override { close('{'); }
    void beginArray(const char*) override { open.push_back('['); }
    void endArray() override { close('['); }

    std::string open;
    int items = 0;

private:
    void close(char kind) {
        QF_FUZZ_CHECK(!open.empty() && open.back() == kind, "unbalanced " + open);
        open.pop_back();
    }
};

lua::LuaState& state() {
    static lua::LuaState* s = new lua::LuaState();  // one interpreter for the whole run
    return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    Balance balance;
    try {
        lua::walkJSON(text, size, balance);
        QF_FUZZ_CHECK(balance.open.empty(), "left open: " + balance.open);
    } catch (const lang::Exception&) {
    }
    lua::LuaTable table(state());
    try {
        lua::importJSON(text, size, table);
    } catch (const lang::Exception&) {
        // Entries stored before the failure stay; writing them must still work.
    }
    lua::exportJSON(table);
    lua_gc(state().getLua(), LUA_GCCOLLECT, 0);
    return 0;
}
