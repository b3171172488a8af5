#pragma once

#include <string>
#include <vector>

#include "lang/Log.h"

namespace fake {

// Collects the log records written while it exists.
class LogCapture : public lang::log::Listener {
public:
    LogCapture() { lang::log::addListener(this); }
    ~LogCapture() override { lang::log::removeListener(this); }

    void log(const lang::log::Record& record) override {
        messages.push_back(record.message);
        categories.push_back(record.category);
    }
    bool contains(const std::string& text) const {
        for (const std::string& message : messages) {
            if (message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> messages;
    std::vector<std::string> categories;
};

}  // namespace fake
