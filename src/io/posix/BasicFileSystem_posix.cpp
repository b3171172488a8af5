// The helpers of io/BasicFileSystem.h that ask the operating system.
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "io/BasicFileSystem.h"
#include "io/IOException.h"
#include "io/PathName.h"
#include "io/posix/Directory.h"
#include "lang/Log.h"

namespace io {

namespace {

int removeOne(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

std::string workingDirectory() {
    std::vector<char> buffer(PATH_MAX);
    if (!getcwd(buffer.data(), buffer.size())) {
        throw IOException(lang::Format("getcwd: {0}", std::strerror(errno)));
    }
    return buffer.data();
}

}  // namespace

bool exists(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        return true;
    }
    if (errno != ENOENT && errno != ENOTDIR) {
        QF_LOG("BasicFileSystem", lang::log::WARNING, "stat: %s (%s)", std::strerror(errno),
               path.c_str());
    }
    return false;
}

std::string fullPath(const std::string& path) {
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        std::string result = resolved;
        std::free(resolved);
        return result;
    }
    // Like the system's own full-path call, a path that does not exist yet
    // still has an absolute form.
    if (errno != ENOENT && errno != ENOTDIR) {
        throw IOException(lang::Format("realpath: {0}", std::strerror(errno)));
    }
    if (!path.empty() && path[0] == '/') {
        return PathName(path).toString();
    }
    return PathName(workingDirectory(), path).toString();
}

void remove(const std::string& path) {
    struct stat st;
    bool ok = lstat(path.c_str(), &st) == 0;
    if (ok) {
        ok = S_ISDIR(st.st_mode) ? nftw(path.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS) == 0
                                 : unlink(path.c_str()) == 0;
    }
    if (!ok) {
        throw IOException(lang::Format("Deleting {0} failed", path));
    }
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool makeDirectory(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0;
}

std::vector<std::string> globNames(const std::string& pattern) {
    // A folder listing filtered by the name part, unlike glob(3), which sorts
    // and hides dot-files.
    const size_t slash = pattern.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : pattern.substr(0, slash);
    const std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    std::vector<std::string> names;
    for (const posix::DirectoryEntry& e :
         posix::listDirectory(slash == 0 ? "/" : dir, name, true)) {
        names.push_back(e.name);
    }
    return names;
}

}  // namespace io
