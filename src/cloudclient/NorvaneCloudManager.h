#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "cloudclient/CloudConfiguration.h"
#include "cloudclient/INorvaneCloudService.h"
#include "lang/Exception.h"
#include "lang/Link.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

class CloudGameState;

/// The game side of the cloud client: logs the player in as a guest in the
/// background and, once logged in, starts the registered services that the
/// service table offers. Main thread only.
class NorvaneCloudManager : public lang::Object {
public:
    /// serverUrl: the configured cloud server (QUILLFIRE_CLOUD_URL overrides it);
    /// empty keeps the client offline. Connects update to framework::onFrame and
    /// setActive to framework::onActiveChanged.
    NorvaneCloudManager(CloudGameState* game, const std::string& customerString,
                        const std::string& serverUrl,
                        CloudConfiguration::Clock clock = CloudConfiguration::Clock());
    ~NorvaneCloudManager() override;

    /// Throws lang::Exception "CloudConfiguration not available." without one.
    std::shared_ptr<CloudConfiguration> getConfiguration() const;

    template <class T>
    void registerService(const std::shared_ptr<T>& service) {
        if (getService<T>()) {
            throw lang::Exception(
                lang::Format("Service with type {0} already registered.", service->getType()));
        }
        services_[service->getType()] = service;
    }

    /// The first service whose dynamic type is T, in type-name order.
    template <class T>
    std::shared_ptr<T> getService() const {
        for (const auto& entry : services_) {
            if (auto found = std::dynamic_pointer_cast<T>(entry.second)) {
                return found;
            }
        }
        return std::shared_ptr<T>();
    }

    void update(float dt);
    void setActive(bool active);
    /// Asks every service (no early exit).
    bool isAnyServiceBusy() const;
    bool isStarted() const { return started_; }

private:
    std::shared_ptr<CloudConfiguration> configuration_;
    bool started_ = false;
    std::map<std::string, std::shared_ptr<INorvaneCloudService>> services_;
    std::set<lang::Ptr<lang::event::Link>> links_;
};
