#include "framework/sdl/PosixLibraryLoader.h"

#include <dlfcn.h>

namespace framework {
namespace sdl {

void* PosixLibraryLoader::open(const std::string& path) {
    dlerror();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* why = library ? nullptr : dlerror();
    lastError_ = why ? why : "";
    return library;
}

void* PosixLibraryLoader::symbol(void* library, const char* name) {
    dlerror();
    return dlsym(library, name);
}

void PosixLibraryLoader::close(void* library) {
    dlclose(library);
}

}  // namespace sdl
}  // namespace framework
