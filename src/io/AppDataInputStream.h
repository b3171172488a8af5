#pragma once

#include <string>

#include "io/FileInputStream.h"

namespace io {

/// Reads a file of the application-data folder.
/// Throws io::IOException like io::FileInputStream.
class AppDataInputStream : public FileInputStream {
public:
    /// `path` is relative to io::appDataRoot(); a leading '/' is ignored.
    explicit AppDataInputStream(const std::string& path);
};

}  // namespace io
