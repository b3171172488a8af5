#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ncs {

using FormPairs = std::vector<std::pair<std::string, std::string>>;

/// name=value pairs joined by '&', every byte outside A-Z a-z 0-9 - _ . ~
/// written as %XX.
std::string formEncode(const FormPairs& pairs);

class Body {
public:
    virtual ~Body() = default;
    virtual std::set<std::string> getHeaders() const = 0;
    virtual std::string getText() const = 0;
};

/// An application/x-www-form-urlencoded body; pairs keep their order.
class FormDataBody : public Body {
public:
    FormDataBody() = default;
    explicit FormDataBody(const FormPairs& pairs) : pairs_(pairs) {}

    void add(const std::string& name, const std::string& value) {
        pairs_.emplace_back(name, value);
    }
    const FormPairs& getPairs() const { return pairs_; }

    std::set<std::string> getHeaders() const override;
    std::string getText() const override;

private:
    FormPairs pairs_;
};

/// One exchange with a cloud server. Copies are deep.
class Request {
public:
    explicit Request(const std::string& url) : url_(url) {}

    void addQuery(const std::string& name, const std::string& value) {
        query_.emplace_back(name, value);
    }
    /// A complete header line; a line added twice is sent once.
    void addHeader(const std::string& line) { headers_.insert(line); }
    /// Adds the body's header lines and appends its text.
    void setBody(const Body& body);
    void setTimeout(int milliseconds) { timeout_ = milliseconds; }

    /// The url, with "?" and the encoded query when there is one.
    std::string getFullUrl() const;
    const std::set<std::string>& getHeaders() const { return headers_; }
    const std::string& getBody() const { return body_; }
    int getTimeout() const { return timeout_; }

private:
    std::string url_;
    FormPairs query_;
    std::set<std::string> headers_;
    std::string body_;
    int timeout_ = 0;
};

}  // namespace ncs
