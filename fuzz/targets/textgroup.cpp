// The text-group loader (chunk and plain layouts): bad data throws
// io::IOException. The texts of every listed language (and one past them)
// are read, each either found or left empty.
#include <map>

#include "FuzzSupport.h"
#include "game/TextGroupFile.h"
#include "io/IOException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> languages;
    try {
        languages = game::textfile::readLanguages(data, size, "fuzz.dat");
    } catch (const io::IOException&) {
        return 0;
    }
    const int count = static_cast<int>(languages.size());
    for (int index = -1; index <= count && index < 8; ++index) {
        std::map<std::string, std::string> texts;
        try {
            const bool found = game::textfile::readTexts(data, size, "fuzz.dat", index, texts);
            QF_FUZZ_CHECK(found || texts.empty(), "texts without a language");
        } catch (const io::IOException&) {
        }
    }
    return 0;
}
