#include <gtest/gtest.h>

#include "io/Uri.h"

using io::Uri;

namespace {

struct UriCase {
    const char* text;
    const char* scheme;
    const char* authority;
    const char* userInfo;
    const char* host;
    int port;
    const char* path;
    const char* query;
    const char* fragment;
    const char* ssp;
    bool hasScheme;
    bool opaque;
};

}  // namespace

TEST(Uri, ParsesItsParts) {
    const UriCase cases[] = {
        {"bundle:///scripts/a.lua", "bundle", "", "", "", -1, "/scripts/a.lua", "", "",
         "///scripts/a.lua", true, false},
        {"appdata:settings.lua", "appdata", "", "", "", -1, "", "", "", "settings.lua", true, true},
        {"bundle://host/x", "bundle", "host", "", "host", -1, "/x", "", "", "//host/x", true,
         false},
        {"a?b#c", "", "", "", "", -1, "a", "b", "c", "a?b", false, false},
        {"x#f?g", "", "", "", "", -1, "x", "", "f?g", "x", false, false},
        {"http://user:pw@example.org:8080/p?q=1#top", "http", "user:pw@example.org:8080", "user:pw",
         "example.org", 8080, "/p", "q=1", "top", "//user:pw@example.org:8080/p?q=1", true, false},
        {"http://example.org:x/", "http", "example.org:x", "", "example.org:x", -1, "/", "", "",
         "//example.org:x/", true, false},
        {"http://example.org:/", "http", "example.org:", "", "example.org", 0, "/", "", "",
         "//example.org:/", true, false},
        {"http://[::1]/", "http", "[::1]", "", "[::1]", -1, "/", "", "", "//[::1]/", true, false},
        {"http://h:99999999999/", "http", "h:99999999999", "", "h:99999999999", -1, "/", "", "",
         "//h:99999999999/", true, false},
        {"http://h?a/b", "http", "h", "", "h", -1, "", "a/b", "", "//h?a/b", true, false},
        {"C:/x", "C", "", "", "", -1, "", "", "", "/x", true, true},
        {"/levels/ep1/l1.lua", "", "", "", "", -1, "/levels/ep1/l1.lua", "", "",
         "/levels/ep1/l1.lua", false, false},
        {"//", "", "", "", "", -1, "//", "", "", "//", false, false},
        {"", "", "", "", "", -1, "", "", "", "", false, false},
    };
    for (const UriCase& c : cases) {
        SCOPED_TRACE(c.text);
        Uri u(c.text);
        EXPECT_EQ(c.text, u.text);
        EXPECT_EQ(c.scheme, u.scheme);
        EXPECT_EQ(c.authority, u.authority);
        EXPECT_EQ(c.userInfo, u.userInfo);
        EXPECT_EQ(c.host, u.host);
        EXPECT_EQ(c.port, u.port);
        EXPECT_EQ(c.path, u.path);
        EXPECT_EQ(c.query, u.query);
        EXPECT_EQ(c.fragment, u.fragment);
        EXPECT_EQ(c.ssp, u.schemeSpecificPart);
        EXPECT_EQ(c.hasScheme, u.hasScheme);
        EXPECT_EQ(c.opaque, u.opaque);
    }
}

TEST(Uri, SurvivesArbitraryText) {
    // Every short string over the characters that steer the parser.
    const std::string alphabet = ":/?#@[]a1";
    std::string s;
    for (int n = 0; n < 6 * 6 * 6 * 6 * 6 * 6; ++n) {
        s.clear();
        for (int k = n; k > 0; k /= 9) {
            s += alphabet[k % 9];
        }
        Uri u(s);
        EXPECT_EQ(s, u.text);
        EXPECT_GE(u.port, -1);
    }
}
