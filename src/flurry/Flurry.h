#pragma once

#include <map>
#include <string>

#include "lang/Analytics.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace flurry {

using Parameters = std::map<std::string, std::string>;

/// The analytics wrapper: events from the engine's fan-out (once a session has
/// started) and from the scripts go to one backend. Main thread only.
class Flurry : public lang::Object, public lang::analytics::Listener {
public:
    /// The backend. The default one sends nothing anywhere: it appends events to
    /// a local JSON-lines file when given a path, and otherwise logs them at
    /// DEBUG level.
    class Impl : public lang::Object {
    public:
        explicit Impl(const std::string& eventLogPath = std::string());
        virtual void startSession(const std::string& apiKey);
        virtual void logEvent(const std::string& name, const Parameters& parameters);

    private:
        void writeLine(const std::string& line);
        std::string path_;
    };

    explicit Flurry(const std::string& eventLogPath = std::string());
    explicit Flurry(const lang::Ptr<Impl>& backend);
    /// Leaves the fan-out, so that no event reaches a destroyed wrapper.
    ~Flurry() override;

    /// Starts the backend's session and joins the fan-out (once).
    void startSession(const std::string& apiKey);
    /// Leaves the fan-out; the wrapper stays usable.
    void endSession();

    /// Straight to the backend, without the default parameters.
    void logEvent(const std::string& name, const Parameters& parameters);
    void logEvent(const std::string& name, const std::string& key, const std::string& value);

    /// From the fan-out: the default parameters, overridden by the record's own.
    void event(const lang::analytics::Record& record) override;
    /// Merges the record's parameters into the defaults.
    void setParameters(const lang::analytics::Record& record) override;

private:
    lang::Ptr<Impl> impl_;
    Parameters defaultParameters_;
};

}  // namespace flurry
