#pragma once

#include <cstdint>
#include <string>

namespace lang {
namespace log {

enum Level : int { AUDIT = 0, ERROR = 1, WARNING = 2, INFO = 3, DEBUG = 4, VERBOSE = 5 };

/// "AUDIT" ... "VERBOSE", or "UNKNOWN" for any other value.
const char* levelName(Level level);

/// What listeners receive; lives only for the duration of the listener calls.
struct Record {
    int64_t time;          // milliseconds since 1970, lang::System::wallClockMillis
    const char* file;      // may be null
    const char* function;  // qualified name of the logging function
    int32_t line;
    Level level;
    std::string message;
    std::string category;  // may be empty
};

class Listener {
public:
    virtual void log(const Record& record) = 0;
    virtual ~Listener() = default;
};

/// Formats the message printf-style and hands one record to every listener, in
/// address order. Does nothing when no listener is registered; never throws.
void write(const std::string& category, const char* file, const char* function, int line,
           Level level, const char* fmt, ...) __attribute__((format(printf, 6, 7)));

/// The registry does not own listeners. Registration is not locked: do it while
/// only the main thread runs.
void addListener(Listener* listener);
void removeListener(Listener* listener);

}  // namespace log
}  // namespace lang

/// Logs with the caller's source position.
#define QF_LOG(category, level, ...) \
    ::lang::log::write((category), __FILE__, __func__, __LINE__, (level), __VA_ARGS__)
