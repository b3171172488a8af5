#include "io/BundleInputStream.h"

#include "io/VFS.h"

namespace io {

BundleInputStream::BundleInputStream(const std::string& path)
    : FileInputStream(pathUnderRoot(bundleRoot(), path)) {}

}  // namespace io
