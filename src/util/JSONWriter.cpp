#include "util/JSONWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "lang/Log.h"
#include "lang/String.h"

namespace util {

namespace {

// Appends one UTF-16 unit, escaped as JSON requires; every non-ASCII unit is
// written as a \u escape.
void appendUnit(std::string& out, char16_t unit) {
    static const char kFrom[] = "\b\t\n\f\r\"/\\";
    static const char kTo[] = "btnfr\"/\\";
    for (int i = 0; i < 8; ++i) {
        if (unit == static_cast<unsigned char>(kFrom[i])) {
            out += '\\';
            out += kTo[i];
            return;
        }
    }
    if (unit >= 32 && unit <= 126) {
        out += static_cast<char>(unit);
        return;
    }
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(unit));
    out += buffer;
}

bool isAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

JSONWriter::JSONWriter(bool pretty) : pretty_(pretty) {
    stack_.push_back(Frame{KIND_ROOT, true});
}

void JSONWriter::newLine() {
    if (pretty_) {
        text_ += '\n';
        text_.append(stack_.size() - 1, '\t');
    }
}

// Keys are escaped like values so that any key reads back unchanged.
void JSONWriter::writeKey(const std::string& key) {
    Frame& top = stack_.back();
    if (!top.first) {
        text_ += ',';
        newLine();
    }
    top.first = false;
    if (top.kind == KIND_OBJECT || !key.empty()) {
        writeString(key);
        text_ += ':';
        if (pretty_) {
            text_ += ' ';
        }
    }
}

void JSONWriter::writeString(const std::string& text) {
    text_ += '"';
    if (isAscii(text)) {
        for (char c : text) {
            appendUnit(text_, static_cast<char16_t>(c));
        }
    } else {
        for (char16_t unit : lang::toUTF16u(text)) {
            appendUnit(text_, unit);
        }
    }
    text_ += '"';
}

void JSONWriter::visitString(const std::string& key, const std::string& text) {
    writeKey(key);
    writeString(text);
}

void JSONWriter::visitNumber(const std::string& key, double real, int64_t) {
    // JSON has no infinities or NaN; null reads back.
    if (!std::isfinite(real)) {
        visitNull(key);
        return;
    }
    char buffer[32];
    auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), real, std::chars_format::general, 16);
    if (result.ec != std::errc() || result.ptr == buffer) {
        QF_LOG("", lang::log::ERROR,
               "JSONWriter::visit(string,double,int64_t) - Printing a value didn't result in "
               "output.\n");
        return;
    }
    writeKey(key);
    text_.append(buffer, result.ptr);
}

void JSONWriter::visitBool(const std::string& key, bool value) {
    writeKey(key);
    text_ += value ? "true" : "false";
}

void JSONWriter::visitNull(const std::string& key) {
    writeKey(key);
    text_ += "null";
}

void JSONWriter::begin(const std::string& key, Kind kind, char bracket) {
    writeKey(key);
    stack_.push_back(Frame{kind, true});
    text_ += bracket;
    newLine();
}

void JSONWriter::end(char bracket) {
    if (stack_.size() > 1) {
        stack_.pop_back();
    }
    newLine();
    text_ += bracket;
}

void JSONWriter::beginObject(const std::string& key) {
    begin(key, KIND_OBJECT, '{');
}

void JSONWriter::endObject() {
    end('}');
}

void JSONWriter::beginArray(const std::string& key) {
    begin(key, KIND_ARRAY, '[');
}

void JSONWriter::endArray() {
    end(']');
}

}  // namespace util
