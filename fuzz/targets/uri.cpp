// Uri: any text parses. The scheme, the scheme-specific part and the fragment
// must give the text back, and the parts of the authority must lie inside it.
#include <string>

#include "FuzzSupport.h"
#include "io/Uri.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    io::Uri u(text);
    QF_FUZZ_CHECK(u.text == text, text);
    if (text.empty()) {
        return 0;
    }
    std::string head = u.hasScheme ? u.scheme + ":" + u.schemeSpecificPart : u.schemeSpecificPart;
    QF_FUZZ_CHECK(head == text || head + "#" + u.fragment == text, text);
    QF_FUZZ_CHECK(u.port >= -1, text);
    QF_FUZZ_CHECK(u.authority.find(u.host) != std::string::npos, text);
    QF_FUZZ_CHECK(u.authority.find(u.userInfo) != std::string::npos, text);
    QF_FUZZ_CHECK(!u.opaque || (u.hasScheme && u.path.empty()), text);
    QF_FUZZ_CHECK(u.schemeSpecificPart.find(u.query) != std::string::npos, text);
    return 0;
}
