#include "io/PathName.h"

#include <algorithm>

#include "io/IOException.h"

namespace io {

namespace {

bool isSlash(char c) {
    return c == '/' || c == '\\';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Index of the segment before a "../" that starts at i (i > 0, s[i - 1] == '/').
size_t previousSegment(const std::string& s, size_t i) {
    size_t slash = i >= 2 ? s.rfind('/', i - 2) : std::string::npos;
    return slash == std::string::npos ? 0 : slash + 1;
}

void removeDotSegments(std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, 2, "./") == 0) {
            s.erase(i, 2);
        } else if (s.compare(i, 3, "../") == 0) {
            if (i == 0) {
                return;  // nothing to climb out of: keep the rest as it is
            }
            if (i == 1) {
                s.erase(1, 3);  // "/../x" stays absolute
                continue;
            }
            size_t start = previousSegment(s, i);
            s.erase(start, i + 3 - start);
            i = start;
        } else {
            size_t slash = s.find('/', i);
            i = slash == std::string::npos ? s.size() : slash + 1;
        }
    }
}

std::string joined(const std::string& dir, const std::string& path) {
    std::string rel = path;
    if (!dir.empty() && !rel.empty() && isSlash(rel[0])) {
        rel.erase(0, 1);
    }
    std::string s = dir;
    if (!dir.empty() && !isSlash(dir.back())) {
        s += '/';
    }
    return s + rel;
}

}  // namespace

PathName::PathName(const std::string& path) {
    build(path);
}

PathName::PathName(const std::string& dir, const std::string& path) {
    build(joined(dir, path));
}

void PathName::build(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    removeDotSegments(s);
    // Only a drive letter counts as a drive: ':' is an ordinary character in
    // file names here.
    size_t rest = 0;
    if (s.size() >= 2 && isAsciiLetter(s[0]) && s[1] == ':') {
        if (s[0] >= 'a' && s[0] <= 'z') {
            s[0] = static_cast<char>(s[0] - 'a' + 'A');
        }
        rest = 2;
    }
    size_t slash = s.rfind('/');
    size_t nameStart = slash == std::string::npos || slash < rest ? rest : slash + 1;
    std::string name = s.substr(nameStart);
    size_t dot = name.rfind('.');

    size_t needed = (s.size() + 1) + (rest + 1) + (nameStart - rest + 1) + (name.size() + 2);
    if (needed > BUFFER_SIZE) {
        throw IOException(lang::Format(
            "Path name buffer overflow, {0} bytes. Initial path name was \"{1}\".", needed, s));
    }
    path_ = s;
    drive_ = s.substr(0, rest);
    dir_ = s.substr(rest, nameStart - rest);
    base_ = dot == std::string::npos ? name : name.substr(0, dot);
    ext_ = dot == std::string::npos ? std::string() : name.substr(dot);
}

PathName PathName::getParent() const {
    std::string s = path_.substr(0, 511);
    if (!s.empty() && s.back() == '/') {
        s.pop_back();
    }
    size_t slash = s.rfind('/');
    if (slash == std::string::npos) {
        return PathName(std::string());
    }
    // The root's parent keeps its slash.
    return PathName(s.substr(0, slash == 0 ? 1 : slash));
}

}  // namespace io
