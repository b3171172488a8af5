// The environment every test binary runs in, set before any test: where the
// sources and the build are, and the binary's own settings (QF_TEST_ENV,
// "NAME=value|NAME=value"). A variable already set from outside is kept.

#include <cstdlib>
#include <string>

namespace {

void setDefault(const std::string& entry) {
    const size_t equals = entry.find('=');
    if (equals == std::string::npos || equals == 0) {
        return;
    }
    setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 0);
}

struct TestEnvironment {
    TestEnvironment() {
        setDefault(std::string("QF_SOURCE_DIR=") + QF_TEST_SOURCE_DIR);
        setDefault(std::string("QF_BINARY_DIR=") + QF_TEST_BINARY_DIR);
        const std::string list = QF_TEST_ENV;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find('|', start);
            if (end == std::string::npos) {
                end = list.size();
            }
            setDefault(list.substr(start, end - start));
            start = end + 1;
        }
    }
};

const TestEnvironment environment;

}  // namespace
