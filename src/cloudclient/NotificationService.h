#pragma once

#include <string>

namespace ncs {

class NotificationService {
public:
    /// The "service" -> "id" text of a notification payload; empty when either
    /// member is missing. A payload that is not JSON, or members of the wrong
    /// type, also give the empty text, with one ERROR log line.
    static std::string serviceIdFromRemoteNotification(const std::string& payload);
};

}  // namespace ncs
