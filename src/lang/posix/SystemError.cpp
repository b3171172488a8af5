#include <cstring>
#include <string>

#include "lang/String.h"

namespace lang {

namespace {
// strerror_r comes in two flavours: the GNU one returns the text, the POSIX
// one fills the buffer.
[[maybe_unused]] const char* errorText(const char* result, const char*) {
    return result;
}
[[maybe_unused]] const char* errorText(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}
}  // namespace

std::string systemErrorText(int code) {
    char buffer[1024] = {0};
    return errorText(strerror_r(code, buffer, sizeof(buffer)), buffer);
}

}  // namespace lang
