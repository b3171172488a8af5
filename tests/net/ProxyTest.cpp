#include "net/Proxy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "net/HttpRequest.h"
#include "support/testserver/TestServer.h"

namespace {

using Env = std::map<std::string, std::string>;

net::ProxyChoice choose(const std::string& url, const Env& env) {
    return net::chooseProxy(url, [&env](const char* name) -> const char* {
        auto found = env.find(name);
        return found == env.end() ? nullptr : found->second.c_str();
    });
}

TEST(ProxyTest, ChoosesTheVariableOfTheScheme) {
    struct Case {
        std::string url;
        Env env;
        std::string proxy;
    } cases[] = {
        {"http://a/", {}, ""},
        {"http://a/", {{"http_proxy", "http://p:3128"}}, "http://p:3128"},
        {"HTTP://a/", {{"http_proxy", "http://p:3128"}}, "http://p:3128"},
        {"http://a/", {{"HTTP_PROXY", "http://p:1"}}, ""},
        {"https://a/", {{"http_proxy", "http://p:1"}}, ""},
        {"https://a/", {{"HTTPS_PROXY", "http://s:2"}}, "http://s:2"},
        {"https://a/",
         {{"https_proxy", "http://s:1"}, {"HTTPS_PROXY", "http://s:2"}},
         "http://s:1"},
        {"https://a/", {{"all_proxy", "socks5://q:1"}}, "socks5://q:1"},
        {"http://a/", {{"http_proxy", "  "}, {"ALL_PROXY", "http://q:2"}}, "http://q:2"},
        {"http://a/", {{"http_proxy", ":"}}, ""},
        {"http://a/", {{"http_proxy", "::"}}, ""},
        {"https://a/", {{"https_proxy", "::"}}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.proxy, choose(c.url, c.env).proxy) << c.url;
    }
}

TEST(ProxyTest, PassesNoProxyOn) {
    EXPECT_EQ("localhost,.lan", choose("http://a/", {{"no_proxy", "localhost,.lan"}}).noProxy);
    EXPECT_EQ("x", choose("http://a/", {{"NO_PROXY", "x"}}).noProxy);
    EXPECT_EQ("", choose("http://a/", {}).noProxy);
}

class ProxyTransferTest : public qftest::ServerTest {};

TEST_F(ProxyTransferTest, DoubleColonProxyLeavesTheTransferDirect) {
    ::setenv("http_proxy", "::", 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    lang::Ptr<net::HttpRequest> request = new net::HttpRequest();
    net::HttpResponse response = request->get(url("/status/200"));
    ::unsetenv("http_proxy");
    EXPECT_EQ(200, response.status);
}

}  // namespace
