#include "cloudclient/NotificationService.h"

#include "lang/Log.h"
#include "util/JSON.h"

namespace ncs {

std::string NotificationService::serviceIdFromRemoteNotification(const std::string& payload) {
    try {
        util::JSON document;
        document.parse(payload);
        if (!document.has("service")) {
            return std::string();
        }
        const util::JSON::ObjectType& service = document.getObject("service");
        auto id = service.find("id");
        return id == service.end() ? std::string() : id->second.asString();
    } catch (const util::JSON::JSONException&) {
        QF_LOG("", lang::log::ERROR, "Can't parse the JSON layload of a remote notification");
        return std::string();
    }
}

}  // namespace ncs
