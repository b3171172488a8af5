#include "lang/ThreadPriority.h"

#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lang {
namespace detail {

// Threads on the normal scheduler differ only by their nice value, which the
// kernel applies per thread; priority is its negation.

int currentThreadId() {
    return static_cast<int>(::syscall(SYS_gettid));
}

int threadPriority(int threadId) {
    if (threadId <= 0) {
        return 0;
    }
    errno = 0;
    int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    return errno != 0 ? 0 : -nice;
}

bool setThreadPriority(int threadId, int priority) {
    if (threadId <= 0) {
        return false;
    }
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), -priority) == 0;
}

}  // namespace detail
}  // namespace lang
