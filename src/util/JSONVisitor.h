#pragma once

namespace util {

/// Receives a JSON tree item by item (used to fill Lua tables from parsed text).
/// Names are null for array elements.
class JSONVisitor {
public:
    virtual ~JSONVisitor() = default;
    virtual void visitNull(const char* name) = 0;
    virtual void visitBool(const char* name, bool value) = 0;
    virtual void visitNumber(const char* name, double value) = 0;
    virtual void visitString(const char* name, const char* value) = 0;
    virtual void beginObject(const char* name) = 0;
    virtual void endObject() = 0;
    virtual void beginArray(const char* name) = 0;
    virtual void endArray() = 0;
};

}  // namespace util
