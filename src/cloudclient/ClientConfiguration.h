#pragma once

#include <string>

namespace ncs {

/// What the game client tells the cloud service about itself.
struct ClientConfiguration {
    std::string serverUrl;
    std::string clientId;
    std::string clientVersion;
    std::string clientSecret;
    std::string locale;
    std::string distributionChannel;
    std::string definition;
    std::string buildId;
};

}  // namespace ncs
