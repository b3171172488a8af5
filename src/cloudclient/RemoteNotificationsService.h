#pragma once

#include <mutex>
#include <string>

#include "cloudclient/INorvaneCloudService.h"
#include "lang/Event.h"
#include "lang/Ptr.h"
#include "pf/RemoteNotifications.h"

class CloudGameState;
class NorvaneCloudManager;

/// Emitted on the main thread for every remote notification: the cloud service
/// it belongs to (may be empty), the payload, and whether the game was active
/// when it arrived.
extern lang::event::Event<void(std::string, std::string, bool)> onRemoteNotification;

/// Connects the platform's push notifications to the game. Idle where the
/// platform delivers none.
class RemoteNotificationsService : public INorvaneCloudService,
                                   public pf::RemoteNotificationsListener {
public:
    RemoteNotificationsService(NorvaneCloudManager* manager, CloudGameState* game);
    ~RemoteNotificationsService() override;

    void start() override {}
    void setActive(bool) override {}
    bool isBusy() override { return false; }
    std::string getType() override { return "remoteNotifications"; }

    /// No effect on this platform.
    void setEnabled(bool enabled);

    /// Any thread.
    void notificationReceived(const std::string& payload) override;
    /// Keeps the first token only.
    void deviceTokenReceived(const std::string& token) override;
    std::string getDeviceToken() const;

private:
    lang::Ptr<pf::RemoteNotifications> platform_;
    NorvaneCloudManager* manager_;
    CloudGameState* game_;
    mutable std::mutex tokenMutex_;
    std::string deviceToken_;
};
