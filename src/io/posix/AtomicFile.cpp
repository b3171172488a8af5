#include "io/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/IOException.h"
#include "io/posix/FileHandle.h"
#include "lang/Log.h"

namespace io {

namespace {

// "<target>.tmp.<pid>.XXXXXX": the process id tells a live writer's file
// from one that a killed process left.
const char* const kMarker = ".tmp.";

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The writer's process id of a temporary file name, or 0 when there is none.
long writerOf(const std::string& name, const std::string& target) {
    const std::string prefix = target + kMarker;
    if (name.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const char* digits = name.c_str() + prefix.size();
    char* end = nullptr;
    long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '.' || std::strlen(end + 1) != 6 || pid <= 0) {
        return 0;
    }
    return pid;
}

bool isAlive(long pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

void removeStaleTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string target = nameOf(path);
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return;  // the write itself reports what is wrong with the folder
    }
    std::vector<std::string> stale;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        long pid = writerOf(name, target);
        // The plain "<target>.tmp" is what earlier versions wrote.
        if (name == target + ".tmp" || (pid != 0 && pid != getpid() && !isAlive(pid))) {
            stale.push_back(folder + "/" + name);
        }
    }
    closedir(dir);
    for (const std::string& file : stale) {
        unlink(file.c_str());
    }
}

[[noreturn]] void fail(const std::string& path, const char* what, int error) {
    throw IOException(
        lang::Format("Failed to save {0}: {1}: {2}", path, what, std::strerror(error)));
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

}  // namespace

bool isTemporaryOf(const std::string& name, const std::string& target) {
    return name == target + ".tmp" || writerOf(name, target) != 0;
}

void replaceFile(const std::string& path, const void* data, size_t size) {
    removeStaleTemporaries(path);
    std::string temporary = path + kMarker + std::to_string(getpid()) + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        fail(path, "cannot create a temporary file beside it", errno);
    }
    temporary = name.data();
    struct stat old;
    bool ok = stat(path.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0;
    const char* step = "cannot keep its mode";
    if (ok) {
        ok = writeAll(fd, static_cast<const char*>(data), size);
        step = "cannot write";
    }
    if (ok) {
        ok = fsync(fd) == 0;
        step = "cannot sync";
    }
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        step = "cannot close";
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        step = "cannot replace it";
        error = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        fail(path, step, error);
    }
    // The new content is in place; only its survival of a power cut is in doubt.
    if (!posix::syncParentDirectory(path)) {
        QF_LOG("", lang::log::WARNING, "Saved %s, but could not sync its folder: %s", path.c_str(),
               std::strerror(errno));
    }
}

}  // namespace io
