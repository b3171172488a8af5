#pragma once

#include <string>

#include "lang/Log.h"

namespace framework {

/// Writes every log record as one line to the developer's output (standard
/// error here), in the form "file(line): [LEVEL] (category): message".
/// Registers itself on construction and unregisters on destruction.
class VisualStudioLogger : public lang::log::Listener {
public:
    VisualStudioLogger();
    ~VisualStudioLogger() override;
    VisualStudioLogger(const VisualStudioLogger&) = delete;
    VisualStudioLogger& operator=(const VisualStudioLogger&) = delete;

    void log(const lang::log::Record& record) override;

    /// The text log() sends for a record.
    static std::string formatRecord(const lang::log::Record& record);
};

}  // namespace framework
