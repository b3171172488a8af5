#include "cloudclient/NorvaneCloudManager.h"

#include "cloudclient/ClientSecret.h"
#include "cloudclient/RemoteNotificationsService.h"
#include "framework/Events.h"

NorvaneCloudManager::NorvaneCloudManager(CloudGameState* game, const std::string& customerString,
                                         const std::string& serverUrl,
                                         CloudConfiguration::Clock clock) {
    configuration_ = std::make_shared<CloudConfiguration>(game, "Quillfire", "4.0.1",
                                                          ncs::clientSecret(), customerString, "",
                                                          resolveCloudServerUrl(serverUrl), clock);
    registerService(std::make_shared<RemoteNotificationsService>(this, game));
    links_.insert(
        lang::event::connect(framework::onFrame, [this](float dt, gr::Context*) { update(dt); }));
    links_.insert(lang::event::connect(framework::onActiveChanged,
                                       [this](bool active) { setActive(active); }));
}

NorvaneCloudManager::~NorvaneCloudManager() = default;

std::shared_ptr<CloudConfiguration> NorvaneCloudManager::getConfiguration() const {
    if (!configuration_) {
        throw lang::Exception(lang::Format("CloudConfiguration not available."));
    }
    return configuration_;
}

void NorvaneCloudManager::update(float) {
    if (started_ || !getConfiguration()->ensureLoggedIn()) {
        return;
    }
    getConfiguration()->clearLoggedInLatch();
    started_ = true;
    for (const auto& entry : services_) {
        if (getConfiguration()->isServiceAvailable(entry.second->getType())) {
            entry.second->start();
        }
    }
}

void NorvaneCloudManager::setActive(bool active) {
    for (const auto& entry : services_) {
        entry.second->setActive(active);
    }
}

bool NorvaneCloudManager::isAnyServiceBusy() const {
    bool busy = false;
    for (const auto& entry : services_) {
        busy = entry.second->isBusy() || busy;
    }
    return busy;
}
