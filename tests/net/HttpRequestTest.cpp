#include "net/HttpRequest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "io/InputStream.h"
#include "net/HttpFileInputStream.h"
#include "support/testserver/TestServer.h"

namespace {

using net::HttpRequest;
using net::HttpRequestException;
using net::HttpResponse;

class HttpRequestTest : public qftest::ServerTest {
protected:
    // The single request the server logged.
    std::string onlyLogEntry() {
        std::vector<std::string> log = server().log();
        EXPECT_EQ(1u, log.size());
        return log.empty() ? std::string() : log[0];
    }
};

bool hasHeaderStartingWith(const HttpResponse& response, const std::string& prefix) {
    return std::any_of(response.headers.begin(), response.headers.end(),
                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

TEST_F(HttpRequestTest, LaterHeaderWithSameNameReplacesEarlierOne) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    request->addHeader("Content-Type: a");
    request->addHeader("content-type: b");
    request->addHeader("X-Other: c");
    request->post(url("/echo"), "x");
    std::string entry = onlyLogEntry();
    EXPECT_NE(std::string::npos, entry.find("[\"content-type\", \"b\"]")) << entry;
    EXPECT_EQ(std::string::npos, entry.find("\"a\"]")) << entry;
    EXPECT_NE(std::string::npos, entry.find("[\"X-Other\", \"c\"]")) << entry;
}

TEST_F(HttpRequestTest, HeaderWithoutColonIsRejected) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    try {
        request->addHeader("no colon here");
        FAIL() << "no exception";
    } catch (const HttpRequestException& e) {
        EXPECT_STREQ("Malformed header no colon here", e.what());
    }
}

TEST_F(HttpRequestTest, RedirectsEndAtTheFinalResponse) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    HttpResponse response = request->get(url("/redirect/2?to=/status/201"));
    EXPECT_EQ(201, response.status);
    EXPECT_EQ(url("/status/201"), response.effectiveUrl);
    ASSERT_FALSE(response.headers.empty());
    EXPECT_EQ("HTTP/1.1 201 Created", response.headers.front());
    EXPECT_FALSE(hasHeaderStartingWith(response, "X-Hop")) << "headers of a redirect kept";
    EXPECT_FALSE(hasHeaderStartingWith(response, "Location"));
    EXPECT_FALSE(response.headers.back().empty());
}

TEST_F(HttpRequestTest, ResponseWithoutBodyKeepsItsHeaders) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    HttpResponse response = request->get(url("/empty"));
    EXPECT_EQ(200, response.status);
    EXPECT_TRUE(response.body.empty());
    ASSERT_FALSE(response.headers.empty());
    EXPECT_EQ("HTTP/1.1 200 OK", response.headers.front());
    EXPECT_TRUE(hasHeaderStartingWith(response, "X-Empty: yes"));
    EXPECT_FALSE(response.headers.back().empty());
}

TEST_F(HttpRequestTest, ErrorStatusIsAnAnswerNotAnException) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    HttpResponse response = request->get(url("/status/503?body=busy"));
    EXPECT_EQ(503, response.status);
    EXPECT_EQ("busy", response.body);
}

TEST_F(HttpRequestTest, PostSendsBodiesWithZeroBytesWhole) {
    const std::string bodies[] = {std::string("a\0b\0\0c", 6), std::string("\0", 1), std::string()};
    lang::Ptr<HttpRequest> request = new HttpRequest();
    for (const std::string& body : bodies) {
        HttpResponse response = request->post(url("/echo"), body);
        EXPECT_EQ(200, response.status);
        EXPECT_EQ(body, response.body);
        EXPECT_TRUE(
            hasHeaderStartingWith(response, "X-Body-Length: " + std::to_string(body.size())));
    }
}

TEST_F(HttpRequestTest, PostAddsNoContentTypeOfItsOwn) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    request->post(url("/echo"), "a=1");
    std::string entry = onlyLogEntry();
    EXPECT_EQ(std::string::npos, entry.find("Content-Type")) << entry;
}

TEST_F(HttpRequestTest, MethodsDoNotLeakIntoTheNextRequest) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    EXPECT_TRUE(hasHeaderStartingWith(request->del(url("/echo")), "X-Method: DELETE"));
    EXPECT_TRUE(hasHeaderStartingWith(request->get(url("/echo")), "X-Method: GET"));
    EXPECT_TRUE(hasHeaderStartingWith(request->del(url("/echo")), "X-Method: DELETE"));
    EXPECT_TRUE(hasHeaderStartingWith(request->post(url("/echo"), "b"), "X-Method: POST"));
    EXPECT_TRUE(hasHeaderStartingWith(request->get(url("/echo")), "X-Method: GET"));
}

TEST_F(HttpRequestTest, CookiesAreKeptPerRequestObject) {
    lang::Ptr<HttpRequest> first = new HttpRequest();
    HttpResponse set = first->get(url("/cookies/set?flavour=oat"));
    ASSERT_EQ(1u, set.cookies.size());
    EXPECT_NE(std::string::npos, set.cookies[0].find("flavour\toat")) << set.cookies[0];
    EXPECT_EQ("flavour=oat", first->get(url("/cookies/get")).body);

    lang::Ptr<HttpRequest> second = new HttpRequest();
    HttpResponse fresh = second->get(url("/cookies/get"));
    EXPECT_EQ("", fresh.body);
    EXPECT_TRUE(fresh.cookies.empty());
}

TEST_F(HttpRequestTest, TransportFailureThrowsLibcurlsMessage) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    request->setConnectTimeout(2000);
    // Port 1 on the loopback interface has no listener.
    EXPECT_THROW(request->get("http://127.0.0.1:1/"), HttpRequestException);
}

TEST_F(HttpRequestTest, OnlyWebSchemesAreFetched) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    EXPECT_THROW(request->get("file:///etc/hostname"), HttpRequestException);
    EXPECT_THROW(request->get(url("/redirect/1?to=file:///etc/hostname")), HttpRequestException);
}

TEST_F(HttpRequestTest, FileInputStreamHoldsTheDocument) {
    lang::Ptr<net::HttpFileInputStream> in = new net::HttpFileInputStream(url("/bytes?times=3"));
    EXPECT_EQ(url("/bytes?times=3"), in->getName());
    EXPECT_EQ(768, in->available());
    std::string all = io::readAllAsString(*in);
    ASSERT_EQ(768u, all.size());
    EXPECT_EQ('\xff', all[255]);
}

TEST_F(HttpRequestTest, FileInputStreamOnMissingDocumentThrows) {
    std::string missing = url("/status/404");
    try {
        lang::Ptr<net::HttpFileInputStream> in = new net::HttpFileInputStream(missing);
        FAIL() << "no exception";
    } catch (const HttpRequestException& e) {
        EXPECT_EQ("Creating HttpFileInputStream failed with status: 404 URL: " + missing,
                  std::string(e.what()));
    }
}

}  // namespace
