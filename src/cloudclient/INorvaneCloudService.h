#pragma once

#include <string>

/// A cloud service that the manager starts once the player is logged in and the
/// identity's service table offers its type. Main thread only.
class INorvaneCloudService {
public:
    virtual ~INorvaneCloudService() = default;
    virtual void start() = 0;
    virtual void setActive(bool active) = 0;
    virtual bool isBusy() = 0;
    virtual std::string getType() = 0;
};
