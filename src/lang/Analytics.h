#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace lang {
namespace analytics {

struct Record {
    int64_t time;  // milliseconds since 1970, lang::System::wallClockMillis
    std::string event;
    std::map<std::string, std::string> parameters;
};

/// An analytics sink.
class Listener {
public:
    virtual void event(const Record& record) = 0;
    /// Merges the record's parameters into the listener's defaults.
    virtual void setParameters(const Record& record) = 0;
    virtual ~Listener() = default;
};

/// The registry does not own listeners; it exists while one is registered.
void addListener(Listener* listener);
void removeListener(Listener* listener);

/// Hands one record to every listener, in address order; nothing happens when
/// nobody listens. Main thread only.
void dispatch(const std::string& event, const std::map<std::string, std::string>& parameters);

}  // namespace analytics
}  // namespace lang
