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
/// without "." and "..", in the order the system lists them. A folder that
/// cannot be read gives no entries.
std::vector<DirectoryEntry> listDirectory(const std::string& dir, const std::string& pattern);
bool isDirectory(const std::string& path);

}  // namespace posix
}  // namespace io
