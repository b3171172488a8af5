#pragma once

#include <string>
#include <vector>

namespace pf {

/// How a program run by runProgram ended.
enum class ProgramEnd {
    EXITED,       // it ended in time; exitCode holds its status
    NOT_STARTED,  // it could not be started
    TIMED_OUT,    // it was still running at the limit (it is left running)
    NO_EXIT_CODE  // it ended without an exit status (a signal)
};

/// Starts the program at path with the arguments (argv[0] is path), without a
/// shell, and waits at most timeoutMillis for it. Any thread.
ProgramEnd runProgram(const std::string& path, const std::vector<std::string>& arguments,
                      int timeoutMillis, int& exitCode);

/// Starts the program without waiting; false when it cannot be started.
bool startProgram(const std::string& path, const std::vector<std::string>& arguments);

/// The folder of the running executable, without a trailing '/'.
std::string executableFolder();

/// The local calendar time of a moment in seconds since 1970.
struct LocalTime {
    int year, month, day, hour, minutes, seconds;
};
LocalTime localTime(long long secondsSinceEpoch);
/// Seconds since 1970 of a local calendar time (fields may be out of range;
/// they carry over like the C library's mktime).
long long fromLocalTime(const LocalTime& time);

}  // namespace pf
