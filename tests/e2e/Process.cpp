#include "Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

int counter = 0;

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq) {
            all[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
        }
    }
    for (const auto& kv : extra) {
        all[kv.first] = kv.second;
    }
    std::vector<std::string> out;
    for (const auto& kv : all) {
        out.push_back(kv.first + "=" + kv.second);
    }
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(&s[0]);
    }
    out.push_back(nullptr);
    return out;
}

}  // namespace

Process::Process(const std::string& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment) {
    outputPath_ = "/tmp/qf_e2e_out." + std::to_string(getpid()) + "." + std::to_string(++counter);
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = mergedEnvironment(environment);
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> envPointers = pointers(envp);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argvPointers.data(),
                    envPointers.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid_ > 0) {
        wait(0);
    }
    unlink(outputPath_.c_str());
}

void Process::signal(int number) {
    if (pid_ > 0) {
        kill(pid_, number);
    }
}

RunResult Process::wait(int timeoutSeconds) {
    RunResult result;
    if (pid_ <= 0) {
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid_, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (done == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    } else if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    pid_ = -1;
    std::ifstream in(outputPath_);
    std::stringstream text;
    text << in.rdbuf();
    result.output = text.str();
    return result;
}

RunResult run(const std::string& program, const std::vector<std::string>& arguments,
              const std::map<std::string, std::string>& environment) {
    Process process(program, arguments, environment);
    return process.wait();
}

}  // namespace e2e
