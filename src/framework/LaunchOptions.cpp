#include "framework/LaunchOptions.h"

#include <algorithm>
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

bool parseText(const std::string& text, std::string& out) {
    out = text;
    return !text.empty();
}

enum class ValueKind { None, Count, Seconds, Text };

// One row of the option table: the usage text and the field it fills.
struct OptionRow {
    const char* name;
    ValueKind kind;
    const char* valueName;
    const char* help;
    bool LaunchOptions::*flag;
    int LaunchOptions::*count;
    float LaunchOptions::*seconds;
    std::string LaunchOptions::*text;
};

constexpr OptionRow flag(const char* name, bool LaunchOptions::*field, const char* help) {
    return {name, ValueKind::None, "", help, field, nullptr, nullptr, nullptr};
}
constexpr OptionRow text(const char* name, const char* valueName, std::string LaunchOptions::*field,
                         const char* help) {
    return {name, ValueKind::Text, valueName, help, nullptr, nullptr, nullptr, field};
}

const OptionRow kOptions[] = {
    flag("--help", &LaunchOptions::help, "print this help and exit"),
    flag("--version", &LaunchOptions::version, "print the version and exit"),
    flag("--headless", &LaunchOptions::headless,
         "no display and no sound device (SDL's offscreen and dummy drivers)"),
    {"--frames", ValueKind::Count, "N", "exit after N frames", nullptr, &LaunchOptions::frames,
     nullptr, nullptr},
    {"--fixed-dt", ValueKind::Seconds, "S",
     "every frame advances S seconds instead of the clock, unpaced when headless", nullptr, nullptr,
     &LaunchOptions::fixedDt, nullptr},
    text("--capture", "FILE", &LaunchOptions::capture, "write the last frame to a PNG file"),
    {"--report-every", ValueKind::Count, "N",
     "log the resident memory and the open files every N frames", nullptr,
     &LaunchOptions::reportEvery, nullptr, nullptr},
    flag("--demo", &LaunchOptions::demo, "play every level in order with its recorded shots"),
    text("--shots", "DIR", &LaunchOptions::shots, "write a PNG of each level's end to DIR"),
    text("--stats", "FILE", &LaunchOptions::stats, "write one line of frame timings per frame"),
    text("--record", "FILE", &LaunchOptions::record, "record the session's input to FILE"),
    text("--replay", "FILE", &LaunchOptions::replay, "play a recorded session back"),
    text("--hash-log", "FILE", &LaunchOptions::hashLog, "write a hash of the world per frame"),
    flag("--list-natives", &LaunchOptions::listNatives,
         "print every native the world registers and exit"),
    text("--test", "DIR", &LaunchOptions::testDir, "run the level test scripts in DIR and exit"),
    text("--sources", "DIR", &LaunchOptions::sources,
         "the bundle sources (scripts/, levels/) that the editor saves to and hot reload reseals"),
};

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : kOptions) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

// Stores one option's value; false when the value is refused.
bool takeValue(const OptionRow& row, const std::string& value, LaunchOptions& options) {
    switch (row.kind) {
        case ValueKind::Count:
            return parseCount(value, options.*row.count);
        case ValueKind::Seconds:
            return parseSeconds(value, options.*row.seconds);
        case ValueKind::Text:
            return parseText(value, options.*row.text);
        case ValueKind::None:
            break;
    }
    return false;
}

}  // namespace

LaunchOptions parseLaunchOptions(const std::vector<std::string>& commandLine) {
    LaunchOptions options;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        const std::string& arg = commandLine[i];
        if (i == 0 || arg.compare(0, 2, "--") != 0) {
            options.arguments.push_back(arg);
            continue;
        }
        const OptionRow* row = findOption(arg);
        if (!row) {
            options.error = "Unknown option " + arg;
            return options;
        }
        if (row->kind == ValueKind::None) {
            options.*row->flag = true;
            continue;
        }
        if (i + 1 >= commandLine.size() || !takeValue(*row, commandLine[i + 1], options)) {
            options.error = "Option " + arg + " needs a valid value";
            return options;
        }
        ++i;
    }
    return options;
}

std::string launchUsage(const std::string& program) {
    std::string usage = "Usage: " + program + " [CONFIG.lua] [OPTION]...\n\nOptions:\n";
    for (const OptionRow& row : kOptions) {
        std::string left = std::string("  ") + row.name;
        if (row.kind != ValueKind::None) {
            left += std::string(" ") + row.valueName;
        }
        left.resize(std::max<size_t>(left.size() + 2, 22), ' ');
        usage += left + row.help + "\n";
    }
    return usage;
}

}  // namespace framework
