#pragma once

#include <sys/types.h>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
    int exitCode = -1;   // -1 when the process did not end by itself
    std::string output;  // standard output and standard error together
};

/// A child process whose output goes to a file.
class Process {
public:
    /// Starts program with the arguments (argument 0 is added) and, on top of
    /// this process's environment, the given variables.
    Process(const std::string& program, const std::vector<std::string>& arguments,
            const std::map<std::string, std::string>& environment = {});
    ~Process();

    /// Waits at most timeoutSeconds; a process still running then is killed.
    RunResult wait(int timeoutSeconds = 60);
    void signal(int number);
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string outputPath_;
};

/// Starts and waits in one.
RunResult run(const std::string& program, const std::vector<std::string>& arguments,
              const std::map<std::string, std::string>& environment = {});

}  // namespace e2e
