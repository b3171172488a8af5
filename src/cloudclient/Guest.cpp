#include "cloudclient/AuthorizedCall.h"
#include "cloudclient/CloudDocuments.h"
#include "cloudclient/CloudServiceException.h"
#include "cloudclient/IdentityLevel1.h"
#include "cloudclient/LoginProvider.h"
#include "pf/InstallationID.h"

namespace ncs {

namespace {

Tokens guestCall(IdentityLevel1& device, const std::string& path, const FormPairs& form) {
    Request request(device.getService("identityLevel2").url + path);
    request.setBody(FormDataBody(form));
    Response response = AuthorizedCall::post(device, request);
    return parseAccessResponse(response.body, nowSeconds());
}

}  // namespace

Tokens Guest::login(IdentityLevel1& device) {
    FormPairs form = {{"persistentGuid", pf::getInstallationID()}};
    try {
        return guestCall(device, "guest/login", form);
    } catch (const CloudServiceException& e) {
        if (e.getCode() != 401) {
            throw;
        }
    }
    return guestCall(device, "guest/register", form);
}

Tokens Guest::upgrade(IdentityLevel1& device) {
    return guestCall(device, "guest/upgrade",
                     {{"persistentGuid", pf::getInstallationID()},
                      {"email", email_},
                      {"password", password_},
                      {"birthday", birthday_}});
}

}  // namespace ncs
