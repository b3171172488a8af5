#include "common/level/LevelText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "lua.h"
#include "lua/LuaState.h"
#include "lua/StackGuard.h"

namespace {

// The order the hand-written levels give their keys; others follow, sorted.
const char* const KEY_ORDER[] = {
    // the level
    "filename", "theme", "hint", "tint", "slingshot", "birds", "bounds", "water",
    // an object or a joint
    "definition", "type", "end1", "end2", "coordType", "x", "y", "x1", "y1", "x2", "y2",
    "worldAxisX", "worldAxisY", "lowerLimit", "upperLimit", "motorSpeed", "maxTorque",
    "backAndForth", "frequency", "dampingRatio", "breakable", "breakForce", "angle", "static",
    "toughness", "target", "range", "force",
    // points, boxes and colours
    "left", "right", "top", "bottom", "r", "g", "b", "waterLevel"};

// Tables written with one entry a line, after the plain keys.
const char* const SECTIONS[] = {"world", "joints"};

const char* const LUA_KEYWORDS[] = {
    "and",   "break", "do",  "else", "elseif", "end",    "false", "for",  "function", "if",   "in",
    "local", "nil",   "not", "or",   "repeat", "return", "then",  "true", "until",    "while"};

// The place of key among the sections; past the end for a plain key.
size_t sectionOf(const std::string& key) {
    const auto found = std::find_if(std::begin(SECTIONS), std::end(SECTIONS),
                                    [&key](const char* section) { return key == section; });
    return static_cast<size_t>(found - std::begin(SECTIONS));
}

int rankOf(const std::string& key) {
    const auto found = std::find_if(std::begin(KEY_ORDER), std::end(KEY_ORDER),
                                    [&key](const char* known) { return key == known; });
    return static_cast<int>(found - std::begin(KEY_ORDER));
}

bool isIdentifier(const std::string& key) {
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key[0]))) {
        return false;
    }
    for (char c : key) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            return false;
        }
    }
    return std::none_of(std::begin(LUA_KEYWORDS), std::end(LUA_KEYWORDS),
                        [&key](const char* word) { return key == word; });
}

// The shortest text that reads back to the same number.
std::string numberText(lua_Number value) {
    if (std::isnan(value)) {
        return "0/0";
    }
    if (std::isinf(value)) {
        return value > 0 ? "1/0" : "-1/0";
    }
    // An exponent only where a level would never write the number out: 20
    // reads back from "2e+01" too, but a level says 20.
    const double size = std::fabs(static_cast<double>(value));
    const bool plain = size == 0 || (size >= 1e-5 && size < 1e15);
    char text[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (static_cast<lua_Number>(std::strtod(text, nullptr)) == value &&
            (!plain || std::strchr(text, 'e') == nullptr)) {
            break;
        }
    }
    return text;
}

