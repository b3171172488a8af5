#include "cloudclient/CloudDocuments.h"

#include <limits>

#include "cloudclient/CloudServiceException.h"
#include "util/JSON.h"

namespace ncs {

namespace {

using util::JSON;

JSON parseText(const std::string& text) {
    JSON document;
    document.parse(text);
    return document;
}

std::string parameterText(const JSON& value) {
    switch (value.getType()) {
        case JSON::TYPE_BOOL:
            return value.asBool() ? "true" : "false";
        case JSON::TYPE_NUMBER:
            return std::to_string(value.asInt64());
        case JSON::TYPE_STRING:
            return value.asString();
        default:
            throw CloudServiceException(
                "JSON parse error when parsing service configuration: unsupported property "
                "value type");
    }
}

ServiceConfig serviceOf(const JSON& element) {
    ServiceConfig service;
    service.name = element.getString("name");
    service.url = element.getString("url");
    if (element.hasObject("parameters")) {
        for (const auto& member : element.getObject("parameters")) {
            service.parameters[member.first] = parameterText(member.second);
        }
    }
    return service;
}

std::map<std::string, std::string> sectionOf(const JSON& document, const char* name) {
    std::map<std::string, std::string> section;
    if (!document.has(name)) {
        return section;
    }
    for (const auto& member : document.getObject(name)) {
        const JSON& value = member.second;
        if (value.getType() == JSON::TYPE_BOOL) {
            section[member.first] = value.asBool() ? "true" : "false";
        } else if (value.getType() == JSON::TYPE_STRING) {
            section[member.first] = value.asString();
        } else {
            section[member.first] = std::string();
        }
    }
    return section;
}

JSON sectionJSON(const std::map<std::string, std::string>& section) {
    JSON::ObjectType members;
    for (const auto& entry : section) {
        members[entry.first] = JSON(entry.second);
    }
    return JSON(members);
}

}  // namespace

Tokens parseAccessResponse(const std::string& text, int64_t now) {
    Tokens tokens;
    int64_t expiresIn = 0;
    try {
        JSON document = parseText(text);
        tokens.accessToken = document.getString("accessToken");
        tokens.refreshToken = document.getString("refreshToken");
        if (!document.has("expiresIn") ||
            document.asObject().at("expiresIn").getType() != JSON::TYPE_NUMBER) {
            throw CloudServiceException("JSON parse error when parsing access response");
        }
        expiresIn = document.asObject().at("expiresIn").asInt64();
    } catch (const JSON::JSONException&) {
        throw CloudServiceException("JSON parse error when parsing access response");
    }
    if (tokens.accessToken.empty() || tokens.refreshToken.empty()) {
        throw CloudServiceException("Server responded with empty access token");
    }
    if (expiresIn <= 0) {
        tokens.expiry = 0;
    } else if (__builtin_add_overflow(now, expiresIn, &tokens.expiry)) {
        // A lifetime past the end of time is one that lasts as long as any.
        tokens.expiry = std::numeric_limits<int64_t>::max();
    }
    return tokens;
}

ServiceTable parseServiceTable(const std::string& text) {
    ServiceTable table;
    try {
        JSON document = parseText(text);
        for (const JSON& element : document.getArray("services")) {
            if (element.hasString("name") && element.hasString("url")) {
                ServiceConfig service = serviceOf(element);
                table[service.name] = service;
            }
        }
    } catch (const JSON::JSONException&) {
        throw CloudServiceException("JSON parse error when parsing service configuration");
    }
    return table;
}

UserProfile parseUserProfile(const std::string& text) {
    UserProfile profile;
    try {
        JSON document = parseText(text);
        profile.accountId = document.getString("accountId");
        profile.qfid = sectionOf(document, "qfid");
        profile.personal = sectionOf(document, "personal");
        profile.phoneNumber = sectionOf(document, "phoneNumber");
        profile.facebook = sectionOf(document, "facebook");
    } catch (const JSON::JSONException&) {
        throw CloudServiceException("JSON parse error when parsing user profile");
    }
    return profile;
}

std::string userProfileToJSON(const UserProfile& profile) {
    JSON::ObjectType members;
    members["accountId"] = JSON(profile.accountId);
    members["qfid"] = sectionJSON(profile.qfid);
    members["personal"] = sectionJSON(profile.personal);
    members["phoneNumber"] = sectionJSON(profile.phoneNumber);
    members["facebook"] = sectionJSON(profile.facebook);
    return JSON(members).toString(false);
}

}  // namespace ncs
