#include "framework/sdl/PosixPlatform.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "framework/Shell.h"
#include "lang/Log.h"

namespace framework {
namespace sdl {

bool changeDirectory(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

std::string workingDirectory() {
    std::vector<char> buffer(1024);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string executableFolder() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return std::string();
    }
    const std::string path(buffer.data(), static_cast<size_t>(n));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool makeFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            const std::string part = path.substr(0, pos);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string runtimeFolder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return dir && dir[0] == '/' ? std::string(dir) : std::string("/tmp");
}

std::string dataHome() {
    return userDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

SingleInstance::~SingleInstance() {
    stopListening();
    if (lockFd_ >= 0) {
        close(lockFd_);  // releases the lock
    }
}

bool SingleInstance::acquire(const std::string& lockPath) {
    lockPath_ = lockPath;
    lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        QF_LOG("Framework", lang::log::WARNING, "Cannot open the instance lock %s (errno %d)",
               lockPath.c_str(), errno);
        return true;
    }
    if (flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    const bool held = errno == EWOULDBLOCK;
    if (held) {
        close(lockFd_);
        lockFd_ = -1;
    }
    return !held;
}

void SingleInstance::listen(const std::function<void()>& onRaise) {
    // Only the holder of the lock listens, and only once.
    if (lockFd_ < 0 || listener_.joinable()) {
        return;
    }
    const std::string fifo = lockPath_ + ".raise";
    if (mkfifo(fifo.c_str(), 0600) != 0 && errno != EEXIST) {
        return;
    }
    // Read-write, so that the FIFO stays open between writers.
    fifoFd_ = open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifoFd_ < 0 || pipe2(stopPipe_, O_CLOEXEC) != 0) {
        stopListening();
        return;
    }
    listener_ = std::thread([this, onRaise] { waitForRequests(onRaise); });
}

void SingleInstance::waitForRequests(const std::function<void()>& onRaise) {
    pollfd fds[2] = {{fifoFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (read(fifoFd_, drain, sizeof(drain)) > 0) {
            }
            onRaise();
        }
    }
}

namespace {

void closeDescriptor(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

}  // namespace

void SingleInstance::stopListening() {
    if (listener_.joinable()) {
        const char stop = 1;
        (void)!write(stopPipe_[1], &stop, 1);
        listener_.join();
    }
    closeDescriptor(fifoFd_);
    closeDescriptor(stopPipe_[0]);
    closeDescriptor(stopPipe_[1]);
}

void SingleInstance::notifyHolder(const std::string& lockPath) {
    const std::string fifo = lockPath + ".raise";
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        const char raise = 1;
        (void)!write(fd, &raise, 1);
        close(fd);
    }
}

}  // namespace sdl
}  // namespace framework
