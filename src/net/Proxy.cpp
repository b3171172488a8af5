#include "net/Proxy.h"

#include <cstdlib>

#include "lang/String.h"

namespace net {

namespace {

// A value that names no proxy: unset, blank, or the ":" and "::" that some
// configurations leave behind.
bool usable(const char* value) {
    if (value == nullptr) {
        return false;
    }
    std::string text = lang::trim(value);
    return !text.empty() && text != ":" && text != "::";
}

std::string firstUsable(const EnvLookup& env, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = env(name);
        if (usable(value)) {
            return lang::trim(value);
        }
    }
    return std::string();
}

std::string schemeOf(const std::string& url) {
    size_t end = url.find("://");
    return end == std::string::npos ? std::string() : lang::toLowerCase(url.substr(0, end));
}

}  // namespace

ProxyChoice chooseProxy(const std::string& url, const EnvLookup& env) {
    ProxyChoice choice;
    std::string scheme = schemeOf(url);
    if (scheme == "http") {
        // Only the lower-case form: HTTP_PROXY can be set by a request header in CGI.
        choice.proxy = firstUsable(env, {"http_proxy"});
    } else if (scheme == "https") {
        choice.proxy = firstUsable(env, {"https_proxy", "HTTPS_PROXY"});
    }
    if (choice.proxy.empty()) {
        choice.proxy = firstUsable(env, {"all_proxy", "ALL_PROXY"});
    }
    const char* noProxy = env("no_proxy");
    if (noProxy == nullptr) {
        noProxy = env("NO_PROXY");
    }
    choice.noProxy = noProxy ? lang::trim(noProxy) : std::string();
    return choice;
}

ProxyChoice chooseProxy(const std::string& url) {
    return chooseProxy(url, [](const char* name) { return std::getenv(name); });
}

}  // namespace net
