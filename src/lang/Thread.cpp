#include "lang/Thread.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <future>
#include <memory>
#include <system_error>

#include "lang/AutoreleasePool.h"
#include "lang/Exception.h"
#include "lang/Log.h"
#include "lang/ThreadPriority.h"

namespace lang {

namespace {

// Owned by the running thread, which deletes it when the function returns.
struct StartRecord {
    std::unique_ptr<FuncBase> function;
    std::promise<int> started;  // tells the creator the kernel's thread id
};

[[noreturn]] void terminateAfter(const char* what) {
    if (what) {
        log::write("", __FILE__, "lang::executeThread", __LINE__, log::ERROR,
                   "Unhandled exception, terminating. Exception message: %s", what);
    } else {
        log::write("", __FILE__, "lang::executeThread", __LINE__, log::ERROR,
                   "Unhandled exception, terminating");
    }
    std::fflush(stdout);
    std::terminate();
}

void executeThread(StartRecord* start) {
    std::unique_ptr<StartRecord> record(start);
    record->started.set_value(detail::currentThreadId());
    AutoreleasePool pool;
    try {
        record->function->call();
    } catch (const ThreadInterruptedException&) {
        // Ends the thread quietly.
    } catch (const std::exception& e) {
        terminateAfter(e.what());
    } catch (...) {
        terminateAfter(nullptr);
    }
}

}  // namespace

Thread::Thread(const FuncBase& function, bool join) : systemId_(0), join_(join) {
    auto* record = new StartRecord{std::unique_ptr<FuncBase>(function.clone()), {}};
    std::future<int> started = record->started.get_future();
    try {
        thread_ = std::thread(executeThread, record);
    } catch (const std::system_error&) {
        delete record;
        throw Exception(Format("Creating thread failed"));
    }
    systemId_ = started.get();
}

Thread::~Thread() {
    if (!thread_.joinable()) {
        return;
    }
    // A thread releasing its own object cannot wait for itself.
    if (join_ && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

int Thread::getPriority() const {
    return thread_.joinable() ? detail::threadPriority(systemId_) : 0;
}

void Thread::setPriority(int priority) {
    if (thread_.joinable()) {
        detail::setThreadPriority(systemId_, priority);
    }
}

void Thread::sleep(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

}  // namespace lang
