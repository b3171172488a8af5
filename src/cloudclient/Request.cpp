#include "cloudclient/Request.h"

namespace ncs {

namespace {

void appendEncoded(std::string& out, const std::string& text) {
    static const char* const hex = "0123456789ABCDEF";
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
}

}  // namespace

std::string formEncode(const FormPairs& pairs) {
    std::string out;
    for (const auto& pair : pairs) {
        if (!out.empty()) {
            out.push_back('&');
        }
        appendEncoded(out, pair.first);
        out.push_back('=');
        appendEncoded(out, pair.second);
    }
    return out;
}

std::set<std::string> FormDataBody::getHeaders() const {
    return {"Content-type: application/x-www-form-urlencoded"};
}

std::string FormDataBody::getText() const {
    return formEncode(pairs_);
}

void Request::setBody(const Body& body) {
    std::set<std::string> lines = body.getHeaders();
    headers_.insert(lines.begin(), lines.end());
    body_ += body.getText();
}

std::string Request::getFullUrl() const {
    std::string query = formEncode(query_);
    return query.empty() ? url_ : url_ + "?" + query;
}

}  // namespace ncs
