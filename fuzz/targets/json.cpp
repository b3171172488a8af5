// The JSON tokenizer behind util::JSON::parse. Only the empty text gives the
// empty (Null) document, since every other text must open an object or an
// array; a document it accepts must be written back as text that parses to
// the same document, compact and pretty.
#include "util/JSON.h"
#include "FuzzSupport.h"
#include "util/JSONParser.h"

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
    const std::string compact = doc.toString(false);
    for (bool pretty : {false, true}) {
        const std::string text = pretty ? doc.toString(true) : compact;
        util::JSON again;
        try {
            again.parse(text);
        } catch (const util::JSON::ParseError& e) {
            QF_FUZZ_CHECK(false, std::string(e.what()) + "\n" + text);
        }
        QF_FUZZ_CHECK(again.toString(false) == compact, compact + "\n" + again.toString(false));
    }
    return 0;
}
