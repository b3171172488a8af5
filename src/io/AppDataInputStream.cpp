#include "io/AppDataInputStream.h"

#include "io/VFS.h"

namespace io {

AppDataInputStream::AppDataInputStream(const std::string& path)
    : FileInputStream(pathUnderRoot(appDataRoot(), path)) {}

}  // namespace io
