#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "lang/Log.h"

namespace qftest {

/// Collects the log records written while it exists; records may come from
/// several threads. A record keeps the file and function pointers it was
/// written with (the callers pass literals).
class LogCapture : public lang::log::Listener {
public:
    LogCapture() { lang::log::addListener(this); }
    ~LogCapture() override { lang::log::removeListener(this); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void log(const lang::log::Record& record) override {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(record);
    }

    /// The records so far, oldest first.
    std::vector<lang::log::Record> records() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return records_;
    }
    /// Whether a message contains text.
    bool contains(const std::string& text) const {
        for (const std::string& message : messages()) {
            if (message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> messages() const {
        return collect([](const lang::log::Record& r) { return r.message; });
    }
    /// The messages of one level, and of one category unless it is null.
    std::vector<std::string> messages(lang::log::Level level,
                                      const char* category = nullptr) const {
        std::vector<std::string> out;
        for (const lang::log::Record& r : records()) {
            if (r.level == level && (!category || r.category == category)) {
                out.push_back(r.message);
            }
        }
        return out;
    }
    std::vector<std::string> categories() const {
        return collect([](const lang::log::Record& r) { return r.category; });
    }
    std::vector<std::string> functions() const {
        return collect(
            [](const lang::log::Record& r) { return std::string(r.function ? r.function : ""); });
    }
    /// "category: message" per record.
    std::vector<std::string> lines() const {
        return collect([](const lang::log::Record& r) { return r.category + ": " + r.message; });
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.clear();
    }

private:
    template <class Field>
    std::vector<std::string> collect(const Field& field) const {
        std::vector<std::string> out;
        for (const lang::log::Record& r : records()) {
            out.push_back(field(r));
        }
        return out;
    }

    mutable std::mutex mutex_;
    std::vector<lang::log::Record> records_;
};

}  // namespace qftest
