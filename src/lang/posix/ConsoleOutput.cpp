#include "lang/ConsoleOutput.h"

#include <cerrno>

#include <unistd.h>

namespace lang {
namespace detail {

void writeToStandardError(const std::string& text) {
    const char* data = text.data();
    size_t left = text.size();
    // One call in the normal case; the loop only finishes a partial write.
    while (left > 0) {
        ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
}

}  // namespace detail
}  // namespace lang
