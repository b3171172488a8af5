#pragma once

#include <string>

#include "cloudclient/ClientConfiguration.h"
#include "cloudclient/Identity.h"
#include "cloudclient/Request.h"

namespace ncs {

/// The game client's own identity: client credentials and the service table.
class IdentityLevel1 : public Identity {
public:
    explicit IdentityLevel1(const ClientConfiguration& configuration);

    std::string getServerUrl() const override;
    ServiceConfig getService(const std::string& name) const override;
    bool isServiceAvailable(const std::string& name) const override;
    ServiceTable getServices() const override;

    const std::string& getClientId() const { return clientId_; }
    const std::string& getClientSecret() const { return clientSecret_; }
    const std::string& getClientVersion() const { return clientVersion_; }

    /// GET <serverUrl>/identity/2.0/config with the token; keeps the table, caches
    /// its text in the store and announces onConfigurationUpdated.
    void fetchServiceTable(const std::string& serverUrl, const std::string& accessToken);
    /// The table of the previous run, from the store; no network.
    void loadCachedServiceTable();

private:
    void replaceTable(const ServiceTable& table, const std::string& fromUrl);

    std::string serverUrl_;
    std::string clientId_;
    std::string clientSecret_;
    std::string clientVersion_;
    mutable lang::Mutex tableMutex_;  // the table is read on the main thread
    ServiceTable table_;
    std::string tableUrl_;
};

/// Logs the device in with a signed client id.
class NorvaneDeviceIdentity : public IdentityLevel1 {
public:
    explicit NorvaneDeviceIdentity(const ClientConfiguration& configuration);

    /// POST <serverUrl>/identity/2.0/access, then the service table; the tokens
    /// are replaced only when both succeeded.
    void login() override;

private:
    FormPairs accessForm() const;

    std::string locale_;
    std::string distributionChannel_;
    std::string definition_;
    std::string buildId_;
};

}  // namespace ncs
