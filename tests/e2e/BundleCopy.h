#pragma once

#include <string>

namespace e2e {

/// A copy of a game bundle made of symbolic links, so that a test can replace
/// or take away single files at little cost.
class BundleCopy {
public:
    BundleCopy(const std::string& original, const std::string& folder);
    /// Writes content at path (relative to the bundle), replacing a link.
    void put(const std::string& path, const std::string& content) const;
    void remove(const std::string& path) const;
    /// The bytes of a file of the original bundle.
    std::string original(const std::string& path) const;
    std::string config() const { return folder_ + "/config.lua"; }
    const std::string& folder() const { return folder_; }

private:
    std::string original_;
    std::string folder_;
};

}  // namespace e2e
