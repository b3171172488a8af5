#pragma once

namespace lang {
namespace detail {

/// The kernel's id of the calling thread.
int currentThreadId();
/// Priority of a thread as a number where higher runs sooner and 0 is normal;
/// 0 if the thread is gone.
int threadPriority(int threadId);
/// False if the system refused the change.
bool setThreadPriority(int threadId, int priority);

}  // namespace detail
}  // namespace lang
