#include "lua/LuaSerializer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "lang/Format.h"
#include "lua.h"
#include "lua/LuaException.h"

namespace lua {

namespace {

// Deeper trees are refused rather than allowed to exhaust the stack.
const int kMaxDepth = 1000;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isReserved(const char* text, size_t length) {
    static const char* const words[] = {"and",   "break", "do",       "else",   "elseif", "end",
                                        "false", "for",   "function", "if",     "in",     "local",
                                        "nil",   "not",   "or",       "repeat", "return", "then",
                                        "true",  "until", "while"};
    for (const char* word : words) {
        if (std::strlen(word) == length && std::memcmp(word, text, length) == 0) {
            return true;
        }
    }
    return false;
}

bool equals(const char* text, size_t length, const char* literal) {
    return std::strlen(literal) == length && std::memcmp(text, literal, length) == 0;
}

void appendNumber(lua_Number value, std::string& out) {
    if (std::isnan(value)) {
        out += "0/0";
    } else if (std::isinf(value)) {
        out += value > 0 ? "1/0" : "-1/0";
    } else {
        // Nine significant digits read back as the same float.
        char text[64];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        out += text;
    }
}

void appendNumericEscape(unsigned char byte, bool digitFollows, std::string& out) {
    char text[8];
    int length = std::snprintf(text, sizeof text, digitFollows ? "\\%03u" : "\\%u",
                               static_cast<unsigned>(byte));
    if (length < 2 || length > 4) {
        throw LuaException(lang::Format("Failed to generate numerical escape for string literal."));
    }
    out.append(text, static_cast<size_t>(length));
}

// Feeds the compiler a nested body as the constructor it belongs in.
struct Pieces {
    const char* parts[3];
    size_t sizes[3];
    int next;
};

const char* readPiece(lua_State*, void* data, size_t* size) {
    Pieces* p = static_cast<Pieces*>(data);
    while (p->next < 3) {
        const int i = p->next++;
        if (p->sizes[i] > 0) {
            *size = p->sizes[i];
            return p->parts[i];
        }
    }
    *size = 0;
    return nullptr;
}

bool compiles(lua_State* L, const char* text, size_t size, bool nested, std::string& error) {
    static const char open[] = "return {\n";
    static const char close[] = "}";
    Pieces pieces{{open, text, close},
                  {nested ? sizeof open - 1 : 0, size, nested ? sizeof close - 1 : 0},
                  0};
    const int top = lua_gettop(L);
    const int status = lua_load(L, readPiece, &pieces, "saved table");
    if (status != 0) {
        const char* message = lua_tostring(L, -1);
        error = message ? message : "unknown error";
    }
    lua_settop(L, top);
    return status == 0;
}

class Serializer {
public:
    Serializer(lua_State* L, std::string& out) : L_(L), out_(out) {}

    void table(int index, int indent, bool nested);

private:
    struct Walk {
        int indent;
        bool nested;
        bool first;
        bool arrayMode;
        int expected;
    };

    void entry(Walk& walk);
    void value(int index, int indent);
    bool onPath(const void* table) const;

