#pragma once

#include "framework/Renderer.h"

namespace framework {
namespace sdl {

/// Shared objects through dlopen.
class PosixLibraryLoader : public LibraryLoader {
public:
    void* open(const std::string& path) override;
    void* symbol(void* library, const char* name) override;
    void close(void* library) override;
    std::string lastError() const override { return lastError_; }
    std::string suffix() const override { return ".so"; }

private:
    std::string lastError_;
};

}  // namespace sdl
}  // namespace framework
