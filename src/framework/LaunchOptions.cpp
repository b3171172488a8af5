#include "framework/LaunchOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace framework {

namespace {

bool parseCount(const std::string& text, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value <= 0 || value > 1000000000L) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool parseSeconds(const std::string& text, float& out) {
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0) {
        return false;
    }
    out = value;
    return true;
}

// Applies one option that takes a value; false when the value is refused.
bool takeValue(const std::string& option, const std::string& value, LaunchOptions& options) {
    if (option == "--frames") {
        return parseCount(value, options.frames);
    }
    if (option == "--fixed-dt") {
        return parseSeconds(value, options.fixedDt);
    }
    if (option == "--shots") {
        options.shots = value;
        return !value.empty();
    }
    options.capture = value;
    return !value.empty();
}

}  // namespace

LaunchOptions parseLaunchOptions(const std::vector<std::string>& commandLine) {
    LaunchOptions options;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        const std::string& arg = commandLine[i];
        if (i == 0 || arg.compare(0, 2, "--") != 0) {
            options.arguments.push_back(arg);
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--frames" || arg == "--fixed-dt" || arg == "--capture" ||
                   arg == "--shots") {
            if (i + 1 >= commandLine.size() || !takeValue(arg, commandLine[i + 1], options)) {
                options.error = "Option " + arg + " needs a valid value";
                return options;
            }
            ++i;
        } else {
            options.error = "Unknown option " + arg;
            return options;
        }
    }
    return options;
}

}  // namespace framework
