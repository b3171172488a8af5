#pragma once

#include <thread>

#include "lang/Func.h"
#include "lang/Object.h"

namespace lang {

/// A thread running its own copy of a function. An exception other than
/// lang::ThreadInterruptedException leaving the function ends the process after
/// a log record.
class Thread : public Object {
public:
    /// Starts at once. With join set, destruction waits for the thread to end;
    /// otherwise the thread runs on by itself. Throws lang::Exception
    /// "Creating thread failed" when no thread can be created.
    Thread(const FuncBase& function, bool join);
    ~Thread() override;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    /// Best effort: a higher number runs sooner, 0 is normal. A change the system
    /// refuses leaves the priority as it was. 0 when there is no thread.
    int getPriority() const;
    void setPriority(int priority);

    static void sleep(int milliseconds);

private:
    std::thread thread_;
    int systemId_;  // the kernel's id of the thread, for priority changes
    bool join_;
};

}  // namespace lang
