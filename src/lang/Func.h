#pragma once

#include <functional>
#include <utility>

namespace lang {

/// A copyable unit of work, handed to lang::Thread.
class FuncBase {
public:
    virtual void call() = 0;
    /// A new heap copy, to be deleted by whoever asked for it.
    virtual FuncBase* clone() const = 0;
    virtual ~FuncBase() = default;
};

/// Calls a member function without parameters on an object (not owned).
template <class T>
class Func1 : public FuncBase {
public:
    using Method = void (T::*)();
    Func1(Method method, T* object) : method_(method), object_(object) {}
    void call() override { (object_->*method_)(); }
    FuncBase* clone() const override { return new Func1(*this); }

private:
    Method method_;
    T* object_;
};

/// Calls a member function on an object (not owned) with a stored copy of its argument.
template <class T, class A>
class Func2 : public FuncBase {
public:
    using Method = void (T::*)(const A&);
    Func2(Method method, T* object, const A& argument)
        : method_(method), object_(object), argument_(argument) {}
    void call() override { (object_->*method_)(argument_); }
    FuncBase* clone() const override { return new Func2(*this); }

private:
    Method method_;
    T* object_;
    A argument_;
};

/// Wraps any callable; convenient where no member function fits.
class FuncFunction : public FuncBase {
public:
    explicit FuncFunction(std::function<void()> function) : function_(std::move(function)) {}
    void call() override { function_(); }
    FuncBase* clone() const override { return new FuncFunction(*this); }

private:
    std::function<void()> function_;
};

}  // namespace lang
