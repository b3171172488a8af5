#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "lang/Log.h"
#include "pf/Launcher.h"

namespace pf {

namespace {

// The opener's full path, searched in PATH before forking: the child may only
// make async-signal-safe calls.
std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string dir = dirs.substr(start, end - start);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

// Runs program with one argument, detached: the intermediate child exits at
// once so that the opener is adopted by init and never left a zombie here.
void spawnDetached(const std::string& program, const std::string& argument) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = fork();
    if (child < 0) {
        QF_LOG("", lang::log::ERROR, "Launcher: fork failed with errno %d", errno);
        return;
    }
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            int devnull = open("/dev/null", O_RDONLY);
            if (devnull >= 0) {
                dup2(devnull, 0);
            }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
            closefrom(3);  // the opener needs none of our files
#endif
            execv(argv[0], argv.data());
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

class Launcher::Impl : public lang::Object {
public:
    void open(const std::string& url) {
        // A leading '-' would be read as an option by the opener.
        if (url.empty() || url[0] == '-') {
            QF_LOG("", lang::log::WARNING, "Launcher: refusing to open \"%s\"", url.c_str());
            return;
        }
        std::string program = findProgram("xdg-open");
        if (program.empty()) {
            QF_LOG("", lang::log::WARNING, "Launcher: xdg-open not found");
            return;
        }
        spawnDetached(program, url);
    }
};

Launcher::Launcher() : impl_(new Impl) {}
Launcher::~Launcher() = default;

bool Launcher::openURL(const std::string& url) {
    impl_->open(url);
    return true;
}

}  // namespace pf
