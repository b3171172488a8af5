#pragma once

#include <sys/wait.h>
#include <cstdio>
#include <string>

// The build and source folders are compiled in (see tests/tools/CMakeLists.txt).
namespace toolstest {

struct ToolResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Runs a tool built into build/bin with the arguments as one shell word list.
inline ToolResult runTool(const std::string& tool, const std::string& arguments) {
    const std::string command =
        std::string(QF_BUILD_DIR) + "/bin/" + tool + " " + arguments + " 2>&1";
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
    return std::string(QF_BUILD_DIR) + "/bundle";
}

// The folder of the bundle's intermediate files.
inline std::string buildWork() {
    return std::string(QF_BUILD_DIR) + "/bundle-work";
}

// The folder of the bundle's sources.
inline std::string bundleSources() {
    return std::string(QF_SOURCE_ROOT) + "/bundle";
}

}  // namespace toolstest
