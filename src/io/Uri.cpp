#include "io/Uri.h"

#include <climits>

namespace io {

namespace {

// Decimal digits only, at most INT_MAX; -1 otherwise. Empty text is 0.
int parsePort(const std::string& digits) {
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
        if (value > INT_MAX) {
            return -1;
        }
    }
    return static_cast<int>(value);
}

}  // namespace

Uri::Uri(const std::string& s) : text(s) {
    if (s.empty()) {
        return;
    }
    size_t start = 0;
    size_t mark = s.find_first_of(":/");
    if (mark != std::string::npos && s[mark] == ':') {
        scheme = s.substr(0, mark);
        hasScheme = true;
        start = mark + 1;
    }
    std::string rest = s.substr(start);

    size_t q = rest.find_first_of("#?");
    size_t fragmentMark = q;
    if (q != std::string::npos && rest[q] == '?') {
        fragmentMark = rest.find('#', q + 1);
        query = rest.substr(
            q + 1, fragmentMark == std::string::npos ? std::string::npos : fragmentMark - q - 1);
    }
    if (fragmentMark != std::string::npos) {
        fragment = rest.substr(fragmentMark + 1);
    }
    schemeSpecificPart = rest.substr(0, fragmentMark);

    if (rest.size() >= 3 && rest.compare(0, 2, "//") == 0) {
        // The authority also ends where the query or fragment begins.
        size_t slash = rest.find('/', 2);
        size_t end = slash < q ? slash : q;
        authority = rest.substr(2, end == std::string::npos ? std::string::npos : end - 2);
        if (slash != std::string::npos && slash < q) {
            path = rest.substr(slash, q == std::string::npos ? std::string::npos : q - slash);
        }
        parseAuthority();
    } else if (hasScheme) {
        opaque = true;
    } else {
        path = rest.substr(0, q);
    }
}

void Uri::parseAuthority() {
    std::string hostPort = authority;
    size_t at = authority.find('@');
    if (at != std::string::npos) {
        userInfo = authority.substr(0, at);
        hostPort = authority.substr(at + 1);
    }
    size_t last = hostPort.find_last_of(":/?#[]@");
    if (last != std::string::npos && hostPort[last] == ':') {
        host = hostPort.substr(0, last);
        port = parsePort(hostPort.substr(last + 1));
        if (port < 0) {
            host = hostPort;
        }
    } else {
        host = hostPort;
    }
}

}  // namespace io
