// The JSON tokenizer behind util::JSON::parse. Only the empty text gives the
// empty (Null) document, since every other text must open an object or an
// array; a document it accepts must be written back as text that parses to
// the same document, compact and pretty. Numbers are written with sixteen
// significant digits, so they read back within a rounding of that, and an
// integer token's exact value survives only where a double holds it. Texts
// survive when they are UTF-8; a document with other bytes in its texts is
// changed by its first trip and then no more.
#include <cmath>

#include "FuzzSupport.h"
#include "lang/String.h"
#include "util/JSON.h"
#include "util/JSONParser.h"

namespace {

// The document as a walk: one item a value or container boundary.
struct Item {
    char kind;  // n(ull) b(ool) d (number) s(tring) { } [ ]
    std::string key, text;
    double real;
};

class Flatten : public util::JSON::Visitor {
public:
    void visitString(const std::string& key, const std::string& text) override {
        items.push_back({'s', key, text, 0});
    }
    void visitNumber(const std::string& key, double real, int64_t) override {
        items.push_back({'d', key, "", real});
    }
    void visitBool(const std::string& key, bool value) override {
        items.push_back({'b', key, value ? "true" : "false", 0});
    }
    void visitNull(const std::string& key) override { items.push_back({'n', key, "", 0}); }
    void beginObject(const std::string& key) override { items.push_back({'{', key, "", 0}); }
    void endObject() override { items.push_back({'}', "", "", 0}); }
    void beginArray(const std::string& key) override { items.push_back({'[', key, "", 0}); }
    void endArray() override { items.push_back({']', "", "", 0}); }

    std::vector<Item> items;
};

std::vector<Item> flatten(const util::JSON& doc) {
    Flatten f;
    doc.accept(f);
    return f.items;
}

// The writer escapes texts as UTF-16, so bytes that are no UTF-8 do not
// survive it (the UTF decoders drop or reinterpret them); the rest must.
bool writable(const std::string& text) {
    return lang::toUTF8(lang::toUTF16u(text)) == text;
}

bool closeEnough(double a, double b) {
    if (a == b) {
        return true;  // 0 and -0 too: "-0" reads back as the integer 0
    }
    return std::fabs(a - b) <= 1e-15 * std::max(std::fabs(a), std::fabs(b));
}

bool allWritable(const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (!writable(item.key) || !writable(item.text)) {
            return false;
        }
    }
    return true;
}

void compare(const std::vector<Item>& a, const std::vector<Item>& b, const std::string& text) {
    QF_FUZZ_CHECK(a.size() == b.size(), text);
    for (size_t i = 0; i < a.size(); ++i) {
        QF_FUZZ_CHECK(a[i].kind == b[i].kind && a[i].key == b[i].key && a[i].text == b[i].text,
                      "item " + std::to_string(i) + " changed: " + text);
        QF_FUZZ_CHECK(a[i].kind != 'd' || closeEnough(a[i].real, b[i].real),
                      "number " + std::to_string(a[i].real) + " read back as " +
                          std::to_string(b[i].real) + ": " + text);
    }
}

util::JSON reparse(const std::string& text) {
    util::JSON again;
    try {
        again.parse(text);
    } catch (const util::JSON::ParseError& e) {
        QF_FUZZ_CHECK(false, std::string(e.what()) + "\n" + text);
    }
    return again;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    util::JSON doc;
    try {
        doc = util::JSONParser::parse(reinterpret_cast<const char*>(data), size);
    } catch (const util::JSON::ParseError&) {
        return 0;
    }
    QF_FUZZ_CHECK((doc.getType() == util::JSON::TYPE_NULL) == (size == 0),
                  "root of type " + std::to_string(doc.getType()) + " from " +
                      std::to_string(size) + " bytes");
    if (size == 0) {
        return 0;
    }
    const std::vector<Item> items = flatten(doc);
    const bool exact = allWritable(items);
    for (bool pretty : {false, true}) {
        const std::string text = doc.toString(pretty);
        const util::JSON again = reparse(text);
        if (exact) {
            compare(items, flatten(again), text);
        } else {
            // Keys that are no UTF-8 may even merge; once written, the
            // document is stable.
            const std::string second = again.toString(pretty);
            compare(flatten(again), flatten(reparse(second)), second);
        }
    }
    return 0;
}
