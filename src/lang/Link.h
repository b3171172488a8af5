#pragma once

#include <functional>

#include "lang/Object.h"

namespace lang {
namespace event {

/// A connection of one callback to one event; it lasts as long as this object.
class Link : public Object {
public:
    enum Status {
        Connected = 0,
        Disconnected = 1,
        Detached = 2,  // the registry is gone; the link no longer touches it
    };
    using Control = std::function<Status(Link*, Status)>;

    explicit Link(Control control) : control_(std::move(control)), status_(Disconnected) {}
    ~Link() override {
        if (control_) {
            status_ = control_(this, Disconnected);
        }
        control_ = nullptr;
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    Status status() const { return status_; }

    /// Internal: used by connect and by the handles.
    void request(Status wanted) { status_ = control_(this, wanted); }
    void setStatus(Status status) { status_ = status; }

private:
    Control control_;
    Status status_;
};

}  // namespace event
}  // namespace lang
