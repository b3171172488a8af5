#pragma once

#include "cloudclient/NetworkAccessProxy.h"
#include "cloudclient/Request.h"

namespace ncs {

class Identity;

/// A POST on behalf of an identity: adds "X-Access-Token: <token>" and, when the
/// server rejects the token (401, 403, 412), logs the identity in again and
/// retries once. Returns a 2xx response; anything else throws
/// CloudServiceException with the body as message and the status as code.
class AuthorizedCall {
public:
    static Response post(Identity& identity, const Request& request, bool fallback = false);
};

}  // namespace ncs
