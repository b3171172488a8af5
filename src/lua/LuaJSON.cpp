#include "lua/LuaJSON.h"

#include <memory>

#include "cJSON.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lua/JSONExporter.h"
#include "lua/JSONImporter.h"
#include "lua/LuaTable.h"

namespace lua {

namespace {

using Tree = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

// Depth is bounded by cJSON's nesting limit.
void walkItems(const cJSON* item, util::JSONVisitor& visitor) {
    for (; item; item = item->next) {
        const char* name = item->string;
        switch (item->type & 0xff) {
            case cJSON_False:
                visitor.visitBool(name, false);
                break;
            case cJSON_True:
                visitor.visitBool(name, true);
                break;
            case cJSON_NULL:
                visitor.visitNull(name);
                break;
            case cJSON_Number:
                visitor.visitNumber(name, item->valuedouble);
                break;
            case cJSON_String:
                visitor.visitString(name, item->valuestring ? item->valuestring : "");
                break;
            case cJSON_Array:
                visitor.beginArray(name);
                walkItems(item->child, visitor);
                visitor.endArray();
                break;
            case cJSON_Object:
                visitor.beginObject(name);
                walkItems(item->child, visitor);
                visitor.endObject();
                break;
            default:
                break;
        }
    }
}

Tree parse(const char* bytes, size_t size) {
    const char* stop = nullptr;
    Tree tree(cJSON_ParseWithLengthOpts(bytes, size, &stop, 0), cJSON_Delete);
    if (!tree) {
        const char* end = bytes + size;
        if (!stop || stop < bytes || stop > end) {
            stop = bytes;
        }
        throw lang::Exception(
            lang::Format("JSON parsing failed here: {0}", std::string(stop, end)));
    }
    return tree;
}

}  // namespace

void walkJSON(const char* bytes, size_t size, util::JSONVisitor& visitor) {
    static const char empty = '\0';
    Tree tree = parse(bytes ? bytes : &empty, bytes ? size : 0);
    walkItems(tree->child, visitor);
}

void importJSON(const char* bytes, size_t size, const LuaTable& table) {
    JSONImporter importer(table);
    walkJSON(bytes, size, importer);
}

void importJSON(const std::string& text, const LuaTable& table) {
    importJSON(text.data(), text.size(), table);
}

std::string exportJSON(const LuaTable& table) {
    JSONExporter exporter;
    table.accept(exporter);
    return exporter.getText();
}

}  // namespace lua
