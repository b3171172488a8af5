#pragma once

#include <string>
#include <vector>

namespace io {
namespace posix {

struct DirectoryEntry {
    std::string name;
    bool directory;  // a folder, or a link to one
    bool link;       // a symbolic link
};

/// The entries of `dir` whose names match the wildcard `pattern` ('*', '?'),
/// in the order the system lists them; "." and ".." only with `withDots`. A
/// folder that cannot be read gives no entries.
std::vector<DirectoryEntry> listDirectory(const std::string& dir, const std::string& pattern,
                                          bool withDots = false);
bool isDirectory(const std::string& path);

}  // namespace posix
}  // namespace io
