#include "cloudclient/RemoteNotificationsService.h"

#include "cloudclient/CloudGameState.h"
#include "cloudclient/NotificationService.h"

lang::event::Event<void(std::string, std::string, bool)> onRemoteNotification;

RemoteNotificationsService::RemoteNotificationsService(NorvaneCloudManager* manager,
                                                       CloudGameState* game)
    : platform_(new pf::RemoteNotifications()), manager_(manager), game_(game) {
    platform_->setListener(this);
}

RemoteNotificationsService::~RemoteNotificationsService() {
    platform_->setListener(nullptr);
}

void RemoteNotificationsService::setEnabled(bool enabled) {
    platform_->setEnabled(enabled);
}

void RemoteNotificationsService::notificationReceived(const std::string& payload) {
    std::string serviceId = ncs::NotificationService::serviceIdFromRemoteNotification(payload);
    bool active = game_ != nullptr && game_->isGameActive();
    lang::event::post(0, [serviceId, payload, active] {
        lang::event::emit(onRemoteNotification, serviceId, payload, active);
    });
}

void RemoteNotificationsService::deviceTokenReceived(const std::string& token) {
    std::lock_guard<std::mutex> lock(tokenMutex_);
    if (deviceToken_.empty()) {
        deviceToken_ = token;
    }
}

std::string RemoteNotificationsService::getDeviceToken() const {
    std::lock_guard<std::mutex> lock(tokenMutex_);
    return deviceToken_;
}
