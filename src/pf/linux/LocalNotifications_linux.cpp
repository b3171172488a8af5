#include <algorithm>
#include <cmath>

#include "lang/System.h"
#include "pf/LocalNotifications.h"

namespace pf {

namespace {

// Delay in whole milliseconds, truncated toward zero; absurd delays are clamped
// instead of overflowing the clock.
int64_t delayMillis(double seconds) {
    const double limit = 1e15;  // about 31,000 years
    if (std::isnan(seconds)) {
        return 0;
    }
    return static_cast<int64_t>(std::max(-limit, std::min(limit, seconds * 1000.0)));
}

}  // namespace

class LocalNotifications::Impl : public lang::Object {
public:
    std::vector<LocalNotificationsListener*> listeners;
    std::vector<lang::Ptr<LocalNotification>> scheduled;

    void fireFirstDue() {
        int64_t now = lang::System::currentTimeMillis();
        auto due = std::find_if(
            scheduled.begin(), scheduled.end(),
            [now](const lang::Ptr<LocalNotification>& n) { return n->getFireTime() <= now; });
        if (due == scheduled.end()) {
            return;
        }
        lang::Ptr<LocalNotification> fired = *due;
        // Listeners may change either list while they are called.
        std::vector<LocalNotificationsListener*> called = listeners;
        for (LocalNotificationsListener* listener : called) {
            if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) {
                listener->localNotificationReceived(fired->getName());
            }
        }
        auto still = std::find(scheduled.begin(), scheduled.end(), fired);
        if (still != scheduled.end()) {
            scheduled.erase(still);
        }
    }
};

LocalNotifications::LocalNotifications() : impl_(new Impl) {}
LocalNotifications::~LocalNotifications() = default;

bool LocalNotifications::schedule(const std::string& name, double delaySeconds,
                                  const std::string& text) {
    int64_t fireTime = lang::System::currentTimeMillis() + delayMillis(delaySeconds);
    impl_->scheduled.push_back(new LocalNotification(fireTime, name, text));
    return true;
}

bool LocalNotifications::cancel(const std::string& name) {
    auto& list = impl_->scheduled;
    auto found = std::find_if(
        list.begin(), list.end(),
        [&name](const lang::Ptr<LocalNotification>& n) { return n->getName() == name; });
    if (found == list.end()) {
        return false;
    }
    list.erase(found);
    return true;
}

void LocalNotifications::cancelAll() {
    impl_->scheduled.clear();
}

void LocalNotifications::addListener(LocalNotificationsListener* listener) {
    auto& list = impl_->listeners;
    if (std::find(list.begin(), list.end(), listener) == list.end()) {
        list.push_back(listener);
    }
}

void LocalNotifications::removeListener(LocalNotificationsListener* listener) {
    auto& list = impl_->listeners;
    list.erase(std::remove(list.begin(), list.end(), listener), list.end());
}

void LocalNotifications::update() {
    lang::Ptr<Impl> keep = impl_;  // a listener may release this object
    keep->fireFirstDue();
}

std::vector<lang::Ptr<LocalNotification>> LocalNotifications::getScheduled() const {
    return impl_->scheduled;
}

}  // namespace pf
