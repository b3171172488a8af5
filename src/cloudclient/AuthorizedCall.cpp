#include "cloudclient/AuthorizedCall.h"

#include "cloudclient/CloudServiceException.h"
#include "cloudclient/Identity.h"

namespace ncs {

namespace {

bool tokenRejected(int status) {
    return status == 401 || status == 403 || status == 412;
}

Response postWithToken(const Request& request, const std::string& token) {
    Request copy = request;
    copy.addHeader("X-Access-Token: " + token);
    return plainPost(copy);
}

}  // namespace

Response AuthorizedCall::post(Identity& identity, const Request& request, bool fallback) {
    Response response = postWithToken(request, identity.getAccessToken(fallback));
    if (tokenRejected(response.status)) {
        identity.login();
        response = postWithToken(request, identity.currentAccessToken());
    }
    if (response.status < 200 || response.status > 299) {
        throw CloudServiceException(response.body, response.status);
    }
    return response;
}

}  // namespace ncs
