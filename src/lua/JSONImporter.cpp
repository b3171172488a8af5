#include "lua/JSONImporter.h"

#include "lang/Format.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"

namespace lua {

JSONImporter::JSONImporter(const LuaTable& target) {
    if (target.isEmpty()) {
        throw LuaException(lang::Format("Cannot import JSON into an empty table handle"));
    }
    frames_.push_back(Frame{&target, nullptr, -1});
}

JSONImporter::~JSONImporter() = default;

LuaTable::Key JSONImporter::nextKey(const char* name) {
    Frame& top = frames_.back();
    if (top.counter < 0) {
        return LuaTable::Key(name);
    }
    return LuaTable::Key(top.counter++);
}

void JSONImporter::visitNull(const char* name) {
    frames_.back().table->remove(nextKey(name));
}

void JSONImporter::visitBool(const char* name, bool value) {
    frames_.back().table->set(nextKey(name), value);
}

void JSONImporter::visitNumber(const char* name, double value) {
    frames_.back().table->set(nextKey(name), lang::toFloat(value));
}

void JSONImporter::visitString(const char* name, const char* value) {
    frames_.back().table->set(nextKey(name), value);
}

void JSONImporter::beginTable(const char* name, int counter) {
    lang::Ptr<LuaTable> table(new LuaTable(*frames_.back().table->getState()));
    frames_.back().table->set(nextKey(name), table.get());
    frames_.push_back(Frame{table.get(), table, counter});
}

void JSONImporter::endTable() {
    // The target itself is never popped, whatever the caller sends.
    if (frames_.size() > 1) {
        frames_.pop_back();
    }
}

void JSONImporter::beginObject(const char* name) {
    beginTable(name, -1);
}

void JSONImporter::endObject() {
    endTable();
}

void JSONImporter::beginArray(const char* name) {
    beginTable(name, 1);
}

void JSONImporter::endArray() {
    endTable();
}

}  // namespace lua
