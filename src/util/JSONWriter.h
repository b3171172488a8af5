#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/JSON.h"

namespace util {

/// Writes the visited value as JSON text: compact, or one element per line
/// indented with tabs.
class JSONWriter : public JSON::Visitor {
public:
    explicit JSONWriter(bool pretty);

    const std::string& getText() const { return text_; }

    void visitString(const std::string& key, const std::string& text) override;
    void visitNumber(const std::string& key, double real, int64_t integer) override;
    void visitBool(const std::string& key, bool value) override;
    void visitNull(const std::string& key) override;
    void beginObject(const std::string& key) override;
    void endObject() override;
    void beginArray(const std::string& key) override;
    void endArray() override;

private:
    enum Kind { KIND_ROOT, KIND_OBJECT, KIND_ARRAY };
    struct Frame {
        Kind kind;
        bool first;
    };

    void writeKey(const std::string& key);
    void writeString(const std::string& text);
    void newLine();
    void begin(const std::string& key, Kind kind, char bracket);
    void end(char bracket);

    std::string text_;
    bool pretty_;
    std::vector<Frame> stack_;
};

}  // namespace util
