#pragma once

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace toolstest {

struct ToolResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Runs a tool built into build/bin with the arguments as one shell word list.
inline ToolResult runTool(const std::string& tool, const std::string& arguments) {
    const char* binary = std::getenv("QF_BINARY_DIR");
    const std::string command =
        std::string(binary ? binary : "build") + "/bin/" + tool + " " + arguments + " 2>&1";
    ToolResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return result;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The folder of the assembled bundle.
inline std::string builtBundle() {
    const char* binary = std::getenv("QF_BINARY_DIR");
    return std::string(binary ? binary : "build") + "/bundle";
}

// The folder of the bundle's sources.
inline std::string bundleSources() {
    const char* source = std::getenv("QF_SOURCE_DIR");
    return std::string(source ? source : ".") + "/bundle";
}

}  // namespace toolstest
