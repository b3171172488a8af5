#pragma once

#include <string>

namespace io {

/// A parsed URI: scheme:[//authority]path[?query][#fragment]. Parsing never
/// fails; text that is not a URI gives a URI with only a path.
struct Uri {
    Uri() = default;
    explicit Uri(const std::string& s);

    std::string text;  // what it was parsed from
    std::string scheme;
    std::string authority;
    std::string userInfo;
    std::string host;
    int port = -1;  // -1 when absent
    std::string path;
    std::string query;
    std::string fragment;
    std::string schemeSpecificPart;  // after "scheme:", up to the fragment
    bool hasScheme = false;
    bool opaque = false;  // a scheme without "//" ("appdata:settings.lua")

    const std::string& toString() const { return text; }

private:
    void parseAuthority();
};

}  // namespace io
