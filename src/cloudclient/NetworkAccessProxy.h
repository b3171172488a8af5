#pragma once

#include <memory>
#include <set>
#include <string>

#include "cloudclient/Request.h"
#include "net/HttpRequest.h"

namespace ncs {

using Response = net::HttpResponse;
using HeaderSet = std::set<std::string>;

/// Carries out requests; every failure comes out as CloudServiceException.
/// Safe to call from several threads at once.
class NetworkAccessProxy {
public:
    virtual Response get(const std::string& url, const HeaderSet& headers, int timeout) = 0;
    virtual Response post(const std::string& url, const std::string& body, const HeaderSet& headers,
                          int timeout) = 0;
    virtual Response del(const std::string& url, const HeaderSet& headers, int timeout) = 0;
    virtual ~NetworkAccessProxy() = default;
};

/// The proxy over net::HttpRequest, a fresh request object per call.
class CloudNetworkAccessProxy : public NetworkAccessProxy {
public:
    Response get(const std::string& url, const HeaderSet& headers, int timeout) override;
    Response post(const std::string& url, const std::string& body, const HeaderSet& headers,
                  int timeout) override;
    Response del(const std::string& url, const HeaderSet& headers, int timeout) override;
};

/// The process-wide proxy (a CloudNetworkAccessProxy unless replaced).
std::shared_ptr<NetworkAccessProxy> getNetworkAccessProxy();
/// Tests replace it; null restores the default.
void setNetworkAccessProxy(const std::shared_ptr<NetworkAccessProxy>& proxy);

/// Connection timeout in milliseconds for requests without their own; 0: none.
void setDefaultTimeout(int milliseconds);
int getDefaultTimeout();

/// Plain calls: the response whatever its status.
Response plainGet(const Request& request);
Response plainPost(const Request& request);
Response plainDelete(const Request& request);

}  // namespace ncs
