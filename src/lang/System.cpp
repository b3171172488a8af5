#include "lang/System.h"

#include <chrono>
#include <ctime>

namespace lang {

namespace {
template <class Unit>
int64_t steadyCount() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<int64_t>(std::chrono::duration_cast<Unit>(now).count());
}
}  // namespace

int64_t System::currentTimeMillis() {
    return steadyCount<std::chrono::milliseconds>();
}

int64_t System::currentTimeMicros() {
    return steadyCount<std::chrono::microseconds>();
}

int64_t System::wallClockMillis() {
    static const int64_t offset =
        static_cast<int64_t>(std::time(nullptr)) * 1000 - currentTimeMillis();
    return currentTimeMillis() + offset;
}

}  // namespace lang
