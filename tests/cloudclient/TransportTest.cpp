#include <gtest/gtest.h>

#include "cloudclient/AuthorizedCall.h"
#include "cloudclient/CloudServiceException.h"
#include "cloudclient/Identity.h"
#include "cloudclient/NetworkAccessProxy.h"
#include "cloudclient/Request.h"
#include "support/testserver/TestServer.h"

namespace {

using namespace ncs;

TEST(FormEncodingTest, EncodesPairsInOrder) {
    EXPECT_EQ("a=1&b=x%20y", formEncode({{"a", "1"}, {"b", "x y"}}));
    EXPECT_EQ("", formEncode({}));
    EXPECT_EQ("k%26%3D=%0A%C3%A9-_.~", formEncode({{"k&=", "\n\xc3\xa9-_.~"}}));
    EXPECT_EQ("=&=", formEncode({{"", ""}, {"", ""}}));
}

TEST(FormEncodingTest, RequestUrlAndBody) {
    Request plain("http://h/p");
    EXPECT_EQ("http://h/p", plain.getFullUrl());
    Request query("http://h/p");
    query.addQuery("q", "a b");
    EXPECT_EQ("http://h/p?q=a%20b", query.getFullUrl());

    Request withBody("http://h/p");
    withBody.setBody(FormDataBody(FormPairs{{"a", "1"}}));
    EXPECT_EQ("a=1", withBody.getBody());
    EXPECT_EQ(1u, withBody.getHeaders().count("Content-type: application/x-www-form-urlencoded"));
}

// Tokens "t1", "t2", ... from each login.
class CountingIdentity : public Identity {
public:
    void login() override { setTokens(Tokens{"t" + std::to_string(++logins), "r", 0}); }
    std::string getServerUrl() const override { return std::string(); }
    ServiceConfig getService(const std::string&) const override { return ServiceConfig(); }
    bool isServiceAvailable(const std::string&) const override { return false; }
    ServiceTable getServices() const override { return ServiceTable(); }
    int logins = 0;
};

class TransportTest : public qftest::ServerTest {
protected:
    lang::Ptr<CountingIdentity> identity = new CountingIdentity();
};

TEST_F(TransportTest, SameHeaderAddedTwiceIsSentOnce) {
    Request request(url("/echo"));
    request.addHeader("X-Twice: yes");
    request.addHeader("X-Twice: yes");
    Response response = plainGet(request);
    EXPECT_EQ(200, response.status);
    std::string entry = server().log().at(0);
    size_t first = entry.find("X-Twice");
    ASSERT_NE(std::string::npos, first);
    EXPECT_EQ(std::string::npos, entry.find("X-Twice", first + 1)) << entry;
}

TEST_F(TransportTest, PlainCallsReturnErrorStatuses) {
    EXPECT_EQ(404, plainGet(Request(url("/status/404"))).status);
    EXPECT_EQ(500, plainPost(Request(url("/status/500"))).status);
    EXPECT_EQ(200, plainDelete(Request(url("/echo"))).status);
}

TEST_F(TransportTest, TransportFailuresBecomeCloudExceptions) {
    Request request("http://127.0.0.1:1/");
    request.setTimeout(2000);
    try {
        plainGet(request);
        FAIL() << "no exception";
    } catch (const CloudServiceException& e) {
        EXPECT_EQ(-1, e.getCode());
        EXPECT_EQ(0u, std::string(e.what()).rfind("HTTP Exception: ", 0)) << e.what();
    }
}

TEST_F(TransportTest, AuthorizedCallRetriesOnceAfterARejectedToken) {
    server().script("/echo", 401, "stale");
    Response response = AuthorizedCall::post(*identity, Request(url("/echo")));
    EXPECT_EQ(200, response.status);
    EXPECT_EQ(2, identity->logins);  // one for the first token, one after the 401
    std::vector<std::string> log = server().log();
    ASSERT_EQ(2u, log.size());
    EXPECT_NE(std::string::npos, log[0].find("[\"X-Access-Token\", \"t1\"]"));
    EXPECT_NE(std::string::npos, log[1].find("[\"X-Access-Token\", \"t2\"]"));
}

TEST_F(TransportTest, AuthorizedCallStatusRules) {
    struct Case {
        std::vector<int> answers;
        int requests;
        int thrownCode;  // 0: returns normally
        const char* message;
    } cases[] = {
        {{403}, 2, 0, ""},
        {{412}, 2, 0, ""},
        {{401, 401}, 2, 401, "second"},
        {{401, 500}, 2, 500, "second"},
        {{204}, 1, 0, ""},
        {{500}, 1, 500, "first"},
        {{404}, 1, 404, "first"},
        {{302}, 1, 302, "first"},
    };
    for (const Case& c : cases) {
        server().reset();
        const char* bodies[] = {"first", "second"};
        for (size_t i = 0; i < c.answers.size(); ++i) {
            server().script("/x", c.answers[i], bodies[i]);
        }
        server().script("/x", 200, "fine");
        std::string what = std::to_string(c.answers[0]);
        try {
            Response response = AuthorizedCall::post(*identity, Request(url("/x")));
            EXPECT_EQ(0, c.thrownCode) << what;
            EXPECT_LT(response.status, 300) << what;
        } catch (const CloudServiceException& e) {
            EXPECT_EQ(c.thrownCode, e.getCode()) << what;
            EXPECT_STREQ(c.message, e.what()) << what;
        }
        EXPECT_EQ(static_cast<size_t>(c.requests), server().logFor("/x").size()) << what;
    }
}

class RecordingProxy : public NetworkAccessProxy {
public:
    Response get(const std::string& u, const HeaderSet&, int timeout) override {
        return record(u, timeout);
    }
    Response post(const std::string& u, const std::string&, const HeaderSet&,
                  int timeout) override {
        return record(u, timeout);
    }
    Response del(const std::string& u, const HeaderSet&, int timeout) override {
        return record(u, timeout);
    }
    Response record(const std::string& u, int timeout) {
        timeouts.push_back(timeout);
        Response r;
        r.status = 200;
        r.effectiveUrl = u;
        return r;
    }
    std::vector<int> timeouts;
};

TEST(TimeoutTest, RequestTimeoutThenDefaultThenNone) {
    auto proxy = std::make_shared<RecordingProxy>();
    setNetworkAccessProxy(proxy);
    Request own("http://h/");
    own.setTimeout(1500);
    Request none("http://h/");
    plainGet(none);
    setDefaultTimeout(700);
    plainGet(own);
    plainPost(none);
    setDefaultTimeout(-5);
    plainDelete(none);
    setDefaultTimeout(0);
    setNetworkAccessProxy(nullptr);
    EXPECT_EQ((std::vector<int>{0, 1500, 700, 0}), proxy->timeouts);
}

}  // namespace
