#pragma once

#include <string>

#include "io/FileInputStream.h"

namespace io {

/// Reads a file of the bundle (the folder shipped with the game).
/// Throws io::IOException like io::FileInputStream.
class BundleInputStream : public FileInputStream {
public:
    /// `path` is relative to io::bundleRoot(); a leading '/' is ignored.
    explicit BundleInputStream(const std::string& path);
};

}  // namespace io
