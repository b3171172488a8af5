#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "lang/Log.h"

namespace qftest {

// Collects log records while it exists; safe for records from several threads.
class LogCapture : public lang::log::Listener {
public:
    struct Entry {
        lang::log::Level level;
        std::string category;
        std::string message;
    };

    LogCapture() { lang::log::addListener(this); }
    ~LogCapture() override { lang::log::removeListener(this); }

    void log(const lang::log::Record& record) override {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({record.level, record.category, record.message});
    }

    std::vector<Entry> entries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }

    std::vector<std::string> messages(lang::log::Level level) const {
        std::vector<std::string> out;
        for (const Entry& e : entries()) {
            if (e.level == level) {
                out.push_back(e.message);
            }
        }
        return out;
    }

    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace qftest
