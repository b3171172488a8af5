#include "lang/Event.h"

#include <utility>

#include "lang/Mutex.h"

namespace lang {
namespace event {

namespace detail {

namespace {
// Constant-initialised, so events built during static initialisation may use it.
int32_t eventCounter = 0;
}  // namespace

int32_t nextEventId() {
    return ++eventCounter;
}

}  // namespace detail

Event<void(std::function<void()>)> mainThreadCall;

namespace {

struct Entry {
    float delay;
    std::function<void()> function;
};

struct Queue {
    Mutex lock;                  // guards pending only
    std::vector<Entry> pending;  // filled by post, from any thread
    std::vector<Entry> active;   // main thread only
    size_t resume = 0;           // where an interrupted walk continues
};

Queue& queue() {
    static Queue instance;
    return instance;
}

void takePending(Queue& q) {
    MutexLock guard(q.lock);
    for (Entry& entry : q.pending) {
        q.active.push_back(std::move(entry));
    }
    q.pending.clear();
}

// If a function throws, the walk stops there and the next update resumes
// behind it, so nothing runs twice.
void runDue(Queue& q, float frameSeconds) {
    while (q.resume < q.active.size()) {
        Entry& entry = q.active[q.resume++];
        entry.delay -= frameSeconds;
        if (entry.delay <= 0) {
            std::function<void()> function = std::move(entry.function);
            function();
        }
    }
}

void removeDue(Queue& q) {
    auto keep = q.active.begin();
    for (auto it = q.active.begin(); it != q.active.end(); ++it) {
        if (it->delay > 0) {
            *keep++ = std::move(*it);
        }
    }
    q.active.erase(keep, q.active.end());
    if (q.active.empty() || q.resume >= q.active.size() - 1) {
        q.resume = 0;
    }
}

}  // namespace

void post(float delaySeconds, const std::function<void()>& function) {
    Queue& q = queue();
    MutexLock guard(q.lock);
    q.pending.push_back(Entry{delaySeconds, function});
}

void update(float frameSeconds) {
    Ptr<Link> link = connect(mainThreadCall, [](std::function<void()> function) { function(); });
    Queue& q = queue();
    takePending(q);
    runDue(q, frameSeconds);
    removeDue(q);
}

}  // namespace event
}  // namespace lang
