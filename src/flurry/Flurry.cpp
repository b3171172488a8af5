#include "flurry/Flurry.h"

#include <fstream>

#include "lang/Log.h"
#include "lang/System.h"
#include "util/JSON.h"

namespace flurry {

namespace {

util::JSON parameterObject(const Parameters& parameters) {
    util::JSON::ObjectType members;
    for (const auto& entry : parameters) {
        members[entry.first] = util::JSON(entry.second);
    }
    return util::JSON(members);
}

}  // namespace

Flurry::Impl::Impl(const std::string& eventLogPath) : path_(eventLogPath) {}

void Flurry::Impl::startSession(const std::string&) {
    util::JSON::ObjectType line;
    line["time"] = util::JSON::fromInteger(lang::System::wallClockMillis());
    line["session"] = util::JSON("start");
    writeLine(util::JSON(line).toString(false));
}

void Flurry::Impl::logEvent(const std::string& name, const Parameters& parameters) {
    util::JSON::ObjectType line;
    line["time"] = util::JSON::fromInteger(lang::System::wallClockMillis());
    line["event"] = util::JSON(name);
    line["parameters"] = parameterObject(parameters);
    writeLine(util::JSON(line).toString(false));
}

void Flurry::Impl::writeLine(const std::string& line) {
    if (path_.empty()) {
        QF_LOG("Analytics", lang::log::DEBUG, "%s", line.c_str());
        return;
    }
    std::ofstream out(path_, std::ios::binary | std::ios::app);
    out << line << '\n';
    if (!out) {
        QF_LOG("Analytics", lang::log::WARNING, "Cannot write analytics to %s", path_.c_str());
    }
}

Flurry::Flurry(const std::string& eventLogPath) : impl_(new Impl(eventLogPath)) {}

Flurry::Flurry(const lang::Ptr<Impl>& backend) : impl_(backend) {}

Flurry::~Flurry() {
    lang::analytics::removeListener(this);
}

void Flurry::startSession(const std::string& apiKey) {
    impl_->startSession(apiKey);
    lang::analytics::addListener(this);
}

void Flurry::endSession() {
    lang::analytics::removeListener(this);
}

void Flurry::logEvent(const std::string& name, const Parameters& parameters) {
    impl_->logEvent(name, parameters);
}

void Flurry::logEvent(const std::string& name, const std::string& key, const std::string& value) {
    logEvent(name, Parameters{{key, value}});
}

void Flurry::event(const lang::analytics::Record& record) {
    Parameters merged = defaultParameters_;
    for (const auto& entry : record.parameters) {
        merged[entry.first] = entry.second;
    }
    impl_->logEvent(record.event, merged);
}

void Flurry::setParameters(const lang::analytics::Record& record) {
    for (const auto& entry : record.parameters) {
        defaultParameters_[entry.first] = entry.second;
    }
}

}  // namespace flurry
