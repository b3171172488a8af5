#include "io/posix/Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace io {
namespace posix {

namespace {

DirectoryEntry describe(int dirFd, const char* name) {
    DirectoryEntry entry{name, false, false};
    struct stat st;
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        entry.link = S_ISLNK(st.st_mode);
        entry.directory = S_ISDIR(st.st_mode);
    }
    if (entry.link && fstatat(dirFd, name, &st, 0) == 0) {
        entry.directory = S_ISDIR(st.st_mode);
    }
    return entry;
}

}  // namespace

std::vector<DirectoryEntry> listDirectory(const std::string& dir, const std::string& pattern,
                                          bool withDots) {
    std::vector<DirectoryEntry> entries;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) {
        return entries;
    }
    while (const dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if ((!withDots && (name == "." || name == "..")) ||
            fnmatch(pattern.c_str(), e->d_name, 0) != 0) {
            continue;
        }
        entries.push_back(describe(dirfd(d), e->d_name));
    }
    closedir(d);
    return entries;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace posix
}  // namespace io
