#include "lang/VisualStudioLogger.h"

#include "lang/ConsoleOutput.h"
#include "lang/Format.h"

namespace framework {

VisualStudioLogger::VisualStudioLogger() {
    lang::log::addListener(this);
}

VisualStudioLogger::~VisualStudioLogger() {
    lang::log::removeListener(this);
}

std::string VisualStudioLogger::formatRecord(const lang::log::Record& record) {
    if (!record.file) {
        return record.message;
    }
    const char* level = lang::log::levelName(record.level);
    if (!record.category.empty()) {
        return lang::Format("{0}({1}): [{2}] ({3}): {4}\n", record.file, record.line, level,
                            record.category, record.message)
            .format();
    }
    return lang::Format("{0}({1}): [{2}]: {3}\n", record.file, record.line, level, record.message)
        .format();
}

void VisualStudioLogger::log(const lang::log::Record& record) {
    lang::detail::writeToStandardError(formatRecord(record));
}

}  // namespace framework
