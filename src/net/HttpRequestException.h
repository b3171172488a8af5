#pragma once

#include "lang/Exception.h"

namespace net {

/// Failures of an HTTP transfer: handle creation, malformed headers, transport
/// errors and downloads that were not answered with 200.
class HttpRequestException : public lang::Exception {
public:
    explicit HttpRequestException(const lang::Format& format) : lang::Exception(format) {}
};

}  // namespace net
