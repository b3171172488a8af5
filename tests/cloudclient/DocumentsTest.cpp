#include <gtest/gtest.h>

#include <limits>

#include "cloudclient/ClientSignature.h"
#include "cloudclient/CloudDocuments.h"
#include "cloudclient/CloudServiceException.h"

namespace {

using namespace ncs;

std::string failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const CloudServiceException& e) {
        return e.what();
    }
    return "no exception";
}

TEST(AccessResponseTest, ExpiryCountsFromNow) {
    Tokens t =
        parseAccessResponse(R"({"accessToken":"a","refreshToken":"r","expiresIn":3600})", 1000);
    EXPECT_EQ("a", t.accessToken);
    EXPECT_EQ("r", t.refreshToken);
    EXPECT_EQ(4600, t.expiry);
    EXPECT_EQ(
        0,
        parseAccessResponse(R"({"accessToken":"a","refreshToken":"r","expiresIn":0})", 9).expiry);
    EXPECT_EQ(
        0,
        parseAccessResponse(R"({"accessToken":"a","refreshToken":"r","expiresIn":-4})", 9).expiry);
}

// A lifetime the server exaggerates ends at the last representable time
// instead of wrapping into the past.
TEST(AccessResponseTest, HugeLifetimesStopAtTheEndOfTime) {
    const int64_t end = std::numeric_limits<int64_t>::max();
    const struct {
        const char* expiresIn;
        int64_t now;
        int64_t expiry;
    } cases[] = {
        {"9223372036854775807", 1000, end},
        {"9223372036854774807", 1000, end},
        {"9223372036854774806", 1000, end - 1},
        {"1e300", 5, end},
    };
    for (const auto& c : cases) {
        const std::string text =
            std::string(R"({"accessToken":"a","refreshToken":"r","expiresIn":)") + c.expiresIn +
            "}";
        EXPECT_EQ(c.expiry, parseAccessResponse(text, c.now).expiry) << c.expiresIn;
    }
}

TEST(AccessResponseTest, BadDocuments) {
    const char* parseError = "JSON parse error when parsing access response";
    const char* empty = "Server responded with empty access token";
    const std::pair<const char*, const char*> cases[] = {
        {"", parseError},
        {"not json", parseError},
        {"[1]", parseError},
        {R"({"accessToken":"a","refreshToken":"r"})", parseError},
        {R"({"accessToken":"a","refreshToken":"r","expiresIn":"60"})", parseError},
        {R"({"accessToken":1,"refreshToken":"r","expiresIn":60})", parseError},
        {R"({"accessToken":"","refreshToken":"r","expiresIn":60})", empty},
        {R"({"accessToken":"a","refreshToken":"","expiresIn":60})", empty},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, failureOf([&] { parseAccessResponse(c.first, 0); })) << c.first;
    }
}

TEST(ServiceTableTest, ReadsNamedEntriesWithParameters) {
    ServiceTable table = parseServiceTable(R"({"services":[
        {"name":"a","url":"http://a/","parameters":{"on":true,"off":false,"n":42,"f":2.9,"s":"x"}},
        {"name":"nourl"},
        {"url":"http://noname/"},
        7,
        {"name":"b","url":"http://b1/"},
        {"name":"b","url":"http://b2/","parameters":"ignored"}]})");
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ("http://a/", table["a"].url);
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"on", "true"}, {"off", "false"}, {"n", "42"}, {"f", "2"}, {"s", "x"}}),
              table["a"].parameters);
    EXPECT_EQ("http://b2/", table["b"].url);
    EXPECT_TRUE(table["b"].parameters.empty());
}

TEST(ServiceTableTest, BadDocuments) {
    const char* general = "JSON parse error when parsing service configuration";
    const std::pair<const char*, const char*> cases[] = {
        {R"({"services":[{"name":"a","url":"u","parameters":{"p":[1]}}]})",
         "JSON parse error when parsing service configuration: unsupported property value type"},
        {R"({"services":[{"name":"a","url":"u","parameters":{"p":null}}]})",
         "JSON parse error when parsing service configuration: unsupported property value type"},
        {R"({"other":[]})", general},
        {R"({"services":{}})", general},
        {"{", general},
        {"", general},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, failureOf([&] { parseServiceTable(c.first); })) << c.first;
    }
}

TEST(UserProfileTest, SectionsBecomeTexts) {
    UserProfile p = parseUserProfile(
        R"({"accountId":"acc","personal":{"nick":"n","verified":true,"age":3,"x":null},"facebook":{}})");
    EXPECT_EQ("acc", p.accountId);
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"nick", "n"}, {"verified", "true"}, {"age", ""}, {"x", ""}}),
              p.personal);
    EXPECT_TRUE(p.qfid.empty());
    UserProfile again = parseUserProfile(userProfileToJSON(p));
    EXPECT_EQ(p.personal, again.personal);
    EXPECT_EQ("acc", again.accountId);
    for (const char* bad : {"", "[]", R"({"personal":{}})", R"({"accountId":"a","qfid":[1]})"}) {
        EXPECT_EQ("JSON parse error when parsing user profile",
                  failureOf([&] { parseUserProfile(bad); }))
            << bad;
    }
}

TEST(CloudDocumentsTest, ArbitraryTextOnlyEverThrowsCloudExceptions) {
    std::string text =
        R"({"services":[{"name":"a","url":"u","parameters":{"k":1}}],"accessToken":"a"})";
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        std::string part = text.substr(0, cut) + std::string(cut % 3, '}');
        for (auto parse : {+[](const std::string& t) { parseServiceTable(t); },
                           +[](const std::string& t) { parseAccessResponse(t, 0); },
                           +[](const std::string& t) { parseUserProfile(t); }}) {
            try {
                parse(part);
            } catch (const CloudServiceException&) {
            }
        }
    }
}

TEST(ClientSignatureTest, MatchesTheReference) {
    // Computed independently (the test server's implementation).
    EXPECT_EQ("DC50D979A07AA8EED75CD31E7267DFFA31BA3ACB",
              clientSignature("Qf7c2Lm9Xr4Tz8Wb1Nd6Hs3Jk5Vp0YeA",
                              "0123456789ABCDEF0123456789ABCDEF01234567", "Quillfire"));
    EXPECT_EQ("28900C9F7B2E7365B109B7396E51560C9FBE5CE0",
              clientSignature("", "0000000000000000000000000000000000000000", "x"));
}

TEST(ClientSignatureTest, EverySaltIsNew) {
    std::string a = makeClientSalt();
    std::string b = makeClientSalt();
    EXPECT_EQ(40u, a.size());
    EXPECT_EQ(std::string::npos, a.find_first_not_of("0123456789ABCDEF")) << a;
    EXPECT_NE(a, b);
    EXPECT_NE(clientSignature("s", a, "id"), clientSignature("s", b, "id"));
}

TEST(TokensTest, ExpiryRule) {
    const int64_t now = 1000000;
    EXPECT_FALSE(isExpired({"a", "r", now + 700}, now));
    EXPECT_TRUE(isExpired({"a", "r", now + 500}, now));
    EXPECT_TRUE(isExpired({"a", "r", now + 600}, now));
    EXPECT_FALSE(isExpired({"a", "r", 0}, now));
    EXPECT_TRUE(isExpired({"", "r", 0}, now));
}

}  // namespace
