#pragma once

#include <string>
#include <vector>

#include "lang/Log.h"

// Collects log records while it lives.
class LogCapture : public lang::log::Listener {
public:
    LogCapture() { lang::log::addListener(this); }
    ~LogCapture() override { lang::log::removeListener(this); }

    void log(const lang::log::Record& record) override { records.push_back(record); }

    bool contains(const std::string& text) const {
        for (const lang::log::Record& r : records) {
            if (r.message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::vector<lang::log::Record> records;
};
