#pragma once

#include <cstddef>
#include <utility>

namespace lang {

/// Intrusive counted pointer to a class derived from lang::Object.
template <class T>
class Ptr {
public:
    Ptr() : p_(nullptr) {}
    Ptr(std::nullptr_t) : p_(nullptr) {}
    Ptr(T* p) : p_(p) { acquire(); }
    Ptr(const Ptr& other) : p_(other.p_) { acquire(); }
    Ptr(Ptr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    template <class U>
    Ptr(const Ptr<U>& other) : p_(other.get()) {
        acquire();
    }
    ~Ptr() { releaseTarget(p_); }

    /// The new target gains its reference before the old one loses its own,
    /// so assigning a pointer to itself is safe.
    Ptr& operator=(T* p) {
        if (p) {
            p->addReference();
        }
        T* old = p_;
        p_ = p;
        releaseTarget(old);
        return *this;
    }
    Ptr& operator=(const Ptr& other) { return *this = other.p_; }
    Ptr& operator=(Ptr&& other) noexcept {
        if (this != &other) {
            T* old = p_;
            p_ = other.p_;
            other.p_ = nullptr;
            releaseTarget(old);
        }
        return *this;
    }
    template <class U>
    Ptr& operator=(const Ptr<U>& other) {
        return *this = other.get();
    }

    void reset() { *this = static_cast<T*>(nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    bool operator==(const T* p) const { return p_ == p; }
    bool operator!=(const T* p) const { return p_ != p; }
    bool operator==(std::nullptr_t) const { return p_ == nullptr; }
    bool operator!=(std::nullptr_t) const { return p_ != nullptr; }
    template <class U>
    bool operator==(const Ptr<U>& other) const {
        return p_ == other.get();
    }
    template <class U>
    bool operator!=(const Ptr<U>& other) const {
        return p_ != other.get();
    }
    bool operator<(const Ptr& other) const { return p_ < other.p_; }

private:
    void acquire() {
        if (p_) {
            p_->addReference();
        }
    }
    static void releaseTarget(T* p) {
        if (p) {
            p->release();
        }
    }

    T* p_;
};

}  // namespace lang