std::string quoted(const char* text, size_t length) {
    std::string out = "\"";
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 32 || c == 127) {
            // Three digits, so that a digit after it is not taken in.
            char code[8];
            std::snprintf(code, sizeof code, "\\%03d", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

bool isWritable(int type) {
    return type == LUA_TNUMBER || type == LUA_TSTRING || type == LUA_TBOOLEAN || type == LUA_TTABLE;
}

// A key of a table: its array index (1 to n without a gap), or its name.
struct Key {
    int index = 0;  // > 0 for the array part
    bool isNumber = false;
    lua_Number number = 0;
    std::string name;
};

// The writable entries of the table at index: the array part in order, then
// (ranked) the known names in their order, then the other keys sorted.
std::vector<Key> orderedKeys(lua_State* L, int table, bool ranked = true) {
    std::vector<Key> array;
    std::vector<Key> named;
    // The array part is the run 1, 2, ... without a gap: the length operator
    // may stop at any border of a table with holes.
    int length = 0;
    for (;; ++length) {
        lua_rawgeti(L, table, length + 1);
        const bool present = isWritable(lua_type(L, -1));
        lua_pop(L, 1);
        if (!present) {
            break;
        }
    }
    lua_pushnil(L);
    while (lua_next(L, table) != 0) {
        const int valueType = lua_type(L, -1);
        lua_pop(L, 1);
        if (!isWritable(valueType)) {
            continue;
        }
        Key key;
        if (lua_type(L, -1) == LUA_TNUMBER) {
            key.isNumber = true;
            key.number = lua_tonumber(L, -1);
            const int whole = static_cast<int>(key.number);
            if (whole >= 1 && whole <= length && static_cast<lua_Number>(whole) == key.number) {
                key.index = whole;
                array.push_back(key);
                continue;
            }
            key.name = numberText(key.number);
        } else if (lua_type(L, -1) == LUA_TSTRING) {
            size_t size = 0;
            const char* text = lua_tolstring(L, -1, &size);
            key.name.assign(text, size);
        } else {
            continue;  // a boolean or table key has no written form here
        }
        named.push_back(key);
    }
    std::sort(array.begin(), array.end(),
              [](const Key& a, const Key& b) { return a.index < b.index; });
    std::sort(named.begin(), named.end(), [ranked](const Key& a, const Key& b) {
        if (a.isNumber != b.isNumber) {
            return a.isNumber;
        }
        if (a.isNumber) {
            return a.number < b.number;
        }
        const int ra = ranked ? rankOf(a.name) : 0;
        const int rb = ranked ? rankOf(b.name) : 0;
        return ra != rb ? ra < rb : a.name < b.name;
    });
    array.insert(array.end(), named.begin(), named.end());
    return array;
}

void pushKey(lua_State* L, const Key& key) {
    if (key.index > 0) {
        lua_pushnumber(L, static_cast<lua_Number>(key.index));
    } else if (key.isNumber) {
        lua_pushnumber(L, key.number);
    } else {
        lua_pushlstring(L, key.name.data(), key.name.size());
    }
}

std::string keyText(const Key& key) {
    if (key.isNumber) {
        return "[" + key.name + "]";
    }
    return isIdentifier(key.name) ? key.name : "[" + quoted(key.name.data(), key.name.size()) + "]";
}

std::string valueText(lua_State* L, int index);

// `{ a, b, k = v }` on one line; `{}` when empty.
std::string inlineTable(lua_State* L, int table) {
    if (!lua_checkstack(L, 4)) {
        return "{}";
    }
    std::string out;
    for (const Key& key : orderedKeys(L, table)) {
        pushKey(L, key);
        lua_rawget(L, table);
        out += out.empty() ? "{ " : ", ";
        if (key.index == 0) {
            out += keyText(key) + " = ";
        }
        out += valueText(L, lua_gettop(L));
        lua_pop(L, 1);
    }
    return out.empty() ? "{}" : out + " }";
}

std::string valueText(lua_State* L, int index) {
    switch (lua_type(L, index)) {
        case LUA_TNUMBER:
            return numberText(lua_tonumber(L, index));
        case LUA_TBOOLEAN:
            return lua_toboolean(L, index) ? "true" : "false";
        case LUA_TSTRING: {
            size_t size = 0;
            const char* text = lua_tolstring(L, index, &size);
            return quoted(text, size);
        }
        case LUA_TTABLE:
            return inlineTable(L, index);
        default:
            return "nil";
    }
}

// `name = {` with one entry a line in name order, `}`.
std::string sectionText(lua_State* L, const std::string& name, int table) {
    std::vector<Key> keys = orderedKeys(L, table, false);
    if (keys.empty()) {
        return name + " = {}\n";
    }
    std::string out = name + " = {\n";
    for (const Key& key : keys) {
        pushKey(L, key);
        lua_rawget(L, table);
        out += "    ";
        if (key.index == 0) {
            out += keyText(key) + " = ";
        }
        out += valueText(L, lua_gettop(L)) + ",\n";
        lua_pop(L, 1);
    }
    return out + "}\n";
}

}  // namespace

std::string levelText(const lua::LuaTable& level, const std::string& header) {
    std::string plain;
    std::string sections[std::size(SECTIONS)];
    if (!level.isEmpty()) {
        lua_State* L = level.getState()->getLua();
        lua::StackGuard guard(L);
        level.push();
        const int table = lua_gettop(L);
        for (const Key& key : orderedKeys(L, table)) {
            pushKey(L, key);
            lua_rawget(L, table);
            const int value = lua_gettop(L);
            if (key.index == 0 && !key.isNumber && isIdentifier(key.name)) {
                const size_t section = sectionOf(key.name);
                if (lua_istable(L, value) && section < std::size(SECTIONS)) {
                    sections[section] = "\n" + sectionText(L, key.name, value);
                } else {
                    plain += key.name + " = " + valueText(L, value) + "\n";
                }
            }
            // A global needs a name: other keys cannot be assigned at the top.
            lua_pop(L, 1);
        }
    }
    std::string text = header + plain;
    for (const std::string& section : sections) {
        text += section;
    }
    return text;
}

std::string levelHeader(const std::string& text) {
    size_t end = 0;
    while (text.compare(end, 2, "--") == 0) {
        const size_t newline = text.find('\n', end);
        if (newline == std::string::npos) {
            return text + "\n";
        }
        end = newline + 1;
    }
    return text.substr(0, end);
}
