#include "util/JSONParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace util {

namespace {

const char* const kUnexpected = "Unexpected character";
const char* const kMismatch = "Mismatch closing brace/bracket";
const char* const kSecondRoot = "Second root. Only one root allowed";
const char* const kNotClosed = "Not all objects/arrays have been properly closed";
const char* const kControl = "Control characters not allowed in strings";
const char* const kBadUnicode = "Bad unicode codepoint";
const char* const kBadEscape = "Unrecognized escape sequence";
const char* const kUnknownIdentifier = "Unknown identifier";
const char* const kBadInteger = "Bad integer number";
const char* const kBadFloat = "Bad float number";
const char* const kTooDeep = "Maximum nesting depth exceeded";

const size_t kExcerptLength = 80;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool endsNumber(char c) {
    return isSpace(c) || c == ',' || c == ']' || c == '}';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void appendUTF8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Tokenizer {
public:
    Tokenizer(const char* data, size_t size) : begin_(data), end_(data + size), pos_(data) {}

    JSON run();

private:
    struct Frame {
        JSON* value;
        bool isObject;
        std::string key;  // the key this container was stored under
    };

    [[noreturn]] void fail(const char* reason, const char* at) const;
    void token();
    void open(bool isObject);
    void close(bool isObject);
    void string();
    void number();
    void identifier();
    bool readEscape(const char*& p, std::string& out) const;
    bool readCodeUnit(const char* p, uint32_t& code) const;
    bool readReal(const char* first, const char* last, double& value) const;
    JSON* add(JSON&& value);
    void requireContainer() const;

    const char* begin_;
    const char* end_;
    const char* pos_;
    JSON root_;
    bool haveRoot_ = false;
    std::vector<Frame> stack_;
    std::string pendingKey_;
    bool hasPendingKey_ = false;
    // Values written in an object without a key; kept only so that parsing can
    // go on to report tokenizer errors first.
    std::deque<JSON> orphans_;
    std::string keylessObject_;
    bool hasKeylessValue_ = false;
};

JSON Tokenizer::run() {
    while (pos_ < end_) {
        token();
        while (pos_ < end_ && isSpace(*pos_)) {
            ++pos_;
        }
    }
    if (!stack_.empty()) {
        fail(kNotClosed, end_);
    }
    if (hasKeylessValue_) {
        throw JSON::ParseError("Object \"" + keylessObject_ + "\" contains value without key");
    }
    return std::move(root_);
}

void Tokenizer::fail(const char* reason, const char* at) const {
    int line = 1 + static_cast<int>(std::count(begin_, at, '\n'));
    const char* stop = at + std::min(kExcerptLength, static_cast<size_t>(end_ - at));
    const char* cut = std::find_if(at, stop, [](char c) { return c == '\n' || c == '\0'; });
    throw JSON::ParseError(reason, line, std::string(at, cut));
}

void Tokenizer::token() {
    char c = *pos_;
    switch (c) {
        case '{':
        case '[':
            open(c == '{');
            break;
        case '}':
        case ']':
            close(c == '}');
            break;
        case '"':
            string();
            break;
        case 't':
        case 'f':
        case 'n':
            identifier();
            break;
        case ':':
            if (stack_.empty() || !stack_.back().isObject) {
                fail(kUnexpected, pos_);
            }
            ++pos_;
            break;
        case ',':
            requireContainer();
            ++pos_;
            break;
        default:
            if (c == '-' || (c >= '0' && c <= '9')) {
                number();
            } else {
                fail(kUnexpected, pos_);
            }
    }
}

void Tokenizer::requireContainer() const {
    if (stack_.empty()) {
        fail(kUnexpected, pos_);
    }
}

void Tokenizer::open(bool isObject) {
    JSON empty = isObject ? JSON(JSON::ObjectType()) : JSON(JSON::ArrayType());
    if (stack_.empty()) {
        if (haveRoot_) {
            fail(kSecondRoot, pos_);
        }
        haveRoot_ = true;
        root_ = std::move(empty);
        stack_.push_back(Frame{&root_, isObject, std::string()});
    } else {
        if (stack_.size() >= JSONParser::MAX_DEPTH) {
            fail(kTooDeep, pos_);
        }
        std::string key = hasPendingKey_ ? pendingKey_ : std::string();
        JSON* child = add(std::move(empty));
        stack_.push_back(Frame{child, isObject, std::move(key)});
    }
    ++pos_;
}

void Tokenizer::close(bool isObject) {
    if (stack_.empty() || stack_.back().isObject != isObject) {
        fail(kMismatch, pos_);
    }
    stack_.pop_back();
    hasPendingKey_ = false;
    ++pos_;
}

// Stores a value in the current container, under the pending key in an object.
JSON* Tokenizer::add(JSON&& value) {
    Frame& top = stack_.back();
    if (!top.isObject) {
        JSON::ArrayType& array = top.value->asArray();
        array.push_back(std::move(value));
        return &array.back();
    }
    if (!hasPendingKey_) {
        if (!hasKeylessValue_) {
            hasKeylessValue_ = true;
            keylessObject_ = top.key;
        }
        orphans_.push_back(std::move(value));
        return &orphans_.back();
    }
    hasPendingKey_ = false;
    JSON& slot = top.value->asObject()[pendingKey_];
    slot = std::move(value);
    return &slot;
}

void Tokenizer::string() {
    requireContainer();
    std::string text;
    const char* p = pos_ + 1;
    for (;;) {
        const char* run = p;
        while (p < end_ && *p != '"' && *p != '\\' && static_cast<unsigned char>(*p) >= 0x20) {
            ++p;
        }
        text.append(run, p);
        if (p >= end_) {
            // The container holding the string is still open.
            fail(kNotClosed, end_);
        }
        if (*p == '"') {
            break;
        }
        if (*p != '\\') {
            fail(kControl, p);
        }
        if (!readEscape(p, text)) {
            fail(kNotClosed, end_);
        }
    }
    pos_ = p + 1;
    if (stack_.back().isObject && !hasPendingKey_) {
        pendingKey_ = std::move(text);
        hasPendingKey_ = true;
    } else {
        add(JSON(std::move(text)));
    }
}

// Decodes the escape at p (a backslash) and moves p past it. Returns false when
// the text ends inside the escape.
bool Tokenizer::readEscape(const char*& p, std::string& out) const {
    if (end_ - p < 2) {
        return false;
    }
    static const char kFrom[] = "\"/\\bfnrt";
    static const char kTo[] = "\"/\\\b\f\n\r\t";
    char c = p[1];
    if (c == 'u') {
        uint32_t code = 0;
        if (!readCodeUnit(p, code)) {
            fail(kBadUnicode, p);
        }
        p += 6;
        uint32_t low = 0;
        // A surrogate pair becomes one character; a lone surrogate stays as it is.
        if (code >= 0xD800 && code <= 0xDBFF && readCodeUnit(p, low) && low >= 0xDC00 &&
            low <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            p += 6;
        }
        appendUTF8(out, code);
        return true;
    }
    const char* found = c != '\0' ? std::strchr(kFrom, c) : nullptr;
    if (!found) {
        fail(kBadEscape, p);
    }
    out += kTo[found - kFrom];
    p += 2;
    return true;
}

// Reads "\uXXXX" at p.
bool Tokenizer::readCodeUnit(const char* p, uint32_t& code) const {
    if (end_ - p < 6 || p[0] != '\\' || p[1] != 'u') {
        return false;
    }
    code = 0;
    for (int i = 2; i < 6; ++i) {
        int digit = hexValue(p[i]);
        if (digit < 0) {
            return false;
        }
        code = (code << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

void Tokenizer::number() {
    requireContainer();
    const char* last = pos_;
    bool isReal = false;
    while (last < end_ && !endsNumber(*last)) {
        isReal = isReal || *last == '.' || *last == 'e' || *last == 'E';
        ++last;
    }
    if (isReal) {
        double value = 0;
        if (!readReal(pos_, last, value)) {
            fail(kBadFloat, pos_);
        }
        add(JSON::fromReal(value));
        pos_ = last;
        return;
    }
    const char* p = pos_;
    bool negative = *p == '-';
    p += negative ? 1 : 0;
    const char* digits = p;
    uint64_t magnitude = 0;
    bool overflow = false;
    const uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    for (; p < last && *p >= '0' && *p <= '9'; ++p) {
        uint64_t digit = static_cast<uint64_t>(*p - '0');
        overflow = overflow || magnitude > (limit - digit) / 10;
        magnitude = overflow ? magnitude : magnitude * 10 + digit;
    }
    if (p != last || p == digits) {
        fail(kBadInteger, pos_);
    }
    if (overflow) {
        // Too large for 64 bits: keep the nearest double, saturate the integer;
        // beyond a double's range it fails like a float would.
        double value = 0;
        if (!readReal(pos_, last, value)) {
            fail(kBadInteger, pos_);
        }
        add(JSON::fromReal(value));
    } else {
        int64_t value =
            negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
        add(JSON::fromInteger(value));
    }
    pos_ = last;
}

// Locale-independent; the token must be consumed whole and give a finite value.
bool Tokenizer::readReal(const char* first, const char* last, double& value) const {
    auto result = std::from_chars(first, last, value);
    if (result.ptr != last) {
        return false;
    }
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow gives zero or a denormal, overflow an infinity (refused below).
        value = std::strtod(std::string(first, last).c_str(), nullptr);
    } else if (result.ec != std::errc()) {
        return false;
    }
    return std::isfinite(value);
}

void Tokenizer::identifier() {
    requireContainer();
    const char* word = *pos_ == 't' ? "true" : *pos_ == 'f' ? "false" : "null";
    size_t length = std::strlen(word);
    if (static_cast<size_t>(end_ - pos_) < length || std::memcmp(pos_, word, length) != 0) {
        fail(kUnknownIdentifier, pos_);
    }
    add(*pos_ == 'n' ? JSON() : JSON::fromBool(*pos_ == 't'));
    pos_ += length;
}

}  // namespace

JSON JSONParser::parse(const char* data, size_t size) {
    if (size == 0) {
        return JSON();
    }
    return Tokenizer(data, size).run();
}

}  // namespace util
