#include "cloudclient/NetworkAccessProxy.h"

#include <atomic>
#include <mutex>

#include "cloudclient/CloudServiceException.h"

namespace ncs {

namespace {

std::atomic<int> defaultTimeout{0};

struct ProxySlot {
    std::mutex mutex;
    std::shared_ptr<NetworkAccessProxy> proxy = std::make_shared<CloudNetworkAccessProxy>();
};

ProxySlot& slot() {
    static ProxySlot* instance = new ProxySlot;  // lives until exit, workers included
    return *instance;
}

enum class Method { GET, POST, DEL };

Response perform(Method method, const std::string& url, const std::string& body,
                 const HeaderSet& headers, int timeout) {
    try {
        lang::Ptr<net::HttpRequest> request = new net::HttpRequest();
        if (timeout > 0) {
            request->setConnectTimeout(timeout);
        }
        for (const std::string& line : headers) {
            request->addHeader(line);
        }
        switch (method) {
            case Method::GET:
                return request->get(url);
            case Method::POST:
                return request->post(url, body);
            default:
                return request->del(url);
        }
    } catch (const net::HttpRequestException& e) {
        throw CloudServiceException(std::string("HTTP Exception: ") + e.what(), -1);
    } catch (const std::exception& e) {
        throw CloudServiceException(std::string("Standard exception: ") + e.what(), -1);
    } catch (...) {
        throw CloudServiceException("Unknown exception", -1);
    }
}

int timeoutFor(const Request& request) {
    if (request.getTimeout() != 0) {
        return request.getTimeout();
    }
    int fallback = defaultTimeout.load();
    return fallback > 0 ? fallback : 0;
}

}  // namespace

Response CloudNetworkAccessProxy::get(const std::string& url, const HeaderSet& headers,
                                      int timeout) {
    return perform(Method::GET, url, std::string(), headers, timeout);
}

Response CloudNetworkAccessProxy::post(const std::string& url, const std::string& body,
                                       const HeaderSet& headers, int timeout) {
    return perform(Method::POST, url, body, headers, timeout);
}

Response CloudNetworkAccessProxy::del(const std::string& url, const HeaderSet& headers,
                                      int timeout) {
    return perform(Method::DEL, url, std::string(), headers, timeout);
}

std::shared_ptr<NetworkAccessProxy> getNetworkAccessProxy() {
    std::lock_guard<std::mutex> lock(slot().mutex);
    return slot().proxy;
}

void setNetworkAccessProxy(const std::shared_ptr<NetworkAccessProxy>& proxy) {
    std::lock_guard<std::mutex> lock(slot().mutex);
    slot().proxy = proxy ? proxy : std::make_shared<CloudNetworkAccessProxy>();
}

void setDefaultTimeout(int milliseconds) {
    defaultTimeout.store(milliseconds);
}
int getDefaultTimeout() {
    return defaultTimeout.load();
}

Response plainGet(const Request& request) {
    return getNetworkAccessProxy()->get(request.getFullUrl(), request.getHeaders(),
                                        timeoutFor(request));
}

Response plainPost(const Request& request) {
    return getNetworkAccessProxy()->post(request.getFullUrl(), request.getBody(),
                                         request.getHeaders(), timeoutFor(request));
}

Response plainDelete(const Request& request) {
    return getNetworkAccessProxy()->del(request.getFullUrl(), request.getHeaders(),
                                        timeoutFor(request));
}

}  // namespace ncs
