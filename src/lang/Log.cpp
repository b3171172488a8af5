#include "lang/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <vector>

#include "lang/Mutex.h"
#include "lang/System.h"

namespace lang {
namespace log {

namespace {

struct Registry {
    std::set<Listener*> listeners;  // called in address order
    std::vector<char> buffer = std::vector<char>(512);
    Mutex mutex;
};

// Exists only while at least one listener is registered.
std::atomic<Registry*> registry{nullptr};

std::string formatMessage(Registry& reg, const char* fmt, va_list args) {
    MutexLock lock(reg.mutex);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (length < 0) {
        return "encoding error";
    }
    size_t needed = static_cast<size_t>(length) + 1;
    if (reg.buffer.size() < needed) {
        reg.buffer.resize(needed);
    }
    std::vsnprintf(reg.buffer.data(), reg.buffer.size(), fmt, args);
    return std::string(reg.buffer.data(), static_cast<size_t>(length));
}

}  // namespace

const char* levelName(Level level) {
    static const char* const names[] = {"AUDIT", "ERROR", "WARNING", "INFO", "DEBUG", "VERBOSE"};
    int index = static_cast<int>(level);
    return index >= 0 && index <= VERBOSE ? names[index] : "UNKNOWN";
}

void write(const std::string& category, const char* file, const char* function, int line,
           Level level, const char* fmt, ...) {
    Registry* reg = registry.load(std::memory_order_acquire);
    if (!reg) {
        return;
    }
    Record record{System::wallClockMillis(), file, function, line, level, {}, category};
    va_list args;
    va_start(args, fmt);
    bool formatted = true;
    try {
        record.message = formatMessage(*reg, fmt ? fmt : "", args);
    } catch (...) {
        formatted = false;
    }
    va_end(args);
    if (!formatted) {
        return;
    }
    try {
        for (Listener* listener : reg->listeners) {
            listener->log(record);
        }
    } catch (...) {
        // Logging must never fail its caller.
    }
}

void addListener(Listener* listener) {
    if (!listener) {
        return;
    }
    Registry* reg = registry.load();
    if (!reg) {
        reg = new Registry;
        registry.store(reg, std::memory_order_release);
    }
    reg->listeners.insert(listener);
}

void removeListener(Listener* listener) {
    Registry* reg = registry.load();
    if (!reg) {
        return;
    }
    reg->listeners.erase(listener);
    if (reg->listeners.empty()) {
        registry.store(nullptr, std::memory_order_release);
        delete reg;
    }
}

}  // namespace log
}  // namespace lang
