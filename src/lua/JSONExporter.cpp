#include "lua/JSONExporter.h"

#include <cmath>
#include <cstdio>

namespace lua {

namespace {

void appendNumber(float value, std::string& out) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.16g", static_cast<double>(value));
    out += text;
}

const char* escapeOf(unsigned char c) {
    switch (c) {
        case '\b':
            return "\\b";
        case '\t':
            return "\\t";
        case '\n':
            return "\\n";
        case '\f':
            return "\\f";
        case '\r':
            return "\\r";
        case '"':
            return "\\\"";
        case '/':
            return "\\/";
        case '\\':
            return "\\\\";
        default:
            return nullptr;
    }
}

void appendItems(const std::vector<std::string>& parts, char open, char close, std::string& out) {
    out += open;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += parts[i];
    }
    out += close;
}

}  // namespace

void appendJSONString(const char* text, std::string& out) {
    out += '"';
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (const char* escape = escapeOf(c)) {
            out += escape;
        } else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

JSONExporter::JSONExporter() = default;

JSONExporter::Item& JSONExporter::add(int index) {
    open_.back().items.push_back(Item{Item::INDEX, index, std::string(), std::string()});
    return open_.back().items.back();
}

JSONExporter::Item& JSONExporter::add(const char* name) {
    Container& top = open_.back();
    if (!name) {
        top.items.push_back(Item{Item::UNNAMED, 0, std::string(), std::string()});
    } else {
        top.named = true;
        top.items.push_back(Item{Item::NAME, 0, name, std::string()});
    }
    return top.items.back();
}

std::string JSONExporter::close() {
    Container top = std::move(open_.back());
    open_.pop_back();
    std::vector<std::string> parts;
    parts.reserve(top.items.size());
    for (Item& item : top.items) {
        if (!top.named) {
            parts.push_back(std::move(item.value));
        } else if (item.kind != Item::UNNAMED) {
            std::string member;
            appendJSONString(
                item.kind == Item::NAME ? item.name.c_str() : std::to_string(item.index).c_str(),
                member);
            member += ':';
            member += item.value;
            parts.push_back(std::move(member));
        }
    }
    std::string text;
    bool array = !top.named && !parts.empty();
    appendItems(parts, array ? '[' : '{', array ? ']' : '}', text);
    return text;
}

void JSONExporter::visitNil(int index) {
    add(index).value = "null";
}

void JSONExporter::visitBoolean(int index, bool value) {
    add(index).value = value ? "true" : "false";
}

void JSONExporter::visitNumber(int index, float value) {
    appendNumber(value, add(index).value);
}

void JSONExporter::visitString(int index, const char* value) {
    appendJSONString(value, add(index).value);
}

void JSONExporter::visitNil(const char* name) {
    add(name).value = "null";
}

void JSONExporter::visitBoolean(const char* name, bool value) {
    add(name).value = value ? "true" : "false";
}

void JSONExporter::visitNumber(const char* name, float value) {
    appendNumber(value, add(name).value);
}

void JSONExporter::visitString(const char* name, const char* value) {
    appendJSONString(value, add(name).value);
}

void JSONExporter::beginTable(const char* name) {
    // The table's text is filled in when it closes. The walk gives no key for a
    // table under a number key: it is an element of an array.
    add(name);
    open_.emplace_back();
}

void JSONExporter::endTable() {
    if (open_.size() < 2) {
        return;
    }
    std::string text = close();
    open_.back().items.back().value = std::move(text);
}

void JSONExporter::begin() {
    open_.clear();
    text_.clear();
    open_.emplace_back();
}

void JSONExporter::end() {
    while (open_.size() > 1) {
        endTable();
    }
    text_ = open_.empty() ? std::string("{}") : close();
}

}  // namespace lua
