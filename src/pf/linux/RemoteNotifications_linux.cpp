#include "pf/RemoteNotifications.h"

namespace pf {

class RemoteNotifications::Impl : public lang::Object {
public:
    RemoteNotificationsListener* listener = nullptr;
};

RemoteNotifications::RemoteNotifications() : impl_(new Impl) {}
RemoteNotifications::~RemoteNotifications() = default;

bool RemoteNotifications::isSupported() {
    return false;
}

void RemoteNotifications::setListener(RemoteNotificationsListener* listener) {
    impl_->listener = listener;
}

RemoteNotificationsListener* RemoteNotifications::getListener() const {
    return impl_->listener;
}

void RemoteNotifications::setEnabled(bool) {}

}  // namespace pf
