#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class LocalNotification : public lang::Object {
public:
    LocalNotification(int64_t fireTime, const std::string& name, const std::string& text)
        : fireTime_(fireTime), name_(name), text_(text) {}

    /// Milliseconds on lang::System::currentTimeMillis.
    int64_t getFireTime() const { return fireTime_; }
    const std::string& getName() const { return name_; }
    const std::string& getText() const { return text_; }

private:
    int64_t fireTime_;
    std::string name_;
    std::string text_;
};

class LocalNotificationsListener {
public:
    virtual void localNotificationReceived(const std::string& name) = 0;

protected:
    ~LocalNotificationsListener() = default;
};

/// Without a notification centre, notifications are simulated while the game
/// runs: update() fires the due ones, one per call. Main thread only.
class LocalNotifications : public lang::Object {
public:
    class Impl;

    LocalNotifications();
    ~LocalNotifications() override;

    /// Fires after delaySeconds; returns true.
    bool schedule(const std::string& name, double delaySeconds, const std::string& text);
    /// Removes the first notification of that name; false when there is none.
    bool cancel(const std::string& name);
    void cancelAll();

    /// Listeners are not owned; each is kept once.
    void addListener(LocalNotificationsListener* listener);
    void removeListener(LocalNotificationsListener* listener);

    /// Fires the first due notification, in scheduling order, to every listener.
    void update();

    std::vector<lang::Ptr<LocalNotification>> getScheduled() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
