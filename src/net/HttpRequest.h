#pragma once

#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"
#include "net/HttpRequestException.h"

namespace net {

/// Everything one transfer returned.
struct HttpResponse {
    int status = 0;            // of the last response; 0 when none arrived
    std::string body;          // raw bytes
    std::string effectiveUrl;  // after redirects
    /// Header lines of the last response, status line first, without line ends.
    std::vector<std::string> headers;
    /// Cookies the request object knows, one Netscape cookie-file line each.
    std::vector<std::string> cookies;
};

/// Synchronous HTTP GET, POST and DELETE. One object serves one thread at a
/// time; its header table and cookies carry over from one request to the next.
/// HTTP error statuses are answers, not exceptions.
class HttpRequest : public lang::Object {
public:
    class Impl;

    HttpRequest();
    ~HttpRequest() override;

    /// "Name: value". A later line with the same name (any case) replaces an
    /// earlier one. Throws HttpRequestException without a ':'.
    void addHeader(const std::string& line);
    void setConnectTimeout(int milliseconds);

    HttpResponse get(const std::string& url);
    /// Sends the body unchanged (zero bytes included) and no content type of
    /// its own: callers add one with addHeader.
    HttpResponse post(const std::string& url, const std::string& body);
    HttpResponse del(const std::string& url);

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace net
