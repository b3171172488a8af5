#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "cloudclient/Identity.h"
#include "cloudclient/Tokens.h"

/// Readers of the cloud service's JSON answers. Each takes the raw text and
/// throws CloudServiceException for anything it cannot use.
namespace ncs {

struct UserProfile {
    std::string accountId;
    std::map<std::string, std::string> qfid;
    std::map<std::string, std::string> personal;
    std::map<std::string, std::string> phoneNumber;
    std::map<std::string, std::string> facebook;
};

/// "accessToken", "refreshToken" and "expiresIn"; the expiry counts from now.
Tokens parseAccessResponse(const std::string& text, int64_t now);
/// The "services" array: named entries with a url and optional parameters.
ServiceTable parseServiceTable(const std::string& text);
/// "accountId" and the sections "qfid", "personal", "phoneNumber", "facebook".
UserProfile parseUserProfile(const std::string& text);
/// The profile as a JSON document, in the form parseUserProfile reads.
std::string userProfileToJSON(const UserProfile& profile);

}  // namespace ncs
