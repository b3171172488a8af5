#pragma once

#include <string>
#include <vector>

#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace framework {

/// The renderer platforms, by index.
struct RendererPlatform {
    const char* shortName;    // "gl2"
    const char* displayName;  // "OpenGL 2.0"
};
enum { RENDERER_PLATFORM_COUNT = 6 };
extern const RendererPlatform RENDERER_PLATFORMS[RENDERER_PLATFORM_COUNT];

/// The index of the platform whose short name equals name exactly, or -1.
int findRendererPlatform(const std::string& name);

/// Opens shared libraries and finds their symbols.
class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    /// Null when the library cannot be loaded; lastError() tells why.
    virtual void* open(const std::string& path) = 0;
    virtual void* symbol(void* library, const char* name) = 0;
    virtual void close(void* library) = 0;
    virtual std::string lastError() const { return std::string(); }
    /// How plug-in file names end here (".so").
    virtual std::string suffix() const = 0;
};

/// What the plug-in's "createContext" receives besides the platform.
struct RendererTarget {
    int width;
    int height;
    int orientation;
    void* window;
    void* deviceContext;
};

/// dllPath, a '/' unless it is empty or ends in a separator, "gr", the short
/// name and the suffix.
std::string rendererLibraryPath(const std::string& dllPath, const std::string& shortName,
                                const std::string& suffix);

/// Tries the platforms in order; the first plug-in that creates a context wins and
/// stays loaded. Throws gr::GraphicsException "No renderer defined!" for an empty
/// list, else one "... renderer not supported!" line per failed platform.
lang::Ptr<gr::Context> createRenderer(const std::vector<int>& platforms, const std::string& dllPath,
                                      const RendererTarget& target, LibraryLoader& loader);

}  // namespace framework
