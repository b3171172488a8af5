// PathName: splitting and normalising any text. The parts must put the path
// back together, and normalising a normal path must change nothing.
#include "io/PathName.h"
#include "FuzzSupport.h"
#include "io/IOException.h"

namespace {

void checkParts(const io::PathName& p) {
    const std::string& s = p.toString();
    QF_FUZZ_CHECK(p.getDrive() + p.getDirectory() + p.getFileName() == s, s);
    QF_FUZZ_CHECK(s.find('\\') == std::string::npos, s);
    QF_FUZZ_CHECK(p.getFileName().find('/') == std::string::npos, s);
    QF_FUZZ_CHECK(p.getDirectory().empty() || p.getDirectory().back() == '/', s);
    QF_FUZZ_CHECK(p.getExtension().empty() || p.getExtension()[0] == '.', s);
    QF_FUZZ_CHECK(p.getExtension().find('.', 1) == std::string::npos, s);
}

void checkPath(const io::PathName& p) {
    checkParts(p);
    io::PathName again(p.toString());
    QF_FUZZ_CHECK(again.toString() == p.toString(), p.toString() + " -> " + again.toString());
    io::PathName parent = p.getParent();
    checkParts(parent);
    QF_FUZZ_CHECK(parent.toString().size() <= p.toString().size(),
                  p.toString() + " -> " + parent.toString());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool joined = in.flag();
    std::string dir = joined ? in.text(200) : std::string();
    std::vector<uint8_t> rest = in.rest();
    std::string path(rest.begin(), rest.end());
    try {
        checkPath(joined ? io::PathName(dir, path) : io::PathName(path));
    } catch (const io::IOException&) {
        // Longer than the path buffer.
    }
    return 0;
}
