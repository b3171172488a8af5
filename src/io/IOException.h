#pragma once

#include "lang/Exception.h"

namespace io {

/// Every failure of files, streams, paths and archives.
class IOException : public lang::Exception {
public:
    IOException() = default;
    explicit IOException(const lang::Format& format) : lang::Exception(format) {}
};

}  // namespace io
