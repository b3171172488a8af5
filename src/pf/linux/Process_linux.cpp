#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "pf/Process.h"

namespace pf {

namespace {

// A child that could not exec reports it through this status.
const int EXEC_FAILED = 127;

// fork + execv; the exec failure travels back through a close-on-exec pipe,
// so "not started" is told apart from a program that exits with 127.
pid_t spawn(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        execv(argv[0], argv.data());
        int error = errno;
        ssize_t ignored = write(pipeFds[1], &error, sizeof error);
        (void)ignored;
        _exit(EXEC_FAILED);
    }
    close(pipeFds[1]);
    int error = 0;
    ssize_t got = child > 0 ? read(pipeFds[0], &error, sizeof error) : 0;
    close(pipeFds[0]);
    if (child > 0 && got > 0) {
        waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

}  // namespace

ProgramEnd runProgram(const std::string& path, const std::vector<std::string>& arguments,
                      int timeoutMillis, int& exitCode) {
    pid_t child = spawn(path, arguments);
    if (child < 0) {
        return ProgramEnd::NOT_STARTED;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMillis);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (!WIFEXITED(status)) {
                return ProgramEnd::NO_EXIT_CODE;
            }
            exitCode = WEXITSTATUS(status);
            return ProgramEnd::EXITED;
        }
        if (done < 0 && errno != EINTR) {
            return ProgramEnd::NO_EXIT_CODE;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::thread([child] { waitpid(child, nullptr, 0); }).detach();
            return ProgramEnd::TIMED_OUT;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool startProgram(const std::string& path, const std::vector<std::string>& arguments) {
    pid_t child = spawn(path, arguments);
    if (child < 0) {
        return false;
    }
    // Reap it whenever it ends, so no zombie is left behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

std::string executableFolder() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return ".";
    }
    std::string path(buffer, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

LocalTime localTime(long long secondsSinceEpoch) {
    time_t t = static_cast<time_t>(secondsSinceEpoch);
    struct tm parts = {};
    localtime_r(&t, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

long long fromLocalTime(const LocalTime& time) {
    struct tm parts = {};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minutes;
    parts.tm_sec = time.seconds;
    parts.tm_isdst = -1;
    return static_cast<long long>(mktime(&parts));
}

}  // namespace pf
