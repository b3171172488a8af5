#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class RemoteNotificationsListener {
public:
    /// May be called on any thread.
    virtual void notificationReceived(const std::string& payload) = 0;
    virtual void deviceTokenReceived(const std::string& token) = 0;

protected:
    ~RemoteNotificationsListener() = default;
};

/// Push notifications. The desktop has no push service: the listener is kept,
/// but no token or notification is ever reported.
class RemoteNotifications : public lang::Object {
public:
    class Impl;

    RemoteNotifications();
    ~RemoteNotifications() override;

    static bool isSupported();
    /// Not owned; null removes it.
    void setListener(RemoteNotificationsListener* listener);
    RemoteNotificationsListener* getListener() const;
    /// No effect on this platform.
    void setEnabled(bool enabled);

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
