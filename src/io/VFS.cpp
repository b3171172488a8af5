#include "io/VFS.h"

#include <map>

#include "io/AppDataInputStream.h"
#include "io/BundleInputStream.h"
#include "io/FileInputStream.h"
#include "io/IOException.h"
#include "io/PathName.h"
#include "lang/Mutex.h"
#include "lang/String.h"

namespace io {

namespace {

// Deeper nesting than this can only be a cycle of mounts.
const int MAX_MOUNT_DEPTH = 32;

struct FileSystem {
    lang::Mutex lock;
    std::map<std::string, ReaderFactory> readers;
    std::map<std::string, Uri> mounts;
    std::string bundleRoot;
    std::string appDataRoot;
    bool defaultsRegistered = false;
};

const std::string& uriPath(const Uri& uri) {
    return uri.opaque ? uri.schemeSpecificPart : uri.path;
}

// Call with the lock held.
FileSystem& registered(FileSystem& fs) {
    if (!fs.defaultsRegistered) {
        fs.defaultsRegistered = true;
        fs.readers["file"] = [](const Uri& u) { return new FileInputStream(uriPath(u)); };
        fs.readers["bundle"] = [](const Uri& u) { return new BundleInputStream(uriPath(u)); };
        fs.readers["appdata"] = [](const Uri& u) { return new AppDataInputStream(uriPath(u)); };
    }
    return fs;
}

FileSystem& instance() {
    static FileSystem fs;
    return fs;
}

std::string withTrailingSlash(const std::string& path) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') {
        return path;
    }
    return path + '/';
}

[[noreturn]] void throwUnresolved(const Uri& uri) {
    throw IOException(lang::Format("Unable to resolve vfs path \"{0}\"", uri.text));
}

Uri resolveLocked(FileSystem& fs, const Uri& uri, int depth, const Uri& original) {
    if (!uri.scheme.empty() && uri.scheme != "vfs") {
        return uri;
    }
    std::string key = uri.path;
    while (!key.empty()) {
        auto found = fs.mounts.find(key);
        if (found != fs.mounts.end()) {
            if (depth >= MAX_MOUNT_DEPTH) {
                throwUnresolved(original);
            }
            Uri next(found->second.text + uri.path.substr(key.size()));
            return resolveLocked(fs, next, depth + 1, original);
        }
        key.pop_back();
        size_t slash = key.rfind('/');
        if (key.empty() || slash == std::string::npos) {
            break;
        }
        key.erase(slash + 1);
    }
    throwUnresolved(uri);
}

}  // namespace

void registerReader(const std::string& scheme, const ReaderFactory& factory) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    registered(fs).readers[lang::toLowerCase(scheme)] = factory;
}

void mount(const Uri& target, const std::string& prefix) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    registered(fs).mounts[prefix] = target;
}

Uri resolve(const Uri& uri) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    return resolveLocked(registered(fs), uri, 0, uri);
}

lang::Ptr<InputStream> openInputStream(const Uri& uri) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    Uri resolved = resolveLocked(registered(fs), uri, 0, uri);
    auto reader = fs.readers.find(resolved.scheme);
    if (reader == fs.readers.end()) {
        throw IOException(
            lang::Format("Unsupported read scheme: \"{0}\" while trying to open: \"{1}\"",
                         resolved.scheme, resolved.text));
    }
    return reader->second(resolved);
}

lang::Ptr<InputStream> openInputStream(const std::string& uri) {
    return openInputStream(Uri(uri));
}

std::string pathUnderRoot(const std::string& root, const std::string& path) {
    std::string rel = !path.empty() && path[0] == '/' ? path.substr(1) : path;
    return PathName(root, rel).toString();
}

std::string bundleRoot() {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    return fs.bundleRoot;
}

std::string appDataRoot() {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    return fs.appDataRoot;
}

void setBundleRoot(const std::string& path) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    fs.bundleRoot = withTrailingSlash(path);
}

void setAppDataRoot(const std::string& path) {
    FileSystem& fs = instance();
    lang::MutexLock guard(fs.lock);
    fs.appDataRoot = withTrailingSlash(path);
}

}  // namespace io
