#include "io/BasicFileSystem.h"

#include "io/IOException.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "io/posix/Directory.h"
#include "lang/String.h"

namespace io {

namespace {

std::string join(const std::string& dir, const std::string& name) {
    return dir.empty() ? name : dir + "/" + name;
}

std::string onDisk(const std::string& base, const std::string& dir) {
    return dir.empty() ? base : join(base, dir);
}

// Appends every folder below base/dir, each followed by the folders below it.
// Links are listed but not entered, so a link cycle cannot recurse forever.
void appendSubfolders(const std::string& base, const std::string& dir,
                      std::vector<std::string>& out) {
    for (const posix::DirectoryEntry& e : posix::listDirectory(onDisk(base, dir), "*")) {
        if (e.directory && !e.link) {
            std::string sub = join(dir, e.name);  // out grows below: no reference into it
            out.push_back(sub);
            appendSubfolders(base, sub, out);
        }
    }
}

std::vector<std::string> applyPiece(const std::string& base, const std::vector<std::string>& dirs,
                                    const std::string& piece) {
    std::vector<std::string> next;
    for (const std::string& d : dirs) {
        if (piece.find('*') == std::string::npos) {
            next.push_back(join(d, piece));
            continue;
        }
        for (const posix::DirectoryEntry& e : posix::listDirectory(onDisk(base, d), piece)) {
            if (e.directory) {
                next.push_back(join(d, e.name));
            }
        }
    }
    return next;
}

void search(const std::string& base, const std::string& dir, const std::string& namePattern,
            int flags, std::vector<FileEntry>& out) {
    std::string where = onDisk(base, dir);
    if (!posix::isDirectory(where)) {
        return;
    }
    // "*.*" is the everything pattern of other systems; here it would need a dot.
    std::string pattern = namePattern.empty() || namePattern == "*.*" ? "*" : namePattern;
    for (const posix::DirectoryEntry& e : posix::listDirectory(where, pattern)) {
        if (e.directory ? (flags & LIST_DIRECTORIES) : (flags & LIST_FILES)) {
            out.push_back(FileEntry{
                join(dir, e.name), e.directory ? FileEntry::KIND_DIRECTORY : FileEntry::KIND_FILE});
        }
    }
}

}  // namespace

bool existsInBundle(const std::string& relativePath) {
    return exists(PathName(bundleRoot(), relativePath).toString());
}

bool isAbsolute(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    char c = path[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return c == '/' || c == '\\' || (letter && path.size() > 1 && path[1] == ':');
}

std::vector<FileEntry> list(const std::string& base, const std::string& pattern, int flags,
                            bool recursive) {
    if (base.find('*') != std::string::npos) {
        throw IOException(lang::Format("base directory must not contain asterisks"));
    }
    size_t slash = pattern.rfind('/');
    std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    std::vector<std::string> pieces;
    if (slash != std::string::npos) {
        for (const std::string& piece : lang::split(pattern.substr(0, slash), "/")) {
            if (!piece.empty()) {
                pieces.push_back(piece);
            }
        }
    }
    std::vector<std::string> dirs{""};
    if (recursive) {
        appendSubfolders(base, "", dirs);
    }
    for (const std::string& piece : pieces) {
        dirs = applyPiece(base, dirs, piece);
    }
    std::vector<FileEntry> entries;
    for (const std::string& d : dirs) {
        search(base, d, namePattern, flags, entries);
    }
    return entries;
}

int fileTypeFromExtension(const std::string& path) {
    static const struct {
        const char* name;
        int type;
    } TYPES[] = {{"BMP", FILETYPE_BMP},  {"TGA", FILETYPE_TGA}, {"JPG", FILETYPE_JPG},
                 {"JPEG", FILETYPE_JPG}, {"DDS", FILETYPE_DDS}, {"PSD", FILETYPE_PSD},
                 {"PNG", FILETYPE_PNG},  {"PCX", FILETYPE_PCX}, {"PNM", FILETYPE_PNM},
                 {"GIF", FILETYPE_GIF},  {"TIF", FILETYPE_TIF}, {"TIFF", FILETYPE_TIF},
                 {"PVR", FILETYPE_PVR},  {"WAV", FILETYPE_WAV}, {"MP3", FILETYPE_MP3},
                 {"HGR", FILETYPE_HGR},  {"RAW", FILETYPE_RAW}, {"WEBP", FILETYPE_WEBP}};
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return FILETYPE_UNKNOWN;
    }
    std::string ext = lang::toUpperCase(path.substr(dot + 1));
    for (const auto& t : TYPES) {
        if (ext == t.name) {
            return t.type;
        }
    }
    return FILETYPE_UNKNOWN;
}

}  // namespace io
