#include "io/posix/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace io {
namespace posix {

bool isDirectory(std::FILE* file) {
    struct stat st;
    return fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode);
}

bool syncFile(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

bool syncParentDirectory(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = fsync(fd) == 0;
    int saved = errno;
    close(fd);
    errno = saved;
    return ok;
}

}  // namespace posix
}  // namespace io
