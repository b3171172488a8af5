#pragma once

#include <stdexcept>
#include <string>

namespace ncs {

/// Every failure of the cloud client. The code is the HTTP status when one is
/// known, otherwise -1.
class CloudServiceException : public std::runtime_error {
public:
    explicit CloudServiceException(const std::string& message, int code = -1)
        : std::runtime_error(message), code_(code) {}
    int getCode() const { return code_; }

private:
    int code_;
};

/// No session can be restored without the player logging in.
class CloudServiceNorvaneLoginRequiredException : public CloudServiceException {
public:
    explicit CloudServiceNorvaneLoginRequiredException(const std::string& message)
        : CloudServiceException(message, -1) {}
};

}  // namespace ncs
