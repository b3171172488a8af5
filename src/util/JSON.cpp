#include "util/JSON.h"

#include <utility>

#include "lang/Numbers.h"
#include "util/JSONParser.h"
#include "util/JSONWriter.h"

namespace util {

namespace {

const char* const kParseErrorPattern =
    "Parsing JSON failed!\nReason: {0}\nLine: {1}\nInput: \"{2}\"";
const char* const kConversionErrorPattern = "Parsing JSON failed!\nReason: {0}";

}  // namespace

JSON::ParseError::ParseError(const std::string& reason, int line, const std::string& input)
    : JSONException(lang::Format(kParseErrorPattern, reason, line, input)),
      line_(line),
      reason_(reason),
      input_(input) {}

JSON::ParseError::ParseError(const std::string& reason)
    : JSONException(lang::Format(kConversionErrorPattern, reason)), line_(0), reason_(reason) {}

JSON::JSON() : type_(TYPE_NULL), real_(0), integer_(0) {}

JSON::JSON(const std::string& text) : type_(TYPE_STRING), string_(text), real_(0), integer_(0) {}

JSON::JSON(const char* text) : JSON(std::string(text ? text : "")) {}

JSON::JSON(const ArrayType& array) : type_(TYPE_ARRAY), array_(array), real_(0), integer_(0) {}

JSON::JSON(const ObjectType& members)
    : type_(TYPE_OBJECT), members_(members), real_(0), integer_(0) {}

JSON::JSON(const JSON& other)
    : lang::Object(),
      type_(other.type_),
      string_(other.string_),
      array_(other.array_),
      members_(other.members_),
      real_(other.real_),
      integer_(other.integer_) {}

JSON::JSON(JSON&& other) noexcept
    : lang::Object(),
      type_(other.type_),
      string_(std::move(other.string_)),
      array_(std::move(other.array_)),
      members_(std::move(other.members_)),
      real_(other.real_),
      integer_(other.integer_) {}

JSON::~JSON() = default;

JSON& JSON::operator=(const JSON& other) {
    if (this != &other) {
        // Copy first: other may be a member of this value.
        JSON copy(other);
        *this = std::move(copy);
    }
    return *this;
}

JSON& JSON::operator=(JSON&& other) noexcept {
    if (this != &other) {
        type_ = other.type_;
        string_ = std::move(other.string_);
        // Keep the old content alive until the move is done: other may live in it.
        ArrayType oldArray;
        oldArray.swap(array_);
        ObjectType oldMembers;
        oldMembers.swap(members_);
        array_ = std::move(other.array_);
        members_ = std::move(other.members_);
        real_ = other.real_;
        integer_ = other.integer_;
    }
    return *this;
}

JSON& JSON::operator=(const std::string& text) {
    return *this = JSON(text);
}

JSON& JSON::operator=(const char* text) {
    return *this = JSON(text);
}

JSON& JSON::operator=(const ArrayType& array) {
    return *this = JSON(array);
}

JSON& JSON::operator=(const ObjectType& members) {
    return *this = JSON(members);
}

JSON JSON::fromInteger(int64_t value) {
    JSON json;
    json.type_ = TYPE_NUMBER;
    json.integer_ = value;
    json.real_ = static_cast<double>(value);
    return json;
}

JSON JSON::fromReal(double value) {
    JSON json;
    json.type_ = TYPE_NUMBER;
    json.real_ = value;
    json.integer_ = lang::truncateSaturating<int64_t>(value);
    return json;
}

JSON JSON::fromBool(bool value) {
    JSON json;
    json.type_ = TYPE_BOOL;
    json.integer_ = value ? 1 : 0;
    json.real_ = json.integer_;
    return json;
}

const JSON& JSON::null() {
    static const JSON value;
    return value;
}

const char* JSON::typeName(Type type) {
    switch (type) {
        case TYPE_NULL:
            return "Null";
        case TYPE_BOOL:
            return "Bool";
        case TYPE_NUMBER:
            return "Number";
        case TYPE_STRING:
            return "String";
        case TYPE_ARRAY:
            return "Array";
        case TYPE_OBJECT:
            return "Object";
    }
    return "Unknown";
}

void JSON::expect(Type type) const {
    if (type_ != type) {
        throw BadType(
            lang::Format("Expected type: {0}, got: {1}", typeName(type), typeName(type_)));
    }
}

bool JSON::asBool() const {
    expect(TYPE_BOOL);
    return integer_ != 0;
}

int32_t JSON::asInt() const {
    expect(TYPE_NUMBER);
    return static_cast<int32_t>(static_cast<uint32_t>(integer_));
}

int64_t JSON::asInt64() const {
    expect(TYPE_NUMBER);
    return integer_;
}

float JSON::asFloat() const {
    expect(TYPE_NUMBER);
    return lang::toFloat(real_);
}

const std::string& JSON::asString() const {
    expect(TYPE_STRING);
    return string_;
}

const JSON::ArrayType& JSON::asArray() const {
    expect(TYPE_ARRAY);
    return array_;
}

JSON::ArrayType& JSON::asArray() {
    expect(TYPE_ARRAY);
    return array_;
}

const JSON::ObjectType& JSON::asObject() const {
    expect(TYPE_OBJECT);
    return members_;
}

JSON::ObjectType& JSON::asObject() {
    expect(TYPE_OBJECT);
    return members_;
}

const JSON& JSON::at(size_t index) const {
    expect(TYPE_ARRAY);
    if (index >= array_.size()) {
        throw IndexOutOfBounds(
            lang::Format("Index {0} out of bounds, size: {1}", index, array_.size()));
    }
    return array_[index];
}

JSON& JSON::at(size_t index) {
    return const_cast<JSON&>(static_cast<const JSON&>(*this).at(index));
}

bool JSON::has(const std::string& key) const {
    return type_ == TYPE_OBJECT && members_.count(key) != 0;
}

bool JSON::hasString(const std::string& key) const {
    if (type_ != TYPE_OBJECT) {
        return false;
    }
    auto it = members_.find(key);
    return it != members_.end() && it->second.type_ == TYPE_STRING;
}

bool JSON::hasArray(const std::string& key) const {
    if (type_ != TYPE_OBJECT) {
        return false;
    }
    auto it = members_.find(key);
    return it != members_.end() && it->second.type_ == TYPE_ARRAY;
}

bool JSON::hasObject(const std::string& key) const {
    if (type_ != TYPE_OBJECT) {
        return false;
    }
    auto it = members_.find(key);
    return it != members_.end() && it->second.type_ == TYPE_OBJECT;
}

const JSON& JSON::requireMember(const std::string& key, Type type) const {
    expect(TYPE_OBJECT);
    auto it = members_.find(key);
    if (it == members_.end()) {
        throw KeyNotFound(lang::Format("Key \"{0}\" not found", key));
    }
    it->second.expect(type);
    return it->second;
}

bool JSON::getBool(const std::string& key) const {
    return requireMember(key, TYPE_BOOL).asBool();
}

int32_t JSON::getInt(const std::string& key) const {
    return requireMember(key, TYPE_NUMBER).asInt();
}

float JSON::getFloat(const std::string& key) const {
    return requireMember(key, TYPE_NUMBER).asFloat();
}

const std::string& JSON::getString(const std::string& key) const {
    return requireMember(key, TYPE_STRING).string_;
}

const JSON::ArrayType& JSON::getArray(const std::string& key) const {
    return requireMember(key, TYPE_ARRAY).array_;
}

const JSON::ObjectType& JSON::getObject(const std::string& key) const {
    return requireMember(key, TYPE_OBJECT).members_;
}

JSON& JSON::member(const std::string& key) {
    if (type_ == TYPE_NULL) {
        *this = ObjectType();
    }
    expect(TYPE_OBJECT);
    return members_[key];
}

void JSON::accept(Visitor& visitor) const {
    accept(visitor, std::string());
}

void JSON::accept(Visitor& visitor, const std::string& key) const {
    switch (type_) {
        case TYPE_NULL:
            visitor.visitNull(key);
            break;
        case TYPE_BOOL:
            visitor.visitBool(key, integer_ != 0);
            break;
        case TYPE_NUMBER:
            visitor.visitNumber(key, real_, integer_);
            break;
        case TYPE_STRING:
            visitor.visitString(key, string_);
            break;
        case TYPE_ARRAY:
            visitor.beginArray(key);
            for (const JSON& element : array_) {
                element.accept(visitor, std::string());
            }
            visitor.endArray();
            break;
        case TYPE_OBJECT:
            visitor.beginObject(key);
            for (const auto& entry : members_) {
                entry.second.accept(visitor, entry.first);
            }
            visitor.endObject();
            break;
    }
}

std::string JSON::toString(bool pretty) const {
    JSONWriter writer(pretty);
    accept(writer);
    return writer.getText();
}

void JSON::parse(const std::string& text) {
    parse(text.data(), text.size());
}

void JSON::parse(const char* data, size_t size) {
    JSON result = JSONParser::parse(data, size);
    *this = std::move(result);
}

}  // namespace util
