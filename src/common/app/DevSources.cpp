#include "common/app/DevSources.h"

#include <filesystem>
#include <system_error>

#include "lang/Exception.h"

namespace {

bool sameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, error) && !error;
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

}  // namespace

DevSources findDevSources(const std::string& dataFolder, const std::string& option) {
    if (!option.empty()) {
        if (!isFolder(option + "/scripts")) {
            throw lang::Exception(lang::Format(
                "--sources {0}: not a folder of bundle sources (it has no scripts/ folder)",
                option));
        }
        return {option, ""};
    }
#if defined(QF_SOURCE_BUNDLE) && defined(QF_BUILD_FOLDER)
    if (sameFolder(dataFolder, QF_BUILD_FOLDER "/bundle") && isFolder(QF_SOURCE_BUNDLE)) {
        return {QF_SOURCE_BUNDLE, QF_BUILD_FOLDER};
    }
#else
    (void)dataFolder;
    (void)sameFolder;
#endif
    return {};
}
