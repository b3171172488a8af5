#include "framework/Shell.h"

#include <cstdio>

#include "io/PathName.h"

namespace framework {

std::string userDataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && xdgDataHome[0] == '/') {
        return xdgDataHome;
    }
    if (home && home[0]) {
        return std::string(home) + "/.local/share";
    }
    return std::string();
}

std::string applicationDataFolder(const std::string& dataHome, const std::string& publisher,
                                  const std::string& product) {
    if (dataHome.empty() || publisher.empty() || product.empty()) {
        return std::string();
    }
    return dataHome + "/" + publisher + "/" + product;
}

std::string instanceLockName(const std::string& argument0) {
    // File names are limited to 255 bytes; the end of the path tells most.
    const size_t keep = 200;
    const std::string tail =
        argument0.size() > keep ? argument0.substr(argument0.size() - keep) : argument0;
    std::string name = "quillfire-";
    for (char c : tail) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return name + ".lock";
}

std::string windowTitle(const std::string& name, int width, int height) {
    char size[32];
    std::snprintf(size, sizeof(size), " (%dx%d)", width, height);
    return name + size;
}

std::string folderRoot(const std::string& path) {
    std::string root = io::PathName(path).toString();
    if (root.empty() || root.back() != '/') {
        root += '/';
    }
    return root;
}

}  // namespace framework
