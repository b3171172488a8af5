#include "framework/Renderer.h"

#include <exception>

#include "gr/Context.h"
#include "gr/GraphicsException.h"
#include "gr/Plugin.h"
#include "lang/Format.h"
#include "lang/Log.h"

namespace framework {

const RendererPlatform RENDERER_PLATFORMS[RENDERER_PLATFORM_COUNT] = {
    {"gles1", "OpenGL ES 1.1"}, {"gles2", "OpenGL ES 2.0"}, {"gl1", "OpenGL 1.4"},
    {"gl2", "OpenGL 2.0"},      {"dx11", "DirectX 11"},     {"xna", "XNA (interop)"},
};

int findRendererPlatform(const std::string& name) {
    for (int i = 0; i < RENDERER_PLATFORM_COUNT; ++i) {
        if (name == RENDERER_PLATFORMS[i].shortName) {
            return i;
        }
    }
    return -1;
}

std::string rendererLibraryPath(const std::string& dllPath, const std::string& shortName,
                                const std::string& suffix) {
    std::string path = dllPath;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path += '/';
    }
    return path + "gr" + shortName + suffix;
}

namespace {

void* openLibrary(LibraryLoader& loader, const std::string& path, const char* shortName) {
    void* library = loader.open(path);
    if (!library) {
        // The loader's reason tells a missing file from one that is no plug-in.
        const std::string why = loader.lastError();
        throw gr::GraphicsException(lang::Format("Renderer for platform {0} ({1}) not found!{2}",
                                                 shortName, path,
                                                 why.empty() ? std::string() : " " + why));
    }
    return library;
}

// A plug-in that made no context may say why.
void logPluginError(LibraryLoader& loader, void* library) {
    void* entry = loader.symbol(library, QF_GR_ERROR_ENTRY_POINT);
    if (entry) {
        const char* why = reinterpret_cast<gr::CreateContextErrorFunction>(entry)();
        if (why && *why) {
            QF_LOG("Framework", lang::log::WARNING, "%s", why);
        }
    }
}

gr::Context* createContext(int platform, const std::string& dllPath, const RendererTarget& target,
                           LibraryLoader& loader) {
    const char* shortName = RENDERER_PLATFORMS[platform].shortName;
    const std::string path = rendererLibraryPath(dllPath, shortName, loader.suffix());
    void* library = openLibrary(loader, path, shortName);
    void* entry = loader.symbol(library, QF_GR_ENTRY_POINT);
    if (!entry) {
        loader.close(library);
        throw gr::GraphicsException(
            lang::Format("Renderer {0} was missing entrypoint \"createContext\"", path));
    }
    auto create = reinterpret_cast<gr::CreateContextFunction>(entry);
    gr::Context* ctx = create(target.width, target.height, target.orientation, target.window,
                              target.deviceContext);
    if (!ctx) {
        logPluginError(loader, library);
        loader.close(library);
        throw gr::GraphicsException();
    }
    return ctx;  // the library stays loaded for the context's code
}

}  // namespace

lang::Ptr<gr::Context> createRenderer(const std::vector<int>& platforms, const std::string& dllPath,
                                      const RendererTarget& target, LibraryLoader& loader) {
    if (platforms.empty()) {
        throw gr::GraphicsException(lang::Format("No renderer defined!"));
    }
    std::string report;
    for (int platform : platforms) {
        if (platform < 0 || platform >= RENDERER_PLATFORM_COUNT) {
            continue;
        }
        std::string cause;
        try {
            return lang::Ptr<gr::Context>(createContext(platform, dllPath, target, loader));
        } catch (const std::exception& e) {
            cause = e.what();
            if (!cause.empty()) {
                QF_LOG("Framework", lang::log::WARNING, "%s", e.what());
            }
        }
        // The first cause goes into the message: the player sees nothing else.
        report += lang::Format("{0} renderer not supported!{1}\n",
                               RENDERER_PLATFORMS[platform].displayName,
                               cause.empty() ? std::string() : " " + cause)
                      .format();
    }
    throw gr::GraphicsException(lang::Format("{0}", report));
}

}  // namespace framework
