#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lang/Exception.h"
#include "lang/Object.h"

namespace io {
class InputStream;
}

namespace util {

/// One JSON value. Every part is present; only the one named by the type is
/// meaningful. Copies are deep.
class JSON : public lang::Object {
public:
    enum Type {
        TYPE_NULL = 0,
        TYPE_BOOL = 1,
        TYPE_NUMBER = 2,
        TYPE_STRING = 3,
        TYPE_ARRAY = 4,
        TYPE_OBJECT = 5
    };

    using ArrayType = std::vector<JSON>;
    using ObjectType = std::map<std::string, JSON>;

    class JSONException : public lang::Exception {
    public:
        explicit JSONException(const lang::Format& format) : lang::Exception(format) {}
    };
    class BadType : public JSONException {
    public:
        explicit BadType(const lang::Format& format) : JSONException(format) {}
    };
    class KeyNotFound : public JSONException {
    public:
        explicit KeyNotFound(const lang::Format& format) : JSONException(format) {}
    };
    class IndexOutOfBounds : public JSONException {
    public:
        explicit IndexOutOfBounds(const lang::Format& format) : JSONException(format) {}
    };
    /// Tokenizer failures carry the line (1-based), the reason and the input
    /// excerpt; conversion failures have line 0 and an empty excerpt.
    class ParseError : public JSONException {
    public:
        ParseError(const std::string& reason, int line, const std::string& input);
        explicit ParseError(const std::string& reason);

        int getLine() const { return line_; }
        const std::string& getReason() const { return reason_; }
        const std::string& getInput() const { return input_; }

    private:
        int line_;
        std::string reason_;
        std::string input_;
    };

    /// Walks a value; see accept(). Not deleted through this interface.
    class Visitor {
    public:
        virtual void visitString(const std::string& key, const std::string& text) = 0;
        virtual void visitNumber(const std::string& key, double real, int64_t integer) = 0;
        virtual void visitBool(const std::string& key, bool value) = 0;
        virtual void visitNull(const std::string& key) = 0;
        virtual void beginObject(const std::string& key) = 0;
        virtual void endObject() = 0;
        virtual void beginArray(const std::string& key) = 0;
        virtual void endArray() = 0;

    protected:
        ~Visitor() = default;
    };

    JSON();
    JSON(const std::string& text);
    JSON(const char* text);
    JSON(const ArrayType& array);
    JSON(const ObjectType& members);
    JSON(const JSON& other);
    JSON(JSON&& other) noexcept;
    ~JSON() override;

    JSON& operator=(const JSON& other);
    JSON& operator=(JSON&& other) noexcept;
    JSON& operator=(const std::string& text);
    JSON& operator=(const char* text);
    JSON& operator=(const ArrayType& array);
    JSON& operator=(const ObjectType& members);

    /// Numbers keep both forms: an integer also sets the real part and a real
    /// sets the integer part truncated toward zero (saturated).
    static JSON fromInteger(int64_t value);
    static JSON fromReal(double value);
    static JSON fromBool(bool value);

    /// The process-wide Null value, the empty document.
    static const JSON& null();

    Type getType() const { return type_; }
    static const char* typeName(Type type);

    /// Each throws BadType when the value has another type.
    bool asBool() const;
    int32_t asInt() const;  // the low 32 bits of the integer part
    int64_t asInt64() const;
    float asFloat() const;
    const std::string& asString() const;
    const ArrayType& asArray() const;
    ArrayType& asArray();
    const ObjectType& asObject() const;
    ObjectType& asObject();

    const JSON& at(size_t index) const;
    JSON& at(size_t index);

    /// False for a non-Object, a missing key or (typed forms) another type.
    bool has(const std::string& key) const;
    bool hasString(const std::string& key) const;
    bool hasArray(const std::string& key) const;
    bool hasObject(const std::string& key) const;

    /// BadType for a non-Object or a member of another type, KeyNotFound for a
    /// missing key.
    bool getBool(const std::string& key) const;
    int32_t getInt(const std::string& key) const;
    float getFloat(const std::string& key) const;
    const std::string& getString(const std::string& key) const;
    const ArrayType& getArray(const std::string& key) const;
    const ObjectType& getObject(const std::string& key) const;

    /// The member for writing, created as Null when missing. A Null value first
    /// becomes an empty Object; any other non-Object throws BadType.
    JSON& member(const std::string& key);

    void accept(Visitor& visitor) const;
    std::string toString(bool pretty) const;

    /// Replace this value with the parsed document; an empty text gives Null.
    /// On failure ParseError is thrown and this value is left unchanged.
    void parse(const std::string& text);
    void parse(const char* data, size_t size);
    void parse(io::InputStream& stream);

private:
    void expect(Type type) const;
    const JSON& requireMember(const std::string& key, Type type) const;
    void accept(Visitor& visitor, const std::string& key) const;

    Type type_;
    std::string string_;
    ArrayType array_;
    ObjectType members_;
    double real_;
    int64_t integer_;
};

}  // namespace util
