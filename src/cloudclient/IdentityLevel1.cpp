#include "cloudclient/IdentityLevel1.h"

#include "cloudclient/ClientSignature.h"
#include "cloudclient/CloudDocuments.h"
#include "cloudclient/CloudEvents.h"
#include "cloudclient/CloudServiceException.h"
#include "cloudclient/NetworkAccessProxy.h"
#include "lang/Format.h"
#include "pf/DeviceID.h"
#include "pf/DeviceInfo.h"
#include "pf/InstallationID.h"
#include "util/Registry.h"

namespace ncs {

namespace {

const char* const kConfigCacheKey = "IdentityLevel1ConfigCache";

}  // namespace

IdentityLevel1::IdentityLevel1(const ClientConfiguration& configuration)
    : serverUrl_(configuration.serverUrl),
      clientId_(configuration.clientId),
      clientSecret_(configuration.clientSecret),
      clientVersion_(configuration.clientVersion) {}

std::string IdentityLevel1::getServerUrl() const {
    return serverUrl_;
}

ServiceConfig IdentityLevel1::getService(const std::string& name) const {
    lang::MutexLock lock(tableMutex_);
    auto found = table_.find(name);
    if (found == table_.end()) {
        throw CloudServiceException("Service " + name + " is not available with this identity");
    }
    return found->second;
}

bool IdentityLevel1::isServiceAvailable(const std::string& name) const {
    lang::MutexLock lock(tableMutex_);
    return table_.count(name) != 0;
}

ServiceTable IdentityLevel1::getServices() const {
    lang::MutexLock lock(tableMutex_);
    return table_;
}

void IdentityLevel1::fetchServiceTable(const std::string& serverUrl,
                                       const std::string& accessToken) {
    Request request(serverUrl + "/identity/2.0/config");
    request.addHeader("X-Access-Token: " + accessToken);
    Response response = plainGet(request);
    if (response.status != 200) {
        throw CloudServiceException(
            lang::format("Login level 1 failure while fetching configuration: {0}",
                         response.status),
            response.status);
    }
    ServiceTable table = parseServiceTable(response.body);
    util::setCloudValue(kConfigCacheKey, response.body);
    replaceTable(table, serverUrl);
    postConfigurationUpdated();
}

void IdentityLevel1::loadCachedServiceTable() {
    std::string text;
    if (!util::getCloudValue(kConfigCacheKey, text) || text.empty()) {
        return;
    }
    try {
        replaceTable(parseServiceTable(text), serverUrl_);
    } catch (const CloudServiceException&) {
        // A damaged cache is refetched at the next login.
    }
}

void IdentityLevel1::replaceTable(const ServiceTable& table, const std::string& fromUrl) {
    lang::MutexLock lock(tableMutex_);
    table_ = table;
    tableUrl_ = fromUrl;
}

NorvaneDeviceIdentity::NorvaneDeviceIdentity(const ClientConfiguration& configuration)
    : IdentityLevel1(configuration),
      locale_(configuration.locale),
      distributionChannel_(configuration.distributionChannel),
      definition_(configuration.definition),
      buildId_(configuration.buildId) {
    loadCachedServiceTable();
}

FormPairs NorvaneDeviceIdentity::accessForm() const {
    pf::DeviceInfo device;
    std::string salt = makeClientSalt();
    FormPairs form = {
        {"clientId", getClientId()},
        {"clientSignature", clientSignature(getClientSecret(), salt, getClientId())},
        {"clientSalt", salt},
        {"clientVersion", getClientVersion()},
        {"persistentGuid", pf::DeviceID().getID()},
        {"installationId", pf::getInstallationID()},
        {"deviceType", device.getDeviceModel()},
        {"osVersion", device.getOSVersion()},
    };
    const std::pair<const char*, std::string> optional[] = {
        {"distributionChannel", distributionChannel_},
        {"locale", locale_},
        {"utcOffset", "0"},
        {"definition", definition_},
        {"buildId", buildId_},
    };
    for (const auto& field : optional) {
        if (!field.second.empty()) {
            form.emplace_back(field.first, field.second);
        }
    }
    return form;
}

void NorvaneDeviceIdentity::login() {
    lang::MutexLock lock(loginMutex());
    Request request(getServerUrl() + "/identity/2.0/access");
    request.setBody(FormDataBody(accessForm()));
    Response response = plainPost(request);
    if (response.status != 200) {
        throw CloudServiceException(lang::format("Login level 1 failure: {0}", response.status),
                                    response.status);
    }
    Tokens tokens = parseAccessResponse(response.body, nowSeconds());
    fetchServiceTable(getServerUrl(), tokens.accessToken);
    setTokens(tokens);
}

}  // namespace ncs
