#pragma once

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace lang {

/// Re-entrant lock: the owning thread may lock again and must unlock as often.
/// Copies share the same lock.
class Mutex {
public:
    class MutexImpl;

    Mutex();
    Mutex(const Mutex& other);
    Mutex& operator=(const Mutex& other);
    ~Mutex();

    void lock();
    /// True if the lock was free or already owned by this thread, and is now taken.
    bool tryLock();
    void unlock();

private:
    Ptr<MutexImpl> impl_;
};

/// Holds a mutex for the lifetime of the guard.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    ~MutexLock() { mutex_.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};

}  // namespace lang
