#include "lang/Mutex.h"

#include <mutex>

namespace lang {

class Mutex::MutexImpl : public Object {
public:
    std::recursive_mutex mutex;
};

Mutex::Mutex() : impl_(new MutexImpl) {}
Mutex::Mutex(const Mutex& other) = default;
Mutex& Mutex::operator=(const Mutex& other) = default;
Mutex::~Mutex() = default;

void Mutex::lock() {
    impl_->mutex.lock();
}

bool Mutex::tryLock() {
    return impl_->mutex.try_lock();
}

void Mutex::unlock() {
    impl_->mutex.unlock();
}

}  // namespace lang
