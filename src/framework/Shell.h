#pragma once

#include <string>

namespace framework {

// Pieces of start-up that do not need the operating system.

/// $XDG_DATA_HOME when it is an absolute path, else home + "/.local/share";
/// empty when neither is known. Either argument may be null.
std::string userDataHome(const char* xdgDataHome, const char* home);

/// dataHome + "/" + publisher + "/" + product; empty when any part is empty (the
/// application data then stays in the working directory).
std::string applicationDataFolder(const std::string& dataHome, const std::string& publisher,
                                  const std::string& product);

/// A file name for the single-instance lock, derived from argument 0 so that
/// each installation has its own.
std::string instanceLockName(const std::string& argument0);

/// "%s (%dx%d)" with the configured name and the client size.
std::string windowTitle(const std::string& name, int width, int height);

/// The path normalised, with '/' appended, as the file system roots want it.
std::string folderRoot(const std::string& path);

}  // namespace framework
