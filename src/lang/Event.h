#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "lang/Func.h"
#include "lang/Link.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace lang {
namespace event {

namespace detail {

/// Ids come from one counter starting at 1, in static-initialisation order.
int32_t nextEventId();

template <class T>
struct Identity {
    using Type = T;
};

template <class... Args>
class EventHandle : public Object {
public:
    EventHandle(Link* link, const std::function<void(Args...)>& callback)
        : link(link), callback(callback) {}
    ~EventHandle() override {
        if (link) {
            link->setStatus(Link::Detached);
        }
    }

    Link* link;  // not counted: the link owns the connection; null once removed
    std::function<void(Args...)> callback;
};

template <class... Args>
using HandleList = std::vector<Ptr<EventHandle<Args...>>>;

/// One per signature: created on first use, destroyed at process exit.
template <class... Args>
std::map<int32_t, HandleList<Args...>>& registry() {
    static std::map<int32_t, HandleList<Args...>> handlers;
    return handlers;
}

template <class... Args>
Link::Status control(HandleList<Args...>& list, const std::function<void(Args...)>& callback,
                     Link* link, Link::Status wanted) {
    Link::Status current = link->status();
    if (wanted == Link::Connected && current == Link::Disconnected) {
        list.push_back(new EventHandle<Args...>(link, callback));
        return Link::Connected;
    }
    if (wanted == Link::Disconnected && current == Link::Connected) {
        HandleList<Args...> removed;
        auto keep = list.begin();
        for (auto it = list.begin(); it != list.end(); ++it) {
            if ((*it)->link == link) {
                // An emission in progress may still hold the handle; it must not
                // reach the link once the link is gone.
                (*it)->link = nullptr;
                removed.push_back(std::move(*it));
            } else {
                *keep++ = std::move(*it);
            }
        }
        list.erase(keep, list.end());
        return Link::Disconnected;
    }
    return current;
}

}  // namespace detail

template <class Signature>
class Event;

/// A process-wide event identity with a fixed call signature. Declare events as
/// static objects; they live until process exit.
template <class... Args>
class Event<void(Args...)> {
public:
    Event() : id_(detail::nextEventId()) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    int32_t id() const { return id_; }

private:
    int32_t id_;
};

/// Connects a callback (not empty); it stays connected while the returned link lives.
template <class... Args>
Ptr<Link> connect(const Event<void(Args...)>& event,
                  const typename detail::Identity<std::function<void(Args...)>>::Type& callback) {
    detail::HandleList<Args...>* list = &detail::registry<Args...>()[event.id()];
    Ptr<Link> link = new Link([list, callback](Link* self, Link::Status wanted) {
        return detail::control<Args...>(*list, callback, self, wanted);
    });
    link->request(Link::Connected);
    return link;
}

/// Calls every connected callback synchronously, in connection order. The list
/// is taken when the emission begins: callbacks connected meanwhile are not
/// called, and callbacks disconnected meanwhile are skipped.
template <class... Args>
void emit(const Event<void(Args...)>& event, typename detail::Identity<Args>::Type... args) {
    auto& handlers = detail::registry<Args...>();
    auto found = handlers.find(event.id());
    if (found == handlers.end() || found->second.empty()) {
        return;
    }
    using Handle = Ptr<detail::EventHandle<Args...>>;
    const detail::HandleList<Args...>& list = found->second;
    // Small lists, the usual case, need no allocation.
    Handle local[8];
    std::vector<Handle> spill;
    Handle* snapshot = local;
    if (list.size() > 8) {
        spill.assign(list.begin(), list.end());
        snapshot = spill.data();
    } else {
        std::copy(list.begin(), list.end(), local);
    }
    const size_t count = list.size();
    for (size_t i = 0; i < count; ++i) {
        if (snapshot[i]->link) {
            snapshot[i]->callback(args...);
        }
    }
}

/// Whether any vector of handlers exists for the event (connected at least once).
template <class... Args>
bool hasHandlerList(const Event<void(Args...)>& event) {
    auto& handlers = detail::registry<Args...>();
    return handlers.find(event.id()) != handlers.end();
}

/// Queues a function to run on the main thread during lang::event::update, once
/// the given delay in seconds has passed. Safe from any thread.
void post(float delaySeconds, const std::function<void()>& function);

/// Runs the posted functions that are due; called once per frame on the main
/// thread with the frame time in seconds.
void update(float frameSeconds);

/// Emitting it runs the given function at once, but only during update();
/// worker threads post a function that emits it.
extern Event<void(std::function<void()>)> mainThreadCall;

}  // namespace event
}  // namespace lang