    lua_State* L_;
    std::string& out_;
    std::vector<const void*> path_;  // tables being written, to cut cycles
};

bool Serializer::onPath(const void* table) const {
    for (const void* p : path_) {
        if (p == table) {
            return true;
        }
    }
    return false;
}

void Serializer::table(int index, int indent, bool nested) {
    if (path_.size() >= static_cast<size_t>(kMaxDepth) || !lua_checkstack(L_, 4)) {
        throw LuaException(lang::Format("Table nesting deeper than {0} levels", kMaxDepth));
    }
    path_.push_back(lua_topointer(L_, index));
    Walk walk{indent, nested, true, true, 1};
    lua_pushnil(L_);
    while (lua_next(L_, index) != 0) {
        entry(walk);
        lua_pop(L_, 1);
    }
    if (walk.arrayMode) {
        out_ += '\n';
    }
    path_.pop_back();
}

void Serializer::entry(Walk& walk) {
    int keyType = lua_type(L_, -2);
    int valueType = lua_type(L_, -1);
    bool keyOk = keyType == LUA_TBOOLEAN || keyType == LUA_TNUMBER || keyType == LUA_TSTRING;
    bool valueOk = keyOk && (valueType == LUA_TBOOLEAN || valueType == LUA_TNUMBER ||
                             valueType == LUA_TSTRING || valueType == LUA_TTABLE);
    if (!valueOk || (valueType == LUA_TTABLE && onPath(lua_topointer(L_, -1)))) {
        return;
    }
    size_t keyLength = 0;
    const char* key = keyType == LUA_TSTRING ? lua_tolstring(L_, -2, &keyLength) : nullptr;
    bool identifier = key && isIdentifier(key, keyLength);
    if (!walk.nested && !identifier) {
        return;
    }
    int top = lua_gettop(L_);
    if (walk.arrayMode) {
        if (keyType == LUA_TNUMBER &&
            lua_tonumber(L_, -2) == static_cast<lua_Number>(walk.expected)) {
            out_.append(walk.first ? walk.indent : 0, ' ');
            value(top, walk.indent);
            out_ += ',';
            ++walk.expected;
            walk.first = false;
            return;
        }
        walk.arrayMode = false;
        if (!walk.first) {
            out_ += '\n';
        }
    }
    if (key && (equals(key, keyLength, "_G") || equals(key, keyLength, "this"))) {
        return;
    }
    out_.append(walk.indent, ' ');
    if (identifier) {
        out_.append(key, keyLength);
    } else {
        out_ += '[';
        value(top - 1, walk.indent);
        out_ += ']';
    }
    out_ += " = ";
    value(top, walk.indent);
    if (walk.nested) {
        out_ += ',';
    }
    out_ += '\n';
    walk.first = false;
}

void Serializer::value(int index, int indent) {
    switch (lua_type(L_, index)) {
        case LUA_TBOOLEAN:
            out_ += lua_toboolean(L_, index) ? "true" : "false";
            break;
        case LUA_TNUMBER:
            appendNumber(lua_tonumber(L_, index), out_);
            break;
        case LUA_TSTRING: {
            size_t length = 0;
            const char* text = lua_tolstring(L_, index, &length);
            appendStringLiteral(text, length, out_);
            break;
        }
        case LUA_TTABLE:
            out_ += "{\n";
            table(index, indent + 4, true);
            out_.append(indent, ' ');
            out_ += '}';
            break;
        default:
            out_ += "nil";
            break;
    }
}

}  // namespace

bool isIdentifier(const char* text, size_t length) {
    if (length == 0 || !isLetter(text[0])) {
        return false;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!isLetter(text[i]) && !isDigit(text[i])) {
            return false;
        }
    }
    return !isReserved(text, length);
}

void appendStringLiteral(const char* text, size_t length, std::string& out) {
    static const char controls[] = "abtnvfr";
    out += '"';
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 7 && byte <= 13) {
            out += '\\';
            out += controls[byte - 7];
        } else if (byte == '"' || byte == '\'' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte >= 32 && byte <= 126) {
            out += static_cast<char>(byte);
        } else {
            appendNumericEscape(byte, i + 1 < length && isDigit(text[i + 1]), out);
        }
    }
    out += '"';
}

void serializeTable(lua_State* L, int index, int indent, bool nested, std::string& out) {
    if (index < 0 && index > LUA_REGISTRYINDEX) {
        index = lua_gettop(L) + index + 1;
    }
    const size_t start = out.size();
    Serializer(L, out).table(index, indent, nested);
    // Lua's compiler has limits of its own (nesting, registers, constants) that
    // a table can exceed; text that would not load is refused, not written.
    std::string error;
    if (!compiles(L, out.data() + start, out.size() - start, nested, error)) {
        out.resize(start);
        throw LuaException(
            lang::Format("Table cannot be saved: its text does not load: {0}", error));
    }
}

}  // namespace lua
