#pragma once

#include <functional>
#include <string>

namespace net {

/// Reads one environment variable; returns null when it is not set.
using EnvLookup = std::function<const char*(const char* name)>;

/// What a transfer to a URL should use, from the standard variables http_proxy,
/// https_proxy, all_proxy (upper-case forms too, except HTTP_PROXY) and
/// no_proxy. An empty proxy means a direct connection.
struct ProxyChoice {
    std::string proxy;
    std::string noProxy;
};

ProxyChoice chooseProxy(const std::string& url, const EnvLookup& env);
/// The same with the process environment.
ProxyChoice chooseProxy(const std::string& url);

}  // namespace net
