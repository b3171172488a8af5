#pragma once

#include <string>

namespace io {

/// A normalised path split into drive, directory, base name and extension.
/// Backslashes become '/', "./" and "dir/../" segments are removed, and a drive
/// letter ("c:") is upper-cased. The parts must fit the classic 1024-byte
/// path buffer (each with a terminator); longer paths throw io::IOException.
class PathName {
public:
    enum { BUFFER_SIZE = 1024 };

    explicit PathName(const std::string& path);
    /// Joins `dir` and the relative `path` with one '/'.
    PathName(const std::string& dir, const std::string& path);

    const std::string& toString() const { return path_; }
    /// Up to and including the ':', or empty.
    const std::string& getDrive() const { return drive_; }
    /// Up to and including the last '/', without the drive.
    const std::string& getDirectory() const { return dir_; }
    const std::string& getBaseName() const { return base_; }
    /// Including its '.', or empty.
    const std::string& getExtension() const { return ext_; }
    std::string getFileName() const { return base_ + ext_; }
    /// The folder that holds this path ("" when there is no '/').
    PathName getParent() const;

private:
    void build(std::string path);

    std::string path_;
    std::string drive_;
    std::string dir_;
    std::string base_;
    std::string ext_;
};

}  // namespace io
