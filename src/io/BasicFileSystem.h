#pragma once

#include <string>
#include <vector>

/// File-system helpers. Paths are UTF-8 with '/' separators.
namespace io {

/// What io::list returns for each match.
struct FileEntry {
    enum Kind { KIND_FILE = 1, KIND_DIRECTORY = 2 };

    std::string path;  // relative to the listing's base, joined with '/'
    int kind;
};

/// Flags of io::list.
enum ListFlags { LIST_FILES = 1, LIST_DIRECTORIES = 2 };

/// Media types told by io::fileTypeFromExtension.
enum FileType {
    FILETYPE_UNKNOWN = 0,
    FILETYPE_BMP,
    FILETYPE_TGA,
    FILETYPE_JPG,
    FILETYPE_DDS,
    FILETYPE_PSD,
    FILETYPE_PNG,
    FILETYPE_PCX,
    FILETYPE_PNM,
    FILETYPE_GIF,
    FILETYPE_TIF,
    FILETYPE_PVR,
    FILETYPE_WAV,
    FILETYPE_MP3,
    FILETYPE_HGR,
    FILETYPE_RAW,
    FILETYPE_WEBP
};

/// True when `path` names an existing file or folder. Errors other than "not
/// found" are logged as warnings under "BasicFileSystem" and count as absent.
bool exists(const std::string& path);
/// exists() of the path relative to io::bundleRoot().
bool existsInBundle(const std::string& relativePath);
/// Starts with '/' or '\', or with a drive letter and ':'.
bool isAbsolute(const std::string& path);
/// The absolute form of `path` (which need not exist); throws io::IOException.
std::string fullPath(const std::string& path);
/// Deletes a file or a whole folder tree; throws io::IOException
/// "Deleting {0} failed". A relative path counts from the working directory.
void remove(const std::string& path);
/// Matches of `pattern` below `base`: "dir/*/name*.ext". The last piece is a
/// name pattern; "" or "*.*" match every name. Earlier pieces with '*' match
/// subfolders. `recursive` searches every folder below `base` as well.
/// The order is the operating system's.
std::vector<FileEntry> list(const std::string& base, const std::string& pattern, int flags,
                            bool recursive);
/// True when path names an existing folder.
bool isDirectory(const std::string& path);
/// Creates one folder level; false when it cannot (it may exist already).
bool makeDirectory(const std::string& path);
/// The names (without folders) in the pattern's folder that its last part
/// ('*', '?', '[...]') matches, in the operating system's order and with
/// nothing hidden: dot-files, "." and ".." and folders too; empty when nothing
/// matches.
std::vector<std::string> globNames(const std::string& pattern);
/// One of FileType from the text after the last '.', case-insensitively.
int fileTypeFromExtension(const std::string& path);

}  // namespace io
